#pragma once
// RecentLookups: a small direct-mapped table in front of a look-up by
// string (parsed image descriptions, loaded pictures, laid-out captions).
// A control paints from the same string object every frame, so the slot is
// chosen by the string's address and length, and the text and the extra
// key (`Extra`, compared with ==) are compared, never trusted: a string
// changed in place only misses. A value is typically a pointer into the
// cache behind the table; call Forget() whenever that cache drops entries.
//
// Not thread-safe: one table per thread (or per UI thread's cache).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace trx::ui {

template <typename Extra, typename Value, size_t kSlots = 256>
class RecentLookups {
 public:
  // The value kept for (text, extra), or null.
  const Value* Find(std::string_view text, const Extra& extra) const {
    const Slot& slot = slots_[Index(text)];
    return slot.epoch == epoch_ && slot.text == text && slot.extra == extra ? &slot.value : nullptr;
  }
  void Put(std::string_view text, const Extra& extra, const Value& value) {
    Slot& slot = slots_[Index(text)];
    slot.epoch = epoch_;
    slot.text.assign(text);
    slot.extra = extra;
    slot.value = value;
  }
  // Every entry is stale from now on.
  void Forget() { ++epoch_; }

 private:
  struct Slot {
    uint64_t epoch = 0;
    std::string text;
    Extra extra{};
    Value value{};
  };
  static size_t Index(std::string_view text) {
    const auto address = reinterpret_cast<uintptr_t>(text.data());
    return ((address >> 3) ^ (address >> 11) ^ text.size()) % kSlots;
  }
  uint64_t epoch_ = 1;
  std::array<Slot, kSlots> slots_{};
};

}  // namespace trx::ui

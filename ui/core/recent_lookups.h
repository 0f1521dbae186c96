#pragma once
// RecentLookups: a small direct-mapped table in front of a look-up by
// string (parsed image descriptions, loaded pictures, laid-out captions).
// The slot is chosen by the string's length and its first and last eight
// bytes (far cheaper than hashing it all: paint strings are short or differ
// near their ends, "key_100.png'" / "key_125.png'"), and the text and the
// extra key (`Extra`, compared with ==) are compared. A value is typically
// a pointer into the cache behind the table; call Forget() whenever that
// cache drops entries.
//
// Not thread-safe: one table per thread (or per UI thread's cache).

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
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
    const size_t n = text.size();
    uint64_t head = 0, tail = 0;
    if (n > 0) std::memcpy(&head, text.data(), std::min<size_t>(n, 8));
    if (n > 8) std::memcpy(&tail, text.data() + n - std::min<size_t>(n - 8, 8), std::min<size_t>(n - 8, 8));
    const uint64_t h = (head * 0x9E3779B97F4A7C15ull) ^ (tail * 0xC2B2AE3D27D4EB4Full) ^ n;
    return static_cast<size_t>((h ^ (h >> 29)) % kSlots);
  }
  uint64_t epoch_ = 1;
  std::array<Slot, kSlots> slots_{};
};

}  // namespace trx::ui

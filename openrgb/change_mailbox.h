#pragma once
// The changes OpenRGB clients ask for, waiting to be applied, at most one
// apply per device per interval (100 ms: 10 per second).
//
// Why a limit: every apply ends in a settings write the device keeps in
// its memory, and effect engines and screen-colour programs send colours
// 30 to 60 times a second, forever; the memory would wear out, and the
// device answers each write before it takes the next one. So requests
// beyond the limit are coalesced: a device keeps only the newest change
// (newest wins), and TakeDue hands it out once the interval since the
// previous hand-out has passed. Nothing is lost but intermediate colours.
//
// Threads: Put from the server thread, TakeDue from the UI thread. The
// mutex is a leaf lock (nothing else is taken under it).

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "openrgb/sdk_devices.h"

namespace trx::openrgb {

inline constexpr int64_t kMinApplyIntervalMs = 100;

class ChangeMailbox {
 public:
  // `on_put` runs after every Put, on Put's thread, outside the lock (it
  // wakes whoever takes the changes).
  explicit ChangeMailbox(int64_t min_interval_ms = kMinApplyIntervalMs, std::function<void()> on_put = {})
      : interval_ms_(min_interval_ms), on_put_(std::move(on_put)) {}

  // Replaces whatever change of `kind` is waiting.
  void Put(DeviceKind kind, const LightingChange& change);
  // The waiting change of `kind` when one waits and at least the interval
  // has passed since the last one handed out (`now_ms`: any monotonic
  // millisecond clock); nothing otherwise.
  std::optional<LightingChange> TakeDue(DeviceKind kind, int64_t now_ms);
  // The change waiting, without taking it (what clients see until it is
  // applied).
  std::optional<LightingChange> Peek(DeviceKind kind) const;
  void Clear(DeviceKind kind);

 private:
  struct Slot {
    std::optional<LightingChange> waiting;
    std::optional<int64_t> last_ms;
  };
  Slot& Of(DeviceKind kind) { return slots_[static_cast<size_t>(kind) - 1]; }
  const Slot& Of(DeviceKind kind) const { return slots_[static_cast<size_t>(kind) - 1]; }

  const int64_t interval_ms_;
  const std::function<void()> on_put_;
  mutable std::mutex mutex_;  // guards slots_; leaf
  std::array<Slot, 3> slots_;
};

}  // namespace trx::openrgb

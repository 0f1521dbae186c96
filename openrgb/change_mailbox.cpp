#include "openrgb/change_mailbox.h"

namespace trx::openrgb {

void ChangeMailbox::Put(DeviceKind kind, const LightingChange& change) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Of(kind).waiting = change;
  }
  if (on_put_) on_put_();
}

std::optional<LightingChange> ChangeMailbox::TakeDue(DeviceKind kind, int64_t now_ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  Slot& slot = Of(kind);
  if (!slot.waiting || (slot.last_ms && now_ms - *slot.last_ms < interval_ms_)) return std::nullopt;
  slot.last_ms = now_ms;
  std::optional<LightingChange> out;
  out.swap(slot.waiting);
  return out;
}

std::optional<LightingChange> ChangeMailbox::Peek(DeviceKind kind) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return Of(kind).waiting;
}

void ChangeMailbox::Clear(DeviceKind kind) {
  std::lock_guard<std::mutex> lock(mutex_);
  Of(kind).waiting.reset();
}

}  // namespace trx::openrgb

#include <poll.h>

#include <cerrno>

#include "platform/foreground/foreground_source.h"

namespace trx::foreground {

void CForegroundChanges::Changed() {
  std::lock_guard<std::mutex> guard(mutex_);
  ++generation_;
  for (CEvent* waiter : waiters_) waiter->Set();
}

uint64_t CForegroundChanges::Generation() {
  std::lock_guard<std::mutex> guard(mutex_);
  return generation_;
}

bool CForegroundChanges::WaitSince(uint64_t seen, CEvent& stop, int timeout_ms) {
  CEvent changed(CEvent::Reset::Manual);
  if (!changed.Valid()) return stop.Wait(timeout_ms);  // no descriptor left: a plain wait
  {
    std::lock_guard<std::mutex> guard(mutex_);
    if (generation_ != seen) return stop.IsSet();  // changed meanwhile: no wait
    waiters_.push_back(&changed);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    pollfd fds[2] = {{stop.Fd(), POLLIN, 0}, {changed.Fd(), POLLIN, 0}};
    const int n = ::poll(fds, 2, static_cast<int>(std::max<long long>(left, 0)));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) stop.Wait(static_cast<int>(std::max<long long>(left, 0)));  // polling failed: wait out the time
    break;
  }
  {
    std::lock_guard<std::mutex> guard(mutex_);
    waiters_.erase(std::find(waiters_.begin(), waiters_.end(), &changed));
  }
  return stop.IsSet();
}

}  // namespace trx::foreground

#include "platform/event.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace trx {

CEvent::CEvent(Reset mode) : mode_(mode) {
  fd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

CEvent::~CEvent() {
  if (fd_ >= 0) ::close(fd_);
}

void CEvent::Set() {
  if (fd_ < 0) return;
  // The counter only needs to be non-zero; repeated sets keep it non-zero.
  uint64_t one = 1;
  ssize_t n;
  do {
    n = ::write(fd_, &one, sizeof one);
  } while (n < 0 && errno == EINTR);
}

void CEvent::ResetEvent() {
  if (fd_ < 0) return;
  uint64_t value;
  ssize_t n;
  do {
    n = ::read(fd_, &value, sizeof value);
  } while (n < 0 && errno == EINTR);
}

bool CEvent::IsSet() const {
  if (fd_ < 0) return false;
  pollfd p{fd_, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

bool CEvent::TryConsume() {
  if (fd_ < 0) return false;
  if (mode_ == Reset::Manual) return IsSet();
  // Reading an eventfd is atomic: of several waiters only one gets the count.
  uint64_t value;
  ssize_t n;
  do {
    n = ::read(fd_, &value, sizeof value);
  } while (n < 0 && errno == EINTR);
  return n == sizeof value;
}

bool CEvent::Wait(int timeout_ms) {
  if (fd_ < 0) return false;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms < 0 ? 0 : timeout_ms);
  for (;;) {
    int wait = -1;
    if (timeout_ms >= 0) {
      // Rounded up: a 1 ms wait must not become a poll of 0 ms.
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
      wait = left < 0 ? 0 : static_cast<int>(left);
    }
    pollfd p{fd_, POLLIN, 0};
    int r = ::poll(&p, 1, wait);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    if (TryConsume()) return true;
    // Another waiter took an auto-reset signal first; keep waiting.
    if (timeout_ms >= 0 && std::chrono::steady_clock::now() >= deadline) return false;
  }
}

}  // namespace trx

#include "presence/presence_wait.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <vector>

#include "presence/presence_threads.h"

namespace trx {
namespace {

// Every live PresenceWait's peer event, for NotifyOthers.
std::mutex& PeersMutex() {  // guards Peers(); a leaf lock
  static std::mutex mutex;
  return mutex;
}
std::vector<CEvent*>& Peers() {
  static std::vector<CEvent*> peers;
  return peers;
}

}  // namespace

PresenceWait::PresenceWait(IHidBackend& backend) : watch_(backend.WatchChanges()) {
  std::lock_guard<std::mutex> lock(PeersMutex());
  Peers().push_back(&peers_);
}

PresenceWait::~PresenceWait() {
  std::lock_guard<std::mutex> lock(PeersMutex());
  auto& peers = Peers();
  peers.erase(std::remove(peers.begin(), peers.end(), &peers_), peers.end());
}

void PresenceWait::NotifyOthers() {
  std::lock_guard<std::mutex> lock(PeersMutex());
  for (CEvent* peer : Peers()) {
    if (peer != &peers_) peer->Set();
  }
}

PresenceWake PresenceWait::WhileConnected(CEvent& stop, const CHidDevice& hid) {
  if (!EventDriven()) return stop.Wait(kPresenceConnectedSleepMs) ? PresenceWake::kStopped : PresenceWake::kRecheck;
  // Held for the wait, so the descriptor stays the node's even if the
  // channel closes it meanwhile.
  const std::shared_ptr<IHidConnection> connection = hid.SharedConnection();
  const int hang_up_fd = connection ? connection->HangUpFd() : -1;
  if (hang_up_fd < 0) {
    // The node can't report its removal: the timed probe keeps the bound.
    return Wait(stop, -1, kPresenceConnectedSleepMs);
  }
  return Wait(stop, hang_up_fd, -1);
}

PresenceWake PresenceWait::WhileAbsent(CEvent& stop, int timed_ms) {
  if (!EventDriven()) return stop.Wait(timed_ms) ? PresenceWake::kStopped : PresenceWake::kRecheck;
  return Wait(stop, -1, -1);
}

PresenceWake PresenceWait::Wait(CEvent& stop, int hang_up_fd, int timed_ms) {
  for (;;) {
    // The hang-up is asked for with no events, so pending reports are left
    // for the reader; POLLHUP and POLLERR are always reported.
    pollfd fds[4] = {{stop.Fd(), POLLIN, 0}, {peers_.Fd(), POLLIN, 0}, {watch_->Fd(), POLLIN, 0}, {hang_up_fd, 0, 0}};
    const nfds_t count = hang_up_fd >= 0 ? 4 : 3;
    const int n = ::poll(fds, count, timed_ms);
    if (n < 0) {
      if (errno == EINTR) continue;
      // Polling itself failed: fall back on the timed cycle for this wait.
      return stop.Wait(kPresenceConnectedSleepMs) ? PresenceWake::kStopped : PresenceWake::kRecheck;
    }
    if (stop.IsSet()) return PresenceWake::kStopped;
    if (n == 0) return PresenceWake::kRecheck;
    if (count == 4 && (fds[3].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return PresenceWake::kHungUp;
    bool recheck = false;
    if ((fds[1].revents & POLLIN) != 0 && peers_.TryConsume()) recheck = true;
    if ((fds[2].revents & POLLIN) != 0 && watch_->Drain()) recheck = true;
    if (recheck || watch_->Broken()) return PresenceWake::kRecheck;
    // Only other folders' entries changed: keep waiting.
  }
}

}  // namespace trx

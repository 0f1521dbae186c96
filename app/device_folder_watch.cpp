#include "app/device_folder_watch.h"

#include <poll.h>

#include <cerrno>

namespace trx::app {

std::unique_ptr<CDeviceFolderWatch> CDeviceFolderWatch::Create(std::unique_ptr<IHidChangeWatch> watch,
                                                               std::function<void()> on_change) {
  if (watch == nullptr || watch->Fd() < 0) return nullptr;
  std::unique_ptr<CDeviceFolderWatch> w(new CDeviceFolderWatch(std::move(watch), std::move(on_change)));
  if (!w->stop_.Valid()) return nullptr;
  w->thread_ = std::thread([raw = w.get()] { raw->Run(); });
  return w;
}

CDeviceFolderWatch::~CDeviceFolderWatch() {
  stop_.Set();
  if (thread_.joinable()) thread_.join();
}

void CDeviceFolderWatch::Run() {
  for (;;) {
    pollfd fds[2] = {{stop_.Fd(), POLLIN, 0}, {watch_->Fd(), POLLIN, 0}};
    const int n = ::poll(fds, 2, -1);
    if (n < 0 && errno == EINTR) continue;
    if (stop_.IsSet()) return;
    if (n < 0 || (fds[1].revents & (POLLERR | POLLNVAL)) != 0) {
      // The watch can't be waited on any more: the timer takes over.
      broken_ = true;
      on_change_();
      return;
    }
    if ((fds[1].revents & POLLIN) != 0 && watch_->Drain()) on_change_();
    if (watch_->Broken()) {
      broken_ = true;
      on_change_();
      return;
    }
  }
}

}  // namespace trx::app

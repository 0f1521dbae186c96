#include "device/hidraw_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/debug_log.h"

namespace trx {

namespace {
constexpr uint32_t kWatchedEvents =
    IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
}  // namespace

bool IsHidrawFolderEvent(uint32_t mask, const char* name) {
  if (mask & (IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) return true;
  return name != nullptr && std::strncmp(name, "hidraw", 6) == 0;
}

std::unique_ptr<HidrawWatch> HidrawWatch::Create(const std::string& dev_root) {
  const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) {
    DebugLineF("hidraw: no inotify (%s); devices are looked for on a timer", std::strerror(errno));
    return nullptr;
  }
  if (::inotify_add_watch(fd, dev_root.c_str(), kWatchedEvents) < 0) {
    DebugLineF("hidraw: cannot watch %s (%s); devices are looked for on a timer", dev_root.c_str(),
               std::strerror(errno));
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<HidrawWatch>(new HidrawWatch(fd));
}

HidrawWatch::~HidrawWatch() { ::close(fd_); }

bool HidrawWatch::Drain() {
  bool changed = false;
  alignas(inotify_event) char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // EAGAIN: all read
    for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
      inotify_event event;
      std::memcpy(&event, buffer + at, sizeof event);
      const char* name = event.len > 0 ? buffer + at + sizeof(inotify_event) : nullptr;
      if (IsHidrawFolderEvent(event.mask, name)) changed = true;
      if (event.mask & IN_IGNORED) {
        broken_ = true;
        DebugLine("hidraw: the device folder is no longer watched; devices are looked for on a timer");
      }
      at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
    }
  }
  return changed;
}

}  // namespace trx

#include "presence/hotplug_wake.h"

#include <linux/netlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <arpa/inet.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string_view>

#include "platform/debug_log.h"

namespace trx {
namespace {

// The uevent multicast group udev re-sends processed events on.
constexpr unsigned kUdevGroup = 2;

// Header of a udev netlink message (all fields 32-bit):
//   offset  field
//   0       prefix "libudev\0"
//   8       magic 0xFEEDCAFE, big-endian
//   12      header size
//   16      properties offset     20  properties length
//   24-39   filter hashes (unused here)
// The properties are NUL-separated "KEY=value" strings.
constexpr size_t kUdevHeaderMin = 40;
constexpr uint32_t kUdevMagic = 0xFEEDCAFE;
constexpr char kUdevPrefix[] = "libudev";

uint32_t Field(const uint8_t* message, size_t offset) {
  uint32_t value = 0;
  std::memcpy(&value, message + offset, sizeof value);
  return value;
}

// Looks for ACTION=add and SUBSYSTEM=hidraw among NUL-separated properties.
bool PropertiesAnnounceArrival(std::string_view properties) {
  bool add = false;
  bool hidraw = false;
  while (!properties.empty()) {
    const size_t end = properties.find('\0');
    const std::string_view property = properties.substr(0, end);
    if (property == "ACTION=add") add = true;
    if (property == "SUBSYSTEM=hidraw") hidraw = true;
    if (end == std::string_view::npos) break;
    properties.remove_prefix(end + 1);
  }
  return add && hidraw;
}

}  // namespace

bool IsHidrawArrival(const uint8_t* message, size_t length) {
  if (message == nullptr || length == 0) return false;
  const char* text = reinterpret_cast<const char*>(message);
  if (length >= kUdevHeaderMin && std::memcmp(text, kUdevPrefix, sizeof kUdevPrefix) == 0) {
    if (ntohl(Field(message, 8)) != kUdevMagic) return false;
    const uint32_t offset = Field(message, 16);
    const uint32_t size = Field(message, 20);
    if (offset < kUdevHeaderMin || offset > length || size > length - offset) return false;
    return PropertiesAnnounceArrival(std::string_view(text + offset, size));
  }
  // Kernel format: "add@/devices/..." then the properties.
  const std::string_view all(text, length);
  const size_t first_end = all.find('\0');
  if (first_end == std::string_view::npos || all.substr(0, first_end).find('@') == std::string_view::npos) return false;
  return PropertiesAnnounceArrival(all.substr(first_end + 1));
}

HotplugWake::HotplugWake() {
  const int fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
  if (fd < 0) {
    DebugLineF("hotplug: no uevent socket (%s); scanning every second", std::strerror(errno));
    return;
  }
  sockaddr_nl address{};
  address.nl_family = AF_NETLINK;
  address.nl_groups = kUdevGroup;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    DebugLineF("hotplug: uevent socket not bound (%s); scanning every second", std::strerror(errno));
    ::close(fd);
    return;
  }
  fd_ = fd;
  owned_ = true;
}

HotplugWake::HotplugWake(int fd) : fd_(fd), owned_(false) {}

HotplugWake::~HotplugWake() {
  if (owned_ && fd_ >= 0) ::close(fd_);
}

bool HotplugWake::DrainMessages() {
  bool arrived = false;
  uint8_t buffer[8192];
  for (;;) {
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0) {
      if (errno == EINTR) continue;
      // EAGAIN: all read. ENOBUFS: messages were dropped while we slept,
      // one of them may have been an arrival.
      if (errno == ENOBUFS) arrived = true;
      break;
    }
    if (n == 0) break;
    if (IsHidrawArrival(buffer, static_cast<size_t>(n))) arrived = true;
  }
  return arrived;
}

WakeReason HotplugWake::Wait(CEvent& stop, int timeout_ms) {
  if (!Active()) return stop.Wait(timeout_ms) ? WakeReason::kStopped : WakeReason::kTimedOut;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    pollfd fds[2] = {{stop.Fd(), POLLIN, 0}, {fd_, POLLIN, 0}};
    const int n = ::poll(fds, 2, left > 0 ? static_cast<int>(left) : 0);
    if (n < 0 && errno != EINTR) {
      // Polling is broken: fall back on the stop event alone.
      return stop.Wait(left > 0 ? static_cast<int>(left) : 0) ? WakeReason::kStopped : WakeReason::kTimedOut;
    }
    if (stop.IsSet()) return WakeReason::kStopped;
    if (n > 0 && (fds[1].revents & POLLIN) == 0 && (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
      // The socket is unusable: wait out the rest on the stop event alone.
      return stop.Wait(left > 0 ? static_cast<int>(left) : 0) ? WakeReason::kStopped : WakeReason::kTimedOut;
    }
    if (n > 0 && (fds[1].revents & POLLIN) != 0 && DrainMessages()) return WakeReason::kHidArrived;
    if (Clock::now() >= end) return WakeReason::kTimedOut;
  }
}

}  // namespace trx

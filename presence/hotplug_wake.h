#pragma once
// A wake-up for the presence scans when a hidraw node appears, so that a
// plugged-in device is picked up at once instead of at the next 1 s scan.
//
// HotplugWake listens on the uevent netlink socket for the messages udev
// sends once it has processed a device (its rules, and so the seat user's
// access to the node, are in place by then). A message whose properties say
// ACTION=add and SUBSYSTEM=hidraw ends the wait early. Messages are only a
// hint: the scan that follows checks everything itself, so a lost, spoofed
// or malformed message costs nothing but a scan. Where the socket can't be
// opened (no netlink, a sandbox) the wait is a plain wait on the stop event
// and the scan keeps its 1 s cadence.
//
// Thread safety: one object per thread (each detection thread owns its own);
// the stop event may be set from any thread.

#include <cstddef>
#include <cstdint>

#include "platform/event.h"

namespace trx {

enum class WakeReason { kStopped, kHidArrived, kTimedOut };

class HotplugWake {
 public:
  // Opens the udev netlink socket; Active() is false when that failed.
  HotplugWake();
  // Uses `fd` (a datagram socket the caller owns, e.g. one end of a
  // socketpair in tests) instead of netlink; the object does not close it.
  explicit HotplugWake(int fd);
  ~HotplugWake();
  HotplugWake(const HotplugWake&) = delete;
  HotplugWake& operator=(const HotplugWake&) = delete;

  bool Active() const { return fd_ >= 0; }
  // Waits up to timeout_ms for the stop event or a hidraw arrival. Every
  // message already queued is read; a stop event set counts first.
  WakeReason Wait(CEvent& stop, int timeout_ms);

 private:
  // Reads the queued messages; true when one announced a hidraw arrival.
  bool DrainMessages();

  int fd_ = -1;
  bool owned_ = false;
};

// True when one uevent message (udev's "libudev" format or the kernel's
// "action@devpath" format) announces ACTION=add for SUBSYSTEM=hidraw.
bool IsHidrawArrival(const uint8_t* message, size_t length);

}  // namespace trx

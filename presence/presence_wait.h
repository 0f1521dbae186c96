#pragma once
// PresenceWait: how a presence thread waits between two looks at its device.
//
// Where the backend reports changes (IHidBackend::WatchChanges: inotify on
// the hidraw device folder), a thread sleeps until something happens:
//   - absent: until a hidraw node appears, goes or changes its access, or
//     another presence thread connects or loses a device;
//   - connected: additionally until the open node hangs up (POLLHUP or
//     POLLERR on the connection's descriptor, the kernel's word that the
//     device was removed), which is reported as such even when a new node
//     took the old one's name meanwhile.
// Nothing wakes the thread while nothing changes, and a removal is acted on
// as soon as the kernel reports it instead of at the next 100 ms probe.
// Without a change watch (the in-process simulator, no inotify) the waits
// are the timed cycle: 100 ms connected, 1000 ms absent.
//
// Thread safety: one object per thread; it is woken by the others'
// NotifyOthers from their threads.

#include <memory>

#include "device/hid_backend.h"
#include "device/hid_device.h"
#include "platform/event.h"

namespace trx {

enum class PresenceWake {
  kStopped,   // the stop event is set
  kRecheck,   // something may have changed (or the timed cycle is due): look again
  kHungUp,    // the connected device's open node reported its removal
};

class PresenceWait {
 public:
  explicit PresenceWait(IHidBackend& backend);
  ~PresenceWait();
  PresenceWait(const PresenceWait&) = delete;
  PresenceWait& operator=(const PresenceWait&) = delete;

  // True when waits follow events rather than a timer.
  bool EventDriven() const { return watch_ != nullptr && !watch_->Broken(); }
  // Waits while the device is connected over `hid`'s open connection.
  PresenceWake WhileConnected(CEvent& stop, const CHidDevice& hid);
  // Waits while no device is connected; timed_ms is the cycle without a
  // change watch.
  PresenceWake WhileAbsent(CEvent& stop, int timed_ms);

  // Wakes every other PresenceWait of the process: a device was connected
  // or lost, which changes what the other threads show (the "same mode"
  // option).
  void NotifyOthers();

 private:
  PresenceWake Wait(CEvent& stop, int hang_up_fd, int timed_ms);

  std::unique_ptr<IHidChangeWatch> watch_;
  CEvent peers_{CEvent::Reset::Auto};  // set by NotifyPresenceChanged
};

}  // namespace trx

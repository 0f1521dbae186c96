#pragma once
// The program links' select (app/link_selector.h): the family's profile
// `index` selected through the device's queue, waiting for it on the
// monitor thread. Only a connected device whose connect read is done is
// asked (otherwise NotReady: the next cycle asks again); a profile already
// in effect is AlreadySelected, as is an index the list does not have (an
// INI file edited by hand selects nothing). Once selected, the combo and
// the link controls follow on the UI thread, and the session bus is told
// which profile is in effect.
//
// Threads: SelectLinked on a monitor thread; `pages` is only used in the
// completion, on the UI thread.

#include <functional>

#include "device/device_queue.h"
#include "profile/link_monitor.h"

namespace trx::pages {
class CPageSet;
}

namespace trx::app {

class CProgramBus;

struct LinkedSelectWiring {
  std::function<bool()> stopping;  // shutdown has begun: Gone
  std::function<CDeviceChannel&(DeviceKind)> channel;
  std::function<CDeviceQueue&(DeviceKind)> queue;
  pages::CPageSet* pages = nullptr;
  // The session-bus API while it runs (may return null).
  std::function<CProgramBus*()> bus;
};

LinkSelectResult SelectLinked(const LinkedSelectWiring& w, const ProfileFamilyInfo& family, int index);

}  // namespace trx::app

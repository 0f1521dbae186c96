#pragma once
// The session-bus API's side in the program (app/program_bus.h): commands
// reach the devices through the program's channels, each command as one
// operation on the device's queue; a device a command changed is read
// again, and profile lists a command changed are shown again, both through
// messages posted to the window (never waiting for the UI thread). When the
// bus cannot be reached the API stays off (a debug line says why).
//
// Threads: StartProgramBus on the UI thread; the wiring's calls on the
// bus's command thread.

#include <functional>
#include <memory>
#include <string>

#include "device/device_queue.h"
#include "ui/window/win_types.h"

namespace trx {
class IProfileSelectTarget;
}

namespace trx::app {

class CProgramBus;
class PresenceHostProxy;

struct BusHostWiring {
  ui::HWND window = nullptr;  // gets the read-all and profile-list messages
  std::shared_ptr<PresenceHostProxy> presence;  // the channels
  IProfileSelectTarget* select_target = nullptr;
  std::function<CDeviceQueue&(DeviceKind)> queue;
  std::string address;  // empty: the session bus
};

// The running API, or null when it could not start.
std::unique_ptr<CProgramBus> StartProgramBus(const BusHostWiring& w);

}  // namespace trx::app

#pragma once
// A read message (presence/presence_handlers.h) turned into a device
// operation: the read runs on the device's queue, what the user sees
// follows on the UI thread once it ran. After the mouse's profile button,
// the session bus is told which onboard slot is in effect.
//
// Threads: SubmitPresenceRead on any thread the submit allows; the shown
// part on the UI thread.

#include <cstdint>
#include <functional>
#include <memory>

#include "device/device_queue.h"

namespace trx {
class IPresenceHost;
}

namespace trx::app {

class CProgramBus;

struct PresenceReadWiring {
  // Runs the read (queue thread); alive as long as the operation.
  std::shared_ptr<IPresenceHost> reader;
  // Shows the outcome (UI thread).
  IPresenceHost* shower = nullptr;
  std::function<bool(DeviceKind, DeviceOperation)> submit;
  std::function<CProgramBus*()> bus;  // may return null
};

// False when `message` is not a read message (nothing queued).
bool SubmitPresenceRead(const PresenceReadWiring& w, uint32_t message);

}  // namespace trx::app

#pragma once
// Timer 2's tick (app/settings_sender.h): one settings send queued per
// device whose flag is set. A device away or not read yet gets nothing and
// its flag is dropped (its connect read decides what the image holds); a
// send already queued sends this change too. A send the queue refuses
// (shutdown) leaves no queued mark behind.
//
// UI thread.

#include <functional>
#include <memory>

#include "app/settings_sender.h"
#include "device/device_queue.h"

namespace trx::app {

struct SendTickWiring {
  std::shared_ptr<PendingSettings> pending;
  std::function<CDeviceChannel&(DeviceKind)> channel;
  // Queues on the device's queue; false when refused.
  std::function<bool(DeviceKind, DeviceOperation)> submit;
};

void QueuePendingSends(const SendTickWiring& w);

// A device's flag is set, or `openrgb_changes` (an OpenRGB client's change
// waits): the timer keeps running.
bool SendsWaiting(const PendingSettings& pending, bool openrgb_changes);

}  // namespace trx::app

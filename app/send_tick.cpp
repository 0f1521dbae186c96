#include "app/send_tick.h"

namespace trx::app {

void QueuePendingSends(const SendTickWiring& w) {
  for (DeviceKind kind : {DeviceKind::Keyboard, DeviceKind::Mouse, DeviceKind::MousePad}) {
    if (!w.pending->IsPending(kind)) continue;
    CDeviceChannel& channel = w.channel(kind);
    // Nothing is sent to a device that is away or not read yet: its connect
    // read decides what the image holds.
    if (channel.connected.load() == 0 || !channel.ready.load()) {
      w.pending->Take(kind);
      continue;
    }
    if (w.pending->MarkQueued(kind)) continue;  // the queued one sends this change too
    if (!w.submit(kind, Operation("settings send", [pending = w.pending](OperationContext& op) {
                    return SendPendingRecord(*pending, op.Channel());
                  })))
      w.pending->ClearQueued(kind);
  }
}

bool SendsWaiting(const PendingSettings& pending, bool openrgb_changes) {
  for (DeviceKind kind : {DeviceKind::Keyboard, DeviceKind::Mouse, DeviceKind::MousePad})
    if (pending.IsPending(kind)) return true;
  return openrgb_changes;
}

}  // namespace trx::app

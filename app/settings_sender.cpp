#include "app/settings_sender.h"

#include "app/app_messages.h"
#include "device/commands.h"
#include "platform/debug_log.h"
#include "settings/record_apply.h"

namespace trx::app {
namespace {

// The record send itself lives with the configuration image
// (settings/record_apply.h); here only the failure is reported.
void Send(CDeviceChannel& channel) {
  const int rc = SendCurrentRecord(channel);
  if (rc != kResultOk) DebugLineF("settings send to the %s failed: %d", DeviceKindName(channel.kind), rc);
}

}  // namespace

int SendPendingSettings(PendingSettings& pending, CDeviceChannel& keyboard, CDeviceChannel& mouse,
                        CDeviceChannel& pad) {
  int sent = 0;
  if (pending.Take(DeviceKind::Keyboard)) {
    Send(keyboard);
    ++sent;
  }
  if (pending.Take(DeviceKind::Mouse)) {
    DebugLine(kDebugMouseSend);
    Send(mouse);
    ++sent;
  }
  if (pending.Take(DeviceKind::MousePad)) {
    Send(pad);
    ++sent;
  }
  return sent;
}

}  // namespace trx::app

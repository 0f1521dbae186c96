#include "app/settings_sender.h"

#include "app/app_messages.h"
#include "device/commands.h"
#include "platform/debug_log.h"
#include "settings/record_apply.h"

namespace trx::app {

CommandResult SendPendingRecord(PendingSettings& pending, CDeviceChannel& channel) {
  pending.ClearQueued(channel.kind);
  if (!pending.Take(channel.kind)) return kResultOk;
  if (channel.kind == DeviceKind::Mouse) DebugLine(kDebugMouseSend);
  // The record send itself lives with the configuration image
  // (settings/record_apply.h); here only the failure is reported.
  const CommandResult rc = SendCurrentRecord(channel);
  if (rc != kResultOk) DebugLineF("settings send to the %s failed: %d", DeviceKindName(channel.kind), CommandCode(rc));
  return rc;
}

}  // namespace trx::app

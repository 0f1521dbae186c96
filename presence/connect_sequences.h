#pragma once
// What a detection thread does when it has found and opened its device, in
// two halves: the device half runs with the channel lock held (profile
// load, the whole device read), the window half after the lock is released
// (the connected event, the read outcome's message, the repaint timer),
// because the window half waits for the UI thread.

#include "platform/event.h"
#include "presence/device_reads.h"
#include "presence/presence_host.h"

namespace trx {


// Device half. The channel is open, matched and marked connected; the
// caller holds its lock. `stop` cuts the keyboard's settling pause short.
ConnectResult ConnectDevice(IPresenceHost& host, DeviceKind kind, CEvent& stop);
// Window half; no lock held.
void ShowConnectedDevice(IPresenceHost& host, DeviceKind kind, const ConnectResult& result);

}  // namespace trx

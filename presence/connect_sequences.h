#pragma once
// What a detection thread does when it has found and opened its device, in
// two halves: the device half runs with the channel lock held (profile
// load, the whole device read), the window half after the lock is released
// (tabs, combos, page refreshes, the repaint timer), because the window half
// waits for the UI thread.

#include "platform/event.h"
#include "presence/device_reads.h"
#include "presence/presence_host.h"

namespace trx {

struct ConnectResult {
  ReadOutcome read = ReadOutcome::kReadComplete;
  int device_profile = 0;  // mouse: "select" of the device profiles
  int light_profile = 0;   // keyboard, pad: "select" of the light profiles
  int key_profile = 0;     // keyboard: "select" of the key profiles
};

// Device half. The channel is open, matched and marked connected; the
// caller holds its lock. `stop` cuts the keyboard's settling pause short.
ConnectResult ConnectDevice(IPresenceHost& host, DeviceKind kind, CEvent& stop);
// Window half; no lock held.
void ShowConnectedDevice(IPresenceHost& host, DeviceKind kind, const ConnectResult& result);

}  // namespace trx

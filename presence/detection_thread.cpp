// The three detection threads: one routine parameterised by device kind.

#include <mutex>
#include <string>

#include "device/exchange_stop.h"
#include "device/open_matching.h"
#include "platform/debug_log.h"
#include "presence/connect_sequences.h"
#include "presence/exit_lines.h"
#include "presence/presence_threads.h"
#include "presence/presence_wait.h"
#include "device/device_ids.h"

namespace trx {
namespace {

// Serialises the removal rules of the three threads (see presence_threads.h).
std::mutex& RemovalMutex() {
  static std::mutex mutex;
  return mutex;
}

bool IsConnected(IPresenceHost& host, DeviceKind kind) { return host.Channel(kind).connected.load() != 0; }

// Another device of the lighting group is connected.
bool AnyOtherConnected(IPresenceHost& host, DeviceKind kind) {
  for (DeviceKind other : {DeviceKind::Keyboard, DeviceKind::Mouse, DeviceKind::MousePad}) {
    if (other != kind && IsConnected(host, other)) return true;
  }
  return false;
}

bool Matches(const CDeviceChannel& channel, const CHidDevice& hid) {
  const bool product = channel.kind == DeviceKind::Keyboard ? IsKeyboardProductId(hid.attributes.product_id)
                                                            : hid.attributes.product_id == channel.product_id;
  return hid.attributes.vendor_id == channel.vendor_id && product &&
         hid.capabilities.usage_page == channel.usage_page && hid.capabilities.usage == channel.usage;
}

// The device went: flags cleared, then which tab takes over or whether the
// window goes, decided together with the other threads' removals.
void ApplyRemoval(IPresenceHost& host, DeviceKind kind) {
  std::lock_guard<std::mutex> serial(RemovalMutex());
  CDeviceChannel& channel = host.Channel(kind);
  channel.ready = false;
  channel.connected = 0;
  channel.follows_synchronised_lighting = 0;
  const bool mouse = IsConnected(host, DeviceKind::Mouse);
  const bool keyboard = IsConnected(host, DeviceKind::Keyboard);
  const bool pad = IsConnected(host, DeviceKind::MousePad);
  host.OnDeviceLeft(PlanRemoval(kind, mouse, keyboard, pad));
}

const char* ExitLine(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::Keyboard: return kExitKeyboardDetection;
    case DeviceKind::MousePad: return kExitPadDetection;
    case DeviceKind::Mouse: break;
  }
  return kExitMouseDetection;
}

// What one cycle found, acted on once the channel lock is released.
struct Cycle {
  bool list_failed = false;
  bool scanned = false;
  bool gone = false;
  bool present = false;
  bool same_mode = false;
  bool connected_now = false;
  ConnectResult connect;
};

// hung_up: the open node reported the device's removal while the thread
// waited; it is gone even if a new node took its name meanwhile.
Cycle RunLockedCycle(IPresenceHost& host, DeviceKind kind, CEvent& stop, bool hung_up) {
  CDeviceChannel& channel = host.Channel(kind);
  CHidDevice& hid = channel.transport;
  Cycle cycle;
  std::lock_guard<std::recursive_mutex> hold(channel.lock);
  if (channel.connected.load() != 0) {
    if (!hung_up && hid.Probe(hid.device_path)) {
      cycle.present = true;
      cycle.same_mode = AnyOtherConnected(host, kind);
    } else {
      cycle.gone = true;
    }
    return cycle;
  }
  hid.scan_position = 0;
  InterfaceWanted wanted;
  wanted.listed = [&channel](const std::string& path) { return ParsePathVendorId(path) == channel.vendor_id; };
  wanted.matches = [&channel](const CHidDevice& h) { return Matches(channel, h); };
  const OpenMatch opened = OpenMatchingInterface(hid, wanted);
  if (opened == OpenMatch::ListFailed) {
    cycle.list_failed = true;
    return cycle;
  }
  cycle.scanned = true;
  if (opened == OpenMatch::Opened) {
    channel.ready = false;
    channel.connected = 1;
    cycle.connect = ConnectDevice(host, kind, stop);
    // The read values are stored: from here on the device's queue runs
    // operations for it (they waited for this lock meanwhile).
    channel.ready = true;
    cycle.connected_now = true;
  }
  return cycle;
}

int RunDetection(DeviceKind kind, const PresenceThreadParam& param) {
  IPresenceHost& host = *param.host;
  CEvent& stop = *param.stop;
  // The connect read ends between two exchanges once the stop event is set.
  ScopedExchangeStop exchange_stop(stop);
  bool first_scan_done = false;
  int same_mode_shown = -1;  // -1: not known; the option is set when it changes
  PresenceWait wait(host.Channel(kind).transport.Backend());
  bool hung_up = false;
  while (!stop.Wait(kPresenceCycleWaitMs)) {
    const Cycle cycle = RunLockedCycle(host, kind, stop, hung_up);
    hung_up = false;
    if (cycle.list_failed) {
      DebugLine("hid: interface listing failed, device detection ends");
      break;
    }
    if (cycle.gone) {
      ApplyRemoval(host, kind);
      wait.NotifyOthers();
      same_mode_shown = -1;
    } else if (cycle.present && same_mode_shown != static_cast<int>(cycle.same_mode)) {
      host.OnSameModeChanged(kind, cycle.same_mode);
      same_mode_shown = static_cast<int>(cycle.same_mode);
    }
    if (cycle.connected_now) {
      wait.NotifyOthers();
      ShowConnectedDevice(host, kind, cycle.connect);
      same_mode_shown = -1;
      if (!first_scan_done) host.PostInstanceMessage();
      else host.ShowMainWindow();
    }
    if (cycle.scanned) first_scan_done = true;
    // A device just connected is looked at once more at once, which shows
    // the "same mode" option as the other devices' presence says.
    if (cycle.connected_now) continue;
    const PresenceWake woke = host.Channel(kind).connected.load() != 0
                                  ? wait.WhileConnected(stop, host.Channel(kind).transport)
                                  : wait.WhileAbsent(stop, kPresenceAbsentSleepMs);
    hung_up = woke == PresenceWake::kHungUp;
  }
  DebugLine(ExitLine(kind));
  return 0;
}

}  // namespace

bool IsKeyboardProductId(uint16_t product_id) {
  return IdentityOf(DeviceKind::Keyboard).AcceptsProduct(product_id);
}

int KeyboardDetectionThread(PresenceThreadParam param) { return RunDetection(DeviceKind::Keyboard, param); }
int MouseDetectionThread(PresenceThreadParam param) { return RunDetection(DeviceKind::Mouse, param); }
int MousePadDetectionThread(PresenceThreadParam param) { return RunDetection(DeviceKind::MousePad, param); }

}  // namespace trx

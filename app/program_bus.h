#pragma once
// CProgramBus: the running program's session-bus API (bus/bus_service.h)
// composed with trx770ctl's command runner (ctl/ctl_command.h), so a
// command sent by the tool, or a typed method called by any program, runs
// the tool's own code on the program's channels instead of refusing with
// "in use".
//
// - A device is "open" for a command when the program's channel for it is
//   connected; the path is the one the presence thread opened.
// - A command on one device runs as one operation on that device's queue;
//   one that spans devices (devices, dump without a device, light
//   copy-to-all) runs on the command thread, each exchange under the
//   channel lock.
// - After a command that changed a device (or the data folder), the
//   device's read-all message is posted to the window (the same read and
//   page refresh as the device's own read-all button), so the pages show
//   the change at once and the image, which the timed send writes from,
//   holds what the device holds; then SettingsChanged is signalled.
// - A profile selected or reset by a command reaches the program's own
//   select target (the profile strip's controls) and ProfileChanged with
//   the reason "user".
//
// Threads: the commands run on the service's command thread, one at a time;
// none of this runs on the UI thread or waits for it. The notifications
// (DeviceConnected ...) from any thread between Start and Stop.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bus/bus_service.h"
#include "device/device_channel.h"
#include "device/device_queue.h"
#include "profile/profile_operations.h"

namespace trx::app {

struct ProgramBusHost {
  // The program's channel of a kind (alive as long as the program bus).
  std::function<CDeviceChannel&(DeviceKind)> channel;
  // Asks the window to read the device again and refresh its pages; must
  // not wait for the UI thread.
  std::function<void(DeviceKind)> reread;
  // The program's profile select target (posts to the UI thread).
  IProfileSelectTarget* select_target = nullptr;
  // Runs `fn` as one operation on the device's queue (device/device_queue.h:
  // the channel held from its first exchange to its last, in order with
  // the program's own operations) and waits for it: Ran, NotReady (the
  // device's connect read not done yet) or Stopped (shutdown). Empty:
  // commands run on the command thread with per-exchange locking.
  std::function<OperationStatus(DeviceKind, const std::function<void()>&)> on_queue;
  // Asks the window to show the device's profile lists again (a profile
  // was added, copied, renamed, deleted, imported or reset); must not wait.
  std::function<void(DeviceKind)> profiles_changed;
};

class CProgramBus {
 public:
  // bus_address empty: the session bus.
  explicit CProgramBus(ProgramBusHost host, std::string bus_address = {});
  ~CProgramBus();

  // Takes the name; false (and *error) when not possible, e.g. another copy
  // runs or there is no session bus. The program goes on without the API.
  bool Start(std::string* error);
  void Stop();

  // One command line of the tool, as the service runs it (public for tests).
  bus::CommandOutput Run(const std::vector<std::string>& words, bool json);

  void DeviceConnected(DeviceKind kind) { service_.DeviceAdded(kind); }
  void DeviceLeft(DeviceKind kind) { service_.DeviceRemoved(kind); }
  // family: "device", "light", "key" or "onboard"; reason: bus_names.h.
  void ProfileInEffect(DeviceKind kind, const std::string& family, const std::string& name, const std::string& reason) {
    service_.ProfileChanged(kind, family, name, reason);
  }

  // The kinds a successful command changed, by its words (none for the
  // commands that only read). Public for tests.
  static std::vector<DeviceKind> ChangedKinds(const std::vector<std::string>& words);
  // The one device a command works on, or none (devices, dump without a
  // device, light copy-to-all, a bad device word).
  static std::optional<DeviceKind> DeviceOf(const std::vector<std::string>& words);

 private:
  ProgramBusHost host_;
  bus::CBusService service_;
};

}  // namespace trx::app

#pragma once
// CBusService: the running program's API on the session bus
// (docs/dbus-api.md). It owns "org.trx770.trx770" and serves
//
//   /org/trx770/trx770            org.trx770.Manager1: Run (the tool's
//                                 command line), the Version and Devices
//                                 properties, the signals DeviceAdded,
//                                 DeviceRemoved, SettingsChanged and
//                                 ProfileChanged
//   /org/trx770/trx770/<kind>     one object per device present (mouse,
//                                 keyboard, pad): org.trx770.Device1 (the
//                                 device commands as typed methods, the Kind
//                                 property) and org.trx770.Profiles1 (the
//                                 profile commands)
//
// Every method is the tool's command: the typed ones build its words
// (SetDpi(2, 1600) is "dpi mouse 2 1600") and return its --json document,
// or a named error (org.trx770.Error.<Name>, bus_names.h) whose message is
// the tool's one-line reason; Run returns the exit code, output and reasons
// as they are, for trx770ctl.
//
// Threads. The bus is served by a thread running a GLib main context of
// the service's own; commands run one at a time, in the order they came, on
// the service's command thread through `run` (which may hand them on, e.g.
// to a device's operation queue, and wait), never on the bus thread nor the
// UI thread. The notifications (DeviceAdded ...) may be called from any
// thread between Start and Stop; they are handed to the bus thread and
// never wait.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/device_channel.h"

namespace trx::bus {

struct CommandOutput {
  int exit_code = 0;  // trx770ctl's exit code (ctl::ExitCode)
  std::string out;    // what the tool prints on stdout
  std::string err;    // its reasons, one line each, as printed on stderr
};

// Runs one command line of the tool: `words` as typed after the options,
// `json` for --json. Called on the command thread.
using RunCommandFn = std::function<CommandOutput(const std::vector<std::string>& words, bool json)>;

class CBusService {
 public:
  // bus_address empty: the session bus.
  explicit CBusService(RunCommandFn run, std::string bus_address = {});
  ~CBusService();
  CBusService(const CBusService&) = delete;
  CBusService& operator=(const CBusService&) = delete;

  // Connects, serves the manager object and takes the name. False (and
  // *error) when the bus can't be reached or another process has the name.
  bool Start(std::string* error);
  // Gives up the name, waits for the command running (queued ones are
  // answered with an error) and ends both threads. Idempotent.
  void Stop();

  // Any thread. The device objects follow the devices present.
  void DeviceAdded(DeviceKind kind);
  void DeviceRemoved(DeviceKind kind);
  void SettingsChanged(DeviceKind kind);
  // family: "device", "light", "key" or "onboard" (the mouse's onboard
  // slot, name "1"-"5"); reason: kReasonUser, kReasonProgramLink,
  // kReasonDeviceButton.
  void ProfileChanged(DeviceKind kind, const std::string& family, const std::string& name, const std::string& reason);

  struct GState;  // the GLib objects (bus thread)

 private:
  struct Job {
    std::vector<std::string> words;
    bool json = false;
    bool typed = false;  // a typed method: "(s)" or a named error
    void* invocation = nullptr;  // GDBusMethodInvocation*, owned
  };
  friend struct GState;
  void Enqueue(Job job);
  void CommandLoop();
  void Post(std::function<void()> fn);  // to the bus thread
  static void Release(std::unique_ptr<GState> g);  // after both threads ended

  RunCommandFn run_;
  std::string address_;
  // Guards g_ against a notification racing Stop (a worker let go at
  // shutdown may still report). A leaf: only GLib's source calls under it.
  std::mutex state_mutex_;
  std::unique_ptr<GState> g_;
  std::thread loop_thread_;
  std::thread command_thread_;
  // Guards jobs_ and stopping_. A leaf: never held while a command runs or
  // a GLib call is made.
  std::mutex jobs_mutex_;
  std::condition_variable jobs_cv_;
  std::deque<Job> jobs_;
  bool stopping_ = false;
};

}  // namespace trx::bus

#pragma once
// trx770ctl's way to the running program: the session bus. When the
// program owns its bus name, a device or profile command is sent to it
// (org.trx770.Manager1.Run) and its output, reasons and exit code are the
// tool's own; otherwise the tool opens the devices itself.
//
// No bus is looked for when TRX770_NO_BUS is set, and none is started:
// without DBUS_SESSION_BUS_ADDRESS or a socket at $XDG_RUNTIME_DIR/bus
// there is no running program to find.
//
// Thread: the tool's one thread.

#include <ostream>
#include <string>
#include <vector>

#include "ctl/ctl_app.h"

namespace trx::ctl {

// A file named relative to the tool's folder would be looked for in the
// program's: the FILE argument of a command line (import, export,
// key-colours) made absolute. The output then names the absolute path.
std::vector<std::string> WithAbsoluteFile(std::vector<std::string> words);

// The session bus address to use, or empty when there is none (see above).
std::string SessionBusAddress();

class CBusClient {
 public:
  CBusClient() = default;
  ~CBusClient();
  CBusClient(const CBusClient&) = delete;
  CBusClient& operator=(const CBusClient&) = delete;

  // Connects to `address` (empty: SessionBusAddress()) and asks whether the
  // program owns its name. False when there is no bus or no program.
  bool Connect(const std::string& address = {});
  // Sends one command (the words as typed, --json as a flag) and copies the
  // program's output to `out` and `err`. A call that fails on the bus (the
  // program went away, no answer in 10 minutes) is a DeviceError with the
  // bus's reason.
  ExitCode Run(const std::vector<std::string>& words, bool json, std::ostream& out, std::ostream& err);

 private:
  void* bus_ = nullptr;  // GDBusConnection*
};

}  // namespace trx::ctl

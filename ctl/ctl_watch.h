#pragma once
// trx770ctl watch [--json]: one line per signal of the running program
// until interrupted (SIGINT, SIGTERM), flushed at once, so a status bar can
// follow the devices and the profile in effect:
//
//   device added: mouse             {"schema_version": 1, "event": "device-added", "kind": "mouse"}
//   device removed: mouse           {"schema_version": 1, "event": "device-removed", "kind": "mouse"}
//   settings changed: mouse         {"schema_version": 1, "event": "settings-changed", "kind": "mouse"}
//   profile in effect: mouse device 'game' (program-link)
//       {"schema_version": 1, "event": "profile-changed", "kind": "mouse", "family": "device",
//        "name": "game", "reason": "program-link"}
//
// It waits for the program when it is not running yet, and exits 3
// (NoDevice's code: nothing to watch) only when there is no session bus.
//
// Thread: the tool's one thread (a GLib main loop of its own context).

#include <functional>
#include <ostream>
#include <string>

#include "ctl/ctl_app.h"

namespace trx::ctl {

struct WatchOptions {
  std::string bus_address;  // empty: the session bus
  int max_events = 0;       // stop after this many lines (0: until interrupted)
  int timeout_ms = 0;       // stop after this long (0: never)
  // Called once the subscription is in place (tests start their change then).
  std::function<void()> subscribed;
};

ExitCode RunWatch(bool json, const WatchOptions& options, std::ostream& out, std::ostream& err);

}  // namespace trx::ctl

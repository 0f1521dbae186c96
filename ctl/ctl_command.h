#pragma once
// One trx770ctl command run over the devices a caller gives. Two callers:
// RunCtl (the tool on its own: its own exclusive opens, the direct path)
// and the running program's session-bus service (the program's own
// channels). Both print the same text, the same --json document and the
// same one-line reasons, and return the same exit code.
//
// Thread: the caller's; one command at a time per process (the profile and
// macro files are read and written without a lock of their own).

#include <ostream>
#include <string>
#include <vector>

#include "ctl/ctl_app.h"
#include "ctl/ctl_macro.h"
#include "ctl/ctl_profile.h"

namespace trx::ctl {

struct CommandDevices {
  OpenChannel open;                 // the kind's device, or null with the reason
  ProfileSelectHooks profile_hooks; // where profile selections go besides the device
};

// The commands that use a device or the data folder: the ones the running
// program serves (not pointer-speed, wheel-lines or watch).
bool IsServedCommand(const std::string& command);

// True for the commands that only read (devices, dump, the list, show and
// export subcommands): nothing on a device or in the data folder changes.
bool IsReadOnlyCommand(const std::vector<std::string>& words);

// `words`: the command and its arguments, as on the command line.
ExitCode RunCommand(const std::vector<std::string>& words, bool json, const CommandDevices& devices,
                    std::ostream& out, std::ostream& err);

}  // namespace trx::ctl

#pragma once
// trx770ctl profile: the profiles on the computer, the same INI indexes,
// files and refusals as the window's profile strip (a profile added here
// shows in the window's combo at its next start).
//
//   profile list DEVICE [FAMILY]             each profile: index, name, the
//                                            selected one, its program link
//   profile select DEVICE FAMILY NAME        selects it (writes the device
//                                            when it is connected)
//   profile add DEVICE FAMILY                "profileN" from the default, selected
//   profile copy DEVICE FAMILY NAME          "NAME copy", selected
//   profile rename DEVICE FAMILY NAME NEW
//   profile delete DEVICE FAMILY NAME        the last profile is selected next
//   profile import DEVICE FAMILY FILE        the file is checked first: a
//                                            refused file adds nothing
//   profile export DEVICE FAMILY NAME FILE
//   profile reset DEVICE FAMILY              the selected profile back to the default
//
// FAMILY is device (mouse), light or key (mouse, keyboard); the pad has
// light only. Names are matched exactly, else ignoring case. A refusal
// exits with Refused (7), a file that can't be read or written with
// FileError (8), a device command that failed with DeviceError (1).
//
// Thread: the tool's one thread.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "ctl/ctl_app.h"
#include "ctl/ctl_macro.h"
#include "profile/profile_operations.h"

namespace trx::ctl {

// Applies a selected profile's pointer speed and wheel lines to the desktop.
using ApplyPointer = std::function<void(int speed, int lines)>;

// Where a completed select or reset goes besides the device and the files.
struct ProfileSelectHooks {
  // The tool on its own: the profile's pointer settings to the desktop.
  ApplyPointer apply_pointer;
  // The running program (its bus service): the image already holds what
  // the device holds, so it is not first loaded from the selected device
  // profile, and each selection also reaches the program's own target
  // (its controls, its desktop settings). Called on the command's thread.
  IProfileSelectTarget* program = nullptr;
};

// `words` = "profile" and its arguments.
ExitCode RunProfileCommand(const std::vector<std::string>& words, bool json, const OpenChannel& open,
                           const ProfileSelectHooks& hooks, std::ostream& out, std::ostream& err);

}  // namespace trx::ctl

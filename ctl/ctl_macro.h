#pragma once
// trx770ctl macro: the macro library of the mouse or the keyboard, the same
// files and refusals as the window's macro page.
//
//   macro list DEVICE               index, name and action count per macro
//   macro show DEVICE NAME          the action lines, readably
//   macro new DEVICE                creates "name_N"; prints the name
//   macro import DEVICE FILE        copies FILE in as a new macro; prints its name
//   macro export DEVICE NAME FILE   copies the macro's file to FILE
//   macro delete DEVICE NAME        removes it, renumbers the buttons of the
//                                   five onboard profiles (on the device) and
//                                   uploads the library; prints the buttons
//                                   that went back to their default
//   macro upload DEVICE             the library image, then the active
//                                   profile's key block
//
// Thread: the tool's one thread.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "ctl/ctl_app.h"
#include "device/device_channel.h"
#include "services/device_session.h"

namespace trx::ctl {

// Opens the kind's device; null with `report` saying why.
using OpenChannel = std::function<CDeviceChannel*(DeviceKind kind, OpenReport& report)>;

// `words` = "macro" and its arguments.
ExitCode RunMacroCommand(const std::vector<std::string>& words, bool json, const OpenChannel& open,
                         std::ostream& out, std::ostream& err);

}  // namespace trx::ctl

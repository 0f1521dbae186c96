#pragma once
// trx770ctl: the device operations of the window's pages, from a shell.
//
//   trx770ctl [--simulate[=mouse,keyboard,pad]] [--sim-state DIR] [--json]
//             COMMAND [ARGS]
//   trx770ctl --help | --version
//
//   devices             the connected devices: kind, interface, device
//                       information, key block size
//   dump [DEVICE]       device information, the five onboard settings
//                       records decoded and the active onboard profile
//                       (DEVICE: mouse, keyboard, pad; default: the first
//                       connected, in that order)
//   onboard DEVICE N    makes onboard profile N (1-5) the active one
//   light show|set|copy-to-all DEVICE ...   the lighting bytes
//                       (light_command.h)
//   dpi DEVICE LEVEL VALUE, dpi-colour DEVICE LEVEL RRGGBB, rate DEVICE HZ
//                       edit the mouse's active onboard record (DPI in
//                       DPI, refused when the sensor's base and step can't
//                       reach it; DPI and colour go out as the window's
//                       three frames, the rate as one whole-record frame)
//   pointer-speed N, wheel-lines N
//                       the running desktop's settings (NotAvailable where
//                       the desktop has none)
//   macro SUB DEVICE .. the macro library (ctl/ctl_macro.h)
//   button SUB mouse .. the button assignments (ctl/ctl_button.h)
//   routine SUB ..      the fire-key routines (ctl/ctl_routine.h)
//   profile SUB DEVICE ..  the profiles on the computer (ctl/ctl_profile.h)
//   backup DEVICE FILE, backup --list, restore DEVICE FILE
//                       everything a device holds (ctl/ctl_backup.h)
//
// It runs on the real hidraw devices, or with --simulate on simulated ones
// behind a fake hidraw tree (the same enumeration and transport);
// --sim-state DIR keeps the simulated devices' memory in DIR between runs.
// Devices are opened exclusively: one the window holds is refused.
//
// Exit status (ExitCode, ctl/exit_codes.h): 0 success; otherwise a one-line reason on stderr.

#include <ostream>
#include <string>
#include <vector>

#include "ctl/exit_codes.h"

namespace trx::ctl {

// Runs one invocation; args excludes the program name. Output goes to
// `out`, the one-line reasons to `err`.
ExitCode RunCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace trx::ctl

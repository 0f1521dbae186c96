#pragma once
// trx770ctl light: the lighting bytes 1-8 of a device's settings record at
// device address 0 (where the window's settings send puts its current
// record), as the lighting pages edit them.
//
//   light show DEVICE
//   light set DEVICE [--mode NAME|N] [--brightness N] [--speed N]
//                    [--direction left|right] [--cycle on|off] [--colour RRGGBB]
//   light copy-to-all DEVICE
//
// Brightness and speed are the pages' slider values 0-14 (the speed byte is
// 14 - value). A colour clears the colour cycle, as on the pages. set and
// copy-to-all write bytes 1-8 with one Write settings bytes frame at
// address 1; copy-to-all writes to every other connected device.
//
// Main thread of the tool.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "ctl/ctl_app.h"
#include "device/device_channel.h"

namespace trx::ctl {

// Opens a device: the channel, or null with the one-line reason written and
// the exit code set. `quiet_absent`: a device that isn't there writes no
// reason (copy-to-all skips it).
using OpenDeviceFn = std::function<CDeviceChannel*(DeviceKind kind, bool quiet_absent, ExitCode* code)>;

// words: "light" and its arguments.
ExitCode RunLight(const std::vector<std::string>& words, bool json, const OpenDeviceFn& open, std::ostream& out,
                  std::ostream& err);

}  // namespace trx::ctl

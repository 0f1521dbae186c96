#pragma once
// The cursor routines read from a mouse that has just connected, into the
// routine files: skipped while the files hold edits not yet on the mouse
// (the cursor page asks first when the connected event reaches it), a
// failure only logged.
//
// The mouse's detection thread, with the mouse channel's lock held: device
// exchanges and files only, nothing the user sees.

#include "device/device_channel.h"
#include "routine/routine_edits.h"

namespace trx::app {

void ReadMouseRoutinesOnConnect(CDeviceChannel& mouse, const routine::RoutineEdits& edits);

}  // namespace trx::app

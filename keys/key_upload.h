#pragma once
// Saving the button assignments to the mouse: the fire-key routines
// (routine/routine_device.h; the mouse only), then the macro library and
// the active onboard profile's key block
// (macro/macro_upload.h: Write key block, index = ProfileIndex). The
// profile's key block and the device information are copied under
// the image lock first (WithImage); the device is written after releasing it.
//
// Writing the device profile file afterwards is the caller's, and only
// when this returns Ok: a half-sent upload must not be recorded as the
// device's state.
//
// Any thread (normally the device-operation worker).

#include "device/device_channel.h"
#include "macro/macro_upload.h"
#include "platform/progress_reporter.h"
#include "routine/routine_device.h"

namespace trx::keys {

// `kind`: the mouse (its active onboard profile's block) or the keyboard
// (its one block, index 0). For the mouse the routines go first; a routine
// upload that fails (too large, refused) does not hold back the buttons:
// its report lands in *routines (when given) for the caller to show.
macro::MacroUploadReport UploadKeyAssignments(DeviceKind kind, CDeviceChannel& channel, const macro::MacroStore& store,
                                              IProgressReporter& progress,
                                              routine::RoutineUploadReport* routines = nullptr);

}  // namespace trx::keys

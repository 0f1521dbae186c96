#pragma once
// Saving the button assignments to the mouse: the fire-key routines (not
// sent yet: they arrive with the routines; a debug line says so), then the
// macro library and the active onboard profile's key block
// (macro/macro_upload.h: Write key block, index = ProfileIndex). The
// profile's key block and the device information are copied under
// ImageMutex() first; the device is written after releasing it.
//
// Writing the device profile file afterwards is the caller's, and only
// when this returns Ok: a half-sent upload must not be recorded as the
// device's state.
//
// Any thread (normally the device-operation worker).

#include "device/device_channel.h"
#include "macro/macro_upload.h"
#include "platform/progress_reporter.h"

namespace trx::keys {

inline constexpr const char* kRoutineUploadSkipped = "button save: routine upload skipped (no routines yet)";

// `kind`: the mouse (its active onboard profile's block) or the keyboard
// (its one block, index 0).
macro::MacroUploadReport UploadKeyAssignments(DeviceKind kind, CDeviceChannel& channel, const macro::MacroStore& store,
                                              IProgressReporter& progress);

}  // namespace trx::keys

#pragma once
// Deleting a macro everywhere it is referred to: the library (index and
// file), the onboard key blocks on the device and the stored profiles that
// hold a key block (the key profiles, and the mouse's device profiles).
// Buttons that ran the macro get their default entry back; buttons running
// a later macro number get it decreased by one (RenumberAfterDelete).
//
// Order, so that a failure never leaves the parts disagreeing unnoticed and
// a second run never renumbers twice:
//   1. the library changes first (DeleteMacro); when it fails nothing else
//      is touched;
//   2. with a device: its five key blocks and its default block are read,
//      renumbered and the changed ones written in one transfer. When a
//      write fails, the blocks written so far (and the failing one) are
//      written back and the library is put back as it was: nothing changed
//      (DeviceError). When putting back fails too, the library stays
//      changed (so running the delete again finds no macro and renumbers
//      nothing) and `left_to_do` names the onboard profiles that still
//      hold the old numbers;
//   3. the stored profiles' key blocks are renumbered with the same
//      defaults; one that can't be rewritten is named in `left_to_do`.
//
// Thread: any (the device operation worker in the window, the tool's
// thread); the channel's own lock serialises the exchanges. No image lock
// is taken: the caller renumbers the configuration image itself.

#include <string>
#include <vector>

#include "device/device_channel.h"
#include "macro/macro_library.h"

namespace trx::macro {

struct MacroDeleteReport {
  MacroResult result = MacroResult::Ok;  // Ok, NoSuchMacro, FileError (library), DeviceError
  std::vector<ButtonReset> resets;       // onboard buttons given their default back
  std::string left_to_do;                // empty unless part of the change stays made
  bool device_renumbered = false;        // the device's blocks were rewritten
};

// Deletes macro `index` of `kind`'s library. `channel` null: no device is
// connected, only the library and the stored profiles change, renumbered
// with `defaults` (the default key block, kKeyBlockSize bytes).
MacroDeleteReport DeleteMacroEverywhere(const MacroStore& store, DeviceKind kind, int index, CDeviceChannel* channel,
                                        const uint8_t* defaults);

// One line for the user: what was done, or what failed and what is left.
std::string DescribeMacroDelete(const MacroDeleteReport& report);

}  // namespace trx::macro

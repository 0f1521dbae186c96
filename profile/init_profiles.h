#pragma once
// First-run initialisation of a device's profile indexes, run once when the
// main window initialises: fills the profile combos from the INI index and,
// for a family with no profiles yet, creates "profile1" from the default
// file of the program folder.
//
// Thread: the UI thread.

#include <string_view>

#include "device/device_channel.h"
#include "settings/settings_host.h"

namespace trx {

// The lists that show a family's profiles (the page layer's profile
// combos), by device and family.
class IProfileLists {
 public:
  virtual ~IProfileLists() = default;
  virtual void AddItem(DeviceKind kind, ProfileFamily family, std::string_view text, int height_px) = 0;
  virtual int ItemCount(DeviceKind kind, ProfileFamily family) const = 0;
};

// The modal message box; takes a language text id ("message_text_8").
class IProfileMessages {
 public:
  virtual ~IProfileMessages() = default;
  virtual int ShowMessage(std::string_view text_id) = 0;
};

// A count above this (or above the number of names present) is not
// believed: the combo is filled only as far as the names go.
inline constexpr long kProfileCountLimit = 10000;

// For each family of the device, in the order device, light, key:
//  - count > 0: one combo item per index 0..count-1 showing its name ("0"
//    when missing); an absurd count (above kProfileCountLimit or above the
//    number of names present) gives items only up to the first missing
//    name, with a debug line;
//  - otherwise read the family's default file from the program folder
//    (the keyboard's by its layout variant in the image): missing →
//    message "message_text_8", bad magic → "message_text_9", and the whole
//    initialisation stops; else write "profile1" + extension into the device
//    folder, add the item "profile1" and write count (= the combo's items),
//    link flag "0", name "profile1", select "0" for index 0 and the mark
//    "new" (profile/new_profiles.h), so the device's first read fills it
//    with the device's own settings instead of the defaults being sent to
//    the device.
// Returns true when every family was handled, false when it stopped.
bool InitProfiles(DeviceKind kind, IProfileLists& lists, IProfileMessages& messages);

}  // namespace trx

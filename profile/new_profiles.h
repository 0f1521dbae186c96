#pragma once
// Profiles made by the first run from the program's default file (a
// family's "profile1", profile/init_profiles.h) that no device has filled
// yet.
//
// Such a profile holds defaults, not anything the user chose, so a
// device's arrival must not apply it: the connect read fills it from what
// the device holds (presence/connect_sequences.cpp) and the profile strip
// only shows it. The mark is the key "new" = "1" in the family's selected
// section of the device's INI index, so a device first plugged in on a
// later start is treated the same; the fill, or a select or restore of the
// family (the user's own choice), removes it.
//
// Thread: any (the INI calls are serialised process-wide).

#include "profile/profile_families.h"

namespace trx {

// The key InitProfiles writes ("1") with the profile's other index keys.
inline constexpr const char* kIniKeyNew = "new";

bool IsNewProfile(DeviceKind kind, ProfileFamily family);
void ClearNewProfile(DeviceKind kind, ProfileFamily family);

}  // namespace trx

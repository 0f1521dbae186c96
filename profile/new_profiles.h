#pragma once
// Profiles created on this start from the program's default file (the
// first run's "profile1" of a family), until the device's first whole read
// has filled them with what the device holds.
//
// Such a profile holds defaults, not anything the user chose, so a
// device's arrival must not apply it: the connect read fills it from the
// device instead (presence/connect_sequences.cpp) and the profile strip
// only shows it. A user's select or restore on the family makes it the
// user's own and clears the mark.
//
// Process-wide, per index file (a profile folder that changes starts with
// no marks); any thread (a leaf mutex inside, never held around a file or
// device access).

#include "profile/profile_families.h"

namespace trx {

void MarkNewProfile(DeviceKind kind, ProfileFamily family);
bool IsNewProfile(DeviceKind kind, ProfileFamily family);
void ClearNewProfile(DeviceKind kind, ProfileFamily family);

}  // namespace trx

#pragma once
// The profile in effect per family, kept apart from the user's choice.
//
// The user's choice is "select" in the device's INI index: what the user
// picked in a combo (or trx770ctl). The profile in effect is what the image
// and the device hold now: the user's choice, or a linked profile while its
// program is in front. Saves write to the profile in effect, so edits made
// while a linked profile is in effect land in the linked profile's file and
// the user's own file stays as it was; going back to the user's choice
// loads that file untouched.
//
// Process-wide; any thread (a leaf mutex inside, taken after the image
// mutex and never around a file or device access).

#include "profile/profile_families.h"

namespace trx {

// The profile in effect: the one last set in this process, else "select".
int EffectiveProfileIndex(const ProfileFamilyInfo& info);
void SetEffectiveProfile(const ProfileFamilyInfo& info, int index);
// Forgets every family's (tests; a fresh start has nothing set).
void ForgetEffectiveProfiles();

}  // namespace trx

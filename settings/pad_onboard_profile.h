#pragma once
// Switching the mouse pad's active onboard profile: the pad's twin of
// SwitchOnboardProfile (onboard_profile.h), over its five 64-byte lighting
// slots and its 21-byte current lighting record.
//
//  1. read the active index a (1 byte at address 0);
//  2. a == k: stop (kSwitchAlreadyActive);
//  3. store the current lighting record into bytes 0-20 of slot a;
//  4. write k to address 0;
//  5. read slot k (56 bytes at k * 64);
//  6. current lighting record := bytes 0-20 of slot k, byte 0 := k.
// Results and failures as SwitchOnboardProfile's: nothing changes when the
// active index can't be read or is 5 or more, or when writing k fails.
// The caller refreshes the pad's page on kSwitchDone.
//
// Thread: any thread that may use the pad channel; holds the channel lock
// for the whole sequence.

#include "device/device_channel.h"
#include "settings/onboard_profile.h"

namespace trx {

OnboardSwitchResult SwitchPadOnboardProfile(CDeviceChannel& pad, int k);

}  // namespace trx

#pragma once
// Moving a profile's data between its file bytes and the configuration
// image (layouts in profile_families.h and settings/mouse_config_image.h).
//
// Thread safety: the caller holds ImageMutex() (settings/config_images.h)
// around both calls.

#include <cstdint>
#include <vector>

#include "profile/profile_families.h"
#include "settings/config_images.h"

namespace trx {

// Builds the data of a file of the family from the image. First folds the
// working copies into the stored records, as every save does:
//  - mouse: current record → bytes 0-33 of settings slot 0, pointer speed →
//    byte 34, wheel lines → byte 35;
//  - keyboard and pad light: the 21-byte current record → lighting record 0.
std::vector<uint8_t> BuildProfileData(ConfigImages& images, const ProfileFamilyInfo& info);

// Copies loaded data (info.data_size bytes) into the image:
//  - mouse device: key block 0, settings slot 0, current record, pointer
//    speed and wheel lines (0 becomes 1);
//  - mouse light: the lighting bytes 1-8 of settings slot 0 and of the
//    current record, pointer speed and wheel lines (0 becomes 1); DPI,
//    report rate and the rest of the record are left alone;
//  - mouse key: key block 0;
//  - keyboard light: lighting record 0, current record (21 bytes), lighting
//    extra, per-key colours;  keyboard key: key block;
//  - pad light: lighting record 0 and its current record (21 bytes).
void ApplyProfileData(ConfigImages& images, const ProfileFamilyInfo& info, const uint8_t* data);

}  // namespace trx

#pragma once
// Which key lights each keyboard layout variant has, for the keyboard
// picture of the lighting page (docs/keyboard-lighting.md). The picture
// draws a full-size keyboard of 104 keys over the light numbers 0-125; a
// variant shows only the keys it has, and only those can be selected.
//
//   variant 0 (product 0x8611)  full size, 104 keys
//   variant 1 (product 0x6556)  without the numeric pad, 87 keys
//   variant 2 (product 0x7200)  full size, 104 keys
//
// Light numbers the picture never draws (16-20, 79-83, 101-104, 118-125)
// belong to no variant. Pure data; any thread.

#include "settings/device_records.h"

namespace trx::pages {

inline constexpr int kKeyboardLightCount = 126;

bool KeyboardLayoutHasLight(KeyboardVariant variant, int light);
int KeyboardLayoutKeyCount(KeyboardVariant variant);

}  // namespace trx::pages

#pragma once
// The keyboard's and the mouse pad's records that lie beside the mouse
// image. Plain records; lighting records use the mouse's lighting bytes 1-8
// at the same positions.
//
// Lighting record (64-byte slot; the first 21 bytes form the device's
// current lighting record):
//   0    onboard profile index     1  mode           2  brightness
//   3    speed (14 - slider)       4  direction 1 left / 0 right
//   5    colour cycle flag         6-8 colour r, g, b
//   9-63 device bytes kept as read
//
// Thread safety: as MouseConfigImage (guarded by ImageMutex()).

#include <cstddef>
#include <cstdint>

#include "settings/key_assignment.h"

namespace trx {

inline constexpr int kLightingRecordCount = 5;
inline constexpr size_t kLightingRecordSize = 64;
inline constexpr size_t kCurrentLightingSize = 21;
inline constexpr size_t kKeyboardKeyColoursSize = 1888;
inline constexpr size_t kDeviceInfoBytes = 33;
inline constexpr size_t kKeyboardInfoKeyCount = 5;  // device info byte: block size / 3

// Keyboard layout variant, from the product id at connect.
enum class KeyboardVariant : uint8_t { Full = 0, V15 = 1, V16 = 2 };
inline constexpr int kKeyboardVariantCount = 3;
// 0x8611 → 0, 0x6556 → 1, 0x7200 → 2; any other id keeps `fallback`.
KeyboardVariant KeyboardVariantFromProductId(uint16_t product_id, KeyboardVariant fallback);

struct KeyboardImage {
  uint8_t device_info[kDeviceInfoBytes] = {};
  uint8_t main_block[kKeyBlockSize] = {};
  uint8_t key_block[kKeyBlockSize] = {};
  uint8_t lighting_records[kLightingRecordCount][kLightingRecordSize] = {};
  uint8_t current_record[kCurrentLightingSize] = {};
  uint32_t lighting_extra = 0;  // stored little-endian in light profile files
  uint8_t key_colours[kKeyboardKeyColoursSize] = {};
  KeyboardVariant variant = KeyboardVariant::Full;
};

struct MousePadImage {
  uint8_t device_info[kDeviceInfoBytes] = {};
  uint8_t lighting_records[kLightingRecordCount][kLightingRecordSize] = {};
  uint8_t current_record[kCurrentLightingSize] = {};
};

}  // namespace trx

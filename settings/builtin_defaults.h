#pragma once
// The built-in defaults that the program's default profile files are made
// from (profile/tools/make_default_profiles.cpp), for when no device has
// been read.
//
// Mouse settings record (64 bytes):
//   byte 0       0       onboard profile 0
//   byte 1       0       light mode 0 (colour wheel): lighting on
//   byte 2       10      brightness
//   byte 3       7       speed (slider 7)
//   byte 4       0       direction right
//   byte 5       1       colour cycle on
//   bytes 6-8    FF 00 00  light colour red
//   byte 14      0       report rate: first list item
//   bytes 15-18  7, 15, 31, 63  DPI levels 800, 1600, 3200, 6400 for a sensor
//                        with DPI base 100 and step 100 (DPI = 100 + 100 x pos)
//   bytes 21-32  FF 00 00, 00 FF 00, 00 00 FF, FF FF 00  DPI colours red,
//                        green, blue, yellow
//   byte 34      10      pointer speed
//   byte 35      3       wheel lines
//   all others   0
//
// Keyboard and mouse pad lighting record 0: the same lighting bytes 0-8.
// Keyboard key block: no keyboard key layout is built in, so the default
// key block is the neutral block: every entry 0x05 (no function), bytes
// 510-511 zero. The keyboard's own factory block replaces it in the program
// folder when it is captured from the device.

#include <cstdint>

#include "settings/device_records.h"
#include "settings/mouse_config_image.h"

namespace trx {

inline constexpr uint16_t kDefaultDpiBase = 100;
inline constexpr uint16_t kDefaultDpiStep = 100;
inline constexpr uint8_t kDefaultPointerSpeed = 10;
inline constexpr uint8_t kDefaultWheelLines = 3;

void DefaultMouseSettingsRecord(uint8_t (&record)[kSettingsSlotSize]);
void DefaultLightingRecord(uint8_t (&record)[kLightingRecordSize]);
void DefaultKeyboardKeyBlock(uint8_t (&block)[kKeyBlockSize]);

}  // namespace trx

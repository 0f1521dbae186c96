#pragma once
// The keyboard's five custom colour sets, kept in its per-key colour block
// (KeyboardImage::key_colours, 1888 bytes, saved byte for byte in the
// keyboard's light profile).
//
// Set s (0-4) holds one red, green, blue triple per key light (0-125):
// key k of set s is bytes 378 s + 3 k .. + 2 of the block. The block ends
// two bytes short of five whole sets, so the green and blue of key 125 in
// set 4 are not stored (read as 0, writes dropped); light 125 belongs to no
// key of any keyboard layout. The chosen set is the low byte of the
// keyboard's 32-bit lighting extra (saved with the profile); the other
// bytes of the extra are kept as they are. A stored set number outside 0-4
// reads as set 0.
//
// Plain functions over the image: the caller holds ImageMutex().

#include <cstddef>
#include <cstdint>

#include "settings/device_records.h"

namespace trx {

inline constexpr int kKeyColourSetCount = 5;
inline constexpr int kKeyColourKeys = 126;
inline constexpr size_t kKeyColourSetBytes = 3 * static_cast<size_t>(kKeyColourKeys);

int ActiveKeyColourSet(const KeyboardImage& keyboard);
// Sets outside 0-4 are refused (false, nothing changed).
bool SetActiveKeyColourSet(KeyboardImage& keyboard, int set);

// 0xRRGGBB of key `key` in set `set`; 0 for keys or sets outside the ranges.
uint32_t KeyColour(const KeyboardImage& keyboard, int set, int key);
// Stores 0xRRGGBB (the top byte is ignored); false when the key or set is
// outside the ranges. Bytes past the end of the block are dropped.
bool SetKeyColour(KeyboardImage& keyboard, int set, int key, uint32_t rgb);

}  // namespace trx

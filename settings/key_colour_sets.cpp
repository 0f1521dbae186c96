#include "settings/key_colour_sets.h"

namespace trx {

namespace {
bool InRange(int set, int key) { return set >= 0 && set < kKeyColourSetCount && key >= 0 && key < kKeyColourKeys; }
size_t Offset(int set, int key) { return static_cast<size_t>(set) * kKeyColourSetBytes + 3 * static_cast<size_t>(key); }
}  // namespace

int ActiveKeyColourSet(const KeyboardImage& keyboard) {
  const int set = static_cast<int>(keyboard.lighting_extra & 0xFFu);
  return set < kKeyColourSetCount ? set : 0;
}

bool SetActiveKeyColourSet(KeyboardImage& keyboard, int set) {
  if (set < 0 || set >= kKeyColourSetCount) return false;
  keyboard.lighting_extra = (keyboard.lighting_extra & ~0xFFu) | static_cast<uint32_t>(set);
  return true;
}

uint32_t KeyColour(const KeyboardImage& keyboard, int set, int key) {
  if (!InRange(set, key)) return 0;
  uint32_t rgb = 0;
  for (size_t i = 0, at = Offset(set, key); i < 3; ++i, ++at)
    rgb = rgb << 8 | (at < kKeyboardKeyColoursSize ? keyboard.key_colours[at] : 0u);
  return rgb;
}

bool SetKeyColour(KeyboardImage& keyboard, int set, int key, uint32_t rgb) {
  if (!InRange(set, key)) return false;
  for (size_t i = 0, at = Offset(set, key); i < 3; ++i, ++at)
    if (at < kKeyboardKeyColoursSize) keyboard.key_colours[at] = static_cast<uint8_t>(rgb >> (16 - 8 * i));
  return true;
}

}  // namespace trx

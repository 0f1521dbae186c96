#include "pages/keyboard_layouts.h"

#include <algorithm>
#include <array>

namespace trx::pages {

namespace {

struct LightRange {
  int first, last;  // inclusive
};

// The keys the picture draws, by light number, row by row.
constexpr std::array<LightRange, 6> kDrawn = {{{0, 15}, {21, 41}, {42, 62}, {63, 78}, {84, 100}, {105, 117}}};

// The numeric pad: Num Lock, /, *, -, 7-9, +, 4-6, 1-3, Enter, 0, '.'.
constexpr std::array<int, 17> kNumericPad = {38, 39, 40, 41, 59, 60, 61, 62, 76, 77, 78, 97, 98, 99, 100, 116, 117};

bool Drawn(int light) {
  return std::any_of(kDrawn.begin(), kDrawn.end(), [light](const LightRange& r) { return light >= r.first && light <= r.last; });
}

}  // namespace

bool KeyboardLayoutHasLight(KeyboardVariant variant, int light) {
  if (!Drawn(light)) return false;
  if (variant == KeyboardVariant::V15)
    return std::find(kNumericPad.begin(), kNumericPad.end(), light) == kNumericPad.end();
  return true;
}

int KeyboardLayoutKeyCount(KeyboardVariant variant) {
  int n = 0;
  for (int light = 0; light < kKeyboardLightCount; ++light) n += KeyboardLayoutHasLight(variant, light) ? 1 : 0;
  return n;
}

}  // namespace trx::pages

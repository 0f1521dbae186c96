#pragma once
// One frame of the preview: a tint (colour and opacity) per preview slot.
// The engines write the slots of their family; slots they do not touch keep
// the value they had. Plain data, copied between threads under the owner's
// lock.

#include <array>
#include <cstdint>

#include "lighting/tables.h"

namespace trx::lighting {

struct Tint {
  uint32_t colour = 0;  // the interface library's 0xRRGGBB (b0 red, b1 green, b2 blue)
  uint8_t alpha = 0;    // 0-255
  constexpr bool operator==(const Tint&) const = default;
};

inline constexpr uint32_t TintColour(const Rgb& c) {
  return uint32_t{c.b0} << 16 | uint32_t{c.b1} << 8 | c.b2;
}

struct Frame {
  std::array<Tint, kSlotCount> tints{};
  void Set(int slot, const Rgb& colour, uint8_t alpha) { tints[static_cast<size_t>(slot)] = {TintColour(colour), alpha}; }
  void SetRaw(int slot, uint32_t colour, uint8_t alpha) { tints[static_cast<size_t>(slot)] = {colour, alpha}; }
};

// The settings an engine reads each cycle (the lighting bytes 1-8 of a
// device, and for the keyboard its lighting variant).
struct EffectSettings {
  uint8_t mode = 0;
  uint8_t brightness = 0;
  uint8_t speed = 0;  // 0-14
  uint8_t direction = 0;
  uint8_t colour_cycle = 0;
  Rgb colour{};
  uint8_t variant = 0;  // keyboard: 0 full colour, 1 single colour, 2
};

// Position stepping: +1 with the direction flag set, -1 without, wrapping
// within 0..size-1 (a position left out of range by a mode change is
// brought back first).
inline uint8_t StepPosition(uint8_t position, bool forward, int size, int step_up = 1, int step_down = 1) {
  int p = position % size;
  p = forward ? p + step_up : p - step_down;
  p %= size;
  if (p < 0) p += size;
  return static_cast<uint8_t>(p);
}

}  // namespace trx::lighting

#include "lighting/engines.h"

namespace trx::lighting {

uint8_t MouseDecay(uint8_t level) {
  if (level & 0x80) return static_cast<uint8_t>(level - 40);
  if (level & 0x40) return static_cast<uint8_t>(level - 30);
  if (level & 0x20) return static_cast<uint8_t>(level - 10);
  if (level > 16) return static_cast<uint8_t>(level - 8);
  return level > 4 ? static_cast<uint8_t>(level - 4) : 0;
}

namespace {
constexpr int kFlashMs = 100;
constexpr int kFlashStep = 14;
constexpr int kRollingExtraMs = 50;
constexpr int kRollingColourStep = 11;

bool Visible(const CycleInput& in, int slot) { return (in.mouse_visible >> slot) & 1u; }

void SetGroup(Frame& f, const CycleInput& in, int group, const Rgb& c, uint8_t alpha) {
  for (uint8_t slot : kMouseGroups[static_cast<size_t>(group)])
    if (Visible(in, slot)) f.Set(kMouseFirstSlot + slot, c, alpha);
}
}  // namespace

void MouseEngine::Restart(int start) {
  position = static_cast<uint8_t>(start);
  colour_set = 0;
  pattern = 0x01;
  levels = {};
}

int MouseEngine::Cycle(const EffectSettings& s, const CycleInput& in, Frame& f, bool* unknown_mode) {
  if (unknown_mode != nullptr) *unknown_mode = false;
  const bool fwd = s.direction != 0;
  const uint8_t bo = BrightnessOpacity(s.brightness);
  switch (s.mode) {
    case 0:
      position = StepPosition(position, fwd, kWheelSize);
      for (int i = 0; i < kMouseSlots; ++i)
        if (Visible(in, i)) f.Set(kMouseFirstSlot + i, kWheel[position], bo);
      return 0;
    case 1:
    case 3: {
      position = StepPosition(position, fwd, 128);
      if (s.mode == 1 && position == 0) colour_set = static_cast<uint8_t>((colour_set + 1) % 3);
      const uint8_t a = Scale(bo, kBreathCurve[position]);
      for (int g = 0; g < 7; ++g)
        SetGroup(f, in, g, s.mode == 1 ? kThreeColourSets[colour_set][static_cast<size_t>(g)] : s.colour, a);
      return 0;
    }
    case 2:
    case 6: {
      if (in.mouse_trigger) {
        flash_started = true;
        flash_start_ms = in.now_ms;
        flash_position = static_cast<uint8_t>(flash_position + kFlashStep >= kWheelSize ? 0 : flash_position + kFlashStep);
      }
      const bool lit = flash_started && in.now_ms - flash_start_ms < kFlashMs;
      for (int i = 0; i < 15; ++i) {
        if (lit) f.Set(kMouseFirstSlot + i, s.colour_cycle ? kWheel[flash_position] : s.colour, bo);
        else f.SetRaw(kMouseFirstSlot + i, 0, 0);
      }
      return 0;
    }
    case 4:
      for (int i = 0; i < kMouseSlots; ++i)
        if (Visible(in, i)) f.Set(kMouseFirstSlot + i, s.colour, bo);
      return 0;
    case 5: {
      position = StepPosition(position, fwd, kWheelSize);
      // The one-group pattern rotates one place in the chosen direction.
      pattern = fwd ? static_cast<uint8_t>(((pattern << 1) | (pattern >> 6)) & 0x7F)
                    : static_cast<uint8_t>(((pattern >> 1) | (pattern << 6)) & 0x7F);
      for (int g = 0; g < 7; ++g) {
        if (pattern & (1u << g)) {
          levels[g] = 255;
          colour_counter = static_cast<uint8_t>((colour_counter + kRollingColourStep) % kWheelSize);
          colour_pos[g] = colour_counter;
        }
        levels[g] = MouseDecay(levels[g]);
        SetGroup(f, in, g, s.colour_cycle ? kWheel[colour_pos[g]] : s.colour, Scale(bo, levels[g]));
      }
      return kRollingExtraMs;
    }
    default:
      if (unknown_mode != nullptr) *unknown_mode = true;
      return 0;
  }
}

}  // namespace trx::lighting

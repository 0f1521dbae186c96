#include "lighting/engines.h"

namespace trx::lighting {

int SyncEngine::Cycle(const EffectSettings& s, const SyncFamilies& follow, Frame& f) {
  const bool fwd = s.direction != 0;
  const bool cycle = s.colour_cycle != 0;
  const uint8_t bo = BrightnessOpacity(s.brightness);
  auto paint_all = [&](const Rgb& c, uint8_t a) {
    if (follow.mouse)
      for (int i = 0; i < kMouseSlots; ++i) f.Set(kMouseFirstSlot + i, c, a);
    if (follow.pad)
      for (int i = 0; i < kPadSlots; ++i) f.Set(kPadFirstSlot + i, c, a);
    if (follow.keyboard)
      for (int i = 0; i < kKeyboardSlots; ++i) f.Set(kKeyboardFirstSlot + i, c, a);
  };
  // Extra sleep per family that does not follow (keyboard, mouse, pad).
  auto rest = [&](int kb, int ms, int pad) {
    return (follow.keyboard ? 0 : kb) + (follow.mouse ? 0 : ms) + (follow.pad ? 0 : pad);
  };
  switch (s.mode) {
    case 0: {
      position = StepPosition(position, fwd, cycle ? kWheelSize : 96);
      for (int c = 0; c < kMatrixColumns; ++c) {
        Rgb colour = s.colour;
        uint8_t alpha = bo;
        if (cycle) colour = WheelAt(position + 7 * c);
        else alpha = Scale(bo, kWaveCurve[(position + 10 * c) % 96]);
        if (follow.keyboard)
          for (uint8_t k : kKeyMatrix[static_cast<size_t>(c)])
            if (k != kNoKey) f.Set(kKeyboardFirstSlot + k, colour, alpha);
        if (follow.mouse && c < 7)
          for (uint8_t slot : kMouseGroups[static_cast<size_t>(c)]) f.Set(kMouseFirstSlot + slot, colour, alpha);
        if (follow.pad && c < kPadSlots) f.Set(kPadFirstSlot + c, colour, alpha);
      }
      return rest(6, 1, 1);
    }
    case 1:
      position = StepPosition(position, fwd, kWheelSize);
      paint_all(kWheel[position], bo);
      return rest(9, 1, 1) + 6;
    case 2: {
      position = StepPosition(position, fwd, 128);
      const Rgb c = cycle ? kWheel[position + 50 >= kWheelSize ? position + 50 - kWheelSize : position + 50] : s.colour;
      paint_all(c, Scale(bo, kBreathCurve[position]));
      return 0;
    }
    case 3:
      paint_all(s.colour, bo);
      return rest(6, 1, 1) + 5;
    default:
      return 0;
  }
}

}  // namespace trx::lighting

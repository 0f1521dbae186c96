#include "lighting/engines.h"

namespace trx::lighting {

uint8_t KeyDecay(uint8_t level, bool mode5) {
  if (mode5) {
    if (level & 0x80) return static_cast<uint8_t>(level - 40);
    if (level & 0x40) return static_cast<uint8_t>(level - 30);
    if (level & 0x20) return static_cast<uint8_t>(level - 10);
    if (level > 16) return static_cast<uint8_t>(level - 8);
    return level;  // 9-16 keep their faint glow; 8 and below as they are
  }
  if (level & 0x80) return static_cast<uint8_t>(level - 30);
  if (level & 0x40) return static_cast<uint8_t>(level - 20);
  if (level & 0x20) return static_cast<uint8_t>(level - 10);
  if (level > 16) return static_cast<uint8_t>(level - 5);
  if (level > 8) return static_cast<uint8_t>(level - 4);
  return 0;
}

namespace {
constexpr int kColumnWheelStep = 7;
constexpr int kColumnWaveStep = 10;
constexpr int kSnakeWheelStep = 5;
constexpr int kSnakeWaveStep = 5;
constexpr int kRowBandStep = 24;
constexpr int kRingStep = 21;
constexpr int kTwinklePerCycle = 3;
constexpr int kTwinkleColourStep = 10;
constexpr int kSnakeColourStep = 13;
constexpr int kFlashColourStep = 5;
constexpr int kScriptSweepSteps = 20;
constexpr int kScriptPatternSteps = 31;
constexpr int kScriptReactiveSteps = 3 * 64;

void SetKey(Frame& f, int key, const Rgb& c, uint8_t alpha) { f.Set(kKeyboardFirstSlot + key, c, alpha); }
void SetColumn(Frame& f, int column, const Rgb& c, uint8_t alpha) {
  for (uint8_t k : kKeyMatrix[static_cast<size_t>(column)])
    if (k != kNoKey) SetKey(f, k, c, alpha);
}
}  // namespace

int KeyboardEngine::PreSleepMs(const EffectSettings& s) {
  if (s.variant == 1) {
    switch (s.mode) {
      case 3: return 40;
      case 4: return 15;
      case 5: return 1;
      default: return 0;
    }
  }
  switch (s.mode) {
    case 1: return 20;
    case 4: return 12;
    case 5: return 40;
    case 6: return 15;
    case 7: return 1;
    case 13: return 10;
    default: return 0;
  }
}

void KeyboardEngine::Reset(int mode) {
  position = 0;
  if (mode == -1 || mode == 4)
    for (int k = 0; k < 126; ++k) key_pos[k] = static_cast<uint8_t>((k * 37) % kWheelSize);
  if (mode == -1 || mode == 11)
    for (int k = 0; k < 126; ++k) phase[k] = static_cast<uint8_t>((k * 71) % kWheelSize);
  if (mode == -1 || mode == 5 || mode == 15 || mode == 6 || mode == 12 || mode == 9) {
    levels = {};
    step = 0;
  }
}

void KeyboardEngine::Light(int key, uint8_t level, int colour_step) {
  if (key < 0 || key >= 126) return;
  levels[key] = level;
  colour_counter = static_cast<uint8_t>((colour_counter + colour_step) % kWheelSize);
  colour_pos[key] = colour_counter;
}

void KeyboardEngine::DrawLevels(const EffectSettings& s, Frame& f, bool mode5) {
  const uint8_t bo = BrightnessOpacity(s.brightness);
  for (int k = 0; k < 126; ++k) {
    levels[k] = KeyDecay(levels[k], mode5);
    SetKey(f, k, s.colour_cycle ? kWheel[colour_pos[k]] : s.colour, Scale(bo, levels[k]));
  }
}

void KeyboardEngine::Cycle(const EffectSettings& s, const CycleInput& in, Frame& f) {
  if (s.variant == 1) SingleColour(s, in, f);
  else FullColour(s, in, f);
  ++counter_a;
  counter_b += 3;
}

void KeyboardEngine::FullColour(const EffectSettings& s, const CycleInput& in, Frame& f) {
  const bool fwd = s.direction != 0;
  const bool cycle = s.colour_cycle != 0;
  const uint8_t bo = BrightnessOpacity(s.brightness);
  switch (s.mode) {
    case 0:
      if (cycle) {
        position = StepPosition(position, fwd, kWheelSize);
        for (int c = 0; c < kMatrixColumns; ++c) SetColumn(f, c, WheelAt(position + kColumnWheelStep * c), bo);
      } else {
        position = StepPosition(position, fwd, 96);
        for (int c = 0; c < kMatrixColumns; ++c)
          SetColumn(f, c, s.colour, Scale(bo, kWaveCurve[(position + kColumnWaveStep * (c + 1)) % 96]));
      }
      return;
    case 1:
      position = StepPosition(position, fwd, kWheelSize);
      for (int k = 0; k < 126; ++k) SetKey(f, k, kWheel[position], bo);
      return;
    case 2: {
      position = StepPosition(position, fwd, 128);
      const Rgb c = cycle ? kWheel[position + 50 >= kWheelSize ? position + 50 - kWheelSize : position + 50] : s.colour;
      for (int k = 0; k < 126; ++k) SetKey(f, k, c, Scale(bo, kBreathCurve[position]));
      return;
    }
    case 3:
      for (int k = 0; k < 126; ++k) SetKey(f, k, s.colour, bo);
      return;
    case 4:
      for (int k = 0; k < 126; ++k) {
        key_pos[k] = static_cast<uint8_t>(key_pos[k] + 1 >= kWheelSize ? 0 : key_pos[k] + 1);
        SetKey(f, k, kWheel[key_pos[k]], bo);
      }
      return;
    case 5:
    case 15:
      // Reactive: the keys pressed since the last cycle light up and fade.
      // Mode 15 lights them in snake-path order, each a further wheel step on.
      if (s.mode == 15) {
        for (uint8_t k : kSnakePath)
          if (in.marks[k]) Light(k, 255, kTwinkleColourStep);
      } else {
        for (int k = 0; k < 126; ++k)
          if (in.marks[static_cast<size_t>(k)]) Light(k, 255, kTwinkleColourStep);
      }
      DrawLevels(s, f, s.mode == 5);
      return;
    case 6: {
      // Script: a sweep of six-key columns, a diagonal pattern, then three
      // reactive phases; then again.
      if (step < kScriptSweepSteps) {
        for (uint8_t k : kKeyMatrix[static_cast<size_t>(step + 1)])
          if (k != kNoKey) Light(k, 254, kSnakeColourStep);
      } else if (step < kScriptSweepSteps + kScriptPatternSteps) {
        const int d = step - kScriptSweepSteps;
        for (int c = 0; c < kMatrixColumns; ++c)
          for (int r = 0; r < kMatrixRows; ++r) {
            const uint8_t k = kKeyMatrix[static_cast<size_t>(c)][static_cast<size_t>(r)];
            if (k != kNoKey && c + r == d) Light(k, 254, kSnakeColourStep);
          }
      } else {
        for (int k = 0; k < 126; ++k)
          if (in.marks[static_cast<size_t>(k)]) Light(k, 254, kSnakeColourStep);
      }
      step = (step + 1) % (kScriptSweepSteps + kScriptPatternSteps + kScriptReactiveSteps);
      DrawLevels(s, f, false);
      return;
    }
    case 7:
      if (cycle) {
        position = StepPosition(position, fwd, kWheelSize);
        for (int i = 0; i < 104; ++i) SetKey(f, kSnakePath[i], WheelAt(position + kSnakeWheelStep * i), bo);
      } else {
        position = StepPosition(position, fwd, 96);
        for (int i = 0; i < 104; ++i)
          SetKey(f, kSnakePath[i], s.colour, Scale(bo, kWaveCurve[(position + kSnakeWaveStep * i) % 96]));
      }
      return;
    case 8:
      for (int k = 0; k < 126; ++k) SetKey(f, k, in.custom != nullptr ? in.custom[k] : s.colour, bo);
      return;
    case 9:
      for (int n = 0; n < kTwinklePerCycle; ++n) {
        Light(kSnakePath[kTwinkleOrder[static_cast<size_t>(step)]], 255, kTwinkleColourStep);
        step = (step + 1) % 104;
      }
      DrawLevels(s, f, false);
      return;
    case 10:
      position = StepPosition(position, fwd, kWheelSize);
      for (int c = 0; c < kMatrixColumns; ++c)
        for (int r = 0; r < kMatrixRows; ++r) {
          const uint8_t k = kKeyMatrix[static_cast<size_t>(c)][static_cast<size_t>(r)];
          if (k != kNoKey) SetKey(f, k, WheelAt(position + kRowBandStep * r), bo);
        }
      return;
    case 11:
      for (int k = 0; k < 126; ++k) {
        if (++phase[k] >= kWheelSize) {
          phase[k] = 0;
          colour_counter = static_cast<uint8_t>(colour_counter + kFlashColourStep);
          flash_colour[k] = colour_counter;
        }
        SetKey(f, k, cycle ? kFlashColours[flash_colour[k]] : s.colour, Scale(bo, kFlashCurve[phase[k]]));
      }
      return;
    case 12: {
      // Skip the path's gaps: the head always lands on a key.
      uint8_t key = kNoKey;
      while (key == kNoKey) {
        key = kSnakeHeadPath[static_cast<size_t>(step)];
        step = (step + 1) % static_cast<int>(kSnakeHeadPath.size());
      }
      Light(key, 254, kSnakeColourStep);
      DrawLevels(s, f, false);
      return;
    }
    case 13:
      position = StepPosition(position, fwd, kWheelSize, 4, 2);
      for (int k = 0; k < 126; ++k)
        if (kRippleRing[k] != kNoKey) SetKey(f, k, WheelAt(position + kRingStep * (kRippleRing[k] + 1)), bo);
      return;
    case 14:
      // Columns flash one after another on the flash curve, in wheel colours.
      position = StepPosition(position, fwd, kWheelSize);
      for (int c = 0; c < kMatrixColumns; ++c)
        SetColumn(f, c, cycle ? WheelAt(position + kColumnWheelStep * c) : s.colour,
                  Scale(bo, kFlashCurve[(counter_a * 2 + 8u * static_cast<uint32_t>(kMatrixColumns - c)) % 192]));
      return;
    default:
      return;
  }
}

void KeyboardEngine::SingleColour(const EffectSettings& s, const CycleInput& in, Frame& f) {
  const bool fwd = s.direction != 0;
  const uint8_t bo = BrightnessOpacity(s.brightness);
  auto set = [&f](int k, uint8_t a) { f.SetRaw(kKeyboardFirstSlot + k, kSingleColourTint, a); };
  auto draw_levels = [&](bool mode5) {
    for (int k = 0; k < 126; ++k) {
      levels[k] = KeyDecay(levels[k], mode5);
      set(k, Scale(bo, levels[k]));
    }
  };
  switch (s.mode) {
    case 0:  // wave across the columns
      position = StepPosition(position, fwd, 96);
      for (int k = 0; k < 126; ++k)
        if (kKeyColumn[k] != kNoKey) set(k, Scale(bo, kWaveCurve[(position + kColumnWaveStep * (kKeyColumn[k] + 1)) % 96]));
      return;
    case 1:
      position = static_cast<uint8_t>(position >= 127 ? 0 : position + 1);
      for (int k = 0; k < 126; ++k) set(k, Scale(bo, kBreathCurve[position]));
      return;
    case 2:
      for (int k = 0; k < 126; ++k) set(k, bo);
      return;
    case 3:  // reactive
      for (int k = 0; k < 126; ++k)
        if (in.marks[static_cast<size_t>(k)]) levels[k] = 255;
      draw_levels(false);
      return;
    case 4:  // ripple of brightness from the centre key
      position = StepPosition(position, fwd, 96);
      for (int k = 0; k < 126; ++k)
        if (kRippleRing[k] != kNoKey) set(k, Scale(bo, kWaveCurve[(position + kColumnWaveStep * kRippleRing[k]) % 96]));
      return;
    case 5:  // twinkle
      for (int n = 0; n < kTwinklePerCycle; ++n) {
        levels[kSnakePath[kTwinkleOrder[static_cast<size_t>(step)]]] = 255;
        step = (step + 1) % 104;
      }
      draw_levels(false);
      return;
    case 6:  // row bands of brightness
      position = StepPosition(position, fwd, 96);
      for (int k = 0; k < 126; ++k)
        if (kKeyRow[k] != kNoKey) set(k, Scale(bo, kWaveCurve[(position + 16 * kKeyRow[k]) % 96]));
      return;
    case 7: {  // snake with a fading tail
      uint8_t key = kNoKey;
      while (key == kNoKey) {
        key = kSnakeHeadPath[static_cast<size_t>(step)];
        step = (step + 1) % static_cast<int>(kSnakeHeadPath.size());
      }
      levels[key] = 254;
      draw_levels(false);
      return;
    }
    case 8:
    case 9:  // per-key flashes
      for (int k = 0; k < 126; ++k) {
        phase[k] = static_cast<uint8_t>(phase[k] + 1 >= kWheelSize ? 0 : phase[k] + 1);
        set(k, Scale(bo, kFlashCurve[phase[k]]));
      }
      return;
    case 10:  // a lit bar of three columns sweeps across
      position = StepPosition(position, fwd, kMatrixColumns + 3);
      for (int k = 0; k < 126; ++k)
        if (kKeyColumn[k] != kNoKey) {
          const int d = kKeyColumn[k] - (position - 3);
          set(k, d >= 0 && d < 3 ? bo : 0);
        }
      return;
    default:
      return;
  }
}

}  // namespace trx::lighting

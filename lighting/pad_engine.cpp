#include "lighting/engines.h"

namespace trx::lighting {

namespace {
constexpr int kPadWheelStep = 7;
constexpr int kPadWaveStep = 10;
constexpr int kSparkMs = 100;

void SetLed(Frame& f, int led, const Rgb& c, uint8_t alpha) { f.Set(kPadFirstSlot + led, c, alpha); }
}  // namespace

int PadEngine::PreSleepMs(const EffectSettings& s) {
  switch (s.mode) {
    case 4: return s.speed * 10 + 100;
    case 5: return 50;
    case 7: return s.speed * 5 + 50;
    default: return 0;
  }
}

void PadEngine::Restart(int start, bool first_group) {
  position = static_cast<uint8_t>(start);
  bar = -1;
  bar_rising = true;
  head = 0;
  if (first_group) pattern = 0x01;
  levels = {};
}

void PadEngine::Cycle(const EffectSettings& s, const CycleInput& in, Frame& f) {
  const bool fwd = s.direction != 0;
  const uint8_t bo = BrightnessOpacity(s.brightness);
  const bool cycle = s.colour_cycle != 0;
  switch (s.mode) {
    case 0:
      if (cycle) {
        position = StepPosition(position, fwd, kWheelSize);
        for (int i = 0; i < kPadSlots; ++i) SetLed(f, i, WheelAt(position + kPadWheelStep * i), bo);
      } else {
        position = StepPosition(position, fwd, 96);
        for (int i = 0; i < kPadSlots; ++i) SetLed(f, i, s.colour, Scale(bo, kWaveCurve[(position + kPadWaveStep * i) % 96]));
      }
      return;
    case 1:
      position = StepPosition(position, fwd, kWheelSize);
      for (int i = 0; i < kPadSlots; ++i) SetLed(f, i, kWheel[position], bo);
      return;
    case 2: {
      position = StepPosition(position, fwd, 128);
      const Rgb c = cycle ? kWheel[position + 50] : s.colour;
      for (int i = 0; i < kPadSlots; ++i) SetLed(f, i, c, Scale(bo, kBreathCurve[position]));
      return;
    }
    case 3:
      for (int i = 0; i < kPadSlots; ++i) SetLed(f, i, s.colour, bo);
      return;
    case 4:
      // -1 up to 15, then down to -1, one step per cycle.
      if (bar_rising) {
        if (++bar >= 15) bar_rising = false;
      } else if (--bar <= -1) {
        bar_rising = true;
      }
      for (int i = 0; i < kPadSlots; ++i) {
        const bool lit = fwd ? i > bar : i < bar;
        if (lit) SetLed(f, i, cycle ? WheelAt(kPadWheelStep * i) : s.colour, bo);
        else f.SetRaw(kPadFirstSlot + i, 0, 0);
      }
      return;
    case 5:
      // One marked column rotates across the 7 columns; lit columns fade.
      pattern = fwd ? static_cast<uint8_t>(((pattern << 1) | (pattern >> 6)) & 0x7F)
                    : static_cast<uint8_t>(((pattern >> 1) | (pattern << 6)) & 0x7F);
      for (int c = 0; c < 7; ++c) {
        for (int8_t led : kPadColumns[static_cast<size_t>(c)]) {
          if (led < 0) continue;
          if (pattern & (1u << c)) {
            levels[led] = 255;
            colour_counter = static_cast<uint8_t>((colour_counter + 11) % kWheelSize);
            colour_pos[led] = colour_counter;
          }
          levels[led] = MouseDecay(levels[led]);
          SetLed(f, led, cycle ? kWheel[colour_pos[led]] : s.colour, Scale(bo, levels[led]));
        }
      }
      return;
    case 6:
      position = StepPosition(position, fwd, kWheelSize);
      for (int c = 0; c < 7; ++c)
        for (int8_t led : kPadColumns[static_cast<size_t>(c)])
          if (led >= 0) SetLed(f, led, WheelAt(position + kPadWheelStep * c), bo);
      return;
    case 7:
      // A comet runs round the U, its head taking the next wheel colour.
      position = StepPosition(position, fwd, kWheelSize);
      head = static_cast<uint8_t>(fwd ? (head + 1) % kPadSlots : (head + kPadSlots - 1) % kPadSlots);
      for (int i = 0; i < kPadSlots; ++i) levels[i] = MouseDecay(levels[i]);
      levels[head] = 255;
      colour_pos[head] = position;
      for (int i = 0; i < kPadSlots; ++i) SetLed(f, i, cycle ? kWheel[colour_pos[i]] : s.colour, Scale(bo, levels[i]));
      return;
    case 8:
      // Every 100 ms one LED (in a fixed shuffled order) sparks in the next
      // wheel colour; all fade every cycle.
      if (in.now_ms - last_spark_ms >= kSparkMs) {
        last_spark_ms = in.now_ms;
        head = static_cast<uint8_t>((head + 1) % 104);
        const int led = kTwinkleOrder[head] % kPadSlots;
        levels[led] = 255;
        colour_counter = static_cast<uint8_t>((colour_counter + 13) % kWheelSize);
        colour_pos[led] = colour_counter;
      }
      for (int i = 0; i < kPadSlots; ++i) {
        SetLed(f, i, cycle ? kWheel[colour_pos[i]] : s.colour, Scale(bo, levels[i]));
        levels[i] = KeyDecay(levels[i], false);
      }
      return;
    default:
      return;
  }
}

}  // namespace trx::lighting

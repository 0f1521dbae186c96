#pragma once
// The effect engines: one per device family and one for synchronised
// lighting. Each Cycle computes one cycle of the current mode from the
// settings and the engine's counters into a frame, using integer
// arithmetic and table lookups only. No threads, no clock of their own:
// the caller passes the time in milliseconds.
//
// One thread per engine object (the lighting thread of the family).

#include <bitset>
#include <cstdint>

#include "lighting/frame.h"

namespace trx::lighting {

// Per-cycle input besides the settings.
struct CycleInput {
  int64_t now_ms = 0;
  // Mouse: slots 0-19 whose control is visible (others are not tinted).
  uint32_t mouse_visible = 0xFFFFF;
  // Mouse: the reactive flash trigger (usage 0x403) was set.
  bool mouse_trigger = false;
  // Keyboard / pad: keys pressed since the last cycle (key LED numbers).
  std::bitset<126> marks;
  // Keyboard mode 8: the page's custom colour set (126 colours) or null.
  const Rgb* custom = nullptr;
};

// Level decays, per cycle.
uint8_t MouseDecay(uint8_t level);
uint8_t KeyDecay(uint8_t level, bool mode5);

class MouseEngine {
 public:
  // One cycle; returns the extra sleep after it in ms. `unknown_mode` is
  // set for modes above 6 (nothing drawn).
  int Cycle(const EffectSettings& s, const CycleInput& in, Frame& f, bool* unknown_mode = nullptr);
  void Restart(int position);
  uint8_t position = 0;
  uint8_t colour_set = 0;
  uint8_t flash_position = 0;
  int64_t flash_start_ms = 0;
  bool flash_started = false;
  uint8_t pattern = 0x01;  // rotating marks over the 7 groups
  uint8_t colour_counter = 0;
  std::array<uint8_t, 7> levels{};
  std::array<uint8_t, 7> colour_pos{};
};

class PadEngine {
 public:
  // Extra sleep before the cycle's effect, by mode.
  static int PreSleepMs(const EffectSettings& s);
  void Cycle(const EffectSettings& s, const CycleInput& in, Frame& f);
  void Restart(int position, bool first_group);
  uint8_t position = 0;
  int bar = -1;  // mode 4's filling bar, -1..15
  bool bar_rising = true;
  uint8_t pattern = 0x01;
  uint8_t colour_counter = 0;
  uint8_t head = 0;
  int64_t last_spark_ms = 0;
  std::array<uint8_t, 15> levels{};
  std::array<uint8_t, 15> colour_pos{};
};

class KeyboardEngine {
 public:
  // The mode that shows CycleInput::custom (variants 0 and 2).
  static constexpr uint8_t kCustomColourMode = 8;
  KeyboardEngine() { Reset(-1); }
  static int PreSleepMs(const EffectSettings& s);
  void Cycle(const EffectSettings& s, const CycleInput& in, Frame& f);
  // Clears the per-key state of `mode` (-1: all) and the position.
  void Reset(int mode);
  uint8_t position = 0;
  uint32_t counter_a = 0, counter_b = 0;  // free-running, advance each cycle
  uint8_t colour_counter = 0;
  int step = 0;  // twinkle / snake / script step
  std::array<uint8_t, 126> key_pos{};
  std::array<uint8_t, 126> levels{};
  std::array<uint8_t, 126> colour_pos{};
  std::array<uint8_t, 126> phase{};
  std::array<uint8_t, 126> flash_colour{};

 private:
  void FullColour(const EffectSettings& s, const CycleInput& in, Frame& f);
  void SingleColour(const EffectSettings& s, const CycleInput& in, Frame& f);
  void DrawLevels(const EffectSettings& s, Frame& f, bool mode5);
  void Light(int key, uint8_t level, int colour_step);
};

// Which families take part in a synchronised cycle.
struct SyncFamilies {
  bool keyboard = false, mouse = false, pad = false;
  bool Any() const { return keyboard || mouse || pad; }
};

class SyncEngine {
 public:
  // The sleep before the cycle: speed x 4 ms.
  static int PeriodMs(const EffectSettings& s) { return s.speed * 4; }
  // One cycle over the following families; returns the extra sleep after
  // it (for the families that do not follow).
  int Cycle(const EffectSettings& s, const SyncFamilies& follow, Frame& f);
  uint8_t position = 0;
};

}  // namespace trx::lighting

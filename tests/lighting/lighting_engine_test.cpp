// The lighting engines against hand-computed tints; the key LEDs of the picture (row x 21 + column).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "lighting/engines.h"
#include "lighting/key_leds.h"

namespace trx::lighting {
namespace {

Tint At(const Frame& f, int slot) { return f.tints[static_cast<size_t>(slot)]; }

// Spot entries {index, value} of a table.
template <size_t N>
void ExpectEntries(const std::array<uint8_t, N>& table, std::initializer_list<std::pair<int, int>> entries) {
  for (auto [i, v] : entries) EXPECT_EQ(table[static_cast<size_t>(i)], v) << "entry " << i;
}

TEST(LightingTables, KnownEntries) {
  for (auto [i, rgb] : {std::pair{0, Rgb{255, 1, 0}}, {32, Rgb{248, 255, 0}}, {99, Rgb{0, 206, 255}}, {191, Rgb{255, 0, 0}}})
    EXPECT_EQ(kWheel[static_cast<size_t>(i)], rgb) << i;
  EXPECT_EQ(kWheel[192], kWheel[0]);
  EXPECT_EQ(kWheel[223], kWheel[31]);
  EXPECT_EQ(TintColour(kWheel[14]), 0xFF4100u);
  ExpectEntries(kBreathCurve, {{10, 10}, {63, 255}, {64, 255}, {117, 10}});
  ExpectEntries(kWaveCurve, {{0, 22}, {47, 255}, {95, 22}});
  ExpectEntries(kFlashCurve, {{16, 255}, {17, 248}, {79, 1}, {80, 0}, {191, 0}});
  EXPECT_EQ(kFlashColours[6], (Rgb{128, 0, 255}));
}

TEST(LightingTables, KeyPaths) {
  ExpectEntries(kSnakePath, {{0, 15}, {15, 0}, {16, 21}, {34, 119}, {35, 41}, {103, 77}});
  EXPECT_EQ(std::set<uint8_t>(kSnakePath.begin(), kSnakePath.end()).size(), 104u);
  ExpectEntries(kSnakeHeadPath, {{16, 41}, {57, 119}, {62, kNoKey}, {105, 105}});
  auto order = kTwinkleOrder;
  std::sort(order.begin(), order.end());
  for (int i = 0; i < 104; ++i) EXPECT_EQ(order[static_cast<size_t>(i)], i);
  ExpectEntries(kRippleRing, {{51, 0}, {50, 1}, {52, 1}, {105, 10}, {120, kNoKey}});  // 105: column 0, row 5
  ExpectEntries(kKeyColumn, {{119, 22}});
  ExpectEntries(kKeyRow, {{119, 3}});
}

TEST(LightingTables, Periods) {
  struct Case { Family family; int mode, speed, ms; };
  for (const Case& c : {Case{Family::Keyboard, 0, 0, 2}, {Family::Keyboard, 0, 1, 13}, {Family::Keyboard, 4, 0, 3},
                        {Family::Keyboard, 7, 0, 3}, {Family::Keyboard, 12, 0, 3}, {Family::Keyboard, 2, 14, 63},
                        {Family::Keyboard, 2, 13, 61}, {Family::Keyboard, 15, 0, 0}, {Family::Keyboard, 15, 6, 0},
                        {Family::Keyboard, 15, 7, 9}, {Family::Keyboard, 15, 14, 37}, {Family::Pad, 8, 3, 21},
                        {Family::Pad, 0, 14, 65}, {Family::Mouse, 3, 5, 20}})
    EXPECT_EQ(PeriodMs(c.family, c.mode, c.speed), c.ms) << c.mode << "/" << c.speed;
  for (int speed = 0; speed <= 6; ++speed) {
    const EffectSettings s{.mode = 15, .speed = static_cast<uint8_t>(speed)};
    EXPECT_EQ(PeriodMs(Family::Keyboard, 15, speed) + KeyboardEngine::PreSleepMs(s), 0);
  }
}

TEST(LightingDecay, Steps) {
  struct Case { uint8_t in, mouse, key, key5; };
  for (const Case& c : {Case{255, 215, 225, 215}, {100, 70, 80, 70}, {40, 30, 30, 30}, {20, 12, 15, 12},
                        {16, 12, 12, 16}, {9, 5, 5, 9}, {8, 4, 0, 8}, {3, 0, 0, 3}, {0, 0, 0, 0}}) {
    EXPECT_EQ(MouseDecay(c.in), c.mouse) << int(c.in);
    EXPECT_EQ(KeyDecay(c.in, false), c.key) << int(c.in);
    EXPECT_EQ(KeyDecay(c.in, true), c.key5) << int(c.in);
  }
}

// One engine with its frame and settings.
template <typename Engine>
class Cycle : public ::testing::Test {
 protected:
  Engine e;
  Frame f;
  EffectSettings s;
};
using MouseCycle = Cycle<MouseEngine>;
using SyncCycle = Cycle<SyncEngine>;
using KeyboardCycle = Cycle<KeyboardEngine>;
using PadCycle = Cycle<PadEngine>;

TEST_F(MouseCycle, WheelStepsBackwardsAndSkipsHiddenSlots) {  // settings: mode 0, direction clear
  CycleInput in;
  in.mouse_visible = 0b11;  // slots 0 and 1 only
  e.Cycle(s, in, f);
  EXPECT_EQ(e.position, 191);
  EXPECT_EQ(At(f, 0), (Tint{0xFF0000, 255}));
  EXPECT_EQ(At(f, 2), (Tint{}));
  e.Cycle(s, in, f);
  EXPECT_EQ(e.position, 190);
  EXPECT_EQ(At(f, 1), (Tint{0xFF0002, 255}));
}

TEST(MouseEngine, BrightnessZeroIsFullOpacity) {
  for (uint8_t level : {0, 7, 14}) {
    MouseEngine e;
    Frame f;
    const EffectSettings s{.mode = 4, .brightness = level, .colour = {10, 20, 30}};
    e.Cycle(s, {}, f);
    EXPECT_EQ(At(f, 19), (Tint{0x0A141E, 255})) << int(level);
  }
}

TEST_F(MouseCycle, ThreeColourSetsInOrder) {
  s = {.mode = 1, .direction = 1};
  const uint32_t expected[] = {0xFFFF00, 0x00FFFF, 0xF500FF, 0xFFFF00};
  for (uint32_t colour : expected) {
    for (int i = 0; i < 63; ++i) e.Cycle(s, {}, f);  // to the curve's top
    EXPECT_EQ(At(f, 0), (Tint{colour, 254}));
    EXPECT_EQ(At(f, 19).colour, colour);
    for (int i = 63; i < 128; ++i) e.Cycle(s, {}, f);  // back to 0: next set
  }
}

TEST_F(MouseCycle, FlashEndsAfter100Ms) {
  s = {.mode = 2, .colour_cycle = 1};
  f.SetRaw(15, 0x123456, 9);
  CycleInput in;
  in.now_ms = 5000;
  e.Cycle(s, in, f);  // no trigger yet: dark
  EXPECT_EQ(At(f, 0), (Tint{}));
  in.mouse_trigger = true;
  in.now_ms = 6000;
  e.Cycle(s, in, f);
  EXPECT_EQ(At(f, 14), (Tint{0xFF4100, 255}));  // wheel[14]
  in.mouse_trigger = false;
  in.now_ms = 6099;
  e.Cycle(s, in, f);
  EXPECT_EQ(At(f, 0), (Tint{0xFF4100, 255}));
  in.now_ms = 6100;
  e.Cycle(s, in, f);
  EXPECT_EQ(At(f, 0), (Tint{}));
  EXPECT_EQ(At(f, 14), (Tint{}));
  EXPECT_EQ(At(f, 15), (Tint{0x123456, 9}));  // slots past 14 untouched
}

TEST_F(MouseCycle, ModesAboveSixDrawNothing) {
  s.mode = 7;
  bool unknown = false;
  e.Cycle(s, {}, f, &unknown);
  EXPECT_TRUE(unknown);
  EXPECT_EQ(At(f, 0), (Tint{}));
}

TEST_F(SyncCycle, WaveOverMouseAndPadWithoutKeyboard) {
  s = {.mode = 0, .direction = 1, .colour_cycle = 1};
  EXPECT_EQ(e.Cycle(s, {false, true, true}, f), 6);  // keyboard's share of the cycle
  EXPECT_EQ(At(f, 0), (Tint{0xFF0300, 255}));    // group 0: wheel[1]
  EXPECT_EQ(At(f, 19), (Tint{0xFF0300, 255}));
  EXPECT_EQ(At(f, 18), (Tint{0xFF1A00, 255}));   // group 1: wheel[8]
  EXPECT_EQ(At(f, 20), (Tint{0xFF0300, 255}));   // pad LED 0
  EXPECT_EQ(At(f, 34), (Tint{0x00CEFF, 255}));   // pad LED 14: wheel[99]
  EXPECT_EQ(At(f, 35 + 51), (Tint{}));           // keyboard untouched
  e.Cycle(s, {false, true, true}, f);
  EXPECT_EQ(At(f, 0), (Tint{0xFF0500, 255}));    // the wave moved: wheel[2]
  EXPECT_EQ(At(f, 20), (Tint{0xFF0500, 255}));
}

TEST_F(KeyboardCycle, ColumnWaveRippleAndBreathing) {
  s.colour_cycle = 1;
  e.Cycle(s, {}, f);  // mode 0, direction clear: 0 -> 191
  EXPECT_EQ(At(f, 35 + 105), (Tint{0xFF0000, 255}));  // column 0: wheel[191]
  EXPECT_EQ(At(f, 35 + 21), (Tint{0xFF1200, 255}));   // column 1: wheel[6]

  s = {.mode = 13, .direction = 1, .colour_cycle = 1};
  e.Reset(-1);
  e.Cycle(s, {}, f);  // +4
  EXPECT_EQ(At(f, 35 + 51), (Tint{0xFFB000, 255}));  // ring 0: wheel[25]
  s.direction = 0;
  e.Reset(-1);
  e.Cycle(s, {}, f);  // -2: 190
  EXPECT_EQ(At(f, 35 + 51), (Tint{0xFF6D00, 255}));  // wheel[19]

  s = {.mode = 2, .direction = 1, .colour = {1, 2, 3}};
  e.Reset(-1);
  for (int i = 0; i < 10; ++i) e.Cycle(s, {}, f);
  EXPECT_EQ(At(f, 35), (Tint{0x010203, 9}));  // 255 x curve[10] >> 8
}

TEST_F(KeyboardCycle, ReactiveKeyLightsAndFades) {
  s = {.mode = 5, .colour = {0, 0, 255}};
  CycleInput in;
  in.marks.set(30);
  e.Cycle(s, in, f);
  EXPECT_EQ(At(f, 35 + 30), (Tint{0x0000FF, 214}));  // 255 - 40, scaled
  EXPECT_EQ(At(f, 35 + 31).alpha, 0);
  e.Cycle(s, {}, f);
  EXPECT_EQ(At(f, 35 + 30).alpha, 174);  // 215 - 40 = 175
}

TEST_F(KeyboardCycle, SingleColourBreathingWraps) {
  s = {.mode = 1, .variant = 1};
  e.position = 127;
  e.Cycle(s, {}, f);
  EXPECT_EQ(e.position, 0);
  EXPECT_EQ(At(f, 35 + 0), (Tint{0xF6FF00, 0}));
  for (int i = 0; i < 63; ++i) e.Cycle(s, {}, f);
  EXPECT_EQ(At(f, 35 + 119), (Tint{0xF6FF00, 254}));
}

TEST_F(PadCycle, FillingBarAndColumnWheel) {
  s = {.mode = 4, .colour = {9, 9, 9}};
  e.Cycle(s, {}, f);  // bar 0: nothing below it
  EXPECT_EQ(At(f, 20), (Tint{}));
  e.Cycle(s, {}, f);  // bar 1: LED 0 lit
  EXPECT_EQ(At(f, 20), (Tint{0x090909, 255}));
  EXPECT_EQ(At(f, 21), (Tint{}));
  s.direction = 1;
  e.Cycle(s, {}, f);  // bar 2, lit above it
  EXPECT_EQ(At(f, 20), (Tint{}));
  EXPECT_EQ(At(f, 23), (Tint{0x090909, 255}));
  EXPECT_EQ(PadEngine::PreSleepMs(s), 100);

  s.mode = 6;
  e.Restart(0, false);
  e.Cycle(s, {}, f);  // position 1; column 6 = LEDs 14..10: wheel[43]
  EXPECT_EQ(At(f, 30), At(f, 34));
  EXPECT_EQ(At(f, 34), (Tint{TintColour(kWheel[43]), 255}));
  EXPECT_EQ(At(f, 25), (Tint{TintColour(kWheel[8]), 255}));
}

TEST(KeyLeds, KeysMapToTheirPictureLed) {
  struct Case { uint32_t vk; bool extended; int led; };
  const Case cases[] = {
      {0x1B, false, 0},     // Esc: row 0, column 0
      {0x7B, false, 12},    // F12
      {0x13, false, 15},    // Pause
      {0x08, false, 34},    // Backspace: row 1
      {0x4F, false, 51},    // O: the ripple's centre
      {0x0D, false, 75},    // Enter: row 3
      {0x0D, true, 100},    // keypad Enter: row 4
      {0xA0, false, 84},    // left Shift
      {0xA1, false, 95},    // right Shift
      {0x25, true, 113},    // Left arrow (flag ignored)
      {0x20, false, 108},   // Space
      {0x6E, false, 117},   // keypad decimal point
      {0x5C, true, -1},     // right Win: no LED on this keyboard
      {0xFF, false, -1},    // unknown
  };
  for (const Case& c : cases) EXPECT_EQ(KeyLedOfVirtualKey(c.vk, c.extended), c.led) << std::hex << c.vk;
}

TEST(KeyLeds, NoTwoKeysShareALedAndAllLieInTheMatrix) {
  std::set<int> seen;
  for (uint32_t vk = 0; vk < 0x100; ++vk)
    for (bool extended : {false, true}) {
      const int led = KeyLedOfVirtualKey(vk, extended);
      if (led < 0 || (extended && vk != 0x0D)) continue;
      EXPECT_LT(led, 126);
      EXPECT_TRUE(seen.insert(led).second) << "LED " << led << " twice";
    }
  EXPECT_EQ(seen.size(), 103u);  // the picture's 104 keys but Fn
}

}  // namespace
}  // namespace trx::lighting

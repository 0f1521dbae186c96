// The pressed key's LED on the keyboard picture: rows and columns of the
// matrix (row × 21 + column), keys told apart by their extended flag.
#include <gtest/gtest.h>

#include <set>

#include "lighting/key_leds.h"

namespace trx::lighting {
namespace {

TEST(KeyLeds, KeysMapToTheirPictureLed) {
  struct Case {
    uint32_t vk;
    bool extended;
    int led;
  };
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

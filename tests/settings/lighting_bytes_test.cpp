// The lighting bytes as one unit; the keyboard's five custom colour sets.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "settings/config_images.h"
#include "settings/key_colour_sets.h"
#include "settings/lighting_bytes.h"

namespace trx {
namespace {

TEST(LightingBytesTest, SitAtBytesOneToEightOfEachRecord) {
  ResetImagesToBuiltIn();
  const LightingBytes b{3, 10, 4, 1, 1, 0x12, 0x34, 0x56};
  for (DeviceKind kind : {DeviceKind::Mouse, DeviceKind::Keyboard, DeviceKind::MousePad}) WriteLighting(kind, b);
  std::lock_guard<std::recursive_mutex> lock(ImageMutex());
  const uint8_t expected[9] = {0, 3, 10, 4, 1, 1, 0x12, 0x34, 0x56};
  for (const uint8_t* rec : {Images().mouse.current, Images().keyboard.current_record, Images().pad.current_record})
    EXPECT_TRUE(std::equal(expected, expected + 9, rec));
  EXPECT_EQ(Images().mouse.current[9], 0);  // the breathing set is not part of the unit
  ResetImagesToBuiltIn();
}

TEST(LightingBytesTest, SpeedIsFourteenMinusTheSliderNeverBelowZero) {
  for (auto [slider, speed] : {std::pair{0, 14}, {7, 7}, {14, 0}, {20, 0}})
    EXPECT_EQ(LightingBytes::SpeedFromSlider(slider), speed) << slider;
  EXPECT_EQ(LightingBytes::SliderFromSpeed(0), 14);
  EXPECT_EQ(LightingBytes::SliderFromSpeed(3), 11);
  EXPECT_EQ(LightingBytes::SliderFromSpeed(200), 0);
}

TEST(LightingBytesTest, ReaderNeverSeesAHalfWrittenColour) {
  ResetImagesToBuiltIn();
  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::thread reader([&] {
    while (!done.load()) {
      const LightingBytes b = ReadLighting(DeviceKind::MousePad);
      if (b.red != b.green || b.green != b.blue || b.blue != b.mode) torn.fetch_add(1);
    }
  });
  for (int i = 0; i < 20000; ++i)
    UpdateLighting(DeviceKind::MousePad, [i](LightingBytes& b) { b.mode = b.red = b.green = b.blue = static_cast<uint8_t>(i); });
  done = true;
  reader.join();
  EXPECT_EQ(torn.load(), 0);
  ResetImagesToBuiltIn();
}

TEST(KeyColourSets, EachSetKeepsItsOwnColoursAtItsOwnOffset) {
  struct Case { int set, key; size_t offset; };  // offset: the first byte in the block, by hand
  const Case cases[] = {{0, 0, 0}, {0, 125, 375}, {1, 0, 378}, {2, 44, 888}, {4, 0, 1512}, {4, 124, 1884}};
  for (const Case& c : cases) {
    auto kb = std::make_unique<KeyboardImage>();
    ASSERT_TRUE(SetKeyColour(*kb, c.set, c.key, 0xFF123456));
    EXPECT_EQ(std::vector<uint8_t>(kb->key_colours + c.offset, kb->key_colours + c.offset + 3),
              (std::vector<uint8_t>{0x12, 0x34, 0x56}))
        << c.set << "/" << c.key;
    for (int set = 0; set < kKeyColourSetCount; ++set)
      EXPECT_EQ(KeyColour(*kb, set, c.key), set == c.set ? 0x123456u : 0u) << c.set << "/" << c.key << " in " << set;
  }
}

TEST(KeyColourSets, TheLastKeyOfTheLastSetKeepsOnlyItsRedAndRangesAreChecked) {
  auto kb = std::make_unique<KeyboardImage>();
  EXPECT_TRUE(SetKeyColour(*kb, 4, 125, 0xABCDEF));
  EXPECT_EQ(kb->key_colours[kKeyboardKeyColoursSize - 1], 0xAB);
  EXPECT_EQ(KeyColour(*kb, 4, 125), 0xAB0000u);
  EXPECT_FALSE(SetKeyColour(*kb, 5, 0, 1));
  EXPECT_FALSE(SetKeyColour(*kb, 0, 126, 1));
  EXPECT_FALSE(SetKeyColour(*kb, -1, 0, 1));
  EXPECT_EQ(KeyColour(*kb, 0, -1), 0u);
}

TEST(KeyColourSets, TheChosenSetIsTheLowByteOfTheLightingExtra) {
  auto kb = std::make_unique<KeyboardImage>();
  kb->lighting_extra = 0xA5A5A500;
  EXPECT_EQ(ActiveKeyColourSet(*kb), 0);
  EXPECT_TRUE(SetActiveKeyColourSet(*kb, 3));
  EXPECT_EQ(kb->lighting_extra, 0xA5A5A503u);
  EXPECT_EQ(ActiveKeyColourSet(*kb), 3);
  EXPECT_FALSE(SetActiveKeyColourSet(*kb, 5));
  EXPECT_EQ(ActiveKeyColourSet(*kb), 3);
  kb->lighting_extra = 0x07;  // written by something else: read as set 0
  EXPECT_EQ(ActiveKeyColourSet(*kb), 0);
}

}  // namespace
}  // namespace trx

// The lighting bytes as one unit: their place in each device's record, the
// speed encoding, and a reader on another thread that never sees a colour
// half written (run under ThreadSanitizer, an unguarded copy is reported).

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "settings/config_images.h"
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
  const int sliders[] = {0, 7, 14, 20};
  const uint8_t speeds[] = {14, 7, 0, 0};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(LightingBytes::SpeedFromSlider(sliders[i]), speeds[i]) << sliders[i];
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
  for (int i = 0; i < 20000; ++i) {
    UpdateLighting(DeviceKind::MousePad, [i](LightingBytes& b) {
      const auto v = static_cast<uint8_t>(i);
      b.mode = v;
      b.red = v;
      b.green = v;
      b.blue = v;
    });
  }
  done = true;
  reader.join();
  EXPECT_EQ(torn.load(), 0);
  ResetImagesToBuiltIn();
}

}  // namespace
}  // namespace trx

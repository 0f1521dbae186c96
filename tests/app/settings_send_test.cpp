// Timer 2: any number of changes within one 100 ms tick give one send per
// device, with the exact frames below (written out by hand: report id 4,
// checksum of bytes 3-63 little-endian in bytes 1-2, command 6 "Write
// settings bytes", length, address little-endian, payload from byte 8).

#include <gtest/gtest.h>

#include "app/app_messages.h"
#include "settings/settings_host.h"
#include "tests/app/app_test_support.h"

namespace trx::app::testing {
namespace {

std::vector<uint8_t> Frame(std::initializer_list<uint8_t> head, std::vector<std::pair<int, uint8_t>> bytes = {}) {
  std::vector<uint8_t> f(64, 0);
  size_t i = 0;
  for (uint8_t b : head) f[i++] = b;
  for (auto [at, b] : bytes) f[at] = b;
  return f;
}

class SettingsSendTest : public SimWindowTest {
 protected:
  void SetUp() override {
    SimWindowTest::SetUp();
    CreateOnSimulatedDevices();
  }
  void TearDown() override {
    SetSettingsHost(nullptr);
    SimWindowTest::TearDown();
  }
};

TEST_F(SettingsSendTest, MouseRecordGoesOutInThreeFramesSkippingBytes14And19) {
  {
    std::lock_guard<std::recursive_mutex> lock(ImageMutex());
    uint8_t* rec = Images().mouse.CurrentRecord();
    for (size_t i = 0; i < kCurrentRecordSize; ++i) rec[i] = 0;
    rec[2] = 0x05;                                             // brightness
    rec[14] = 0x09;                                            // report rate: never sent here
    rec[15] = 1, rec[16] = 2, rec[17] = 3, rec[18] = 4;        // DPI levels
    rec[19] = 0x05;                                            // active level: never sent here
    rec[21] = 0x10, rec[22] = 0x20, rec[23] = 0x30;            // DPI colour 1
  }
  SetSettingsHost(window.get());
  for (int i = 0; i < 25; ++i) MarkSettingsPending(DeviceKind::Mouse);  // a slider dragged through 25 steps
  queue().AdvanceTime(99);
  Settle();
  EXPECT_EQ(Writes().size(), 0u);
  queue().AdvanceTime(1);
  Settle();
  const auto frames = Written(DeviceKind::Mouse);
  ASSERT_EQ(frames.size(), 3u);
  // 6 + 14 + 0 + 5 = 25 = 0x19
  EXPECT_EQ(frames[0], Frame({0x04, 0x19, 0x00, 0x06, 0x0E, 0x00, 0x00, 0x00}, {{10, 0x05}}));
  // 6 + 4 + 15 + (1+2+3+4) = 35 = 0x23
  EXPECT_EQ(frames[1], Frame({0x04, 0x23, 0x00, 0x06, 0x04, 0x0F, 0x00, 0x00, 1, 2, 3, 4}));
  // 6 + 36 + 20 + 0x10+0x20+0x30 = 158 = 0x9E; byte 21 of the record is payload byte 1
  EXPECT_EQ(frames[2], Frame({0x04, 0x9E, 0x00, 0x06, 0x24, 0x14, 0x00, 0x00, 0x00, 0x10, 0x20, 0x30}));
  EXPECT_TRUE(Written(DeviceKind::Keyboard).empty());
  EXPECT_TRUE(Written(DeviceKind::MousePad).empty());
  // Nothing pending: the next ticks send nothing, and the timer has stopped.
  queue().AdvanceTime(300);
  Settle();
  EXPECT_EQ(Writes().size(), 3u);
  EXPECT_FALSE(KillTimer(window->GetHWND(), kTimerSendSettings));
}

TEST_F(SettingsSendTest, KeyboardAndPadSendTheirWholeRecordInOneFrameEach) {
  {
    std::lock_guard<std::recursive_mutex> lock(ImageMutex());
    for (size_t i = 0; i < kCurrentLightingSize; ++i) {
      Images().keyboard.current_record[i] = 0;
      Images().pad.current_record[i] = 0;
    }
    Images().keyboard.current_record[1] = 0x03;  // mode
    Images().keyboard.current_record[20] = 0x40; // last byte of the record
    Images().pad.current_record[6] = 0xFF;       // red
  }
  window->MarkSettingsPending(DeviceKind::MousePad);
  window->MarkSettingsPending(DeviceKind::Keyboard);
  window->MarkSettingsPending(DeviceKind::Keyboard);
  queue().AdvanceTime(100);
  Settle();
  // 6 + 56 (0x38) + 3 + 0x40 = 129 = 0x81
  EXPECT_EQ(Written(DeviceKind::Keyboard),
            (std::vector<std::vector<uint8_t>>{Frame({0x04, 0x81, 0x00, 0x06, 0x38, 0x00, 0x00, 0x00, 0x00, 0x03},
                                                     {{28, 0x40}})}));
  // 6 + 56 + 0xFF = 317 = 0x013D
  EXPECT_EQ(Written(DeviceKind::MousePad),
            (std::vector<std::vector<uint8_t>>{Frame({0x04, 0x3D, 0x01, 0x06, 0x38, 0x00, 0x00, 0x00}, {{14, 0xFF}})}));
  // (Each device has its own queue: the two sends run side by side.)
  EXPECT_EQ(Writes().size(), 2u);
}

// Before its connect read is done a device gets nothing: a flag set then
// is dropped, so a record copied before the read can never overwrite what
// the read stored. A device that is gone clears its flag without any frame.
TEST_F(SettingsSendTest, ADeviceNotReadYetOrGoneGetsNothingAndItsFlagIsDropped) {
  for (const bool gone : {false, true}) {
    CDeviceChannel& mouse = window->Channel(DeviceKind::Mouse);
    if (gone) mouse.connected = 0;
    else mouse.ready = false;
    window->MarkSettingsPending(DeviceKind::Mouse);
    queue().AdvanceTime(100);
    Settle();
    EXPECT_EQ(Writes().size(), 0u) << gone;
    EXPECT_FALSE(window->Pending().IsPending(DeviceKind::Mouse)) << gone;
    mouse.ready = true;
    queue().AdvanceTime(100);
    Settle();
    EXPECT_EQ(Writes().size(), 0u) << gone;
  }
}

}  // namespace
}  // namespace trx::app::testing

// The timed apply of the current record against the simulated devices.

#include "settings/record_apply.h"

#include <gtest/gtest.h>

#include <cstring>

#include "settings/config_images.h"
#include "tests/device/protocol_sim_fixture.h"

namespace trx {
namespace {

using test::FrameKey;
using test::KeyOf;

class RecordApplyTest : public test::SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    ResetImagesToBuiltIn();
  }
  void TearDown() override {
    ResetImagesToBuiltIn();
    SimChannelTest::TearDown();
  }
};

TEST_F(RecordApplyTest, MouseApplyLeavesReportRateAndDpiLevelAlone) {
  for (size_t i = 0; i < 64; ++i) firmware->SetSettingsByte(i, 0xEE);
  {
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    for (int i = 0; i < 34; ++i) Images().mouse.current[i] = static_cast<uint8_t>(i);
    Images().mouse.current[14] = 0x77;  // report rate
    Images().mouse.current[19] = 0x55;  // current DPI level
  }
  ASSERT_EQ(SendCurrentRecord(*channel), kResultOk);

  std::vector<FrameKey> sent;
  for (auto& f : Frames('>')) sent.push_back(KeyOf(f));
  EXPECT_EQ(sent, (std::vector<FrameKey>{{6, 14, 0}, {6, 4, 15}, {6, 36, 20}}));
  std::vector<uint8_t> device = firmware->Settings();
  for (int i = 0; i < 34; ++i) {
    if (i == 14 || i == 19) continue;
    EXPECT_EQ(device[i], i) << i;
  }
  EXPECT_EQ(device[14], 0xEE);
  EXPECT_EQ(device[19], 0xEE);
  for (int i = 34; i < 56; ++i) EXPECT_EQ(device[i], 0) << i;  // written as zero
  EXPECT_EQ(device[56], 0xEE);                                 // never exchanged
}

TEST_F(RecordApplyTest, DisconnectedMouseReportsTheFailure) {
  channel->connected = 0;
  EXPECT_EQ(SendCurrentRecord(*channel), kResultNoReply);
  EXPECT_TRUE(Frames('>').empty());
}

TEST(RecordApplyPadTest, PadSendsItsLightingRecordInOneFrame) {
  auto backend = std::make_shared<sim::SimBackend>();
  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::MousePad);
  int id = backend->AddDevice(firmware);
  CDeviceChannel pad(DeviceKind::MousePad, backend);
  pad.SetIdentity(0x0C45, 0x6758, 0xFF1C, 0x92);
  pad.transport.want_read = true;
  pad.transport.want_write = true;
  pad.transport.device_path = backend->VendorPath(id);
  ASSERT_EQ(pad.transport.Open(), 1);
  pad.connected = 1;
  for (size_t i = 0; i < 64; ++i) firmware->SetSettingsByte(i, 0xEE);
  ResetImagesToBuiltIn();
  {
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    std::memset(Images().pad.current_record, 0x21, 21);
  }
  ASSERT_EQ(SendCurrentRecord(pad), kResultOk);
  std::vector<uint8_t> device = firmware->Settings();
  EXPECT_EQ(std::vector<uint8_t>(device.begin(), device.begin() + 21), std::vector<uint8_t>(21, 0x21));
  EXPECT_EQ(std::vector<uint8_t>(device.begin() + 21, device.begin() + 56), std::vector<uint8_t>(35, 0));
  EXPECT_EQ(device[56], 0xEE);
  ResetImagesToBuiltIn();
}

}  // namespace
}  // namespace trx

// Select through the simulated mouse, alone and through the device's queue.

#include <gtest/gtest.h>

#include <thread>

#include "device/device_queue.h"
#include "platform/ini_file.h"
#include "profile/effective_profile.h"
#include "profile/profile_data.h"
#include "profile/profile_file.h"
#include "profile/profile_operations.h"
#include "profile/profile_store.h"
#include "settings/config_images.h"
#include "settings/key_block_upload.h"
#include "tests/device/protocol_sim_fixture.h"
#include "tests/profile/profile_fixture.h"

namespace trx {
namespace {

using ChannelTarget = test::RecordingTarget;

class ProfileSelectSimTest : public test::SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    ResetImagesToBuiltIn();
    // Profiles "a" and "b": light mode 5, rate 2, DPI level 3, key entry 0 = 01 F0 00.
    const ProfileFamilyInfo* info = FindFamily(DeviceKind::Mouse, ProfileFamily::Device);
    ASSERT_TRUE(WritePrivateProfileStrings({{info->count_section, "count", "2"}, {info->name_section, "0", "a"},
                                            {info->name_section, "1", "b"}, {info->select_section, "select", "0"}},
                                           ProfileIniPath(DeviceKind::Mouse)));
    std::vector<uint8_t> config(16 + 512 + 64, 0);
    config[0] = 0xAA, config[1] = 0x55, config[4] = 2;  // the header of a mouse file
    config[16] = 0x01, config[17] = 0xF0;
    const size_t record = 16 + 512;
    config[record + 1] = 5, config[record + 14] = 2, config[record + 19] = 3;
    config[record + 34] = 10, config[record + 35] = 3;
    for (const char* name : {"a", "b"})
      test::TempHome::WriteBytes(home_.Path("Documents/Dirari DovevO1/ms/") + name + ".config", config);
  }
  void TearDown() override { ResetImagesToBuiltIn(); SimChannelTest::TearDown(); }
  test::TempHome home_;
};

TEST_F(ProfileSelectSimTest, DeviceProfileSendsTheWholeRecordThenKeyBlockZero) {
  ChannelTarget target(channel.get());
  ASSERT_EQ(SelectProfile(DeviceKind::Mouse, ProfileFamily::Device, 1, target), ProfileOpResult::Ok);
  EXPECT_EQ(Frames('>'), test::ReadGoldenHexLines("profile/select_device_frames.hex"));
  EXPECT_EQ(firmware->Settings()[1], 5);
  EXPECT_EQ(firmware->KeyMemory()[1], 0xF0);
  EXPECT_EQ(target.pending, 1);
  EXPECT_EQ(target.selections.size(), 1u);
}

TEST_F(ProfileSelectSimTest, MouseGoneDuringSelectLeavesFilesAndImageUnchanged) {
  WithImage([&](ConfigImages& im) { im.mouse.current[1] = 9; });
  const auto before = home_.AllFiles();
  Inject({.remove_at_frame = 4});  // after the record frame, within key block 0
  ChannelTarget target(channel.get());
  EXPECT_EQ(SelectProfile(DeviceKind::Mouse, ProfileFamily::Device, 1, target), ProfileOpResult::DeviceFailed);
  EXPECT_TRUE(target.selections.empty());
  EXPECT_EQ(target.pending, 0);
  EXPECT_EQ(home_.AllFiles(), before);
  std::lock_guard<std::recursive_mutex> guard(ImageMutex());
  EXPECT_EQ(Images().mouse.current[1], 9);
  EXPECT_EQ(Images().mouse.key_blocks[0][1], MouseConfigImage::BuiltIn().key_blocks[0][1]);
}

constexpr uint8_t kDpiOf[2] = {0x11, 0x22};  // record byte 15 of profile 0 and 1

class SelectQueueTest : public ProfileSelectSimTest {
 protected:
  void SetUp() override {
    ProfileSelectSimTest::SetUp();
    channel->ready = true;
    target.channel = channel.get();
    for (int i = 0; i < 2; ++i) {  // "a" and "b" again, told apart by byte 15
      std::vector<uint8_t> data;
      WithImage([&](ConfigImages& im) { im.mouse.current[15] = kDpiOf[i]; data = BuildProfileData(im, *info); });
      ASSERT_EQ(WriteProfileFile(ProfileFilePath(*info, i == 0 ? "a" : "b", true), DeviceKind::Mouse, data.size(),
                                 data.data()),
                kProfileWriteOk);
    }
    shared = std::shared_ptr<CDeviceChannel>(channel.get(), [](CDeviceChannel*) {});
    queue = std::make_unique<CDeviceQueue>(shared, nullptr);
  }
  void TearDown() override { queue->Stop(); ProfileSelectSimTest::TearDown(); }
  DeviceOperation Select(int index) {
    return Operation("select", [this, index](OperationContext&) {
      return SelectProfile(DeviceKind::Mouse, ProfileFamily::Device, index, target) == ProfileOpResult::Ok ? OperationResult::Succeeded
                                                                                                : OperationResult::Failed;
    });
  }
  void ExpectAgreement() {
    const int chosen = SelectedProfileIndex(*info);
    ASSERT_TRUE(chosen == 0 || chosen == 1);
    EXPECT_EQ(EffectiveProfileIndex(*info), chosen);
    EXPECT_EQ(firmware->Settings().at(15), kDpiOf[chosen]);
    std::lock_guard<std::recursive_mutex> lock(ImageMutex());
    EXPECT_EQ(Images().mouse.current[15], kDpiOf[chosen]);
  }

  const ProfileFamilyInfo* info = FindFamily(DeviceKind::Mouse, ProfileFamily::Device);
  ChannelTarget target;
  std::shared_ptr<CDeviceChannel> shared;
  std::unique_ptr<CDeviceQueue> queue;
};

TEST_F(SelectQueueTest, TwoSelectsStartedTogetherLeaveDeviceImageAndIniAgreeing) {
  for (int round = 0; round < 10; ++round) {
    std::thread a([&] { queue->RunAndWait(Select(0), nullptr); });
    std::thread b([&] { queue->RunAndWait(Select(1), nullptr); });
    a.join();
    b.join();
    SCOPED_TRACE(round);
    ExpectAgreement();
  }
}

TEST_F(SelectQueueTest, ASelectRacingAnUploadNeverCutsIntoItsTransfer) {
  std::thread upload([&] {
    queue->RunAndWait(Operation("upload", [](OperationContext& op) { return UploadMouseKeyBlocks(op.Channel(), op); }),
                      nullptr);
  });
  std::thread select([&] { queue->RunAndWait(Select(1), nullptr); });
  upload.join();
  select.join();
  ExpectAgreement();
  const auto written = Frames('>');
  const auto [begin, end] = TransferBounds();
  ASSERT_LT(begin, end);
  for (size_t i = begin + 1; i < end; ++i) EXPECT_EQ(written[i][kFrameCommand], kCmdWriteKeyBlock) << i;
}

}  // namespace
}  // namespace trx

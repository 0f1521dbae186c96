// Selects through the device's queue against a simulated mouse: two Selects
// started together, and a Select racing a block upload, end with the device,
// the image and the INI agreeing, and the upload's frames run from Begin to
// End with nothing between.

#include <gtest/gtest.h>

#include <thread>

#include "device/device_queue.h"
#include "platform/ini_file.h"
#include "profile/effective_profile.h"
#include "profile/profile_data.h"
#include "profile/profile_file.h"
#include "profile/profile_keys.h"
#include "profile/profile_operations.h"
#include "profile/profile_store.h"
#include "settings/config_images.h"
#include "settings/key_block_upload.h"
#include "tests/device/protocol_sim_fixture.h"
#include "tests/platform/temp_home.h"

namespace trx {
namespace {

class Target : public IProfileSelectTarget {
 public:
  CDeviceChannel* Channel(DeviceKind) override { return channel; }
  void MarkSettingsPending(DeviceKind) override {}
  void ProfileSelected(const ProfileSelection&) override {}
  CDeviceChannel* channel = nullptr;
};

constexpr uint8_t kDpiOf[2] = {0x11, 0x22};  // record byte 15 of profile 0 and 1

class SelectQueueTest : public test::SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    channel->ready = true;
    target.channel = channel.get();
    ResetImagesToBuiltIn();
    ASSERT_TRUE(WritePrivateProfileStrings({{info->count_section, kIniKeyCount, "2"},
                                            {info->select_section, kIniKeySelect, "0"},
                                            {info->name_section, "0", "a"},
                                            {info->name_section, "1", "b"}},
                                           ProfileIniPath(DeviceKind::Mouse)));
    for (int i = 0; i < 2; ++i) {
      std::vector<uint8_t> data;
      {
        std::lock_guard<std::recursive_mutex> lock(ImageMutex());
        Images().mouse.current[15] = kDpiOf[i];
        data = BuildProfileData(Images(), *info);
      }
      ASSERT_EQ(WriteProfileFile(ProfileFilePath(*info, i == 0 ? "a" : "b", true), DeviceKind::Mouse, data.size(),
                                 data.data()),
                kProfileWriteOk);
    }
    shared = std::shared_ptr<CDeviceChannel>(channel.get(), [](CDeviceChannel*) {});
    queue = std::make_unique<CDeviceQueue>(shared, nullptr);
  }
  void TearDown() override {
    queue->Stop();
    ResetImagesToBuiltIn();
    SimChannelTest::TearDown();
  }
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

  test::TempHome home;
  const ProfileFamilyInfo* info = FindFamily(DeviceKind::Mouse, ProfileFamily::Device);
  Target target;
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
  size_t begin = written.size(), end = written.size();
  for (size_t i = 0; i < written.size(); ++i) {
    if (written[i][kFrameCommand] == kCmdBeginTransfer) begin = i;
    if (written[i][kFrameCommand] == kCmdEndTransfer) end = i;
  }
  ASSERT_LT(begin, end);
  for (size_t i = begin + 1; i < end; ++i) EXPECT_EQ(written[i][kFrameCommand], kCmdWriteKeyBlock) << i;
}

}  // namespace
}  // namespace trx

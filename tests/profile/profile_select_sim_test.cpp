// Select through the simulated mouse: the frames of a device profile, and a
// mouse that goes in the middle of a select. Through the device's queue: two
// Selects started together, and a Select racing a block upload, end with the
// device, the image and the INI agreeing, and the upload's frames run from
// Begin to End with nothing between.

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

using test::FrameKey;
using test::KeyOf;
using test::TempHome;

class ChannelTarget : public IProfileSelectTarget {
 public:
  explicit ChannelTarget(CDeviceChannel* c = nullptr) : channel(c) {}
  CDeviceChannel* Channel(DeviceKind) override { return channel; }
  void MarkSettingsPending(DeviceKind) override { ++pending; }
  void ProfileSelected(const ProfileSelection&) override { ++selected; }
  CDeviceChannel* channel;
  int pending = 0;
  int selected = 0;
};

class ProfileSelectSimTest : public test::SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    ResetImagesToBuiltIn();
    // Device profiles "a" (index 0) and "b" (index 1): light mode 5, report
    // rate 2, DPI level 3 and the key entry 0 = 01 F0 00.
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
      TempHome::WriteBytes(home_.Path("Documents/Dirari DovevO1/ms/") + name + ".config", config);
  }
  void TearDown() override {
    ResetImagesToBuiltIn();
    SimChannelTest::TearDown();
  }
  // The ten frames of a 512-byte key block written at index 0.
  static std::vector<FrameKey> KeyBlockFrames() {
    std::vector<FrameKey> keys;
    for (int address = 0; address < 512; address += 56) keys.push_back({9, std::min(56, 512 - address), address});
    return keys;
  }
  TempHome home_;
};

TEST_F(ProfileSelectSimTest, DeviceProfileSendsTheWholeRecordThenKeyBlockZero) {
  ChannelTarget target(channel.get());
  ASSERT_EQ(SelectProfile(DeviceKind::Mouse, ProfileFamily::Device, 1, target), ProfileOpResult::Ok);
  const auto frames = Frames('>');
  ASSERT_EQ(frames.size(), 11u);
  // Write settings bytes, 34 bytes at address 0: mode 5, rate 2, level 3.
  // Checksum 0x06 + 0x22 + 5 + 2 + 3 = 0x32.
  std::vector<uint8_t> settings(64, 0);
  const uint8_t head[] = {0x04, 0x32, 0x00, 0x06, 0x22, 0x00, 0x00, 0x00, 0x00, 0x05};
  std::copy(std::begin(head), std::end(head), settings.begin());
  settings[8 + 14] = 2;
  settings[8 + 19] = 3;
  EXPECT_EQ(frames[0], settings);
  // Key block 0, first chunk: 56 bytes at address 0 holding 01 F0 00 ...
  // Checksum 0x09 + 0x38 + 0x01 + 0xF0 = 0x132.
  std::vector<uint8_t> first(64, 0);
  const uint8_t key_head[] = {0x04, 0x32, 0x01, 0x09, 0x38, 0x00, 0x00, 0x00, 0x01, 0xF0};
  std::copy(std::begin(key_head), std::end(key_head), first.begin());
  EXPECT_EQ(frames[1], first);
  std::vector<FrameKey> keys;
  for (size_t i = 1; i < frames.size(); ++i) keys.push_back(KeyOf(frames[i]));
  EXPECT_EQ(keys, KeyBlockFrames());
  EXPECT_EQ(firmware->Settings()[1], 5);
  EXPECT_EQ(firmware->KeyMemory()[1], 0xF0);
  EXPECT_EQ(target.pending, 1);
  EXPECT_EQ(target.selected, 1);
}

TEST_F(ProfileSelectSimTest, MouseGoneDuringSelectLeavesFilesAndImageUnchanged) {
  {
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    Images().mouse.current[1] = 9;
  }
  const auto before = home_.AllFiles();
  sim::SimFaults faults;
  faults.remove_at_frame = 4;  // after the record frame, within key block 0
  Inject(faults);
  ChannelTarget target(channel.get());
  EXPECT_EQ(SelectProfile(DeviceKind::Mouse, ProfileFamily::Device, 1, target), ProfileOpResult::DeviceFailed);
  EXPECT_EQ(target.selected, 0);
  EXPECT_EQ(target.pending, 0);
  EXPECT_EQ(home_.AllFiles(), before);
  std::lock_guard<std::recursive_mutex> guard(ImageMutex());
  EXPECT_EQ(Images().mouse.current[1], 9);
  EXPECT_EQ(Images().mouse.key_blocks[0][1], MouseConfigImage::BuiltIn().key_blocks[0][1]);
}

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

  TempHome home;
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

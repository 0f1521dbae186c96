// Select through the simulated mouse: the frames of each family, and a
// mouse that goes in the middle of a select.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/ini_file.h"
#include "profile/profile_operations.h"
#include "settings/config_images.h"
#include "tests/device/protocol_sim_fixture.h"
#include "tests/platform/temp_home.h"

namespace trx {
namespace {

using test::FrameKey;
using test::KeyOf;
using test::TempHome;

class ChannelTarget : public IProfileSelectTarget {
 public:
  explicit ChannelTarget(CDeviceChannel* channel) : channel_(channel) {}
  CDeviceChannel* Channel(DeviceKind) override { return channel_; }
  void MarkSettingsPending(DeviceKind) override { ++pending; }
  void ProfileSelected(const ProfileSelection&) override { ++selected; }
  int pending = 0;
  int selected = 0;

 private:
  CDeviceChannel* channel_;
};

class ProfileSelectSimTest : public test::SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    ResetImagesToBuiltIn();
    // Profiles "a" (index 0) and "b" (index 1) of the mouse device and key
    // families; "b" has light mode 5, report rate 2, DPI level 3 and the
    // key entry 0 = 01 F0 00.
    const std::string ini = ProfileIniPath(DeviceKind::Mouse);
    for (ProfileFamily f : {ProfileFamily::Device, ProfileFamily::Key, ProfileFamily::Light}) {
      const ProfileFamilyInfo* info = FindFamily(DeviceKind::Mouse, f);
      WritePrivateProfileString(info->count_section, "count", "2", ini);
      WritePrivateProfileString(info->name_section, "0", "a", ini);
      WritePrivateProfileString(info->name_section, "1", "b", ini);
      WritePrivateProfileString(info->select_section, "select", "0", ini);
    }
    std::vector<uint8_t> keys(512, 0);
    keys[0] = 0x01;
    keys[1] = 0xF0;
    std::vector<uint8_t> record(64, 0);
    record[1] = 5;
    record[14] = 2;
    record[19] = 3;
    record[34] = 10;
    record[35] = 3;
    std::vector<uint8_t> config = keys;
    config.insert(config.end(), record.begin(), record.end());
    for (const char* name : {"a", "b"}) {
      Write(std::string(name) + ".config", config);
      Write(std::string(name) + ".pro", keys);
      Write(std::string(name) + ".led", record);
    }
  }
  void TearDown() override {
    ResetImagesToBuiltIn();
    SimChannelTest::TearDown();
  }
  void Write(const std::string& name, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> bytes = {0xAA, 0x55, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    bytes.insert(bytes.end(), data.begin(), data.end());
    TempHome::WriteBytes(home_.Path("Documents/Dirari DovevO1/ms/") + name, bytes);
  }
  std::map<std::string, std::vector<uint8_t>> AllFiles() {
    std::map<std::string, std::vector<uint8_t>> out;
    for (auto& e : std::filesystem::recursive_directory_iterator(home_.Path("")))
      if (e.is_regular_file()) out[e.path().string()] = TempHome::ReadBytes(e.path().string());
    return out;
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
  const auto before = AllFiles();
  sim::SimFaults faults;
  faults.remove_at_frame = 4;  // after the record frame, within key block 0
  Inject(faults);
  ChannelTarget target(channel.get());
  EXPECT_EQ(SelectProfile(DeviceKind::Mouse, ProfileFamily::Device, 1, target), ProfileOpResult::DeviceFailed);
  EXPECT_EQ(target.selected, 0);
  EXPECT_EQ(target.pending, 0);
  EXPECT_EQ(AllFiles(), before);
  std::lock_guard<std::recursive_mutex> guard(ImageMutex());
  EXPECT_EQ(Images().mouse.current[1], 9);
  EXPECT_EQ(Images().mouse.key_blocks[0][1], MouseConfigImage::BuiltIn().key_blocks[0][1]);
}

}  // namespace
}  // namespace trx

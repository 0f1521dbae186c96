// End to end with the simulated mouse: a first run from the shipped default
// files, a connect read into the image, the device profile saved from it
// and loaded back.

#include <gtest/gtest.h>

#include <cstring>

#include "profile/init_profiles.h"
#include "profile/profile_file.h"
#include "profile/profile_store.h"
#include "settings/config_images.h"
#include "sim/connect_read.h"
#include "tests/device/protocol_sim_fixture.h"
#include "tests/platform/temp_home.h"

namespace trx {
namespace {

using test::TempHome;

class NullLists : public IProfileLists {
 public:
  void AddItem(DeviceKind, ProfileFamily, std::string_view, int) override { ++count; }
  int ItemCount(DeviceKind, ProfileFamily) const override { return 1; }
  int count = 0;
};
class NullMessages : public IProfileMessages {
 public:
  int ShowMessage(std::string_view) override { return ++shown; }
  int shown = 0;
};

class DeviceProfileSimTest : public test::SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    ResetImagesToBuiltIn();
  }
  void TearDown() override {
    ResetImagesToBuiltIn();
    SimChannelTest::TearDown();
  }
  // What the connect read does with the bytes it read: every member the
  // device holds, then the active onboard profile's record made current.
  static void PutIntoImage(const sim::MouseSnapshot& s) {
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    MouseConfigImage& m = Images().mouse;
    std::memcpy(m.device_info, s.info.data(), 33);
    std::memcpy(m.main_block, s.main_block.data(), 512);
    for (int k = 0; k < 5; ++k) {
      std::memcpy(m.settings[k], s.settings[k].data(), 56);
      std::memcpy(m.key_blocks[k], s.key_blocks[k].data(), 512);
    }
    m.LoadCurrentRecord(s.active_profile);
  }
  TempHome home_;
};

TEST_F(DeviceProfileSimTest, SavedDeviceProfileLoadsBackIntoTheSameImage) {
  NullLists lists;
  NullMessages messages;
  ASSERT_EQ(InitProfiles(DeviceKind::Mouse, lists, messages), 1);  // shipped defaults
  ASSERT_EQ(messages.shown, 0);
  ASSERT_EQ(LoadProfile(DeviceKind::Mouse, ProfileFamily::Device, 0), kProfileReadOk);

  firmware->SetSettingsByte(0, 2);      // onboard profile 2 is active
  firmware->SetSettingsByte(40, 0x5C);  // a reserved byte of record 0
  firmware->SetSettingsByte(2 * 64 + 1, 6);
  sim::MouseSnapshot snapshot;
  snapshot.main_block.resize(512);
  for (auto& block : snapshot.key_blocks) block.resize(512);
  ASSERT_EQ(sim::ReadMouseSnapshot(*channel, snapshot), kResultOk);
  PutIntoImage(snapshot);

  ASSERT_EQ(SaveCurrentProfile(DeviceKind::Mouse, ProfileFamily::Device), ProfileSaveResult::Saved);
  MouseConfigImage saved;
  {
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    saved = Images().mouse;
  }

  // The file: header, the device's key block 0, then record 0 made of the
  // current record (device record 2, byte 0 = 2), pointer speed 10 and wheel
  // lines 3 from the default profile, the device's bytes 36-55, zero padding.
  const std::vector<uint8_t> device_settings = firmware->Settings();
  const std::vector<uint8_t> device_keys = firmware->KeyMemory();
  std::vector<uint8_t> expected = {0xAA, 0x55, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  expected.insert(expected.end(), device_keys.begin(), device_keys.begin() + 512);
  std::vector<uint8_t> record(device_settings.begin() + 128, device_settings.begin() + 128 + 34);
  record[0] = 2;
  record.push_back(10);
  record.push_back(3);
  record.insert(record.end(), device_settings.begin() + 36, device_settings.begin() + 56);
  record.resize(64, 0);
  expected.insert(expected.end(), record.begin(), record.end());
  const std::string file = home_.Path("Documents/Dirari DovevO1/ms/profile1.config");
  EXPECT_EQ(TempHome::ReadBytes(file), expected);
  EXPECT_EQ(record[1], 6);
  EXPECT_EQ(record[40], 0x5C);

  ResetImagesToBuiltIn();
  ASSERT_EQ(LoadProfile(DeviceKind::Mouse, ProfileFamily::Device, 0), kProfileReadOk);
  std::lock_guard<std::recursive_mutex> guard(ImageMutex());
  const MouseConfigImage& loaded = Images().mouse;
  EXPECT_EQ(std::memcmp(loaded.key_blocks[0], saved.key_blocks[0], 512), 0);
  EXPECT_EQ(std::memcmp(loaded.settings[0], saved.settings[0], 64), 0);
  EXPECT_EQ(std::memcmp(loaded.current, saved.current, 34), 0);
  EXPECT_EQ(loaded.pointer_speed, saved.pointer_speed);
  EXPECT_EQ(loaded.wheel_lines, saved.wheel_lines);
}

}  // namespace
}  // namespace trx

// Profile files, loads into and saves from the image, also with other threads at work.

#include "profile/profile_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
#include <thread>

#include "platform/atomic_file.h"
#include "platform/ini_file.h"
#include "profile/profile_families.h"
#include "profile/profile_file.h"
#include "tests/profile/profile_fixture.h"

namespace trx {
namespace {

using test::ProfileTest;
using test::TempHome;

class ProfileStoreTest : public ProfileTest {
 protected:
  // Index 1 is `name` and selected; index 0 is "first", whose file is never written.
  void Select(DeviceKind kind, ProfileFamily family, const std::string& name) {
    const ProfileFamilyInfo* info = FindFamily(kind, family);
    ASSERT_NE(info, nullptr);
    ASSERT_TRUE(WritePrivateProfileStrings(
        {{info->name_section, "0", "first"}, {info->name_section, "1", name}, {info->select_section, "select", "1"}},
        ProfileIniPath(kind)));
  }
  MouseConfigImage Mouse() { return WithImage([](ConfigImages& im) { return im.mouse; }); }
};

TEST_F(ProfileStoreTest, EveryFileTypeRoundTripsByteForByte) {
  struct GoldenCase { DeviceKind kind; ProfileFamily family; const char *device_folder, *golden, *saved_name; };
  const GoldenCase cases[] = {
      {DeviceKind::Mouse, ProfileFamily::Device, "ms", "mouse_device.config", "gold.config"},
      {DeviceKind::Mouse, ProfileFamily::Light, "ms", "mouse_light.led", "gold.led"},
      {DeviceKind::Mouse, ProfileFamily::Key, "ms", "mouse_key.pro", "gold.pro"},
      {DeviceKind::Keyboard, ProfileFamily::Light, "kb", "keyboard_light.led", "gold.led"},
      {DeviceKind::Keyboard, ProfileFamily::Key, "kb", "keyboard_key.pro", "gold.pro"},
      {DeviceKind::MousePad, ProfileFamily::Light, "mp", "pad_light.led", "gold.led"},
  };
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.golden);
    ResetImagesToBuiltIn();
    Select(c.kind, c.family, "gold");
    const std::string saved = Folder(c.device_folder) + c.saved_name;
    TempHome::WriteBytes(saved, Golden(c.golden));
    if (c.kind == DeviceKind::Mouse && c.family == ProfileFamily::Light) {
      // A light profile loads the lighting only: the rest is the mouse's own, here the file's.
      const std::vector<uint8_t> file = Golden(c.golden);
      std::lock_guard<std::recursive_mutex> guard(ImageMutex());
      std::copy_n(file.begin() + 16, kSettingsSlotSize, Images().mouse.settings[0]);
      std::copy_n(file.begin() + 16, kCurrentRecordSize, Images().mouse.current);
    }
    ASSERT_EQ(LoadProfile(c.kind, c.family, 1), kProfileReadOk);
    std::filesystem::remove(saved);
    ASSERT_EQ(SaveCurrentProfile(c.kind, c.family), ProfileSaveResult::Saved);
    EXPECT_EQ(TempHome::ReadBytes(saved), Golden(c.golden));
  }
}

// A light profile is bytes 1-8 and the computer's pointer speed and wheel lines (0 as 1).
TEST_F(ProfileStoreTest, MouseLightProfileChangesOnlyTheLighting) {
  {
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    MouseConfigImage& m = Images().mouse;
    for (size_t i = 0; i < kCurrentRecordSize; ++i) m.current[i] = m.settings[0][i] = static_cast<uint8_t>(0xA0 + i);
  }
  Select(DeviceKind::Mouse, ProfileFamily::Light, "zero");
  std::vector<uint8_t> record(64, 0);
  for (size_t i = 0; i < 34; ++i) record[i] = static_cast<uint8_t>(i);
  TempHome::WriteBytes(Folder("ms") + "zero.led", FileBytes(2, record));
  ASSERT_EQ(LoadProfile(DeviceKind::Mouse, ProfileFamily::Light, 1), kProfileReadOk);
  MouseConfigImage m = Mouse();
  EXPECT_EQ(m.pointer_speed, 1);
  EXPECT_EQ(m.wheel_lines, 1);
  for (size_t i = 0; i < kCurrentRecordSize; ++i) {
    const uint8_t want = i >= kRecLightMode && i <= kRecLightColour + 2 ? static_cast<uint8_t>(i) : 0xA0 + i;
    EXPECT_EQ(m.current[i], want) << i;
    EXPECT_EQ(m.settings[0][i], want) << i;
  }
}

TEST_F(ProfileStoreTest, MissingOrBadFileLeavesImageAndWritesDebugLine) {
  Select(DeviceKind::Mouse, ProfileFamily::Device, "nothere");
  const MouseConfigImage before = Mouse();
  EXPECT_EQ(LoadProfile(DeviceKind::Mouse, ProfileFamily::Device, 1), kProfileMissing);
  std::vector<uint8_t> bad = Golden("mouse_device.config");
  bad[0] = 0;
  Select(DeviceKind::Mouse, ProfileFamily::Device, "bad");
  TempHome::WriteBytes(Folder("ms") + "bad.config", bad);
  EXPECT_EQ(LoadProfile(DeviceKind::Mouse, ProfileFamily::Device, 1), kProfileBadMagic);
  MouseConfigImage after = Mouse();
  EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
  EXPECT_EQ(DebugLines(), (std::vector<std::string>{"配置文件丢失", "配置文件格式错误"}));
}

// No index at all: the name defaults to "0", so the file looked for is "0.led".
TEST_F(ProfileStoreTest, AbsentNameReadsAsZero) {
  TempHome::WriteBytes(Folder("mp") + "0.led", Golden("pad_light.led"));
  EXPECT_EQ(LoadProfile(DeviceKind::MousePad, ProfileFamily::Light, 3), kProfileReadOk);
  std::lock_guard<std::recursive_mutex> guard(ImageMutex());
  EXPECT_EQ(Images().pad.lighting_records[0][0], 0x90);
  EXPECT_EQ(Images().pad.current_record[20], 0x90 + 20);
}

TEST_F(ProfileStoreTest, KeyProfileLookedUpAsUpperCaseAndSavedAsLowerCase) {
  Select(DeviceKind::Mouse, ProfileFamily::Key, "keys");
  // Saved by this program: lower case.
  TempHome::WriteBytes(Folder("ms") + "keys.pro", Golden("mouse_key.pro"));
  ASSERT_EQ(LoadProfile(DeviceKind::Mouse, ProfileFamily::Key, 1), kProfileReadOk);
  // Brought from elsewhere: upper case; the save replaces it with one lower-case file.
  std::filesystem::rename(Folder("ms") + "keys.pro", Folder("ms") + "keys.PRO");
  ASSERT_EQ(LoadProfile(DeviceKind::Mouse, ProfileFamily::Key, 1), kProfileReadOk);
  WithImage([&](ConfigImages& im) { im.mouse.key_blocks[0][0] = 0xAB; });
  ASSERT_EQ(SaveCurrentProfile(DeviceKind::Mouse, ProfileFamily::Key), ProfileSaveResult::Saved);
  EXPECT_EQ(TempHome::List(Folder("ms")), (std::vector<std::string>{"keys.pro", "msProfile.ini"}));
  std::vector<uint8_t> expected = Golden("mouse_key.pro");
  expected[16] = 0xAB;
  EXPECT_EQ(TempHome::ReadBytes(Folder("ms") + "keys.pro"), expected);
}

TEST_F(ProfileStoreTest, SaveFoldsCurrentRecordAndComputerSettingsIntoSlotZero) {
  Select(DeviceKind::Mouse, ProfileFamily::Light, "now");
  {
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    MouseConfigImage& m = Images().mouse;
    std::memset(m.settings[0], 0xC0, 64);
    for (int i = 0; i < 34; ++i) m.current[i] = static_cast<uint8_t>(i + 1);
    m.pointer_speed = 12;
    m.wheel_lines = 7;
  }
  ASSERT_EQ(SaveCurrentProfile(DeviceKind::Mouse, ProfileFamily::Light), ProfileSaveResult::Saved);
  std::vector<uint8_t> record(64, 0xC0);
  for (int i = 0; i < 34; ++i) record[i] = static_cast<uint8_t>(i + 1);
  record[34] = 12;
  record[35] = 7;
  EXPECT_EQ(TempHome::ReadBytes(Folder("ms") + "now.led"), FileBytes(2, record));
  EXPECT_FALSE(std::filesystem::exists(Folder("ms") + "first.led"));
  std::lock_guard<std::recursive_mutex> guard(ImageMutex());
  EXPECT_EQ(Images().mouse.settings[0][34], 12);  // the image's slot 0 was updated too
}

TEST_F(ProfileStoreTest, InterruptedSaveLeavesOldProfileIntact) {
  Select(DeviceKind::Mouse, ProfileFamily::Device, "keep");
  TempHome::WriteBytes(Folder("ms") + "keep.config", Golden("mouse_device.config"));
  SetAtomicWriteHookForTesting([](const std::string&) { return false; });
  EXPECT_EQ(SaveCurrentProfile(DeviceKind::Mouse, ProfileFamily::Device), ProfileSaveResult::Failed);
  SetAtomicWriteHookForTesting(nullptr);
  EXPECT_EQ(TempHome::ReadBytes(Folder("ms") + "keep.config"), Golden("mouse_device.config"));
  EXPECT_EQ(TempHome::List(Folder("ms")), (std::vector<std::string>{"keep.config", "msProfile.ini"}));
  EXPECT_EQ(DebugLines(), std::vector<std::string>{"文件打开失败"});
}

TEST_F(ProfileStoreTest, NamesThatLeaveTheFolderAreRefused) {
  Select(DeviceKind::Mouse, ProfileFamily::Light, "../../escape");
  EXPECT_EQ(SaveCurrentProfile(DeviceKind::Mouse, ProfileFamily::Light), ProfileSaveResult::Failed);
  EXPECT_FALSE(std::filesystem::exists(home_.Path("Documents/escape.led")));
  EXPECT_EQ(LoadProfile(DeviceKind::Mouse, ProfileFamily::Light, 1), kProfileMissing);
  for (const char* bad : {"a/b", "..", "", "a:b"}) EXPECT_FALSE(IsValidProfileName(bad)) << bad;
  EXPECT_TRUE(IsValidProfileName("游戏 profile 2"));
}

TEST_F(ProfileStoreTest, FamiliesTheDeviceLacksAreRejected) {
  EXPECT_EQ(SaveCurrentProfile(DeviceKind::MousePad, ProfileFamily::Key), ProfileSaveResult::NoSuchFamily);
  EXPECT_EQ(SaveCurrentProfile(DeviceKind::Keyboard, ProfileFamily::Device), ProfileSaveResult::NoSuchFamily);
  EXPECT_EQ(LoadProfile(DeviceKind::MousePad, ProfileFamily::Device, 0), kProfileMissing);
}

class ProfileFileTest : public ProfileTest {};

TEST_F(ProfileFileTest, WriteGivesHeaderThenData) {
  const uint8_t data[] = {0x11, 0x22, 0x33};
  const std::string path = home_.Path("x.pro");
  ASSERT_EQ(WriteProfileFile(path, DeviceKind::Mouse, sizeof data, data), kProfileWriteOk);
  EXPECT_EQ(TempHome::ReadBytes(path), FileBytes(2, {0x11, 0x22, 0x33}));
  ASSERT_EQ(WriteProfileFile(path, DeviceKind::MousePad, 0, nullptr), kProfileWriteOk);
  EXPECT_EQ(TempHome::ReadBytes(path), FileBytes(3, {}));
  EXPECT_EQ(WriteProfileFile(home_.Path("gone/p.led"), DeviceKind::Mouse, sizeof data, data), kProfileWriteFailed);
}

// The magic alone decides; a missing file or folder leaves the buffer; a short file fills part.
TEST_F(ProfileFileTest, ReadOutcomes) {
  std::vector<uint8_t> swapped = FileBytes(2, std::vector<uint8_t>(64, 0x42));
  std::swap(swapped[0], swapped[1]);
  std::vector<uint8_t> odd_fields = FileBytes(3, std::vector<uint8_t>(576, 0x5A));
  odd_fields[2] = 0x77;
  odd_fields[10] = 0x99;
  std::vector<uint8_t> short_data(84, 0x31);  // 100 bytes: the header and 84 data bytes
  short_data.resize(576, 0x7E);
  // `file` none: no file; `data`: the buffer after the read, 0x7E before.
  struct Case { const char* name; std::optional<std::vector<uint8_t>> file; ProfileReadResult result; std::vector<uint8_t> data; };
  const Case cases[] = {
      {"none.led", std::nullopt, kProfileMissing, std::vector<uint8_t>(576, 0x7E)},
      {"bad.led", swapped, kProfileBadMagic, std::vector<uint8_t>(576, 0x7E)},
      {"tiny.led", std::vector<uint8_t>{0xAA}, kProfileBadMagic, std::vector<uint8_t>(576, 0x7E)},
      {"empty.led", std::vector<uint8_t>{}, kProfileBadMagic, std::vector<uint8_t>(576, 0x7E)},
      {"pad.config", odd_fields, kProfileReadOk, std::vector<uint8_t>(576, 0x5A)},
      {"short.config", FileBytes(2, std::vector<uint8_t>(84, 0x31)), kProfileReadOk, short_data},
      // A header cut short after the magic reads as a profile with no data.
      {"stub.config", std::vector<uint8_t>{0xAA, 0x55, 0, 0}, kProfileReadOk, std::vector<uint8_t>(576, 0x7E)},
      {"dir.led", std::nullopt, kProfileMissing, std::vector<uint8_t>(576, 0x7E)},  // a folder
  };
  std::filesystem::create_directories(home_.Path("dir.led"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.file) TempHome::WriteBytes(home_.Path(c.name), *c.file);
    std::vector<uint8_t> data(576, 0x7E);
    EXPECT_EQ(ReadProfileFile(home_.Path(c.name), 576, data.data()), c.result);
    EXPECT_EQ(data, c.data);
  }
}

class ProfileConcurrencyTest : public ProfileTest {};

TEST_F(ProfileConcurrencyTest, SavedRecordIsNeverHalfUpdated) {
  const std::string ini = ProfileIniPath(DeviceKind::Mouse);
  ASSERT_TRUE(WritePrivateProfileString("PROFILEDENGNAME", "0", "live", ini));
  std::atomic<bool> stop{false};
  std::thread editor([&] {
    for (uint8_t v = 1; !stop.load(); v = static_cast<uint8_t>(v % 200 + 1)) {
      std::lock_guard<std::recursive_mutex> guard(ImageMutex());
      MouseConfigImage& m = Images().mouse;
      std::memset(m.current, v, sizeof m.current);  // one multi-byte change
      m.pointer_speed = v;
      m.wheel_lines = v;
    }
  });
  int torn = 0;
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(SaveCurrentProfile(DeviceKind::Mouse, ProfileFamily::Light), ProfileSaveResult::Saved);
    std::vector<uint8_t> bytes = TempHome::ReadBytes(Folder("ms") + "live.led");
    ASSERT_EQ(bytes.size(), 80u);
    for (size_t b = 16; b < 16 + 36; ++b)
      if (bytes[b] != bytes[16]) ++torn;
  }
  stop = true;
  editor.join();
  EXPECT_EQ(torn, 0);
}

TEST_F(ProfileConcurrencyTest, IniWritesFromTwoThreadsKeepEveryKey) {
  const std::string ini = ProfileIniPath(DeviceKind::Mouse);
  auto writer = [&](const char* section) {
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(WritePrivateProfileString(section, std::to_string(i), "x", ini));
  };
  std::thread a(writer, "PROFILENAME");
  std::thread b(writer, "PROCESS");
  a.join();
  b.join();
  std::string value;
  for (int i = 0; i < 50; ++i)
    for (const char* section : {"PROFILENAME", "PROCESS"}) {
      GetPrivateProfileString(section, std::to_string(i), "missing", value, ini);
      EXPECT_EQ(value, "x") << section << " " << i;
    }
}

}  // namespace
}  // namespace trx

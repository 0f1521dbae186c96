// First-run initialisation: "profile1" per family from the defaults of the
// program folder, the INI index entries, the combos, and stopping on a
// missing or bad default.

#include "profile/init_profiles.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "platform/program_folder.h"
#include "profile/profile_file.h"
#include "profile/profile_store.h"
#include "tests/profile/profile_fixture.h"

namespace trx {
namespace {

using test::ProfileTest;
using test::TempHome;

class FakeLists : public IProfileLists {
 public:
  // Lists are keyed "<device> <family>" ("mouse light").
  static std::string Key(DeviceKind kind, ProfileFamily family) {
    static const char* const kFamilies[] = {"device", "light", "key"};
    return std::string(DeviceKindName(kind)) + " " + kFamilies[static_cast<int>(family)];
  }
  void AddItem(DeviceKind kind, ProfileFamily family, std::string_view text, int height_px) override {
    items[Key(kind, family)].emplace_back(text);
    heights.push_back(height_px);
  }
  int ItemCount(DeviceKind kind, ProfileFamily family) const override {
    auto it = items.find(Key(kind, family));
    return it == items.end() ? 0 : static_cast<int>(it->second.size());
  }
  std::map<std::string, std::vector<std::string>> items;
  std::vector<int> heights;
};

class FakeMessages : public IProfileMessages {
 public:
  int ShowMessage(std::string_view id) override {
    shown.emplace_back(id);
    return 1;
  }
  std::vector<std::string> shown;
};

class InitProfilesTest : public ProfileTest {
 protected:
  void Default(const std::string& name, uint8_t kind, size_t size, uint8_t fill) {
    TempHome::WriteBytes(home_.Path("program/" + name), FileBytes(kind, std::vector<uint8_t>(size, fill)));
  }
  void MouseDefaults() {
    Default("msdevicedefault.config", 2, 576, 0xD1);
    Default("msdengdefault.Led", 2, 64, 0xD2);
    Default("mskeydefault.pro", 2, 512, 0xD3);
  }
  FakeLists lists_;
  FakeMessages messages_;
};

TEST_F(InitProfilesTest, FirstRunCreatesProfileOneForEveryMouseFamily) {
  MouseDefaults();
  ASSERT_EQ(InitProfiles(DeviceKind::Mouse, lists_, messages_), 1);
  const std::string ms = Folder("ms");
  EXPECT_EQ(TempHome::ReadBytes(ms + "profile1.config"), FileBytes(2, std::vector<uint8_t>(576, 0xD1)));
  EXPECT_EQ(TempHome::ReadBytes(ms + "profile1.led"), FileBytes(2, std::vector<uint8_t>(64, 0xD2)));
  EXPECT_EQ(TempHome::ReadBytes(ms + "profile1.pro"), FileBytes(2, std::vector<uint8_t>(512, 0xD3)));
  EXPECT_EQ(TempHome::ReadText(ms + "msProfile.ini"),
            "[PROFILEDEVICECOUNT]\ncount=1\n[PROFILELIKEDEVICEEXE]\n0=0\n[PROFILEDEVICENAME]\n0=profile1\n"
            "[PROFILEDEVICESELECT]\nselect=0\nnew=1\n"
            "[PROFILEDENGCOUNT]\ncount=1\n[PROFILELIKEDENGEXE]\n0=0\n[PROFILEDENGNAME]\n0=profile1\n"
            "[PROFILEDENGSELECT]\nselect=0\nnew=1\n"
            "[PROFILECOUNT]\ncount=1\n[PROFILELIKEEXE]\n0=0\n[PROFILENAME]\n0=profile1\n"
            "[PROFILESELECT]\nselect=0\nnew=1\n");
  EXPECT_EQ(lists_.items["mouse device"], std::vector<std::string>{"profile1"});
  EXPECT_EQ(lists_.items["mouse light"], std::vector<std::string>{"profile1"});
  EXPECT_EQ(lists_.items["mouse key"], std::vector<std::string>{"profile1"});
  EXPECT_EQ(lists_.heights, (std::vector<int>{25, 25, 25}));
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(InitProfilesTest, KeyboardUsesTheDefaultsOfItsLayoutVariant) {
  Default("kbdengdefault.led", 1, 1958, 0x01);
  Default("kb15dengdefault.led", 1, 1958, 0x15);
  Default("kbkeydefault.pro", 1, 512, 0x02);
  Default("kbkey15default.pro", 1, 512, 0x25);
  {
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    Images().keyboard.variant = KeyboardVariant::V15;
  }
  ASSERT_EQ(InitProfiles(DeviceKind::Keyboard, lists_, messages_), 1);
  EXPECT_EQ(TempHome::ReadBytes(Folder("kb") + "profile1.led"), FileBytes(1, std::vector<uint8_t>(1958, 0x15)));
  EXPECT_EQ(TempHome::ReadBytes(Folder("kb") + "profile1.pro"), FileBytes(1, std::vector<uint8_t>(512, 0x25)));
  EXPECT_EQ(TempHome::ReadText(Folder("kb") + "kbProfile.ini"),
            "[PROFILEDENGCOUNT]\ncount=1\n[PROFILELIKEDENGEXE]\n0=0\n[PROFILEDENGNAME]\n0=profile1\n"
            "[PROFILEDENGSELECT]\nselect=0\nnew=1\n"
            "[PROFILECOUNT]\ncount=1\n[PROFILELIKEEXE]\n0=0\n[PROFILENAME]\n0=profile1\n"
            "[PROFILESELECT]\nselect=0\nnew=1\n");
}

TEST_F(InitProfilesTest, PadHasOnlyTheLightFamily) {
  Default("mpdengdefault.led", 3, 64, 0x0F);  // shipped as ".Led", found in any case
  ASSERT_EQ(InitProfiles(DeviceKind::MousePad, lists_, messages_), 1);
  EXPECT_EQ(TempHome::List(Folder("mp")), (std::vector<std::string>{"mpProfile.ini", "profile1.led"}));
  EXPECT_EQ(TempHome::ReadBytes(Folder("mp") + "profile1.led"), FileBytes(3, std::vector<uint8_t>(64, 0x0F)));
  EXPECT_EQ(lists_.items.size(), 1u);
  EXPECT_EQ(lists_.items["pad light"], std::vector<std::string>{"profile1"});
}

TEST_F(InitProfilesTest, AnAbsurdCountIsReadOnlyAsFarAsTheNamesGo) {
  const std::string ini = Folder("ms") + "msProfile.ini";
  // Device family: a count far above the names present; light family: a
  // few names fewer than the count; key family: a count above the limit
  // whose names are all there (read whole).
  std::string text =
      "[PROFILEDEVICECOUNT]\ncount=50000\n[PROFILEDEVICENAME]\n0=Work\n1=Game\n"
      "[PROFILEDENGCOUNT]\ncount=5\n[PROFILEDENGNAME]\n0=Calm\n1=Wave\n3=Far\n"
      "[PROFILECOUNT]\ncount=10002\n[PROFILENAME]\n";
  for (int i = 0; i < 10002; ++i) text += std::to_string(i) + "=k" + std::to_string(i) + "\n";
  TempHome::WriteText(ini, text);
  ASSERT_EQ(InitProfiles(DeviceKind::Mouse, lists_, messages_), 1);  // no defaults needed
  EXPECT_EQ(TempHome::ReadText(ini), text);
  EXPECT_EQ(TempHome::List(Folder("ms")), std::vector<std::string>{"msProfile.ini"});
  EXPECT_EQ(lists_.items["mouse device"], (std::vector<std::string>{"Work", "Game"}));
  EXPECT_EQ(lists_.items["mouse light"], (std::vector<std::string>{"Calm", "Wave"}));
  const auto& keys = lists_.items["mouse key"];
  ASSERT_EQ(keys.size(), 10002u);
  EXPECT_EQ(keys.back(), "k10001");
  const std::vector<std::string> lines = DebugLines();
  ASSERT_EQ(lines.size(), 3u);  // one line per family whose count was not believed
  EXPECT_NE(lines[0].find("count 50000 but 2 names; 2 read"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("count 5 but 3 names; 2 read"), std::string::npos) << lines[1];
}

TEST_F(InitProfilesTest, MissingDefaultStopsTheRemainingFamilies) {
  Default("msdevicedefault.config", 2, 576, 0xD1);  // the light default is missing
  Default("mskeydefault.pro", 2, 512, 0xD3);
  EXPECT_EQ(InitProfiles(DeviceKind::Mouse, lists_, messages_), 0);
  EXPECT_EQ(messages_.shown, std::vector<std::string>{"message_text_8"});
  EXPECT_EQ(TempHome::List(Folder("ms")), (std::vector<std::string>{"msProfile.ini", "profile1.config"}));
  EXPECT_EQ(GetPrivateProfileLong("PROFILECOUNT", "count", Folder("ms") + "msProfile.ini"), 0);
  EXPECT_EQ(lists_.items.count("mouse key"), 0u);
}

TEST_F(InitProfilesTest, DefaultWithoutMagicStopsWithItsMessage) {
  MouseDefaults();
  TempHome::WriteBytes(home_.Path("program/msdevicedefault.config"), std::vector<uint8_t>(592, 0));
  EXPECT_EQ(InitProfiles(DeviceKind::Mouse, lists_, messages_), 0);
  EXPECT_EQ(messages_.shown, std::vector<std::string>{"message_text_9"});
  EXPECT_FALSE(std::filesystem::exists(Folder("ms") + "profile1.config"));
  EXPECT_FALSE(std::filesystem::exists(Folder("ms") + "profile1.led"));
}

// The default profile files made at build time lie in the program folder
// (this test's own folder) with the bytes documented for them.
std::vector<uint8_t> Header(uint8_t kind) { return {0xAA, 0x55, 0, 0, kind, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; }

// The built-in main block: six entries, 0x05 filler, two zero bytes.
std::vector<uint8_t> MainBlock() {
  std::vector<uint8_t> b = {0x10, 0x01, 0x00, 0x10, 0x04, 0x00, 0x10, 0x02, 0x00,
                            0x10, 0x10, 0x00, 0x10, 0x08, 0x00, 0x13, 0x03, 0x00};
  b.resize(510, 0x05);
  b.push_back(0);
  b.push_back(0);
  return b;
}

std::vector<uint8_t> MouseRecord() {
  std::vector<uint8_t> r(64, 0);
  const uint8_t lighting[9] = {0x00, 0x00, 0x0A, 0x07, 0x00, 0x01, 0xFF, 0x00, 0x00};
  std::copy(lighting, lighting + 9, r.begin());
  r[15] = 7;   // 800 DPI at base 100, step 100
  r[16] = 15;  // 1600
  r[17] = 31;  // 3200
  r[18] = 63;  // 6400
  const uint8_t colours[12] = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
  std::copy(colours, colours + 12, r.begin() + 21);
  r[34] = 10;  // pointer speed
  r[35] = 3;   // wheel lines
  return r;
}

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(DefaultProfileFilesTest, MouseFilesHoldTheBuiltInDefaults) {
  const std::string dir = ProgramFolder();
  EXPECT_EQ(TempHome::ReadBytes(dir + "msdevicedefault.config"), Concat(Concat(Header(2), MainBlock()), MouseRecord()));
  EXPECT_EQ(TempHome::ReadBytes(dir + "msdengdefault.Led"), Concat(Header(2), MouseRecord()));
  EXPECT_EQ(TempHome::ReadBytes(dir + "mskeydefault.pro"), Concat(Header(2), MainBlock()));
}

TEST(DefaultProfileFilesTest, PadAndKeyboardFiles) {
  const std::string dir = ProgramFolder();
  std::vector<uint8_t> lighting(64, 0);
  const uint8_t bytes[9] = {0x00, 0x00, 0x0A, 0x07, 0x00, 0x01, 0xFF, 0x00, 0x00};
  std::copy(bytes, bytes + 9, lighting.begin());
  EXPECT_EQ(TempHome::ReadBytes(dir + "mpdengdefault.Led"), Concat(Header(3), lighting));
  std::vector<uint8_t> kb_light = lighting;
  kb_light.resize(1958, 0);
  std::vector<uint8_t> kb_keys(510, 0x05);
  kb_keys.push_back(0);
  kb_keys.push_back(0);
  for (const char* name : {"kbdengdefault.led", "kb15dengdefault.led", "kb16dengdefault.led"})
    EXPECT_EQ(TempHome::ReadBytes(dir + name), Concat(Header(1), kb_light)) << name;
  for (const char* name : {"kbkeydefault.pro", "kbkey15default.pro", "kbkey16default.pro"})
    EXPECT_EQ(TempHome::ReadBytes(dir + name), Concat(Header(1), kb_keys)) << name;
}

}  // namespace
}  // namespace trx

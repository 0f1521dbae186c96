// First-run initialisation from the program folder's defaults.

#include "profile/init_profiles.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/ini_file.h"
#include "platform/program_folder.h"
#include "tests/profile/profile_fixture.h"
#include "tests/support/golden.h"

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
  int ShowMessage(std::string_view id) override { shown.emplace_back(id); return 1; }
  std::vector<std::string> shown;
};

class InitProfilesTest : public ProfileTest {
 protected:
  void Default(const std::string& name, uint8_t kind, size_t size, uint8_t fill) {
    TempHome::WriteBytes(home_.Path("program/" + name), FileBytes(kind, std::vector<uint8_t>(size, fill)));
  }
  FakeLists lists_;
  FakeMessages messages_;
};

// The keyboard takes its layout variant's defaults; the pad's (shipped ".Led") is found in any case.
TEST_F(InitProfilesTest, FirstRunCreatesProfileOneForEveryFamily) {
  struct File { const char* name; uint8_t kind; size_t size; uint8_t fill; };
  struct Case { DeviceKind kind; const char* folder; std::vector<File> defaults, made; std::vector<std::string> lists; };
  const Case cases[] = {
      {DeviceKind::Mouse, "ms",
       {{"msdevicedefault.config", 2, 576, 0xD1}, {"msdengdefault.Led", 2, 64, 0xD2}, {"mskeydefault.pro", 2, 512, 0xD3}},
       {{"profile1.config", 2, 576, 0xD1}, {"profile1.led", 2, 64, 0xD2}, {"profile1.pro", 2, 512, 0xD3}},
       {"mouse device", "mouse key", "mouse light"}},
      {DeviceKind::Keyboard, "kb",
       {{"kbdengdefault.led", 1, 1958, 0x01}, {"kb15dengdefault.led", 1, 1958, 0x15}, {"kbkeydefault.pro", 1, 512, 0x02},
        {"kbkey15default.pro", 1, 512, 0x25}},
       {{"profile1.led", 1, 1958, 0x15}, {"profile1.pro", 1, 512, 0x25}},
       {"keyboard key", "keyboard light"}},
      {DeviceKind::MousePad, "mp", {{"mpdengdefault.led", 3, 64, 0x0F}}, {{"profile1.led", 3, 64, 0x0F}}, {"pad light"}},
  };
  WithImage([&](ConfigImages& im) { im.keyboard.variant = KeyboardVariant::V15; });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    for (const File& d : c.defaults) Default(d.name, d.kind, d.size, d.fill);
    FakeLists lists;
    ASSERT_EQ(InitProfiles(c.kind, lists, messages_), 1);
    const std::string ini = c.folder + std::string("Profile.ini");
    std::vector<std::string> files = {ini};
    for (const File& m : c.made) {
      files.push_back(m.name);
      EXPECT_EQ(TempHome::ReadBytes(Folder(c.folder) + m.name), FileBytes(m.kind, std::vector<uint8_t>(m.size, m.fill)));
    }
    EXPECT_EQ(TempHome::List(Folder(c.folder)), files);
    EXPECT_EQ(TempHome::ReadText(Folder(c.folder) + ini), test::ReadGoldenText("profile/first_run_" + ini));
    std::vector<std::string> listed;
    for (const auto& [key, items] : lists.items) {
      listed.push_back(key);
      EXPECT_EQ(items, std::vector<std::string>{"profile1"}) << key;
    }
    EXPECT_EQ(listed, c.lists);
    EXPECT_EQ(lists.heights, std::vector<int>(c.lists.size(), 25));
  }
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(InitProfilesTest, AnAbsurdCountIsReadOnlyAsFarAsTheNamesGo) {
  const std::string ini = Folder("ms") + "msProfile.ini";
  // Counts far above, a few above, and above the limit with every name there (read whole).
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

// A missing default (message 8), then one without the magic (message 9), on a first run each.
TEST_F(InitProfilesTest, ABadDefaultStopsTheRemainingFamiliesWithItsMessage) {
  Default("msdevicedefault.config", 2, 576, 0xD1);  // the light default is missing
  Default("mskeydefault.pro", 2, 512, 0xD3);
  EXPECT_EQ(InitProfiles(DeviceKind::Mouse, lists_, messages_), 0);
  EXPECT_EQ(TempHome::List(Folder("ms")), (std::vector<std::string>{"msProfile.ini", "profile1.config"}));
  EXPECT_EQ(GetPrivateProfileLong("PROFILECOUNT", "count", Folder("ms") + "msProfile.ini"), 0);
  EXPECT_EQ(lists_.items.count("mouse key"), 0u);
  std::filesystem::remove_all(Folder("ms"));
  TempHome::WriteBytes(home_.Path("program/msdevicedefault.config"), std::vector<uint8_t>(592, 0));
  Default("msdengdefault.Led", 2, 64, 0xD2);
  EXPECT_EQ(InitProfiles(DeviceKind::Mouse, lists_, messages_), 0);
  EXPECT_EQ(messages_.shown, (std::vector<std::string>{"message_text_8", "message_text_9"}));
  EXPECT_FALSE(std::filesystem::exists(Folder("ms") + "profile1.config"));
  EXPECT_FALSE(std::filesystem::exists(Folder("ms") + "profile1.led"));
}

// The build puts the default profile files in the program folder (this test's own).
TEST(DefaultProfileFilesTest, EveryDefaultFileHoldsItsDocumentedBytes) {
  const std::pair<const char*, const char*> files[] = {
      {"msdevicedefault.config", "ms_device"}, {"msdengdefault.Led", "ms_light"}, {"mskeydefault.pro", "ms_key"},
      {"mpdengdefault.Led", "mp_light"},       {"kbdengdefault.led", "kb_light"}, {"kb15dengdefault.led", "kb_light"},
      {"kb16dengdefault.led", "kb_light"},     {"kbkeydefault.pro", "kb_key"},    {"kbkey15default.pro", "kb_key"},
      {"kbkey16default.pro", "kb_key"}};
  for (const auto& [name, golden] : files)
    EXPECT_EQ(TempHome::ReadBytes(ProgramFolder() + name),
              test::ReadGoldenHex(std::string("profile/default_") + golden + ".hex"))
        << name;
}

}  // namespace
}  // namespace trx

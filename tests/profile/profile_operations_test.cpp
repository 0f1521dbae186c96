// Profile operations on the files and the INI index, and a select without a device.

#include "profile/profile_operations.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/ini_file.h"
#include "tests/profile/profile_fixture.h"

namespace trx {
namespace {

using test::ProfileTest;
using test::TempHome;

struct FamilyCase { DeviceKind kind; ProfileFamily family; const char *folder, *default_file, *ext; uint8_t kind_byte; size_t size; };
const FamilyCase kFamilies[] = {
    {DeviceKind::Mouse, ProfileFamily::Device, "ms", "msdevicedefault.config", ".config", 2, 576},
    {DeviceKind::Mouse, ProfileFamily::Light, "ms", "msdengdefault.Led", ".led", 2, 64},
    {DeviceKind::Mouse, ProfileFamily::Key, "ms", "mskeydefault.pro", ".pro", 2, 512},
    {DeviceKind::Keyboard, ProfileFamily::Light, "kb", "kbdengdefault.led", ".led", 1, 1958},
    {DeviceKind::Keyboard, ProfileFamily::Key, "kb", "kbkeydefault.pro", ".pro", 1, 512},
    {DeviceKind::MousePad, ProfileFamily::Light, "mp", "mpdengdefault.Led", ".led", 3, 64},
};

class ProfileOperationsTest : public ProfileTest {
 protected:
  const ProfileFamilyInfo& Info(DeviceKind kind, ProfileFamily family) { return *FindFamily(kind, family); }
  std::string Ini(const ProfileFamilyInfo& info, const char* section, const std::string& key) {
    std::string v;
    GetPrivateProfileString(section, key, "-", v, ProfileIniPath(info.kind));
    return v;
  }
  // The family lists `names`, `select` selected; file i holds data filled with i + 1.
  void Make(const FamilyCase& c, const std::vector<std::string>& names, int select = 0) {
    const ProfileFamilyInfo& info = Info(c.kind, c.family);
    const std::string ini = ProfileIniPath(c.kind);
    ASSERT_TRUE(WritePrivateProfileString(info.count_section, "count", std::to_string(names.size()), ini));
    ASSERT_TRUE(WritePrivateProfileString(info.select_section, "select", std::to_string(select), ini));
    for (size_t i = 0; i < names.size(); ++i) {
      ASSERT_TRUE(WritePrivateProfileString(info.name_section, std::to_string(i), names[i], ini));
      TempHome::WriteBytes(Folder(c.folder) + names[i] + c.ext,
                           FileBytes(c.kind_byte, std::vector<uint8_t>(c.size, static_cast<uint8_t>(i + 1))));
    }
  }
  void WriteDefault(const FamilyCase& c, uint8_t fill) {
    TempHome::WriteBytes(home_.Path("program/") + c.default_file,
                         FileBytes(c.kind_byte, std::vector<uint8_t>(c.size, fill)));
  }
};

TEST_F(ProfileOperationsTest, AddWritesTheDefaultUnderTheNextNameForEveryFamily) {
  for (const FamilyCase& c : kFamilies) {
    SCOPED_TRACE(c.default_file);
    Make(c, {"profile1", "PROFILE2"});
    WriteDefault(c, 0x5A);
    ProfileOpOutcome o = AddProfile(c.kind, c.family);
    ASSERT_EQ(o.result, ProfileOpResult::Ok) << o.detail;
    EXPECT_EQ(o.name, "profile3");
    EXPECT_EQ(o.index, 2);
    const ProfileFamilyInfo& info = Info(c.kind, c.family);
    EXPECT_EQ(Ini(info, info.count_section, "count"), "3");
    EXPECT_EQ(Ini(info, info.name_section, "2"), "profile3");
    EXPECT_EQ(Ini(info, info.link_section, "2"), "0");
    EXPECT_EQ(TempHome::ReadBytes(Folder(c.folder) + "profile3" + c.ext),
              FileBytes(c.kind_byte, std::vector<uint8_t>(c.size, 0x5A)));
  }
}

TEST_F(ProfileOperationsTest, AddWithoutDefaultKeepsTheEntryAndWritesNoFile) {
  const FamilyCase& c = kFamilies[0];
  Make(c, {"profile1"});
  ProfileOpOutcome o = AddProfile(c.kind, c.family);
  EXPECT_EQ(o.result, ProfileOpResult::FileMissing);
  EXPECT_EQ(ProfileNames(Info(c.kind, c.family)), (std::vector<std::string>{"profile1", "profile2"}));
  EXPECT_FALSE(std::filesystem::exists(Folder("ms") + "profile2.config"));
}

// The only profile stays; a delete moves later names and links down and selects in place.
TEST_F(ProfileOperationsTest, DeleteMovesNamesAndLinksDownAndSelectsTheLast) {
  Make(kFamilies[5], {"only"});
  const auto untouched = home_.AllFiles();
  EXPECT_EQ(DeleteProfile(kFamilies[5].kind, kFamilies[5].family, 0).result, ProfileOpResult::OnlyOneProfile);
  EXPECT_EQ(home_.AllFiles(), untouched);
  const FamilyCase& c = kFamilies[2];  // mouse key
  Make(c, {"a", "b", "c"}, 1);
  const ProfileFamilyInfo& info = Info(c.kind, c.family);
  const std::string ini = ProfileIniPath(c.kind);
  for (auto [i, flag, program] : {std::tuple{0, "1", "/usr/bin/zero"}, {1, "0", " "}, {2, "1", "/usr/bin/two"}}) {
    WritePrivateProfileString(info.link_section, std::to_string(i), flag, ini);
    WritePrivateProfileString(info.process_section, std::to_string(i), program, ini);
  }
  ProfileOpOutcome o = DeleteProfile(c.kind, c.family, 1);
  ASSERT_EQ(o.result, ProfileOpResult::Ok);
  EXPECT_EQ(o.index, 1);
  EXPECT_EQ(o.name, "c");
  EXPECT_EQ(ProfileNames(info), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(Ini(info, info.link_section, "0"), "1");
  EXPECT_EQ(Ini(info, info.process_section, "0"), "/usr/bin/zero");
  EXPECT_EQ(Ini(info, info.link_section, "1"), "1");
  EXPECT_EQ(Ini(info, info.process_section, "1"), "/usr/bin/two");
  EXPECT_EQ(Ini(info, info.link_section, "2"), "1");  // past the count: left in the file
  EXPECT_EQ(Ini(info, info.select_section, "select"), "1");
  EXPECT_FALSE(std::filesystem::exists(Folder("ms") + "b.pro"));
  std::lock_guard<std::recursive_mutex> guard(ImageMutex());
  EXPECT_EQ(Images().mouse.key_blocks[0][0], 3);  // "c" (filled with 3) is in the image
}

TEST_F(ProfileOperationsTest, CopyNeverInheritsAStaleLink) {
  const FamilyCase& c = kFamilies[0];
  Make(c, {"game", "game copy"});
  const ProfileFamilyInfo& info = Info(c.kind, c.family);
  // Left past the count by an earlier delete.
  WritePrivateProfileString(info.link_section, "2", "1", ProfileIniPath(c.kind));
  WritePrivateProfileString(info.process_section, "2", "/usr/bin/gone", ProfileIniPath(c.kind));
  ProfileOpOutcome o = CopyProfile(c.kind, c.family, 0);
  ASSERT_EQ(o.result, ProfileOpResult::Ok);
  EXPECT_EQ(o.name, "game copy copy");
  EXPECT_EQ(Ini(info, info.link_section, "2"), "0");
  EXPECT_EQ(Ini(info, info.process_section, "2"), "");  // " ": unlinked
  EXPECT_EQ(TempHome::ReadBytes(Folder("ms") + "game copy copy.config"), TempHome::ReadBytes(Folder("ms") + "game.config"));
}

// Refused names change nothing; a rename moves the file and the name.
TEST_F(ProfileOperationsTest, RenameRefusalsChangeNothing) {
  const FamilyCase& c = kFamilies[3];  // keyboard light
  Make(c, {"Main", "other"});
  const std::pair<std::string, ProfileOpResult> cases[] = {
      {"", ProfileOpResult::EmptyName},          {"MAIN", ProfileOpResult::DuplicateName},
      {"main", ProfileOpResult::DuplicateName},  {"OTHER", ProfileOpResult::DuplicateName},
      {"../x", ProfileOpResult::BadName},        {"a\tb", ProfileOpResult::BadName},
      {" lead", ProfileOpResult::BadName},       {"a:b", ProfileOpResult::BadName},
      {std::string(249, 'x'), ProfileOpResult::BadName},
  };
  auto before = home_.AllFiles();
  for (const auto& [name, expected] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(RenameProfile(c.kind, c.family, 0, name).result, expected);
  }
  EXPECT_EQ(home_.AllFiles(), before);
  EXPECT_FALSE(std::filesystem::exists(Folder("") + "x.led"));
  const auto bytes = TempHome::ReadBytes(Folder("kb") + "other.led");
  ASSERT_EQ(RenameProfile(c.kind, c.family, 1, "racing").result, ProfileOpResult::Ok);
  EXPECT_EQ(ProfileNames(Info(c.kind, c.family)), (std::vector<std::string>{"Main", "racing"}));
  EXPECT_EQ(TempHome::ReadBytes(Folder("kb") + "racing.led"), bytes);
  EXPECT_FALSE(std::filesystem::exists(Folder("kb") + "other.led"));
}

// An import checks header, kind and size before it adds; special files are refused at once.
TEST_F(ProfileOperationsTest, ImportChecksHeaderKindAndSize) {
  const FamilyCase& c = kFamilies[0];
  const std::vector<uint8_t> good = FileBytes(2, std::vector<uint8_t>(576, 7));
  std::vector<uint8_t> wrong_header = good;
  std::swap(wrong_header[0], wrong_header[1]);
  const std::string fifo = home_.Path("pipe.config");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // `bytes` are written to "bad.config" unless `path` is given.
  struct Case { std::vector<uint8_t> bytes; const char* reason; std::string path; ProfileOpResult result; };
  const ProfileOpResult refused = ProfileOpResult::ImportRefused;
  const Case cases[] = {
      {wrong_header, "wrong header", "", refused},
      {FileBytes(1, std::vector<uint8_t>(576, 7)), "wrong kind", "", refused},
      {std::vector<uint8_t>(good.begin(), good.end() - 1), "wrong size", "", refused},
      {{}, "not a regular file", fifo, ProfileOpResult::FileMissing},
      {{}, "not a regular file", "/dev/zero", ProfileOpResult::FileMissing},
      {{}, "not a regular file", home_.Path(""), ProfileOpResult::FileMissing},
  };
  // The window and the tool alike: a refused file adds and changes nothing.
  for (const Case& bad : cases) {
    SCOPED_TRACE(bad.reason + bad.path);
    Make(c, {"profile1"});
    std::filesystem::remove(Folder("ms") + "profile2.config");
    WriteDefault(c, 0x5A);
    const std::string path = bad.path.empty() ? home_.Path("bad.config") : bad.path;
    if (bad.path.empty()) TempHome::WriteBytes(path, bad.bytes);
    auto before = home_.AllFiles();
    const auto start = std::chrono::steady_clock::now();
    ProfileOpOutcome o = ImportProfile(c.kind, c.family, path);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(o.result, bad.result);
    EXPECT_EQ(o.index, -1);
    EXPECT_NE(o.detail.find(path), std::string::npos) << o.detail;
    EXPECT_NE(o.detail.find(bad.reason), std::string::npos) << o.detail;
    EXPECT_EQ(home_.AllFiles(), before);
  }
  // A good file is taken whole; an export writes a fresh header of the mouse's kind.
  const std::string in = home_.Path("in.config");
  TempHome::WriteBytes(in, good);
  ASSERT_EQ(ImportProfile(c.kind, c.family, in).result, ProfileOpResult::Ok);
  EXPECT_EQ(TempHome::ReadBytes(Folder("ms") + "profile2.config"), good);
  TempHome::WriteBytes(Folder("ms") + "profile1.config", FileBytes(3, std::vector<uint8_t>(576, 4)));
  const std::string out = home_.Path("out.config");
  ASSERT_EQ(ExportProfile(c.kind, c.family, 0, out).result, ProfileOpResult::Ok);
  EXPECT_EQ(TempHome::ReadBytes(out), FileBytes(2, std::vector<uint8_t>(576, 4)));
}

TEST_F(ProfileOperationsTest, SelectWithoutDeviceLoadsKeepsRateAndLevelAndPointerZeroBecomesOne) {
  const FamilyCase& c = kFamilies[0];
  Make(c, {"a", "b"});
  std::vector<uint8_t> data(576, 0);
  data[512 + 1] = 6;    // light mode
  data[512 + 14] = 3;   // report rate in the file
  data[512 + 19] = 4;   // DPI level in the file
  data[512 + 34] = 0;   // pointer speed 0
  data[512 + 35] = 12;  // wheel lines
  TempHome::WriteBytes(Folder("ms") + "b.config", FileBytes(2, data));
  const ProfileFamilyInfo& info = Info(c.kind, c.family);
  WritePrivateProfileString(info.link_section, "1", "1", ProfileIniPath(c.kind));
  WritePrivateProfileString(info.process_section, "1", "/opt/game/run", ProfileIniPath(c.kind));
  WithImage([&](ConfigImages& im) { im.mouse.current[14] = 1; im.mouse.current[19] = 2; });
  test::RecordingTarget target;
  ASSERT_EQ(SelectProfile(c.kind, c.family, 1, target), ProfileOpResult::Ok);
  ASSERT_EQ(target.selections.size(), 1u);
  const ProfileSelection& s = target.selections[0];
  EXPECT_EQ(s.pointer_speed, 1);
  EXPECT_EQ(s.wheel_lines, 12);
  EXPECT_TRUE(s.linked);
  EXPECT_EQ(s.linked_program, "/opt/game/run");
  EXPECT_EQ(target.pending, 1);
  EXPECT_EQ(Ini(info, info.select_section, "select"), "1");
  std::lock_guard<std::recursive_mutex> guard(ImageMutex());
  EXPECT_EQ(Images().mouse.current[1], 6);
  EXPECT_EQ(Images().mouse.current[14], 1);
  EXPECT_EQ(Images().mouse.current[19], 2);
  EXPECT_EQ(Images().mouse.settings[0][14], 3);
}

TEST_F(ProfileOperationsTest, SelectOfAMissingOrBadFileChangesNothing) {
  const FamilyCase& c = kFamilies[5];
  Make(c, {"a", "b"});
  TempHome::WriteBytes(Folder("mp") + "b.led", {0x00, 0x00});
  std::filesystem::remove(Folder("mp") + "a.led");
  test::RecordingTarget target;
  auto before = home_.AllFiles();
  EXPECT_EQ(SelectProfile(c.kind, c.family, 1, target), ProfileOpResult::FileBad);
  EXPECT_EQ(SelectProfile(c.kind, c.family, 0, target), ProfileOpResult::FileMissing);
  EXPECT_EQ(SelectProfile(c.kind, c.family, 2, target), ProfileOpResult::NoSuchProfile);
  EXPECT_EQ(home_.AllFiles(), before);
  EXPECT_TRUE(target.selections.empty());
}

}  // namespace
}  // namespace trx

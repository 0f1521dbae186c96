// trx770ctl macro, button and profile against the simulated mouse, and their refusals.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "profile/profile_operations.h"
#include "tests/ctl/ctl_fixture.h"

namespace trx::ctl {
namespace {

using testing::CtlRun;


using CtlMacroTest = testing::CtlSimTest;

TEST_F(CtlMacroTest, ImportedFilesAreListedShownUploadedExportedAndDeleted) {
  CtlRun r = Sim({"macro", "import", "mouse", testing::MacroData("first.mac")});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  EXPECT_EQ(r.out, "name_1\n");
  r = Sim({"macro", "import", "mouse", testing::MacroData("second.mac")});
  EXPECT_EQ(r.out, "name_2\n");
  r = Sim({"macro", "list", "mouse"});
  EXPECT_EQ(r.out, "0\tname_1\t3 actions\n1\tname_2\t5 actions\n");
  r = Sim({"macro", "show", "mouse", "NAME_1"});
  EXPECT_EQ(r.out,
            "  0  press        A                            then 100 ms\n"
            "  1  release      A                            then 1000 ms\n"
            "  2  press        Left Shift                   then 0 ms\n");

  // The upload's frames and image are pinned by the library's own test.
  r = Sim({"macro", "upload", "mouse"});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  EXPECT_EQ(r.out, "uploaded 2 macros (60 of 4096 bytes)\n");

  const std::string out = home_.Path("out.mac");
  ASSERT_EQ(Sim({"macro", "export", "mouse", "name_2", out}).code, ExitCode::Ok);
  EXPECT_EQ(test::TempHome::ReadBytes(out), test::TempHome::ReadBytes(testing::MacroData("second.mac")));

  r = Sim({"macro", "delete", "mouse", "name_1"});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  EXPECT_EQ(r.out, "deleted 'name_1'\nuploaded 1 macros (42 of 4096 bytes)\n");
  EXPECT_EQ(Sim({"macro", "list", "mouse"}).out, "0\tname_2\t5 actions\n");
}

TEST_F(CtlMacroTest, RefusalsExitNonZeroWithOneLine) {
  for (int i = 0; i < 50; ++i) ASSERT_EQ(Run({"macro", "new", "mouse"}).code, ExitCode::Ok);
  const testing::Refusal cases[] = {
      {{"macro", "new", "mouse"}, ExitCode::Refused, "trx770ctl: the library already holds 50 macros\n"},
      {{"macro", "import", "mouse", testing::MacroData("first.mac")}, ExitCode::Refused,
       "trx770ctl: the library already holds 50 macros\n"},
      {{"macro", "show", "mouse", "../etc"}, ExitCode::Refused, "trx770ctl: no macro named '../etc'\n"},
      {{"macro", "export", "mouse", "name_1", "/nonexistent/x.mac"}, ExitCode::FileError, ""},
      {{"macro", "upload", "pad"}, ExitCode::Usage, ""},
      {{"macro", "list"}, ExitCode::Usage, ""},
      {{"macro", "rename", "mouse"}, ExitCode::Usage, ""},
      {{"macro", "upload", "mouse"}, ExitCode::NoDevice, ""},  // no --simulate, no device
  };
  for (const testing::Refusal& c : cases) testing::ExpectRefused(Run(c.args), c);
}

TEST_F(CtlMacroTest, UploadOverCapacityIsRefusedWithTheSurplus) {
  ASSERT_EQ(Sim({"macro", "new", "mouse"}).code, ExitCode::Ok);
  std::filesystem::path folder = std::filesystem::path(home_.root()) / "Documents" / "Dirari DovevO1" / "ms";
  std::ofstream(folder / "name_1.mac") << "[MACROACTIONCOUNT]\ncount=1100\n";
  CtlRun r = Sim({"macro", "upload", "mouse"});
  EXPECT_EQ(r.code, ExitCode::Refused);
  EXPECT_EQ(r.err,
            "trx770ctl: the macros need 4422 bytes but the device holds 4096: remove at least 82 actions; nothing "
            "was sent\n");
}

class CtlButtonTest : public testing::CtlSimTest {
 protected:
  // The data of the Write key block frames (command 0x09) a run sends.
  CtlRun SimWrites(std::vector<std::string> args, std::vector<uint8_t>& key_block) {
    CtlRun r = Sim(std::move(args), /*record=*/true);
    for (const auto& f : testing::Sent(r, 0x09)) key_block.insert(key_block.end(), f.begin() + 8, f.begin() + 8 + f[4]);
    return r;
  }
};

TEST_F(CtlButtonTest, SetWritesTheActiveKeyBlockWithOnlyThatEntryChanged) {
  std::vector<uint8_t> block;
  CtlRun r = SimWrites({"button", "set", "mouse", "4", "dpi-loop"}, block);
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  EXPECT_EQ(r.out, "button 4 (forward) of onboard profile 1: dpi-loop\n");
  ASSERT_EQ(block.size(), 512u);
  const std::vector<uint8_t> entries = {0x10, 0x01, 0x00, 0x10, 0x04, 0x00, 0x10, 0x02, 0x00, 0x13, 0x03,
                                        0x00, 0x10, 0x08, 0x00, 0x13, 0x03, 0x00, 0x05, 0x05, 0x05};
  EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + 21), entries);

  r = Sim({"button", "list", "mouse"});
  EXPECT_EQ(r.out,
            "1 left: left\n2 wheel: middle\n3 right: right\n4 forward: dpi-loop\n5 back: back\n"
            "6 dpi: dpi-loop\n7 dpi-2: Disabled\n");
  ASSERT_EQ(Sim({"button", "set", "mouse", "back", "key:Ctrl+C"}).code, ExitCode::Ok);
  ASSERT_EQ(Sim({"button", "default", "mouse", "forward"}).code, ExitCode::Ok);
  r = Sim({"button", "list", "mouse", "--onboard", "1"});
  EXPECT_NE(r.out.find("4 forward: forward\n5 back: key:LCtrl+C\n"), std::string::npos) << r.out;
}

TEST_F(CtlButtonTest, RefusalsWriteNothing) {
  const testing::Refusal cases[] = {
      {{"button", "set", "mouse", "8", "left"}, ExitCode::Usage, ""},
      {{"button", "set", "mouse", "thumb", "left"}, ExitCode::Usage, ""},
      {{"button", "set", "mouse", "2", "jump"}, ExitCode::Usage, ""},
      {{"button", "set", "mouse", "2", "swing:left,200,1,1"}, ExitCode::Usage, ""},
      {{"button", "set", "mouse", "2", "macro:none"}, ExitCode::Refused, ""},
      {{"button", "set", "mouse", "1", "right"}, ExitCode::Refused, ""},  // the only left click
      {{"button", "set", "keyboard", "1", "right"}, ExitCode::Usage, ""},
      {{"button", "list", "mouse", "--onboard", "6"}, ExitCode::Usage, ""},
      {{"button", "move", "mouse"}, ExitCode::Usage, ""},
  };
  for (const testing::Refusal& c : cases) {
    std::vector<uint8_t> block;
    testing::ExpectRefused(SimWrites(c.args, block), c);
    EXPECT_TRUE(block.empty()) << c.args[3];
  }
}

using CtlProfileTest = testing::CtlSimTest;

// A bad import is refused before anything is added.
TEST_F(CtlProfileTest, RefusalsExitWithTheirCodes) {
  ASSERT_EQ(Sim({"profile", "add", "mouse", "key"}).code, ExitCode::Ok);
  const std::string bad = home_.Path("bad.config");
  test::TempHome::WriteBytes(bad, std::vector<uint8_t>(592, 0x58));
  const testing::Refusal cases[] = {
      {{"profile", "import", "mouse", "device", bad}, ExitCode::Refused,
       "trx770ctl: import refused: '" + bad + "' has a wrong header (no 0x55AA profile header)\n"},
      {{"profile", "rename", "mouse", "key", "profile1", "../x"}, ExitCode::Refused, ""},
      {{"profile", "rename", "mouse", "key", "profile1", "PROFILE1"}, ExitCode::Refused, ""},
      {{"profile", "delete", "mouse", "key", "profile1"}, ExitCode::Refused, ""},
      {{"profile", "select", "mouse", "key", "nothing"}, ExitCode::Refused, ""},
      {{"profile", "export", "mouse", "key", "profile1", home_.Path("no/such/dir/x.pro")}, ExitCode::FileError, ""},
      {{"profile", "add", "pad", "key"}, ExitCode::Usage, ""},
      {{"profile", "add", "mouse"}, ExitCode::Usage, ""},
  };
  for (const testing::Refusal& c : cases) testing::ExpectRefused(Sim(c.args), c);
  EXPECT_EQ(Sim({"profile", "list", "mouse", "key"}).out, "key 0 * profile1\n");
  EXPECT_EQ(Sim({"profile", "list", "mouse", "device"}).out, "");
  EXPECT_FALSE(std::filesystem::exists(home_.Path("Documents/Dirari DovevO1/ms/profile1.config")));
}

TEST_F(CtlProfileTest, ToolAndWindowOperationsSeeEachOther) {
  ASSERT_EQ(Sim({"profile", "add", "mouse", "light"}).code, ExitCode::Ok);
  ASSERT_EQ(Sim({"profile", "copy", "mouse", "light", "profile1"}).code, ExitCode::Ok);
  // What the strip's add and rename do.
  EXPECT_EQ(AddProfile(DeviceKind::Mouse, ProfileFamily::Light).name, "profile2");
  const ProfileFamilyInfo* info = FindFamily(DeviceKind::Mouse, ProfileFamily::Light);
  ASSERT_EQ(RenameProfile(DeviceKind::Mouse, ProfileFamily::Light, FindProfile(*info, "profile1 copy"), "fps").result,
            ProfileOpResult::Ok);
  EXPECT_EQ(Sim({"profile", "list", "mouse", "light"}).out, "light 0   profile1\nlight 1 * fps\nlight 2   profile2\n");
  ASSERT_EQ(Sim({"profile", "delete", "mouse", "light", "FPS"}).code, ExitCode::Ok);
  EXPECT_EQ(ProfileNames(*info), (std::vector<std::string>{"profile1", "profile2"}));
}

}  // namespace
}  // namespace trx::ctl

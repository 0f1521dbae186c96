// trx770ctl macro and button against the simulated mouse: import of
// hand-written files, upload, export, delete, and the refusals (the 50
// limit, capacity, unknown names) with their exit codes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/ctl/ctl_fixture.h"

namespace trx::ctl {
namespace {

using MacroRun = testing::CtlRun;

MacroRun Ctl(const std::vector<std::string>& args) { return testing::RunTool(args); }

using CtlMacroTest = testing::CtlSimTest;

TEST_F(CtlMacroTest, ImportedFilesAreListedShownUploadedExportedAndDeleted) {
  MacroRun r = Sim({"macro", "import", "mouse", testing::MacroData("first.mac")});
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
  for (int i = 0; i < 50; ++i) ASSERT_EQ(Ctl({"macro", "new", "mouse"}).code, ExitCode::Ok);
  struct Case {
    std::vector<std::string> args;
    ExitCode code;
    const char* reason;
  };
  const Case cases[] = {
      {{"macro", "new", "mouse"}, ExitCode::Refused, "trx770ctl: the library already holds 50 macros\n"},
      {{"macro", "import", "mouse", testing::MacroData("first.mac")}, ExitCode::Refused,
       "trx770ctl: the library already holds 50 macros\n"},
      {{"macro", "show", "mouse", "../etc"}, ExitCode::Refused, "trx770ctl: no macro named '../etc'\n"},
      {{"macro", "export", "mouse", "name_1", "/nonexistent/x.mac"}, ExitCode::FileError, nullptr},
      {{"macro", "upload", "pad"}, ExitCode::Usage, nullptr},
      {{"macro", "list"}, ExitCode::Usage, nullptr},
      {{"macro", "rename", "mouse"}, ExitCode::Usage, nullptr},
      {{"macro", "upload", "mouse"}, ExitCode::NoDevice, nullptr},  // no --simulate, no device
  };
  for (const Case& c : cases) {
    MacroRun r = Ctl(c.args);
    EXPECT_EQ(r.code, c.code) << c.args[1] << " " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    if (c.reason != nullptr) {
      EXPECT_EQ(r.err, c.reason);
    }
  }
}

TEST_F(CtlMacroTest, UploadOverCapacityIsRefusedWithTheSurplus) {
  ASSERT_EQ(Sim({"macro", "new", "mouse"}).code, ExitCode::Ok);
  std::filesystem::path folder = std::filesystem::path(home_.root()) / "Documents" / "Dirari DovevO1" / "ms";
  std::ofstream(folder / "name_1.mac") << "[MACROACTIONCOUNT]\ncount=1100\n";
  MacroRun r = Sim({"macro", "upload", "mouse"});
  EXPECT_EQ(r.code, ExitCode::Refused);
  EXPECT_EQ(r.err,
            "trx770ctl: the macros need 4422 bytes but the device holds 4096: remove at least 82 actions; nothing "
            "was sent\n");
}

// button: the key block write of a set (entry 3 changed, the others as they
// were, bytes written by hand), list in words, default, and the refusals.
using ButtonRun = testing::CtlRun;

class CtlButtonTest : public testing::CtlSimTest {
 protected:
  // The data of the Write key block frames (command 0x09) a run sends.
  ButtonRun SimWrites(std::vector<std::string> args, std::vector<uint8_t>& key_block) {
    ButtonRun r = Sim(std::move(args), /*record=*/true);
    for (const auto& f : testing::Sent(r, 0x09)) key_block.insert(key_block.end(), f.begin() + 8, f.begin() + 8 + f[4]);
    return r;
  }
};

TEST_F(CtlButtonTest, SetWritesTheActiveKeyBlockWithOnlyThatEntryChanged) {
  std::vector<uint8_t> block;
  ButtonRun r = SimWrites({"button", "set", "mouse", "4", "dpi-loop"}, block);
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
  struct Case {
    std::vector<std::string> args;
    ExitCode code;
  };
  const Case cases[] = {
      {{"button", "set", "mouse", "8", "left"}, ExitCode::Usage},
      {{"button", "set", "mouse", "thumb", "left"}, ExitCode::Usage},
      {{"button", "set", "mouse", "2", "jump"}, ExitCode::Usage},
      {{"button", "set", "mouse", "2", "swing:left,200,1,1"}, ExitCode::Usage},
      {{"button", "set", "mouse", "2", "macro:none"}, ExitCode::Refused},
      {{"button", "set", "mouse", "1", "right"}, ExitCode::Refused},  // the only left click
      {{"button", "set", "keyboard", "1", "right"}, ExitCode::Usage},
      {{"button", "list", "mouse", "--onboard", "6"}, ExitCode::Usage},
      {{"button", "move", "mouse"}, ExitCode::Usage},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> block;
    const ButtonRun r = SimWrites(c.args, block);
    EXPECT_EQ(r.code, c.code) << c.args[3];
    EXPECT_FALSE(r.err.empty()) << c.args[3];
    EXPECT_TRUE(block.empty()) << c.args[3];
  }
}

}  // namespace
}  // namespace trx::ctl

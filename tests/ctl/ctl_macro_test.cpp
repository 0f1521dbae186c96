// trx770ctl macro against the simulated mouse: import of hand-written
// files, upload, export, delete, and the refusals (the 50 limit, capacity,
// unknown names) with their exit codes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/ctl/ctl_fixture.h"

namespace trx::ctl {
namespace {

using MacroRun = testing::CtlRun;

MacroRun Ctl(const std::vector<std::string>& args) { return testing::RunTool(args); }

std::string Data(const char* name) { return std::string(TRX770_TEST_DATA_DIR) + "/macro/" + name; }

std::vector<uint8_t> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

using CtlMacroTest = testing::CtlSimTest;

TEST_F(CtlMacroTest, ImportedFilesAreListedShownUploadedExportedAndDeleted) {
  MacroRun r = Sim({"macro", "import", "mouse", Data("first.mac")});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  EXPECT_EQ(r.out, "name_1\n");
  r = Sim({"macro", "import", "mouse", Data("second.mac")});
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
  EXPECT_EQ(Bytes(out), Bytes(Data("second.mac")));

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
      {{"macro", "import", "mouse", Data("first.mac")}, ExitCode::Refused,
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

}  // namespace
}  // namespace trx::ctl

// trx770ctl with hostile files and the routine commands.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "profile/profile_file.h"
#include "tests/ctl/ctl_fixture.h"

namespace trx::ctl {
namespace {

using trx::test::TempHome;

using testing::CtlRun;

class CtlHostileTest : public testing::CtlProgramFolderTest {
 protected:
  void SetUp() override {
    CtlProgramFolderTest::SetUp();
    const std::vector<uint8_t> data(576, 0);
    ASSERT_EQ(WriteProfileFile(home.Path("program/msdevicedefault.config"), DeviceKind::Mouse, 576, data.data()), kProfileWriteOk);
  }
};

TEST_F(CtlHostileTest, HostileFilesAreRefusedInOneLineAndChangeNothing) {
  ASSERT_EQ(Run({"routine", "reset", "1"}).code, ExitCode::Ok);  // the routine files exist
  Run({"profile", "list", "mouse"});
  const std::string fifo = home.Path("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string noise(300, '\0');
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 131 + 17) % 256);
  TempHome::WriteText(home.Path("noise.cur"), noise);
  TempHome::WriteText(home.Path("huge.mac"), "[MACROACTIONCOUNT]\ncount=2147483647\n");
  TempHome::WriteText(home.Path("keys.txt"), "W ff0000\n");  // the keyboard has no light profile yet
  const testing::Refusal cases[] = {
      {{"macro", "import", "mouse", home.Path("huge.mac")}, ExitCode::Refused, "more than the 8154"},
      {{"macro", "import", "mouse", fifo}, ExitCode::FileError, "not a regular file"},
      {{"profile", "import", "mouse", "device", "/dev/zero"}, ExitCode::FileError, "not a regular file"},
      {{"profile", "import", "mouse", "device", fifo}, ExitCode::FileError, "not a regular file"},
      {{"routine", "import", "1", home.Path("noise.cur")}, ExitCode::Refused, "not a routine file"},
      {{"routine", "import", "1", fifo}, ExitCode::FileError, "not a regular file"},
      {{"light", "key-colours", "keyboard", fifo}, ExitCode::FileError, "not a regular file"},
      {{"light", "key-colours", "keyboard", home.Path("none.txt")}, ExitCode::FileError, "is missing"},
      {{"light", "key-colours", "keyboard", home.Path("keys.txt")}, ExitCode::FileError, "could not be read"},
  };
  const auto before = home.AllFiles();
  for (const testing::Refusal& c : cases) {
    const auto start = std::chrono::steady_clock::now();
    testing::ExpectRefused(Run(c.args), c);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.args[1];
    EXPECT_EQ(home.AllFiles(), before) << c.args[1];
  }
}

// An absurd count is reported, never allocated.
TEST_F(CtlHostileTest, ADamagedMacroInTheLibraryIsReportedNotLoaded) {
  ASSERT_EQ(Run({"macro", "new", "mouse"}).code, ExitCode::Ok);
  const std::string folder = home.Path("Documents/Dirari DovevO1/ms/");
  TempHome::WriteText(folder + "name_1.mac", "[MACROACTIONCOUNT]\ncount=2147483647\n");
  CtlRun r = Run({"macro", "list", "mouse"});
  EXPECT_EQ(r.code, ExitCode::Ok);
  EXPECT_EQ(r.out, "0\tname_1\tdamaged (more actions than a macro can hold)\n");
  r = Run({"macro", "show", "mouse", "name_1"});
  EXPECT_EQ(r.code, ExitCode::FileError);
  EXPECT_NE(r.err.find("damaged"), std::string::npos) << r.err;
}

TEST_F(CtlHostileTest, RoutineShowWritesNoFile) {
  const CtlRun r = Run({"routine", "show", "1"});
  EXPECT_EQ(r.code, ExitCode::FileError);
  EXPECT_FALSE(std::filesystem::exists(home.Path("Documents/Dirari DovevO1/ms/msMacro.ini")));
  EXPECT_FALSE(std::filesystem::exists(home.Path("Documents/Dirari DovevO1/ms/name_1.cur")));
  ASSERT_EQ(Run({"routine", "reset", "1"}).code, ExitCode::Ok);
  const auto before = home.AllFiles();
  EXPECT_EQ(Run({"routine", "show", "1", "--json"}).code, ExitCode::Ok);
  EXPECT_EQ(home.AllFiles(), before);
}

using CtlRoutineTest = testing::CtlProgramFolderTest;

TEST_F(CtlRoutineTest, RefusalsAndTheirExitCodes) {
  TempHome::WriteText(home.Path("big.cur"), "[MACROACTIONCOUNT]\ncount=181\n");
  TempHome::WriteText(home.Path("taken.cur"), "mine");
  const testing::Refusal cases[] = {
      {{"routine"}, ExitCode::Usage, "routine needs a subcommand"},
      {{"routine", "show", "5"}, ExitCode::Usage, "numbered 1-4"},
      {{"routine", "upload", "1"}, ExitCode::Usage, "wrong number of arguments"},
      {{"routine", "import", "1", home.Path("big.cur")}, ExitCode::Refused, "holds 181 actions"},
      {{"routine", "import", "1", home.Path("none.cur")}, ExitCode::FileError, "is missing"},
      {{"routine", "export", "1", home.Path("taken.cur")}, ExitCode::Refused, "add --force"},
  };
  for (const testing::Refusal& c : cases) testing::ExpectRefused(Sim("mouse", c.args), c);
  EXPECT_EQ(TempHome::ReadText(home.Path("taken.cur")), "mine");
  EXPECT_EQ(Sim("mouse", {"routine", "export", "1", home.Path("taken.cur"), "--force"}).code, ExitCode::Ok);
  EXPECT_NE(TempHome::ReadText(home.Path("taken.cur")), "mine");
}

TEST_F(CtlRoutineTest, AnEditedRoutineComesBackFromTheMouse) {
  TempHome::WriteBytes(home.Path("edited.cur"),
                       routine::RoutineFileBytes(routine::StepLines({120, 7, true, 9, false})));
  ASSERT_EQ(Sim("mouse", {"routine", "import", "2", home.Path("edited.cur")}).code, ExitCode::Ok);
  const CtlRun up = Sim("mouse", {"routine", "upload"});
  ASSERT_EQ(up.code, ExitCode::Ok) << up.err;
  EXPECT_EQ(up.out, "uploaded the routines (1132 of 3072 bytes)\n");
  ASSERT_EQ(Sim("mouse", {"routine", "reset", "2"}).code, ExitCode::Ok);
  const CtlRun read = Sim("mouse", {"routine", "read"});
  ASSERT_EQ(read.code, ExitCode::Ok) << read.err;
  EXPECT_EQ(read.out, "read 1132 bytes; rewrote 4 routine files\n");
  const CtlRun show = Sim("mouse", {"routine", "show", "2"});
  EXPECT_NE(show.out.find("   1       120  left    7   down    9\n"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("3 actions in"), std::string::npos) << show.out;
}

}  // namespace
}  // namespace trx::ctl

// trx770ctl routine against the simulated mouse: the refusals with their
// exit codes, and an edited routine through upload and read back.

#include <gtest/gtest.h>

#include "tests/ctl/ctl_fixture.h"

namespace trx::ctl {
namespace {

using trx::test::TempHome;

using testing::CtlRun;

class CtlRoutineTest : public testing::CtlProgramFolderTest {
 protected:
  CtlRun Sim(std::vector<std::string> args) {
    args.insert(args.begin(), {"--simulate=mouse", "--sim-state", home.Path("state")});
    return Run(args);
  }
};

TEST_F(CtlRoutineTest, RefusalsAndTheirExitCodes) {
  TempHome::WriteText(home.Path("big.cur"), "[MACROACTIONCOUNT]\ncount=181\n");
  TempHome::WriteText(home.Path("taken.cur"), "mine");
  struct Case {
    std::vector<std::string> args;
    ExitCode code;
    const char* err;
  };
  const Case cases[] = {
      {{"routine"}, ExitCode::Usage, "routine needs a subcommand"},
      {{"routine", "show", "5"}, ExitCode::Usage, "numbered 1-4"},
      {{"routine", "upload", "1"}, ExitCode::Usage, "wrong number of arguments"},
      {{"routine", "import", "1", home.Path("big.cur")}, ExitCode::Refused, "holds 181 actions"},
      {{"routine", "import", "1", home.Path("none.cur")}, ExitCode::FileError, "is missing"},
      {{"routine", "export", "1", home.Path("taken.cur")}, ExitCode::Refused, "add --force"},
  };
  for (const Case& c : cases) {
    const CtlRun r = Sim(c.args);
    EXPECT_EQ(r.code, c.code) << c.args.back();
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  EXPECT_EQ(TempHome::ReadText(home.Path("taken.cur")), "mine");
  EXPECT_EQ(Sim({"routine", "export", "1", home.Path("taken.cur"), "--force"}).code, ExitCode::Ok);
  EXPECT_NE(TempHome::ReadText(home.Path("taken.cur")), "mine");
}

TEST_F(CtlRoutineTest, AnEditedRoutineComesBackFromTheMouse) {
  TempHome::WriteBytes(home.Path("edited.cur"),
                       routine::RoutineFileBytes(routine::StepLines({120, 7, true, 9, false})));
  ASSERT_EQ(Sim({"routine", "import", "2", home.Path("edited.cur")}).code, ExitCode::Ok);
  const CtlRun up = Sim({"routine", "upload"});
  ASSERT_EQ(up.code, ExitCode::Ok) << up.err;
  EXPECT_EQ(up.out, "uploaded the routines (1132 of 3072 bytes)\n");
  ASSERT_EQ(Sim({"routine", "reset", "2"}).code, ExitCode::Ok);
  const CtlRun read = Sim({"routine", "read"});
  ASSERT_EQ(read.code, ExitCode::Ok) << read.err;
  EXPECT_EQ(read.out, "read 1132 bytes; rewrote 4 routine files\n");
  const CtlRun show = Sim({"routine", "show", "2"});
  EXPECT_NE(show.out.find("   1       120  left    7   down    9\n"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("3 actions in"), std::string::npos) << show.out;
}

}  // namespace
}  // namespace trx::ctl

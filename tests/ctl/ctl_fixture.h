#pragma once
// Shared set-up of the trx770ctl tests: a runner that returns the exit
// status with what was printed, a temporary home with the simulated mouse's
// memory in "state/", and one whose "program/" holds the four default
// routine files.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ctl/ctl_app.h"
#include "platform/program_folder.h"
#include "routine/default_routines.h"
#include "routine/routine_steps.h"
#include "tests/platform/temp_home.h"

namespace trx::ctl::testing {

struct CtlRun {
  ExitCode code;
  std::string out;
  std::string err;
};

inline CtlRun RunTool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const ExitCode code = RunCtl(args, out, err);
  return {code, out.str(), err.str()};
}

class CtlSimTest : public ::testing::Test {
 protected:
  std::string State() { return home_.Path("state"); }
  // The tool on the simulated mouse whose memory lives in State().
  CtlRun Sim(std::vector<std::string> args) {
    args.insert(args.begin(), {"--simulate=mouse", "--sim-state", State()});
    return RunTool(args);
  }
  test::TempHome home_;
};

class CtlProgramFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int r = 0; r < routine::kRoutineCount; ++r)
      test::TempHome::WriteBytes(home.Path("program/name_" + std::to_string(r + 1) + ".cur"),
                                 routine::RoutineFileBytes(routine::DefaultRoutineLines(r)));
    SetProgramFolderOverride(home.Path("program/"));
  }
  void TearDown() override { SetProgramFolderOverride(""); }
  CtlRun Run(const std::vector<std::string>& args) { return RunTool(args); }
  test::TempHome home;
};

}  // namespace trx::ctl::testing

#pragma once
// Shared set-up of the trx770ctl tests that need a program folder: a
// temporary home whose "program/" holds the four default routine files,
// and a runner that returns the exit status with what was printed.

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

class CtlProgramFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int r = 0; r < routine::kRoutineCount; ++r)
      test::TempHome::WriteBytes(home.Path("program/name_" + std::to_string(r + 1) + ".cur"),
                                 routine::RoutineFileBytes(routine::DefaultRoutineLines(r)));
    SetProgramFolderOverride(home.Path("program/"));
  }
  void TearDown() override { SetProgramFolderOverride(""); }
  CtlRun Run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const ExitCode code = RunCtl(args, out, err);
    return {code, out.str(), err.str()};
  }
  test::TempHome home;
};

}  // namespace trx::ctl::testing

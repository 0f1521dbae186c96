// trx770-sim-cli end to end: both attach modes, the trace file and the exit codes.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "device/frame_trace.h"
#include "tests/platform/temp_home.h"

namespace trx {
namespace {

namespace fs = std::filesystem;

class SimCli : public ::testing::Test {
 protected:
  // Runs the tool with `args` (and an environment prefix); returns its exit code.
  int Run(const std::string& args, const std::string& env = "") {
    const std::string cmd = env + " " + TRX770_SIM_CLI + " " + args + " >" + (dir / "out.txt").string() + " 2>" +
                            (dir / "err.txt").string();
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Slurp(const std::string& name) { return test::TempHome::ReadText((dir / name).string()); }
  std::vector<FrameTraceRecord> Trace(const std::string& name) {
    std::vector<FrameTraceRecord> records;
    std::ifstream in(dir / name);
    std::string line;
    while (std::getline(in, line)) {
      FrameTraceRecord r;
      EXPECT_TRUE(ParseTraceLine(line, r)) << line;
      records.push_back(r);
    }
    return records;
  }
  test::TempHome home;
  fs::path dir = home.root();
};

TEST_F(SimCli, ThroughHidrawPrintsTheDecodedInformationAndRecords) {
  ASSERT_EQ(Run("--trace " + (dir / "trace.txt").string()), 0) << Slurp("err.txt");
  const std::string out = Slurp("out.txt");
  for (const char* shown : {"mouse interface hid#vid_0c45&pid_652c#hidraw", "sensor id     0x3325",
                            "DPI max       10000 (position 196)", "macro memory  4096 bytes", "settings record 4:",
                            "DPI levels: 800 (#ff0000) 1600 (#00ff00)* 3200 (#0000ff) 6400 (#ffff00)"})
    EXPECT_NE(out.find(shown), std::string::npos) << shown << "\n" << out;
  const auto trace = Trace("trace.txt");
  ASSERT_EQ(trace.size(), 138u);  // 69 exchanges
  EXPECT_EQ(trace.front().direction, '>');
  EXPECT_EQ(trace.front().bytes[3], 0x01);
  EXPECT_EQ(trace.back().direction, '<');
  EXPECT_EQ(trace.back().bytes[3], 0x02);
}

TEST_F(SimCli, InProcessHonoursTheTraceEnvironmentVariable) {
  ASSERT_EQ(Run("--inprocess", "TRX770_TRACE=" + (dir / "env.txt").string()), 0) << Slurp("err.txt");
  EXPECT_NE(Slurp("out.txt").find("mouse interface sim#vid_0c45&pid_652c#sim0.0"), std::string::npos);
  EXPECT_EQ(Trace("env.txt").size(), 138u);
}

TEST_F(SimCli, DeviceButtonsAreNotifiedAndReadBackInBothModes) {
  for (const std::string mode : {"", "--inprocess"}) {
    ASSERT_EQ(Run(mode + " --press-profile --press-dpi"), 0) << mode << Slurp("err.txt");
    const std::string out = Slurp("out.txt");
    EXPECT_NE(out.find("notification 0x401: onboard profile changed, active onboard profile 1"), std::string::npos)
        << mode << out;
    // Factory level 1 of record 1 steps to 2.
    EXPECT_NE(out.find("notification 0x402: settings changed, current DPI level of profile 1 is 2"), std::string::npos)
        << mode << out;
  }
}

TEST_F(SimCli, BadArgumentsFailWithAMessage) {
  EXPECT_EQ(Run("--bogus"), 1);
  EXPECT_NE(Slurp("err.txt").find("unknown or incomplete option '--bogus'"), std::string::npos);
  EXPECT_EQ(Run("--trace"), 1);
  EXPECT_EQ(Run("--trace " + (dir / "no-such-dir" / "t.txt").string()), 1);
  EXPECT_NE(Slurp("err.txt").find("cannot open trace file"), std::string::npos);
}

}  // namespace
}  // namespace trx

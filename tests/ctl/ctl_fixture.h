#pragma once
// The trx770ctl tests' runner and refusal check; a temporary home with the simulated
// mouse's memory in "state/", or with the four default routine files in "program/".

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "ctl/ctl_app.h"
#include "device/frame_trace.h"
#include "platform/program_folder.h"
#include "routine/default_routines.h"
#include "routine/routine_steps.h"
#include "tests/platform/temp_home.h"

namespace trx::ctl::testing {

struct CtlRun {
  ExitCode code = ExitCode::Ok;
  std::string out, err;
  std::vector<std::vector<uint8_t>> written;  // frames sent, in order (RunRecording only)
};

// A hand-written macro file of tests/data/macro.
inline std::string MacroData(const char* name) { return std::string(TRX770_TEST_DATA_DIR) + "/macro/" + name; }

inline CtlRun RunTool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  CtlRun r;
  r.code = RunCtl(args, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// RunTool, also collecting every frame the run writes to a device.
inline CtlRun RunRecording(const std::vector<std::string>& args) {
  std::mutex mutex;
  std::vector<std::vector<uint8_t>> written;
  SetFrameTraceHook([&](const FrameTraceRecord& f) {
    std::lock_guard<std::mutex> guard(mutex);
    if (f.direction == '>') written.push_back(f.bytes);
  });
  CtlRun r = RunTool(args);
  SetFrameTraceHook(nullptr);
  r.written = std::move(written);
  return r;
}

// The frames of one command a recorded run wrote, in order.
inline std::vector<std::vector<uint8_t>> Sent(const CtlRun& r, uint8_t command) {
  std::vector<std::vector<uint8_t>> frames;
  for (const auto& f : r.written)
    if (f[3] == command) frames.push_back(f);
  return frames;
}

// A command the tool refuses: its exit status and its reason, the whole
// line when it ends in "\n", else a part of it.
struct Refusal { std::vector<std::string> args; ExitCode code; std::string reason; };

inline std::string Joined(const std::vector<std::string>& args) {
  std::string s;
  for (const auto& a : args) s += a + " ";
  return s;
}

// The refusal's status and one line "trx770ctl: ..." giving its reason.
inline void ExpectRefused(const CtlRun& r, const Refusal& c) {
  SCOPED_TRACE(Joined(c.args));
  EXPECT_EQ(r.code, c.code) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_EQ(r.err.rfind("trx770ctl: ", 0), 0u) << r.err;
  if (!c.reason.empty() && c.reason.back() == '\n') {
    EXPECT_EQ(r.err, c.reason);
  } else {
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
  }
}

class CtlSimTest : public ::testing::Test {
 protected:
  std::string State() { return home_.Path("state"); }
  // The tool on the simulated mouse whose memory lives in State().
  CtlRun Sim(std::vector<std::string> args, bool record = false) {
    args.insert(args.begin(), {"--simulate=mouse", "--sim-state", State()});
    return record ? RunRecording(args) : RunTool(args);
  }
  CtlRun Run(const std::vector<std::string>& args) { return RunTool(args); }
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
  // The tool on simulated devices (`kinds`: "mouse", "mouse,pad"...) whose memory lives in "sim/".
  CtlRun Sim(const std::string& kinds, std::vector<std::string> args) {
    args.insert(args.begin(), {"--simulate=" + kinds, "--sim-state", home.Path("sim")});
    return Run(args);
  }
  test::TempHome home;
};

}  // namespace trx::ctl::testing

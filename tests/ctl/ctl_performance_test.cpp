// trx770ctl's performance commands against the simulated mouse.

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/ctl/ctl_fixture.h"

namespace trx::ctl {
namespace {

using CtlResult = testing::CtlRun;

class CtlPerformanceTest : public testing::CtlSimTest {
 protected:
  CtlResult Ctl(std::vector<std::string> args, bool sim = true) {
    return sim ? Sim(std::move(args), /*record=*/true) : testing::RunRecording(args);
  }
  // Settings writes (command 6): {address, length, first payload bytes}.
  static std::vector<std::vector<int>> SettingsWrites(const CtlResult& r, size_t payload) {
    std::vector<std::vector<int>> w;
    for (const auto& f : testing::Sent(r, 0x06)) {
      w.push_back({f[5] | f[6] << 8, int{f[4]}});
      w.back().insert(w.back().end(), f.begin() + 8, f.begin() + 8 + static_cast<long>(payload));
    }
    return w;
  }
};

TEST_F(CtlPerformanceTest, DpiIsWrittenAsPositionWithTheThreeFramesOfTheTimedApply) {
  // The simulated mouse: sensor 0x3325 (base 200), step 50, top position 196.
  CtlResult r = Ctl({"dpi", "mouse", "2", "1600"});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  EXPECT_EQ(r.out, "mouse: onboard profile 1, DPI level 2 is now 1600 DPI\n");
  const auto writes = SettingsWrites(r, 0);
  EXPECT_EQ(writes, (std::vector<std::vector<int>>{{0, 14}, {15, 4}, {20, 36}}));
  // Bytes 15-18: levels 1-4; level 2 = (1600 - 200) / 50.
  EXPECT_EQ(SettingsWrites(r, 4)[1], (std::vector<int>{15, 4, 12, 28, 60, 124}));
  r = Ctl({"--json", "dump", "mouse"});
  EXPECT_NE(r.out.find("\"dpi\": [800, 1600, 3200, 6400]"), std::string::npos) << r.out;

  r = Ctl({"dpi", "mouse", "2", "250"});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  r = Ctl({"dump", "mouse"});
  EXPECT_NE(r.out.find("dpi: 800 #ff0000 250 #00ff00"), std::string::npos) << r.out;
  // The range and the level in use as the window shows them (byte 19 = 1: level 2).
  EXPECT_NE(r.out.find("DPI range: 200-10000 in steps of 50\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("(level in use 2)"), std::string::npos) << r.out;
}

TEST_F(CtlPerformanceTest, UnreachableDpiIsRefusedWithTheRangeAndNothingIsSent) {
  std::vector<testing::Refusal> cases;
  for (const char* dpi : {"150", "1625", "10050"})
    cases.push_back({{"dpi", "mouse", "1", dpi}, ExitCode::Usage, std::string("trx770ctl: ") + dpi +
                     " DPI is not reachable by this sensor: 200-10000 DPI in steps of 50; nothing was sent\n"});
  for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
           {"dpi", "mouse", "5", "800"}, {"dpi", "mouse", "1", "8x0"}, {"dpi", "keyboard", "1", "800"},
           {"dpi", "mouse", "1"}, {"dpi-colour", "mouse", "1", "ff00"}, {"dpi-colour", "mouse", "0", "ff0000"},
           {"rate", "mouse", "333"}, {"rate", "mouse"}})
    cases.push_back({bad, ExitCode::Usage, ""});
  for (const testing::Refusal& c : cases) {
    const CtlResult r = Ctl(c.args);
    testing::ExpectRefused(r, c);
    // The unreachable DPI is known only from the sensor read: no settings write.
    EXPECT_TRUE(c.reason.empty() ? r.written.empty() : SettingsWrites(r, 0).empty()) << testing::Joined(c.args);
  }
}

TEST_F(CtlPerformanceTest, ColourGoesWithTheThreeFramesAndTheRateAsOneWholeRecord) {
  CtlResult r = Ctl({"dpi-colour", "mouse", "3", "12ab7F"});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  EXPECT_EQ(SettingsWrites(r, 0).size(), 3u);
  EXPECT_EQ(SettingsWrites(r, 9)[2], (std::vector<int>{20, 36, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0x12, 0xAB}));

  r = Ctl({"rate", "mouse", "250"});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  EXPECT_EQ(r.out, "mouse: onboard profile 1, report rate is now 250 Hz\n");
  const auto writes = SettingsWrites(r, 15);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0][0], 0);
  EXPECT_EQ(writes[0][1], 34);
  EXPECT_EQ(writes[0][2 + 14], 1);  // record byte 14: item 1 (250 Hz)
  r = Ctl({"dump", "mouse"});
  EXPECT_NE(r.out.find("report rate: 250 Hz"), std::string::npos) << r.out;
}

TEST_F(CtlPerformanceTest, DesktopSettingsNotAvailableExitSix) {
  // No session at all: neither setting exists.
  const char* saved[] = {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP"};
  std::vector<std::pair<std::string, std::string>> restore;
  for (const char* name : saved) {
    if (const char* v = std::getenv(name)) restore.emplace_back(name, v);
    unsetenv(name);
  }
  CtlResult r = Ctl({"pointer-speed", "12"}, false);
  EXPECT_EQ(r.code, ExitCode::NotAvailable);
  EXPECT_EQ(r.err, "trx770ctl: pointer speed is not available on this desktop (none)\n");
  r = Ctl({"wheel-lines", "5"}, false);
  EXPECT_EQ(r.code, ExitCode::NotAvailable);
  EXPECT_EQ(r.err, "trx770ctl: wheel scroll lines is not available on this desktop (none)\n");
  for (const char* bad : {"0", "21", "x"}) EXPECT_EQ(Ctl({"pointer-speed", bad}, false).code, ExitCode::Usage) << bad;
  EXPECT_EQ(Ctl({"wheel-lines", "101"}, false).code, ExitCode::Usage);
  for (auto& [name, value] : restore) setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace
}  // namespace trx::ctl

// trx770ctl button against the simulated mouse: the key block write of a
// set (entry 3 changed, the others as they were, bytes written by hand),
// list in words, default, and the refusals that write nothing.

#include <gtest/gtest.h>

#include "tests/ctl/ctl_fixture.h"

namespace trx::ctl {
namespace {

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

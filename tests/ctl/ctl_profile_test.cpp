// trx770ctl profile against the simulated mouse: the import check before
// anything is added, the refusals and their exit codes, and the tool and
// the profile strip's operations seeing each other's changes.

#include <gtest/gtest.h>

#include <filesystem>

#include "profile/profile_operations.h"
#include "tests/ctl/ctl_fixture.h"

namespace trx::ctl {
namespace {

using testing::CtlRun;

using CtlProfileTest = testing::CtlSimTest;

TEST_F(CtlProfileTest, ABadImportIsRefusedBeforeAnythingIsAdded) {
  const std::string bad = home_.Path("bad.config");
  test::TempHome::WriteBytes(bad, std::vector<uint8_t>(592, 0x58));
  CtlRun r = Sim({"profile", "import", "mouse", "device", bad});
  EXPECT_EQ(r.code, ExitCode::Refused);
  EXPECT_EQ(r.err, "trx770ctl: import refused: '" + bad + "' has a wrong header (no 0x55AA profile header)\n");
  EXPECT_EQ(Sim({"profile", "list", "mouse", "device"}).out, "");
  EXPECT_FALSE(std::filesystem::exists(home_.Path("Documents/Dirari DovevO1/ms/profile1.config")));
}

TEST_F(CtlProfileTest, RefusalsExitWithTheirCodes) {
  ASSERT_EQ(Sim({"profile", "add", "mouse", "key"}).code, ExitCode::Ok);
  struct Case {
    std::vector<std::string> args;
    ExitCode code;
  };
  const Case cases[] = {
      {{"profile", "rename", "mouse", "key", "profile1", "../x"}, ExitCode::Refused},
      {{"profile", "rename", "mouse", "key", "profile1", "PROFILE1"}, ExitCode::Refused},
      {{"profile", "delete", "mouse", "key", "profile1"}, ExitCode::Refused},
      {{"profile", "select", "mouse", "key", "nothing"}, ExitCode::Refused},
      {{"profile", "export", "mouse", "key", "profile1", home_.Path("no/such/dir/x.pro")}, ExitCode::FileError},
      {{"profile", "add", "pad", "key"}, ExitCode::Usage},
      {{"profile", "add", "mouse"}, ExitCode::Usage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1] + " " + c.args.back());
    CtlRun r = Sim(c.args);
    EXPECT_EQ(r.code, c.code) << r.err;
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_EQ(Sim({"profile", "list", "mouse", "key"}).out, "key 0 * profile1\n");
}

TEST_F(CtlProfileTest, ToolAndWindowOperationsSeeEachOther) {
  ASSERT_EQ(Sim({"profile", "add", "mouse", "light"}).code, ExitCode::Ok);
  ASSERT_EQ(Sim({"profile", "copy", "mouse", "light", "profile1"}).code, ExitCode::Ok);
  // What the strip's add and rename do.
  EXPECT_EQ(AddProfile(DeviceKind::Mouse, ProfileFamily::Light).name, "profile2");
  const ProfileFamilyInfo* info = FindFamily(DeviceKind::Mouse, ProfileFamily::Light);
  ASSERT_EQ(RenameProfile(DeviceKind::Mouse, ProfileFamily::Light, FindProfile(*info, "profile1 copy"), "fps").result,
            ProfileOpResult::Ok);
  EXPECT_EQ(Sim({"profile", "list", "mouse", "light"}).out, "light 0   profile1\nlight 1 * fps\nlight 2   profile2\n");
  ASSERT_EQ(Sim({"profile", "delete", "mouse", "light", "FPS"}).code, ExitCode::Ok);
  EXPECT_EQ(ProfileNames(*info), (std::vector<std::string>{"profile1", "profile2"}));
}

}  // namespace
}  // namespace trx::ctl

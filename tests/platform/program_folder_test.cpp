// Where the program finds its skin and default profiles: beside itself in
// the build tree, in <prefix>/share/trx770 when installed under any prefix.

#include "platform/program_folder.h"

#include <gtest/gtest.h>

#include "tests/platform/temp_home.h"

namespace trx {
namespace {

using test::TempHome;

TEST(ProgramFolderTest, FoundFromTheExecutableFolder) {
  TempHome root;
  const std::string r = root.root();
  // Layouts: the marker file that exists, and the folder of the executable.
  TempHome::WriteText(r + "/build/bin/skin/res.xml", "<Res/>");          // build tree
  TempHome::WriteText(r + "/usr/share/trx770/skin/res.xml", "<Res/>");   // /usr install
  std::filesystem::create_directories(r + "/usr/bin");
  TempHome::WriteText(r + "/opt/trx770/share/trx770/skin/res.xml", "<Res/>");  // relocated
  std::filesystem::create_directories(r + "/opt/trx770/bin");
  std::filesystem::create_directories(r + "/bare/bin");                    // nothing installed

  struct Case {
    const char* exe_folder;
    const char* expected;
  } cases[] = {
      {"/build/bin/", "/build/bin/"},
      {"/build/bin", "/build/bin/"},
      {"/usr/bin/", "/usr/share/trx770/"},
      {"/opt/trx770/bin/", "/opt/trx770/share/trx770/"},
      {"/bare/bin/", "/bare/bin/"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveProgramFolder(r + c.exe_folder, "../share/trx770"), r + c.expected) << c.exe_folder;
  }
  // A build-tree layout beside the executable wins over an installed one.
  TempHome::WriteText(r + "/usr/bin/skin/res.xml", "<Res/>");
  EXPECT_EQ(ResolveProgramFolder(r + "/usr/bin/", "../share/trx770"), r + "/usr/bin/");
}

TEST(ProgramFolderTest, OverrideAndEnvironmentComeFirst) {
  ::unsetenv("TRX770_PROGRAM_DIR");
  const std::string exe_folder = ProgramFolder();
  ASSERT_FALSE(exe_folder.empty());
  EXPECT_EQ(exe_folder.back(), '/');
  EXPECT_TRUE(std::filesystem::is_directory(exe_folder));
  SetProgramFolderOverride("/somewhere");
  EXPECT_EQ(ProgramFolder(), "/somewhere/");
  SetProgramFolderOverride("");
  ::setenv("TRX770_PROGRAM_DIR", "/data/trx", 1);
  EXPECT_EQ(ProgramFolder(), "/data/trx/");
  EXPECT_NE(ExecutableProgramFolder(), "/data/trx/");  // the packaged files' folder ignores it
  SetProgramFolderOverride("/tmp/defaults");  // the override wins over the environment too
  EXPECT_EQ(ProgramFolder(), "/tmp/defaults/");
  SetProgramFolderOverride("");
  ::unsetenv("TRX770_PROGRAM_DIR");
  EXPECT_EQ(ProgramFolder(), exe_folder);
  EXPECT_EQ(std::string(InstalledDataRelative()), "../share/trx770");
}

}  // namespace
}  // namespace trx

// The program folder (beside the executable in the build tree, else
// <prefix>/share/trx770), the Documents folder and the data folder in it.

#include "platform/program_folder.h"

#include <gtest/gtest.h>

#include "platform/user_folders.h"
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

  const std::pair<const char*, const char*> cases[] = {
      {"/build/bin/", "/build/bin/"},
      {"/build/bin", "/build/bin/"},
      {"/usr/bin/", "/usr/share/trx770/"},
      {"/opt/trx770/bin/", "/opt/trx770/share/trx770/"},
      {"/bare/bin/", "/bare/bin/"},
  };
  for (const auto& [exe_folder, expected] : cases)
    EXPECT_EQ(ResolveProgramFolder(r + exe_folder, "../share/trx770"), r + expected) << exe_folder;
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

// "Documents" in the home, else the user-dirs entry ($HOME expanded, absolute or relative
// to the home), created; the data folder and the main INI lie inside it.
TEST(DocumentsFolderTest, FollowsXdgUserDirsAndCreatesTheFolder) {
  TempHome home;
  const std::pair<std::string, const char*> cases[] = {
      {"", "Documents/"},
      {"# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n",
       "Dokumente/"},
      {"XDG_DOCUMENTS_DIR=\"" + home.Path("elsewhere/docs") + "\"\n", "elsewhere/docs/"},
      {"XDG_DOCUMENTS_DIR=\"Papers\"\n", "Papers/"},
  };
  for (const auto& [dirs, expected] : cases) {
    SCOPED_TRACE(expected);
    if (!dirs.empty()) TempHome::WriteText(home.Path(".config/user-dirs.dirs"), dirs);
    EXPECT_EQ(DocumentsFolder(), home.Path(expected));
    EXPECT_TRUE(std::filesystem::is_directory(home.Path(expected)));
  }
  std::filesystem::remove(home.Path(".config/user-dirs.dirs"));
  EXPECT_EQ(UserDataFolder(), home.Path("Documents/Dirari DovevO1/"));
  EXPECT_TRUE(std::filesystem::is_directory(home.Path("Documents/Dirari DovevO1")));
  EXPECT_EQ(MainIniPath(), home.Path("Documents/Dirari DovevO1/main.ini"));
}

}  // namespace
}  // namespace trx

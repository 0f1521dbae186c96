// The Documents folder, the data folder inside it, and the program folder.

#include "platform/user_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/program_folder.h"
#include "tests/platform/temp_home.h"

namespace trx {
namespace {

using test::TempHome;

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

TEST(DocumentsFolderTest, DefaultsToDocumentsInHomeAndCreatesIt) {
  TempHome home;
  EXPECT_EQ(DocumentsFolder(), home.Path("Documents/"));
  EXPECT_TRUE(IsFolder(home.Path("Documents")));
}

TEST(DocumentsFolderTest, FollowsXdgUserDirsWithHomeExpanded) {
  TempHome home;
  TempHome::WriteText(home.Path(".config/user-dirs.dirs"),
                      "# written by xdg-user-dirs-update\n"
                      "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                      "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
  EXPECT_EQ(DocumentsFolder(), home.Path("Dokumente/"));
  EXPECT_TRUE(IsFolder(home.Path("Dokumente")));
}

TEST(DocumentsFolderTest, AbsoluteAndRelativeEntries) {
  TempHome home;
  TempHome::WriteText(home.Path(".config/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"" + home.Path("elsewhere/docs") + "\"\n");
  EXPECT_EQ(DocumentsFolder(), home.Path("elsewhere/docs/"));
  TempHome::WriteText(home.Path(".config/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"Papers\"\n");
  EXPECT_EQ(DocumentsFolder(), home.Path("Papers/"));
}

TEST(DocumentsFolderTest, DataFolderAndMainIniLieInsideDocuments) {
  TempHome home;
  EXPECT_EQ(UserDataFolder(), home.Path("Documents/Dirari DovevO1/"));
  EXPECT_TRUE(IsFolder(home.Path("Documents/Dirari DovevO1")));
  EXPECT_EQ(MainIniPath(), home.Path("Documents/Dirari DovevO1/main.ini"));
}

TEST(ProgramFolderTest, OverrideThenEnvironmentThenExecutableFolder) {
  ::unsetenv("TRX770_PROGRAM_DIR");
  SetProgramFolderOverride("");
  std::string exe_folder = ProgramFolder();
  ASSERT_FALSE(exe_folder.empty());
  EXPECT_EQ(exe_folder.back(), '/');
  EXPECT_TRUE(IsFolder(exe_folder));

  ::setenv("TRX770_PROGRAM_DIR", "/opt/trx770/share", 1);
  EXPECT_EQ(ProgramFolder(), "/opt/trx770/share/");
  SetProgramFolderOverride("/tmp/defaults");
  EXPECT_EQ(ProgramFolder(), "/tmp/defaults/");
  SetProgramFolderOverride("");
  ::unsetenv("TRX770_PROGRAM_DIR");
  EXPECT_EQ(ProgramFolder(), exe_folder);
}

}  // namespace
}  // namespace trx

// The Documents folder and the data folder inside it.

#include "platform/user_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/platform/temp_home.h"

namespace trx {
namespace {

using test::TempHome;

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The Documents folder: "Documents" in the home by default, else the
// user-dirs entry ($HOME expanded, absolute or relative to the home); it is
// created, and the data folder and the main INI lie inside it.
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
    EXPECT_TRUE(IsFolder(home.Path(expected)));
  }
  std::filesystem::remove(home.Path(".config/user-dirs.dirs"));
  EXPECT_EQ(UserDataFolder(), home.Path("Documents/Dirari DovevO1/"));
  EXPECT_TRUE(IsFolder(home.Path("Documents/Dirari DovevO1")));
  EXPECT_EQ(MainIniPath(), home.Path("Documents/Dirari DovevO1/main.ini"));
}

}  // namespace
}  // namespace trx

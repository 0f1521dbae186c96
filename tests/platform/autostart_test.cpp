// "Start with the session": the XDG autostart entry in $XDG_CONFIG_HOME.

#include "platform/autostart.h"

#include <gtest/gtest.h>

#include "tests/platform/temp_home.h"
#include "tests/support/golden.h"

namespace trx {
namespace {

using test::ReadGoldenText;
using test::TempHome;

TEST(AutostartTest, EntryIsWrittenAndRemovedInTheConfigFolder) {
  TempHome home;
  EXPECT_EQ(AutostartEntryPath(), home.Path(".config/autostart/trx770.desktop"));
  EXPECT_FALSE(IsAutostartEnabled());
  ASSERT_TRUE(SetAutostartEnabled(true, "/opt/trx770/bin/trx770"));
  EXPECT_TRUE(IsAutostartEnabled());
  EXPECT_EQ(TempHome::ReadText(AutostartEntryPath()), ReadGoldenText("platform/autostart.desktop"));
  ASSERT_TRUE(SetAutostartEnabled(false, ""));
  EXPECT_FALSE(IsAutostartEnabled());
  EXPECT_TRUE(SetAutostartEnabled(false, ""));  // already off
  // XDG_CONFIG_HOME is followed; an entry switched off by the desktop counts as off.
  ::setenv("XDG_CONFIG_HOME", home.Path("cfg").c_str(), 1);
  TempHome::WriteText(home.Path("cfg/autostart/trx770.desktop"), "[Desktop Entry]\nExec=trx770\nHidden=true\n");
  EXPECT_FALSE(IsAutostartEnabled());
}

TEST(AutostartTest, ExecPathIsQuotedAsDesktopEntriesWant) {
  const std::pair<const char*, const char*> cases[] = {
      {"/usr/bin/trx770", "Exec=/usr/bin/trx770\n"},
      {"/home/a b/trx770", "Exec=\"/home/a b/trx770\"\n"},
      {"/x/100%/$HOME\"q", "Exec=\"/x/100%%/\\\\$HOME\\\\\"q\"\n"},
  };
  for (const auto& [path, exec_line] : cases) {
    const std::string text = AutostartEntryText(path);
    EXPECT_NE(text.find(exec_line), std::string::npos) << path << "\n" << text;
  }
}

}  // namespace
}  // namespace trx

// The manual page documents every command --help lists: both are parsed, so
// a command added to one and not the other fails here.

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "ctl/ctl_app.h"
#include "tests/platform/temp_home.h"

namespace trx::ctl {
namespace {

std::string Help() {
  std::ostringstream out, err;
  EXPECT_EQ(RunCtl({"--help"}, out, err), ExitCode::Ok);
  return out.str();
}

bool IsWord(const std::string& w) { return std::regex_match(w, std::regex("[a-z][a-z0-9-]*")); }

// "macro list|show DEVICE ..., routine upload|read" → {"macro list",
// "macro show", "routine upload", "routine read"}; "dpi DEVICE ..." → {"dpi"}.
void AddCommands(const std::string& spec, std::set<std::string>& out) {
  std::stringstream parts(spec);
  for (std::string part; std::getline(parts, part, ',');) {
    std::stringstream words(part);
    std::string command, sub;
    words >> command >> sub;
    if (!IsWord(command)) continue;
    std::stringstream subs(sub);
    bool any = false;
    for (std::string one; std::getline(subs, one, '|') && IsWord(one); any = true) out.insert(command + " " + one);
    if (!any) out.insert(command);
  }
}

// The command lines of --help: those between "commands:" and the first
// line that does not start with two spaces (deeper indented lines continue
// the line above); a line's commands come before its first two spaces.
std::set<std::string> HelpCommands(const std::string& help) {
  std::set<std::string> commands;
  std::stringstream in(help);
  std::string line;
  while (std::getline(in, line) && line != "commands:") {
  }
  while (std::getline(in, line) && line.rfind("  ", 0) == 0)
    if (line.rfind("   ", 0) != 0) AddCommands(line.substr(2, line.find("  ", 2) - 2), commands);
  return commands;
}

// The manual's entries under COMMANDS: the line after each ".TP", with the
// font requests, quotes and escapes dropped.
std::set<std::string> ManCommands(const std::string& man) {
  std::set<std::string> commands;
  const std::string section = man.substr(man.find("\n.SH COMMANDS\n"));
  const std::string body = section.substr(0, section.find("\n.SH", 1));
  const std::regex entry("\n\\.TP\n([^\n]*)");
  for (std::sregex_iterator it(body.begin(), body.end(), entry), end; it != end; ++it) {
    std::string line = std::regex_replace((*it)[1].str(), std::regex("^\\.B[IR]? |\\\\f[BIRP]|\""), "");
    line = std::regex_replace(line, std::regex("\\\\-"), "-");
    std::stringstream words(line);
    std::string command, sub;
    words >> command >> sub;
    commands.insert(command);
    if (IsWord(sub)) commands.insert(command + " " + sub);
  }
  return commands;
}

TEST(CtlHelpManTest, ManualDocumentsEveryCommandTheHelpLists) {
  const std::string text = Help();
  const std::set<std::string> help = HelpCommands(text);
  const std::set<std::string> man = ManCommands(test::TempHome::ReadText(TRX770_SOURCE_DIR "/packaging/man/trx770ctl.1"));
  // The parsers see what they should: a plain command, a subcommand list
  // and the button commands.
  for (const char* expected : {"devices", "dpi-colour", "macro upload", "routine read", "profile list", "button list"})
    EXPECT_TRUE(help.count(expected)) << expected;
  for (const std::string& command : help) EXPECT_TRUE(man.count(command)) << "not in trx770ctl(1): " << command;
  const auto exit_status = text.find("exit status:");
  ASSERT_NE(exit_status, std::string::npos);
  EXPECT_LT(text.find("  button list"), exit_status);
  EXPECT_LT(text.find("DEVICE is mouse"), exit_status);
  EXPECT_GT(text.find("DEVICE is mouse"), text.find("  button default"));
}

TEST(CtlHelpManTest, ProgramManualDocumentsSimState) {
  const std::string man = test::TempHome::ReadText(TRX770_SOURCE_DIR "/packaging/man/trx770.1");
  EXPECT_NE(man.find(".SH SYNOPSIS"), std::string::npos);
  const std::string options = man.substr(man.find(".SH OPTIONS"));
  EXPECT_NE(options.find("sim\\-state"), std::string::npos);
  EXPECT_NE(man.substr(0, man.find(".SH DESCRIPTION")).find("sim\\-state"), std::string::npos);
}

}  // namespace
}  // namespace trx::ctl

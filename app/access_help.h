#pragma once
// Help for a device that is plugged in but can't be opened (no udev rule):
// which problems to tell the user about, the message text, and installing
// the packaged rule through pkexec.
//
// Once per plug-in: a node is told about once while it stays in the scan
// results; when it leaves them (unplugged, or now accessible) it is
// forgotten, so the next plug-in is told about again.
//
// The rule installed is the packaged file (PackagedUdevRulePath), never a
// path from the user or the environment. pkexec runs from an argument
// vector (posix_spawn), without a shell, and is polled without waiting.
//
// UI thread only.

#include <sys/types.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "device/hidraw_access.h"

namespace trx::app {

// Language texts; "{device}", "{node}" and "{command}" are filled in.
inline constexpr const char* kTextAccessMissing = "message_access_1";   // offers the install
inline constexpr const char* kTextAccessNoRule = "message_access_2";    // no packaged rule to offer
inline constexpr const char* kTextRuleInstalled = "message_access_3";
inline constexpr const char* kTextRuleNotInstalled = "message_access_4";
// The rule is installed, yet the node can't be opened ("{command}" is the
// installed rule's path): access is missing for another reason.
inline constexpr const char* kTextAccessOtherReason = "message_access_5";
// "device_name_mouse", "device_name_keyboard", "device_name_pad".
const char* DeviceNameTextId(uint16_t product_id);

// The command a user types to install the rule by hand (udev reads new
// rules by itself; the device is then plugged in again); the paths are
// quoted for the shell.
std::string ManualRuleCommand(const std::string& rule_path);
// `text` in single quotes for a POSIX shell.
std::string ShellQuoted(std::string_view text);
// The path of the rule where udev reads it, when installed there (the
// package's folder or the administrator's); empty when it is in neither.
std::string InstalledUdevRule(const std::vector<std::string>& folders = {"/usr/lib/udev/rules.d/",
                                                                         "/etc/udev/rules.d/"});
// The program and arguments run to install the rule as root.
std::vector<std::string> RuleInstallArguments(const std::string& rule_path);
// Replaces the "{name}" fields of a language text.
std::string FillAccessText(std::string_view text, std::string_view device, std::string_view node,
                           std::string_view command);

class AccessHelp {
 public:
  enum class InstallState { Idle, Running, Succeeded, Failed };

  AccessHelp() = default;
  ~AccessHelp() = default;  // a running pkexec is left to finish on its own
  AccessHelp(const AccessHelp&) = delete;
  AccessHelp& operator=(const AccessHelp&) = delete;

  // From a scan's results, the problems with missing access to tell about
  // now: one per product id, for nodes not told about before. Nodes absent
  // from `now` are forgotten.
  std::vector<HidrawAccessProblem> NewProblems(const std::vector<HidrawAccessProblem>& now);

  // Starts `program` (pkexec) with RuleInstallArguments. False when it
  // could not be started or one is already running.
  bool StartRuleInstall(const std::string& rule_path, const std::string& program = "pkexec");
  // Running while the program runs; Succeeded / Failed once, when it has
  // ended (exit status 0 / anything else); then Idle.
  InstallState PollInstall();
  // The install started has not been seen ending by PollInstall yet.
  bool InstallRunning() const { return child_ > 0; }

 private:
  std::set<std::string> told_;  // nodes told about, while present
  pid_t child_ = -1;
};

}  // namespace trx::app

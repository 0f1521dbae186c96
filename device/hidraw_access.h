#pragma once
// Access diagnosis: devices of the TRX770 family (USB vendor 0x0C45,
// products 0x652C mouse, 0x6556 / 0x8611 / 0x7200 keyboard, 0x6758 mouse
// pad) that are present in sysfs but whose hidraw node can't be opened,
// with the reason. The usual cause is a missing udev rule: without it only
// root may open /dev/hidrawN, and the program would otherwise just say that
// no device is connected.
//
// Layout read: <sys_root>/class/hidraw/hidrawN/device/uevent (HID_ID) and
// the node <dev_root>/hidrawN, as HidrawBackend reads them.
//
// Thread safety: any thread; nothing is shared.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace trx {

// The rule file's name, in the program folder and under /etc/udev/rules.d.
inline constexpr const char* kUdevRuleFileName = "70-trx770.rules";
inline constexpr const char* kUdevRuleTarget = "/etc/udev/rules.d/70-trx770.rules";

struct HidrawAccessProblem {
  std::string node;       // "hidraw3"
  std::string dev_path;   // "<dev_root>/hidraw3"
  uint16_t vendor_id = 0;
  uint16_t product_id = 0;
  int error = 0;          // errno of the failed open
};

// Tries to open a node for reading and writing (and closes it at once);
// 0 when it opens, else the errno. Tests replace it.
using HidrawNodeOpener = std::function<int(const std::string& dev_path)>;
int OpenHidrawNodeForCheck(const std::string& dev_path);

bool IsFamilyDevice(uint16_t vendor_id, uint16_t product_id);
// "mouse", "keyboard", "mouse pad"; "device" for other ids.
const char* FamilyDeviceName(uint16_t product_id);
// True for errors a udev rule fixes (EACCES, EPERM).
bool IsMissingAccess(int error);

// Every family node that can't be opened, sorted by node number. An empty
// opener means OpenHidrawNodeForCheck.
std::vector<HidrawAccessProblem> FindHidrawAccessProblems(const std::string& sys_root, const std::string& dev_root,
                                                          const HidrawNodeOpener& opener = {});
// The same for the roots HidrawBackend::FromEnvironment reads.
std::vector<HidrawAccessProblem> FindHidrawAccessProblems();

// The packaged rule file: "<program folder found from the executable>
// /70-trx770.rules". The environment's program-folder override is not
// followed, so the file offered for installing as root is always the one
// that came with the program.
std::string PackagedUdevRulePath();
// The one shell command line that installs the rule and applies it.
std::string UdevRuleInstallCommand(const std::string& rule_path);

// For command-line tools: one line per problem on `out`,
//   "<program>: no access to the TRX770 mouse (/dev/hidraw3): Permission denied"
// followed, when access is missing, by the command that installs the rule.
// Returns the number of problems (0 prints nothing).
size_t PrintHidrawAccessDiagnosis(std::FILE* out, const char* program);
size_t PrintHidrawAccessDiagnosis(std::FILE* out, const char* program,
                                  const std::vector<HidrawAccessProblem>& problems, const std::string& rule_path);

}  // namespace trx

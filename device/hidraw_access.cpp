#include "device/hidraw_access.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "device/hidraw_backend.h"
#include "platform/program_folder.h"

namespace trx {
namespace {

constexpr uint16_t kFamilyVendorId = 0x0C45;

struct FamilyProduct {
  uint16_t product_id;
  const char* name;
};
constexpr FamilyProduct kFamilyProducts[] = {
    {0x652C, "mouse"}, {0x6556, "keyboard"}, {0x8611, "keyboard"}, {0x7200, "keyboard"}, {0x6758, "mouse pad"},
};

// "hidraw12" -> 12; -1 for other names.
long NodeNumber(const std::string& name) {
  constexpr std::string_view kPrefix = "hidraw";
  if (name.size() <= kPrefix.size() || name.size() > kPrefix.size() + 9 || name.compare(0, kPrefix.size(), kPrefix) != 0)
    return -1;
  long n = 0;
  for (size_t i = kPrefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

bool ReadText(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

int OpenHidrawNodeForCheck(const std::string& dev_path) {
  int fd = ::open(dev_path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno != 0 ? errno : EIO;
  ::close(fd);
  return 0;
}

bool IsFamilyDevice(uint16_t vendor_id, uint16_t product_id) {
  if (vendor_id != kFamilyVendorId) return false;
  return std::any_of(std::begin(kFamilyProducts), std::end(kFamilyProducts),
                     [&](const FamilyProduct& p) { return p.product_id == product_id; });
}

const char* FamilyDeviceName(uint16_t product_id) {
  for (const FamilyProduct& p : kFamilyProducts)
    if (p.product_id == product_id) return p.name;
  return "device";
}

bool IsMissingAccess(int error) { return error == EACCES || error == EPERM; }

std::vector<HidrawAccessProblem> FindHidrawAccessProblems(const std::string& sys_root, const std::string& dev_root,
                                                          const HidrawNodeOpener& opener) {
  std::vector<std::pair<long, HidrawAccessProblem>> found;
  const std::string class_dir = sys_root + "/class/hidraw";
  DIR* dir = ::opendir(class_dir.c_str());
  if (dir == nullptr) return {};
  while (dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    const long n = NodeNumber(name);
    if (n < 0) continue;
    std::string uevent;
    HidrawAccessProblem problem;
    if (!ReadText(class_dir + "/" + name + "/device/uevent", uevent) ||
        !ParseHidUevent(uevent, problem.vendor_id, problem.product_id) ||
        !IsFamilyDevice(problem.vendor_id, problem.product_id))
      continue;
    problem.node = name;
    problem.dev_path = dev_root + "/" + name;
    problem.error = opener ? opener(problem.dev_path) : OpenHidrawNodeForCheck(problem.dev_path);
    if (problem.error != 0) found.emplace_back(n, std::move(problem));
  }
  ::closedir(dir);
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<HidrawAccessProblem> out;
  for (auto& entry : found) out.push_back(std::move(entry.second));
  return out;
}

std::vector<HidrawAccessProblem> FindHidrawAccessProblems() {
  std::shared_ptr<HidrawBackend> backend = HidrawBackend::FromEnvironment();
  return FindHidrawAccessProblems(backend->SysRoot(), backend->DevRoot());
}

std::string PackagedUdevRulePath() { return ExecutableProgramFolder() + kUdevRuleFileName; }

std::string UdevRuleInstallCommand(const std::string& rule_path) {
  return "sudo install -m 644 " + rule_path + " " + kUdevRuleTarget +
         " && sudo udevadm control --reload && sudo udevadm trigger --subsystem-match=hidraw";
}

size_t PrintHidrawAccessDiagnosis(std::FILE* out, const char* program,
                                  const std::vector<HidrawAccessProblem>& problems, const std::string& rule_path) {
  bool missing_access = false;
  for (const HidrawAccessProblem& p : problems) {
    std::fprintf(out, "%s: no access to the TRX770 %s (%s): %s\n", program, FamilyDeviceName(p.product_id),
                 p.dev_path.c_str(), std::strerror(p.error));
    missing_access = missing_access || IsMissingAccess(p.error);
  }
  if (missing_access)
    std::fprintf(out, "%s: the udev rule for TRX770 devices is missing; install it with:\n  %s\n", program,
                 UdevRuleInstallCommand(rule_path).c_str());
  return problems.size();
}

size_t PrintHidrawAccessDiagnosis(std::FILE* out, const char* program) {
  return PrintHidrawAccessDiagnosis(out, program, FindHidrawAccessProblems(), PackagedUdevRulePath());
}

}  // namespace trx

#include "app/access_help.h"

#include <sys/stat.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <map>

extern char** environ;

namespace trx::app {

const char* DeviceNameTextId(uint16_t product_id) {
  switch (product_id) {
    case 0x652C: return "device_name_mouse";
    case 0x6758: return "device_name_pad";
    default: return "device_name_keyboard";
  }
}

std::string ShellQuoted(std::string_view text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string ManualRuleCommand(const std::string& rule_path) {
  return "sudo cp " + ShellQuoted(rule_path) + " " + ShellQuoted("/etc/udev/rules.d/");
}

std::string InstalledUdevRule(const std::vector<std::string>& folders) {
  const std::string name = "70-trx770.rules";
  for (const std::string& folder : folders) {
    const std::string path = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + name;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return path;
  }
  return {};
}

std::vector<std::string> RuleInstallArguments(const std::string& rule_path) {
  return {"/usr/bin/install", "-m", "0644", "-T", "--", rule_path, kUdevRuleTarget};
}

std::string FillAccessText(std::string_view text, std::string_view device, std::string_view node,
                           std::string_view command) {
  const std::pair<std::string_view, std::string_view> fields[] = {
      {"{device}", device}, {"{node}", node}, {"{command}", command}};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& [name, value] : fields) {
      if (text.compare(i, name.size(), name) == 0) {
        out += value;
        i += name.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

std::vector<HidrawAccessProblem> AccessHelp::NewProblems(const std::vector<HidrawAccessProblem>& now) {
  std::set<std::string> present;
  std::map<uint16_t, HidrawAccessProblem> fresh;  // first new node of each product
  for (const HidrawAccessProblem& p : now) {
    if (!IsMissingAccess(p.error)) continue;
    present.insert(p.node);
    if (told_.insert(p.node).second) fresh.emplace(p.product_id, p);
  }
  std::erase_if(told_, [&](const std::string& node) { return present.count(node) == 0; });
  std::vector<HidrawAccessProblem> out;
  for (auto& [pid, p] : fresh) out.push_back(std::move(p));
  return out;
}

bool AccessHelp::StartRuleInstall(const std::string& rule_path, const std::string& program) {
  if (child_ > 0) return false;
  std::vector<std::string> args = RuleInstallArguments(rule_path);
  args.insert(args.begin(), program);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
  child_ = pid;
  return true;
}

AccessHelp::InstallState AccessHelp::PollInstall() {
  if (child_ <= 0) return InstallState::Idle;
  int status = 0;
  const pid_t r = ::waitpid(child_, &status, WNOHANG);
  if (r == 0) return InstallState::Running;
  child_ = -1;
  if (r < 0) return InstallState::Failed;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? InstallState::Succeeded : InstallState::Failed;
}

}  // namespace trx::app

#include "platform/foreground/process_identity.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace trx::foreground {
namespace {

constexpr std::string_view kDeletedSuffix = " (deleted)";
constexpr const char* kWineLoaders[] = {"wine", "wine64", "wine-preloader", "wine64-preloader"};

std::optional<std::string> ReadLink(const std::string& path) {
  char buffer[4096];
  const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) return std::nullopt;
  return std::string(buffer, static_cast<size_t>(n));
}

// A NUL-separated /proc file (cmdline, environ) as its entries.
std::vector<std::string> ReadNulList(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> out;
  size_t start = 0;
  while (start < data.size()) {
    size_t end = data.find('\0', start);
    if (end == std::string::npos) end = data.size();
    out.push_back(data.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

bool EndsWithExe(std::string_view arg) { return arg.size() > 4 && Lower(arg.substr(arg.size() - 4)) == ".exe"; }

std::string EnvValue(const std::vector<std::string>& environ, std::string_view name) {
  for (const std::string& entry : environ) {
    if (entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 && entry[name.size()] == '=')
      return entry.substr(name.size() + 1);
  }
  return {};
}

std::string Normal(const std::filesystem::path& path) { return path.lexically_normal().string(); }

// The folder a drive letter stands for in the prefix; empty when unknown.
std::string DriveFolder(const std::string& prefix, char letter) {
  if (prefix.empty()) return {};
  const std::string link = prefix + "/dosdevices/" + static_cast<char>(std::tolower(letter)) + ":";
  const std::optional<std::string> target = ReadLink(link);
  if (!target) return {};
  const std::filesystem::path t(*target);
  return Normal(t.is_absolute() ? t : std::filesystem::path(prefix + "/dosdevices") / t);
}

}  // namespace

std::string FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool IsWineLoader(std::string_view executable_path) {
  const std::string name = FileNameOf(executable_path);
  return std::any_of(std::begin(kWineLoaders), std::end(kWineLoaders), [&](const char* loader) { return name == loader; });
}

std::string WineProgramPath(const std::vector<std::string>& args, const std::vector<std::string>& environ,
                            const std::string& cwd) {
  auto it = std::find_if(args.begin(), args.end(), [](const std::string& a) { return EndsWithExe(a); });
  if (it == args.end()) return {};
  std::string windows = *it;
  const bool has_drive = windows.size() > 2 && std::isalpha(static_cast<unsigned char>(windows[0])) && windows[1] == ':';
  std::replace(windows.begin(), windows.end(), '\\', '/');
  if (!has_drive) {
    if (!windows.empty() && windows[0] == '/') return Normal(windows);
    return cwd.empty() ? windows : Normal(std::filesystem::path(cwd) / windows);
  }
  std::string prefix = EnvValue(environ, "WINEPREFIX");
  if (prefix.empty()) {
    const std::string home = EnvValue(environ, "HOME");
    if (!home.empty()) prefix = home + "/.wine";
  }
  const std::string drive = DriveFolder(prefix, windows[0]);
  if (drive.empty()) return windows;  // "C:/Games/game.exe"
  return Normal(drive + "/" + windows.substr(2));
}

std::optional<ForegroundProgram> ProgramOfProcess(int pid, const std::string& proc_root) {
  if (pid <= 0) return std::nullopt;
  const std::string dir = proc_root + "/" + std::to_string(pid);
  std::optional<std::string> exe = ReadLink(dir + "/exe");
  if (!exe) return std::nullopt;
  if (exe->size() > kDeletedSuffix.size() && exe->ends_with(kDeletedSuffix)) exe->resize(exe->size() - kDeletedSuffix.size());
  ForegroundProgram program;
  program.pid = pid;
  program.path = *exe;
  if (IsWineLoader(*exe)) {
    const std::string windows =
        WineProgramPath(ReadNulList(dir + "/cmdline"), ReadNulList(dir + "/environ"), ReadLink(dir + "/cwd").value_or(""));
    if (!windows.empty()) program.path = windows;
  }
  program.display_name = FileNameOf(program.path);
  return program;
}

ForegroundResult ResultForPid(int pid, const std::string& proc_root) {
  ForegroundResult result;
  if (pid <= 0) {
    result.status = ForegroundStatus::Unknown;
    result.detail = "the window in front names no process";
    return result;
  }
  std::optional<ForegroundProgram> program = ProgramOfProcess(pid, proc_root);
  if (!program) {
    result.status = ForegroundStatus::Unknown;
    result.detail = "process " + std::to_string(pid) + " can't be inspected";
    return result;
  }
  result.status = ForegroundStatus::Program;
  result.program = std::move(*program);
  return result;
}

}  // namespace trx::foreground

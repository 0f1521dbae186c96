#include "platform/program_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

#ifndef TRX770_DATA_RELATIVE
#define TRX770_DATA_RELATIVE "../share/trx770"
#endif

namespace trx {
namespace {

// The file whose presence marks a folder as the program folder.
constexpr const char* kProgramFolderMarker = "skin/res.xml";

std::mutex g_override_mutex;  // guards g_override
std::string g_override;

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

std::string Normal(const std::string& path) {
  std::string out = std::filesystem::path(path).lexically_normal().string();
  return WithSlash(out.empty() ? std::string(".") : out);
}

bool HoldsMarker(const std::string& folder) {
  struct stat st {};
  return ::stat((folder + kProgramFolderMarker).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ExecutableFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string exe(buf, static_cast<size_t>(n));
  size_t slash = exe.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
}

}  // namespace

const char* InstalledDataRelative() { return TRX770_DATA_RELATIVE; }

std::string ResolveProgramFolder(const std::string& exe_folder, const std::string& data_relative) {
  const std::string exe = Normal(exe_folder);
  if (HoldsMarker(exe)) return exe;
  if (!data_relative.empty()) {
    const std::string data = Normal(data_relative.front() == '/' ? data_relative : exe + data_relative);
    if (HoldsMarker(data)) return data;
  }
  return exe;
}

std::string ExecutableProgramFolder() { return ResolveProgramFolder(ExecutableFolder(), InstalledDataRelative()); }

void SetProgramFolderOverride(const std::string& folder) {
  std::lock_guard<std::mutex> guard(g_override_mutex);
  g_override = folder;
}

std::string ProgramFolder() {
  {
    std::lock_guard<std::mutex> guard(g_override_mutex);
    if (!g_override.empty()) return WithSlash(g_override);
  }
  if (const char* env = std::getenv("TRX770_PROGRAM_DIR"); env && *env) return WithSlash(env);
  return ExecutableProgramFolder();
}

}  // namespace trx

#include "platform/program_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <mutex>

namespace trx {
namespace {

std::mutex g_override_mutex;  // guards g_override
std::string g_override;

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
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
  return ExecutableFolder();
}

}  // namespace trx

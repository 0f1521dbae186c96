#include "platform/atomic_file.h"

#include "platform/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>

namespace trx {
namespace {

std::mutex g_hook_mutex;  // guards g_hook
AtomicWriteHook g_hook;

bool WriteAll(int fd, const uint8_t* p, size_t n) {
  while (n > 0) {
    ssize_t put = ::write(fd, p, n);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += put;
    n -= static_cast<size_t>(put);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool HookAllows(const std::string& path) {
  std::lock_guard<std::mutex> guard(g_hook_mutex);
  return !g_hook || g_hook(path);
}

}  // namespace

mode_t ProcessUmask() {
  // Read once. The kernel reports it (Linux 4.7 and later) without the
  // process changing it; only where it does not is it set and set back,
  // once, here.
  static const mode_t mask = [] {
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
      char line[256];
      unsigned value = 0;
      bool found = false;
      while (!found && std::fgets(line, sizeof line, f) != nullptr) found = std::sscanf(line, "Umask: %o", &value) == 1;
      std::fclose(f);
      if (found) return static_cast<mode_t>(value & 0777);
    }
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
  }();
  return mask;
}

AtomicWriteHook SetAtomicWriteHookForTesting(AtomicWriteHook hook) {
  std::lock_guard<std::mutex> guard(g_hook_mutex);
  AtomicWriteHook old = std::move(g_hook);
  g_hook = std::move(hook);
  return old;
}

bool WriteFileAtomic(const std::string& path, const void* data, size_t size) {
  if (path.empty() || path.back() == '/') return false;
  std::string tmp = path + ".tmpXXXXXX";
  int fd = ::mkstemp(tmp.data());
  if (fd < 0) return false;

  // Keep the mode of the file being replaced; a new file follows the umask.
  mode_t mode;
  struct stat old_stat;
  if (::stat(path.c_str(), &old_stat) == 0) {
    mode = old_stat.st_mode & 07777;
  } else {
    mode = 0666 & ~ProcessUmask();
  }

  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, static_cast<const uint8_t*>(data), size) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && HookAllows(path);
  ok = ok && ::rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(tmp.c_str());
    return false;
  }
  // Make the rename itself durable.
  int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  return ReadRegularFile(path, out, kMaxReadBytes) == FileReadResult::Ok;
}

}  // namespace trx

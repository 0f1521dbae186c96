#include "platform/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace trx {

CFolderLock::CFolderLock(const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const std::string path = (std::filesystem::path(folder) / kFolderLockName).string();
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) return;
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    ::close(fd_);
    fd_ = -1;
    return;
  }
}

CFolderLock::~CFolderLock() {
  if (fd_ >= 0) ::close(fd_);  // releases the lock
}

}  // namespace trx

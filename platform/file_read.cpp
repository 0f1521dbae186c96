#include "platform/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace trx {

FileReadResult ReadRegularFile(const std::string& path, std::vector<uint8_t>& out, size_t max_bytes) {
  out.clear();
  // Non-blocking, so that opening a FIFO without a writer returns at once.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return FileReadResult::Missing;
  struct stat st {};
  FileReadResult result = FileReadResult::Ok;
  if (::fstat(fd, &st) != 0) {
    result = FileReadResult::Missing;
  } else if (!S_ISREG(st.st_mode)) {
    result = FileReadResult::NotRegular;
  } else if (st.st_size < 0 || static_cast<uint64_t>(st.st_size) > max_bytes) {
    result = FileReadResult::TooLarge;
  } else {
    out.reserve(static_cast<size_t>(st.st_size));
    uint8_t buf[8192];
    for (;;) {
      const ssize_t got = ::read(fd, buf, sizeof buf);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        result = FileReadResult::ReadError;
        break;
      }
      if (got == 0) break;
      if (out.size() + static_cast<size_t>(got) > max_bytes) {  // it grew while read
        result = FileReadResult::TooLarge;
        break;
      }
      out.insert(out.end(), buf, buf + got);
    }
  }
  ::close(fd);
  if (result != FileReadResult::Ok) out.clear();
  return result;
}

std::string DescribeFileRead(FileReadResult result, const std::string& path, size_t max_bytes) {
  const std::string quoted = "'" + path + "'";
  switch (result) {
    case FileReadResult::Ok: return quoted + " was read";
    case FileReadResult::Missing: return quoted + " is missing or can't be opened";
    case FileReadResult::NotRegular: return quoted + " is not a regular file";
    case FileReadResult::TooLarge: return quoted + " is larger than " + std::to_string(max_bytes) + " bytes";
    case FileReadResult::ReadError: return quoted + " could not be read";
  }
  return quoted + " could not be read";
}

}  // namespace trx

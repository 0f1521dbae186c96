#pragma once
// Bounded reads of files a user can hand the program (imports, indexes,
// language files, layouts). Only a regular file is read: a FIFO, a device
// node, a socket or a folder is refused without blocking (the file is
// opened non-blocking and checked before anything is read), and a file
// larger than the caller's limit is refused before it is read, so a hostile
// path can neither hang the caller nor make it allocate without bound.
//
// Thread safety: any thread.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace trx {

enum class FileReadResult : int {
  Ok = 0,
  Missing = 1,     // no such file, or it can't be opened
  NotRegular = 2,  // a FIFO, device, socket or folder
  TooLarge = 3,    // above the caller's limit
  ReadError = 4,   // reading failed part way
};

// The largest file any reader takes when it names no smaller limit.
inline constexpr size_t kMaxReadBytes = 16u << 20;

// Reads the whole regular file at `path` into `out` (cleared first) when it
// holds at most `max_bytes` bytes.
FileReadResult ReadRegularFile(const std::string& path, std::vector<uint8_t>& out, size_t max_bytes = kMaxReadBytes);

// "'PATH' is not a regular file" and so on: one line, no full stop.
std::string DescribeFileRead(FileReadResult result, const std::string& path, size_t max_bytes = kMaxReadBytes);

}  // namespace trx

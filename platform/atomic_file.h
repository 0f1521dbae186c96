#pragma once
// Whole-file writes that never leave a half-written file behind.
//
// WriteFileAtomic writes the bytes to a temporary file in the same folder
// ("<name>.tmpXXXXXX"), flushes it to disk, then renames it over the target
// and flushes the folder. A crash, a full disk or any error before the
// rename leaves the old file exactly as it was and removes the temporary.
// A new file gets mode 0666 less the umask; a replaced file keeps its mode.
//
// Thread safety: any thread. Two writers of the same path at once each
// produce a whole file; the last rename wins.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace trx {

// True when the file now holds exactly `size` bytes of `data`.
bool WriteFileAtomic(const std::string& path, const void* data, size_t size);

// The process's file mode mask, read once (call it at start, before any
// thread). Never changed afterwards: toggling it from several threads could
// leave it at 0 and make new folders world-writable.
mode_t ProcessUmask();

// Reads a whole regular file of at most kMaxReadBytes (platform/file_read.h).
// False when it can't be opened or read, is no regular file or is larger.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out);

// Test hook: called after the temporary file is written and flushed and
// before the rename, with the target path. Returning false makes the write
// fail at that point (as a crash there would). An empty function removes it.
using AtomicWriteHook = std::function<bool(const std::string& target_path)>;
AtomicWriteHook SetAtomicWriteHookForTesting(AtomicWriteHook hook);

}  // namespace trx

#pragma once
// Frame trace: a record of every 64-byte frame written to and read from a
// device channel.
//
// When the environment variable TRX770_TRACE names a file, each frame is
// appended to it as one line:
//
//     <microseconds> <dir> <kind> <hex>
//
//   microseconds  steady (monotonic) clock, decimal
//   dir           '>' for a frame written to the device, '<' for one read
//   kind          "keyboard", "mouse" or "pad"
//   hex           the 64 bytes as 128 lower-case hex digits, no separators
//
// e.g. "1234567 > mouse 042400032100...". The file is opened once (on the
// first frame, or by SetFrameTraceFile) in append mode and flushed after
// every line. Tests install a hook instead, which receives each record.
//
// Thread safety: TraceFrame may be called from any thread; lines are never
// interleaved. Installing a hook or a file is serialised with writers.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device/device_channel.h"

namespace trx {

struct FrameTraceRecord {
  uint64_t time_us = 0;
  char direction = '>';     // '>' written, '<' read
  DeviceKind kind = DeviceKind::Mouse;
  std::vector<uint8_t> bytes;
};

using FrameTraceHook = std::function<void(const FrameTraceRecord&)>;

// Records one frame (no-op unless a file or hook is active).
void TraceFrame(DeviceKind kind, char direction, const uint8_t* bytes, size_t length);
// Installs a hook (an empty function removes it); returns the previous one.
FrameTraceHook SetFrameTraceHook(FrameTraceHook hook);
// Opens `path` for appending as the trace file (instead of TRX770_TRACE);
// an empty path closes the file. False when the file can't be opened.
bool SetFrameTraceFile(const std::string& path);

// Formats one record as its trace line (without the newline).
std::string FormatTraceLine(const FrameTraceRecord& record);
// Parses one trace line; false when it is malformed.
bool ParseTraceLine(const std::string& line, FrameTraceRecord& record);

}  // namespace trx

#include "device/frame_trace.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/debug_log.h"

namespace trx {
namespace {

struct TraceState {
  // Guards file and hook; taken after any channel lock, never before one.
  std::mutex mutex;
  FILE* file = nullptr;
  FrameTraceHook hook;
  bool env_checked = false;
  // True while a file or hook is installed (or the environment is not yet
  // checked), so that an idle trace costs one atomic load per frame.
  std::atomic<bool> maybe_active{true};
};

TraceState& State() {
  static TraceState state;
  return state;
}

void UpdateActive(TraceState& s) { s.maybe_active = !s.env_checked || s.file != nullptr || static_cast<bool>(s.hook); }

// Opens TRX770_TRACE on first use. Caller holds the mutex.
void CheckEnvironment(TraceState& s) {
  if (s.env_checked) return;
  s.env_checked = true;
  const char* path = std::getenv("TRX770_TRACE");
  if (path != nullptr && *path != '\0' && s.file == nullptr) {
    s.file = std::fopen(path, "a");
    if (s.file == nullptr) DebugLineF("frame trace: cannot open %s", path);
  }
  UpdateActive(s);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string FormatTraceLine(const FrameTraceRecord& record) {
  static const char kHex[] = "0123456789abcdef";
  std::string line = std::to_string(record.time_us);
  line += ' ';
  line += record.direction;
  line += ' ';
  line += DeviceKindName(record.kind);
  line += ' ';
  for (uint8_t b : record.bytes) {
    line += kHex[b >> 4];
    line += kHex[b & 0x0F];
  }
  return line;
}

bool ParseTraceLine(const std::string& line, FrameTraceRecord& record) {
  char dir = 0;
  char kind[16] = {};
  unsigned long long time_us = 0;
  int consumed = 0;
  if (std::sscanf(line.c_str(), "%llu %c %15s %n", &time_us, &dir, kind, &consumed) != 3) return false;
  if (dir != '>' && dir != '<') return false;
  if (std::strcmp(kind, "keyboard") == 0) {
    record.kind = DeviceKind::Keyboard;
  } else if (std::strcmp(kind, "mouse") == 0) {
    record.kind = DeviceKind::Mouse;
  } else if (std::strcmp(kind, "pad") == 0) {
    record.kind = DeviceKind::MousePad;
  } else {
    return false;
  }
  std::string hex = line.substr(static_cast<size_t>(consumed));
  while (!hex.empty() && (hex.back() == '\n' || hex.back() == '\r' || hex.back() == ' ')) hex.pop_back();
  if (hex.size() % 2 != 0) return false;
  record.bytes.clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    int hi = HexDigit(hex[i]);
    int lo = HexDigit(hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    record.bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
  }
  record.time_us = time_us;
  record.direction = dir;
  return true;
}

void TraceFrame(DeviceKind kind, char direction, const uint8_t* bytes, size_t length) {
  TraceState& s = State();
  if (!s.maybe_active.load(std::memory_order_relaxed)) return;
  std::lock_guard<std::mutex> guard(s.mutex);
  CheckEnvironment(s);
  if (s.file == nullptr && !s.hook) return;
  FrameTraceRecord record;
  record.time_us = static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
  record.direction = direction;
  record.kind = kind;
  record.bytes.assign(bytes, bytes + length);
  if (s.hook) s.hook(record);
  if (s.file != nullptr) {
    std::string line = FormatTraceLine(record);
    line += '\n';
    if (std::fwrite(line.data(), 1, line.size(), s.file) != line.size() || std::fflush(s.file) != 0) {
      // A full disk must not break the device traffic: stop tracing.
      DebugLine("frame trace: write failed, trace closed");
      std::fclose(s.file);
      s.file = nullptr;
      UpdateActive(s);
    }
  }
}

FrameTraceHook SetFrameTraceHook(FrameTraceHook hook) {
  TraceState& s = State();
  std::lock_guard<std::mutex> guard(s.mutex);
  CheckEnvironment(s);
  FrameTraceHook previous = std::move(s.hook);
  s.hook = std::move(hook);
  UpdateActive(s);
  return previous;
}

bool SetFrameTraceFile(const std::string& path) {
  TraceState& s = State();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.env_checked = true;  // an explicit file replaces the environment's
  if (s.file != nullptr) {
    std::fclose(s.file);
    s.file = nullptr;
  }
  bool ok = true;
  if (!path.empty()) {
    s.file = std::fopen(path.c_str(), "a");
    ok = s.file != nullptr;
  }
  UpdateActive(s);
  return ok;
}

}  // namespace trx

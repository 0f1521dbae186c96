#include "platform/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace trx {
namespace {

std::mutex& SinkMutex() {  // guards Sink(); taken alone, never nested
  static std::mutex m;
  return m;
}
DebugSink& Sink() {
  static DebugSink sink;
  return sink;
}
bool StderrEnabled() {
  static const bool enabled = std::getenv("TRX770_DEBUG") != nullptr;
  return enabled;
}

}  // namespace

void DebugLine(std::string_view line) {
  std::lock_guard<std::mutex> lock(SinkMutex());
  if (Sink()) {
    Sink()(line);
    return;
  }
  if (StderrEnabled()) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    if (line.empty() || line.back() != '\n') std::fputc('\n', stderr);
  }
}

void DebugLineF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (n > 0) {
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), format, args);
    text.assign(buf.data(), static_cast<size_t>(n));
  }
  va_end(args);
  DebugLine(text);
}

DebugSink SetDebugSink(DebugSink sink) {
  std::lock_guard<std::mutex> lock(SinkMutex());
  DebugSink old = std::move(Sink());
  Sink() = std::move(sink);
  return old;
}

}  // namespace trx

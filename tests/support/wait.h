#pragma once
// Bounded polling for state that has no event of its own, and the debug
// lines written meanwhile. Any thread.

#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/debug_log.h"

namespace trx::test {

// Polls `done` every 5 ms for up to `limit`; whether it came to hold.
inline bool Eventually(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// Collects the debug lines written while it lives, from any thread.
class DebugCapture {
 public:
  DebugCapture()
      : previous_(SetDebugSink([this](std::string_view line) {
          std::lock_guard<std::mutex> guard(mutex_);
          lines_.emplace_back(line);
        })) {}
  ~DebugCapture() { SetDebugSink(previous_); }
  size_t Count(const std::string& line) {
    std::lock_guard<std::mutex> guard(mutex_);
    return static_cast<size_t>(std::count(lines_.begin(), lines_.end(), line));
  }

 private:
  std::mutex mutex_;  // guards lines_; a leaf
  std::vector<std::string> lines_;
  DebugSink previous_;
};

}  // namespace trx::test

#pragma once
// A program in front that the test sets (none until then); each Set wakes
// the waiters as a source that hears changes would. Any thread.

#include <atomic>
#include <mutex>
#include <string>

#include "platform/foreground/foreground_source.h"
#include "profile/program_links.h"

namespace trx::test {

class FakeFront : public foreground::IForegroundSource {
 public:
  const char* Name() const override { return "fake"; }
  bool Start(foreground::ForegroundUnavailable*) override { return true; }
  void Stop() override {}
  foreground::ForegroundResult Current() override {
    std::lock_guard<std::mutex> lock(mutex);
    return front;
  }
  bool WaitForChange(CEvent& stop, int timeout_ms) override { return changes.Wait(stop, timeout_ms); }
  uint64_t ChangesHeard() override { return changes.Generation(); }
  bool WaitForChangeSince(uint64_t seen, CEvent& stop, int timeout_ms) override {
    return changes.WaitSince(seen, stop, timeout_ms);
  }
  void Set(foreground::ForegroundStatus status, const std::string& path = {}, int pid = 42) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      front = {status, {pid, path, LinkedProgramName(path)}, {}};
    }
    changes.Changed();
  }
  void Set(const std::string& path) { Set(foreground::ForegroundStatus::Program, path); }
  void Poke() override {
    ++pokes;
    changes.Changed();
  }

  std::mutex mutex;  // guards front
  foreground::ForegroundResult front{foreground::ForegroundStatus::None, {}, {}};
  foreground::CForegroundChanges changes;
  std::atomic<int> pokes{0};  // a device connected: the monitors look again
};

}  // namespace trx::test

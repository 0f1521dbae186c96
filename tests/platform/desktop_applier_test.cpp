// CDesktopApplier: applies run on its worker, the newest waiting request of a
// setting replaces older ones, what is waiting at destruction is still applied.

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "platform/desktop_pointer/desktop_applier.h"

namespace trx::desktop {
namespace {

// Holds every apply until the test opens the gate.
class GatedDesktop : public CNoDesktopPointer {
 public:
  DesktopResult SetPointerSpeed(int speed) override { return Hold("speed " + std::to_string(speed)); }
  DesktopResult SetWheelLines(int lines) override { return Hold("lines " + std::to_string(lines)); }
  void WaitStarted(size_t n) {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait(lock, [&] { return calls.size() >= n; });
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    cv_.notify_all();
  }
  std::vector<std::string> Calls() {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls;
  }

 private:
  DesktopResult Hold(std::string call) {
    std::unique_lock<std::mutex> lock(mutex_);
    calls.push_back(std::move(call));
    cv_.notify_all();
    cv_.wait(lock, [&] { return open_; });
    return DesktopResult::Ok;
  }
  std::mutex mutex_;  // guards calls, open_
  std::condition_variable cv_;
  std::vector<std::string> calls;
  bool open_ = false;
};

TEST(DesktopApplier, NewestWaitingValueWinsAndNothingIsLostAtExit) {
  GatedDesktop desktop;
  std::vector<std::string> results;
  {
    CDesktopApplier applier(desktop, [&](DesktopSetting, int value, DesktopResult r) {
      results.push_back(std::to_string(value) + (r == DesktopResult::Ok ? " ok" : " failed"));
    });
    applier.ApplyPointerSpeed(4);
    desktop.WaitStarted(1);  // the worker is inside the first apply
    for (int s : {6, 8, 12}) applier.ApplyPointerSpeed(s);
    applier.ApplyWheelLines(5);
    desktop.Open();
    applier.Drain();
    EXPECT_EQ(desktop.Calls(), (std::vector<std::string>{"speed 4", "speed 12", "lines 5"}));
    applier.ApplyWheelLines(9);  // waiting when the applier goes
  }
  EXPECT_EQ(desktop.Calls().back(), "lines 9");
  EXPECT_EQ(results, (std::vector<std::string>{"4 ok", "12 ok", "5 ok", "9 ok"}));
}

}  // namespace
}  // namespace trx::desktop

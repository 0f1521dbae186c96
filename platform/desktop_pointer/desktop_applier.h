#pragma once
// CDesktopApplier: applies pointer speed and wheel lines to the desktop off
// the calling (UI) thread. One worker thread takes the requests; a request
// made while an earlier one of the same setting is still waiting replaces
// it (the newest value wins), so a fast run of slider releases or wheel
// steps ends with the last value applied and never queues up.
//
// The result of each apply is logged; `on_result`, when given, is called
// on the worker thread with the setting and its result.
//
// ReadState asks the desktop what it has and its current values on the
// same worker (before any apply waiting then), so a backend that opens a
// connection on its first use opens, reads and applies on one thread.
//
// Thread safety: Apply* and the destructor from any one owner thread. The
// destructor applies what is still waiting (at most one value of each
// setting, so a release just before exit is not lost), then joins.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/desktop_pointer/desktop_pointer.h"

namespace trx::desktop {

enum class DesktopSetting { PointerSpeed, WheelLines };

class CDesktopApplier {
 public:
  using ResultHook = std::function<void(DesktopSetting, int value, DesktopResult)>;
  explicit CDesktopApplier(IDesktopPointer& pointer, ResultHook on_result = nullptr);
  ~CDesktopApplier();
  CDesktopApplier(const CDesktopApplier&) = delete;
  CDesktopApplier& operator=(const CDesktopApplier&) = delete;

  void ApplyPointerSpeed(int speed);  // 1 .. 20
  void ApplyWheelLines(int lines);    // 1 .. 100
  // `done` runs on the worker with the state read. A second request while
  // one waits replaces it.
  void ReadState(std::function<void(const DesktopPointerState&)> done);
  // Blocks until no request is waiting or running (tests, shutdown of ctl).
  void Drain();

 private:
  void Run();

  IDesktopPointer& pointer_;
  ResultHook on_result_;
  std::mutex mutex_;  // guards the fields below; a leaf lock
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<int> speed_;
  std::optional<int> lines_;
  std::function<void(const DesktopPointerState&)> read_;
  bool busy_ = false;
  bool stop_ = false;
  std::thread worker_;  // last: started once the fields above exist
};

}  // namespace trx::desktop

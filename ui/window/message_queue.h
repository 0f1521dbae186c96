#pragma once
// The one message queue of the process: posted and sent window messages,
// queued callbacks, timers and the quit request, drained on the UI thread.
//
// A loop driver decides how the UI thread waits between batches of work.
// The built-in headless driver waits on a condition variable (or, on the
// controllable clock, lets a test move time); the Qt backend installs a
// driver that runs Qt's event loop and calls ProcessPending() from it.
//
// Clock: real (steady clock) by default. UseManualClock() switches to a
// virtual millisecond counter that moves only through AdvanceTime(), so
// 100 ms and 1000 ms timers are tested without sleeping.
//
// Thread safety: Post/Send/SetTimer/KillTimer/PostQuit/Wake may be called
// from any thread. ProcessPending, RunUntil, AdvanceTime and the clock
// switches are UI-thread only. Lock order: mu_ may be held while calling
// window_registry (which takes its own lock); never the other way round, and
// mu_ is never held while a window procedure or callback runs.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ui/window/win_types.h"

namespace trx::ui {

// How the UI thread waits for work. Installed by a backend; the headless
// driver is used when none is installed.
class ILoopDriver {
 public:
  virtual ~ILoopDriver() = default;
  // Any thread: new work (message, timer change, quit) may be pending.
  virtual void Wake() = 0;
  // UI thread: run the queue until done() is true. Nested calls form the
  // modal loops; each returns once its own predicate holds.
  virtual void RunUntil(const std::function<bool()>& done) = 0;
};

class CMessageQueue {
 public:
  static CMessageQueue& Instance();

  // Makes the calling thread the UI thread. Called by the first window
  // creation and by the message loop; tests call it in their set-up.
  void BindToCurrentThread();
  bool IsUiThread() const;

  // Queues a message for hwnd. False when the handle is not a live window.
  bool Post(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  // Delivers a message and returns the window's result. On the UI thread
  // the window procedure runs inline. From another thread the caller blocks
  // until the UI thread has handled it; it returns 0 instead when the
  // window is gone (before or while waiting) or the loop is shutting down.
  LRESULT Send(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  // Queues fn to run on the UI thread in order with posted messages.
  void PostCallback(std::function<void()> fn);

  // Starts (or restarts) timer id of hwnd; WM_TIMER(wParam = id) arrives
  // every elapse_ms (at least 10 ms). Returns id, or 0 for a dead handle.
  UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, unsigned elapse_ms);
  // Stops the timer. False when no such timer existed.
  bool KillTimer(HWND hwnd, UINT_PTR id);
  // Forgets every timer and releases every waiting sender of hwnd; called
  // when the window is destroyed.
  void ForgetWindow(HWND hwnd);

  // Asks the outermost loop to end with exit_code. From this moment the
  // queue is shutting down: waiting senders are released with 0 and new
  // cross-thread sends return 0 at once, so that a UI thread waiting for
  // its workers never deadlocks with a worker blocked in Send.
  void PostQuit(int exit_code);
  bool QuitRequested() const;
  int ExitCode() const;
  bool ShuttingDown() const;

  // UI thread: handles every queued sent message, every message posted
  // before the call, and every timer due now. Returns the number of items
  // handled.
  int ProcessPending();
  // UI thread: runs the installed driver until done().
  void RunUntil(const std::function<bool()>& done);
  // Runs the loop until quit is requested; returns the exit code. This is
  // what CPaintManagerUI::MessageLoop() does.
  int RunMessageLoop();

  // Clock. Now() is in milliseconds on a monotonic scale.
  std::int64_t Now() const;
  void UseManualClock(std::int64_t start_ms = 0);
  void UseRealClock();
  bool ManualClock() const;
  // Manual clock, UI thread: moves time forward by ms, firing every timer
  // that falls due on the way in time order (and the messages they post)
  // with the clock standing at each timer's due time.
  void AdvanceTime(std::int64_t ms);
  // Manual clock: when the headless loop is idle it jumps to the next due
  // timer instead of waiting (so a modal box closed by a timer just runs).
  void SetAutoAdvance(bool on);
  // Milliseconds until the next timer is due (0 when overdue), or -1.
  std::int64_t MillisToNextTimer() const;

  // Installs the backend's driver (null restores the headless one). The
  // driver must outlive its installation.
  void SetDriver(ILoopDriver* driver);
  // Any thread: pokes the driver.
  void Wake();

  // Tests: drops queued work, timers and the quit state, and unbinds the
  // UI thread. Waiting senders are released with 0.
  void ResetForTest();

 private:
  CMessageQueue();
  struct Posted {
    HWND hwnd = nullptr;
    UINT msg = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    std::function<void()> callback;  // set for queued callbacks
  };
  struct SendItem {
    HWND hwnd;
    UINT msg;
    WPARAM wparam;
    LPARAM lparam;
    LRESULT result = 0;
    bool done = false;
  };
  struct Timer {
    HWND hwnd;
    UINT_PTR id;
    std::int64_t period;
    std::int64_t due;
    std::uint64_t seq;
  };
  class HeadlessDriver;

  static LRESULT Deliver(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  std::int64_t NowLocked() const;
  bool HasWorkLocked() const;
  void ReleaseSendersLocked(HWND only);  // null: all
  // Pops the earliest timer due at or before limit, rescheduling it.
  bool TakeDueTimerLocked(std::int64_t limit, Timer* out, bool set_clock);
  void HeadlessRunUntil(const std::function<bool()>& done);

  mutable std::mutex mu_;  // guards everything below
  std::condition_variable work_cv_;   // UI thread waits for work (headless)
  std::condition_variable send_cv_;   // senders wait for their result
  std::deque<Posted> posted_;
  std::deque<std::shared_ptr<SendItem>> sends_;
  std::vector<Timer> timers_;
  std::uint64_t timer_seq_ = 0;
  std::thread::id ui_thread_{};
  bool quit_ = false;
  int exit_code_ = 0;
  bool manual_clock_ = false;
  bool auto_advance_ = false;
  std::int64_t manual_now_ = 0;
  ILoopDriver* driver_ = nullptr;
  std::unique_ptr<HeadlessDriver> headless_;
};

}  // namespace trx::ui

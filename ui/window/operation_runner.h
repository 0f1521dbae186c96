#pragma once
// COperationRunner: runs long device operations on one worker thread, one
// after another, so the window stays responsive while they run. Each
// operation gets an IProgressReporter that posts its progress to a window:
//
//   progress_msg  wParam = steps done, lParam = total steps   (Begin, Advance)
//   finished_msg  wParam = the operation's result code (as intptr_t)
//
// The window shows them on the UI thread (ShowOperationProgress); a window
// that is gone simply gets nothing.
//
// Threads: Run, Busy and Stop may be called from any thread (in the program:
// the UI thread). The operation itself runs on the worker and must reach
// controls only through window messages. Stop (and the destructor) refuse
// new work, drop queued operations, ask the running one to stop
// (IProgressReporter::StopRequested) and wait for it.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/progress_reporter.h"
#include "ui/window/win_types.h"

namespace trx::ui {

class CProgressUI;

// A long operation: reports through `progress`, returns a result code
// (1 success; the device command codes otherwise).
using DeviceOperation = std::function<int(IProgressReporter& progress)>;

class COperationRunner {
 public:
  COperationRunner(HWND target, UINT progress_msg, UINT finished_msg);
  ~COperationRunner();
  COperationRunner(const COperationRunner&) = delete;
  COperationRunner& operator=(const COperationRunner&) = delete;

  // Queues an operation; false (not run) once stopped.
  bool Run(DeviceOperation operation);
  // True while an operation is queued or running.
  bool Busy() const;
  void Stop();

 private:
  class PostingReporter;
  void WorkerLoop();

  const HWND target_;
  const UINT progress_msg_;
  const UINT finished_msg_;
  mutable std::mutex mutex_;  // guards queue_, running_, stopping_ (a leaf: nothing else is taken under it)
  std::condition_variable wake_;
  std::deque<DeviceOperation> queue_;
  bool running_ = false;
  bool stopping_ = false;
  std::thread worker_;  // started by the first Run
};

// UI thread: shows `done` of `total` on a progress control (made visible,
// range 0 … total, text "NN%"). A null control or total < 1 does nothing.
void ShowOperationProgress(CProgressUI* control, int done, int total);

}  // namespace trx::ui

#pragma once
// The progress ring "setting_progress" of the device operations that show
// it: shown at once when such an operation is queued from the UI thread,
// following the progress the queue reports, full when the last of them
// ended well, and hidden one second after the last one ended (timer 1,
// kTimerSettingDone; also after any setting that is done, WM_SETTING_DONE).
// While another such operation is queued or runs, the ring follows it.
//
// UI thread (the queues report through their UI post).

#include <functional>

#include "device/device_queue.h"
#include "ui/window/win_types.h"

namespace trx::ui {
class CProgressUI;
}

namespace trx::app {

class CProgressRing final : public IOperationObserver {
 public:
  // `ring`: the ring's control (null: none); `window`: the handle its timer
  // runs on.
  CProgressRing(std::function<ui::CProgressUI*()> ring, std::function<ui::HWND()> window)
      : ring_(std::move(ring)), window_(std::move(window)) {}

  // An operation with the ring was queued: busy from the click on, before
  // the queue reports.
  void Queued();
  // Operations showing the ring are queued or running.
  bool Busy() const { return pending_ > 0; }
  // A setting is done: the ring goes one second later.
  void HideSoon();
  // Timer 1's tick: the ring goes.
  void Hide();

  // IOperationObserver
  void OnOperationProgress(const OperationProgress& progress) override;
  void OnOperationFinished(const OperationOutcome& outcome) override;

 private:
  void Show(int done, int total);

  std::function<ui::CProgressUI*()> ring_;
  std::function<ui::HWND()> window_;
  int pending_ = 0;  // ring operations queued or running
};

}  // namespace trx::app

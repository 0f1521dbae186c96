#pragma once
// A window timer that runs only while it has work: Arm() starts it unless it
// runs already (never restarting it, so a stream of requests can't hold its
// tick back), and the tick ends it with StopIfIdle() once nothing waits. An
// idle program then has no timer waking it.
//
//   any thread:  (make work visible: set a flag, fill a mailbox) ─► Arm()
//   UI thread:   WM_TIMER ─► do the work ─► StopIfIdle(anything waiting?)
//
// StopIfIdle asks again after it cleared the armed bit, so work made
// visible while the tick decided is never left without a timer. Work must
// be visible before Arm() is called.
//
// Before Open() and after Close() Arm() does nothing (the window's workers
// are not started yet, or are stopped).
//
// Threads: Arm() from any thread (ui::SetTimer is thread-safe); Open,
// Close and StopIfIdle on the UI thread.

#include <atomic>
#include <functional>

#include "ui/window/win_api.h"

namespace trx::app {

class COnDemandTimer {
 public:
  COnDemandTimer(ui::UINT_PTR id, ui::UINT period_ms) : id_(id), period_ms_(period_ms) {}

  // Lets Arm() start the timer on `hwnd`; arms it at once when `waiting`.
  void Open(ui::HWND hwnd, bool waiting) {
    hwnd_.store(hwnd);
    armed_.store(false);
    if (waiting) Arm();
  }
  // Stops the timer for good.
  void Close() {
    armed_.store(true);
    if (ui::HWND hwnd = hwnd_.exchange(nullptr)) ui::KillTimer(hwnd, id_);
  }
  void Arm() {
    if (armed_.exchange(true)) return;
    if (ui::HWND hwnd = hwnd_.load()) ui::SetTimer(hwnd, id_, period_ms_);
  }
  // The tick's end: stops the timer unless `waiting()` says work is left.
  void StopIfIdle(const std::function<bool()>& waiting) {
    if (waiting()) return;
    ui::HWND hwnd = hwnd_.load();
    if (hwnd == nullptr) return;
    ui::KillTimer(hwnd, id_);
    armed_.store(false);
    if (waiting()) Arm();
  }
  bool Armed() const { return armed_.load() && hwnd_.load() != nullptr; }

 private:
  const ui::UINT_PTR id_;
  const ui::UINT period_ms_;
  std::atomic<ui::HWND> hwnd_{nullptr};
  std::atomic<bool> armed_{true};  // true before Open and after Close: Arm does nothing
};

}  // namespace trx::app

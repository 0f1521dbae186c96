#pragma once
// The lighting preview's frame timer period: the fast period while the
// preview is seen, the slower one the preview host asks for while hidden,
// and back to the fast one as soon as the window is shown or restored (so
// the preview looks at once instead of at the end of a slow period).
//
// UI thread.

#include <functional>
#include <utility>

#include "app/lighting_preview_host.h"

namespace trx::app {

class CPreviewFrameTimer {
 public:
  // `set`: (re)starts the window's frame timer with a period in ms.
  explicit CPreviewFrameTimer(std::function<void(int period_ms)> set) : set_(std::move(set)) {}

  // After a frame: the period the host asked for, set when it changed.
  void AfterFrame(int period_ms) {
    if (period_ms == period_ms_) return;
    period_ms_ = period_ms;
    set_(period_ms);
  }
  // The window was shown or restored.
  void OnShown() { AfterFrame(kPreviewFramePeriodMs); }

 private:
  std::function<void(int)> set_;
  int period_ms_ = kPreviewFramePeriodMs;
};

}  // namespace trx::app

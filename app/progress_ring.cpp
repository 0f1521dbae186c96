#include "app/progress_ring.h"

#include "app/app_messages.h"
#include "ui/core/progress.h"
#include "ui/window/win_api.h"

namespace trx::app {

void CProgressRing::Queued() {
  ++pending_;
  Show(0, 1);
}

void CProgressRing::Show(int done, int total) {
  // A hide still pending from an earlier operation must not hide this one.
  ui::KillTimer(window_(), kTimerSettingDone);
  ui::ShowOperationProgress(ring_(), done, total);
}

void CProgressRing::HideSoon() { ui::SetTimer(window_(), kTimerSettingDone, kSettingDonePeriodMs); }

void CProgressRing::Hide() {
  ui::KillTimer(window_(), kTimerSettingDone);
  if (ui::CProgressUI* ring = ring_()) ring->SetVisible(false);
}

void CProgressRing::OnOperationProgress(const OperationProgress& progress) { Show(progress.done, progress.total); }

void CProgressRing::OnOperationFinished(const OperationOutcome& outcome) {
  if (!outcome.progress || pending_ == 0) return;
  --pending_;
  ui::CProgressUI* ring = ring_();
  // Another queued operation goes on: its own progress follows.
  if (Busy()) return;
  if (ring != nullptr && outcome.Ok()) ui::ShowOperationProgress(ring, ring->GetMaxValue(), ring->GetMaxValue());
  // Hidden one second later, as after any setting that is done.
  HideSoon();
}

}  // namespace trx::app

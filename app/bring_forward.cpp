#include "app/bring_forward.h"

namespace trx::app {

void CBringForward::OnInstance() {
  const bool device = window_.any_device();
  if (device || window_.no_tray()) {
    if (!device) window_.show();
    window_.raise();
    return;
  }
  window_.hide();
  TellOnce(instance_box_open_);
}

void CBringForward::FromTray() {
  if (window_.any_device()) {
    window_.show();
    window_.raise();
    window_.repaint_soon();
    return;
  }
  window_.hide();
  TellOnce(tray_box_open_);
}

void CBringForward::TellOnce(bool& open) {
  if (open) return;
  open = true;
  window_.tell_no_device();
  open = false;
}

}  // namespace trx::app

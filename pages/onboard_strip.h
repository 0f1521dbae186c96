#pragma once
// The mouse's onboard profile buttons "ms_profile_0" … "ms_profile_4": a
// click makes that onboard profile the mouse's active one (indices outside
// 0 … 4 are ignored). The button of the active profile (the current
// record's byte 0) is marked (accent background, white text) after every
// mouse refresh and every switch, as the pad's list shows its own.

#include "pages/page.h"
#include "settings/mouse_config_image.h"
#include "ui/core/button.h"

namespace trx::pages {

class COnboardStrip : public CPage {
 public:
  using CPage::CPage;
  void Bind(CRouter& router) override;
  ControlBindings Bindings() override;
  void Refresh(DeviceKind kind) override;

 private:
  void ShowActive();

  Handle<ui::CButtonUI> buttons_[kOnboardProfileCount];
};

}  // namespace trx::pages

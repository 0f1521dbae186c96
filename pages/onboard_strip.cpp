#include "pages/onboard_strip.h"

#include <string>

#include "pages/control_names.h"
#include "pages/router.h"
#include "platform/debug_log.h"
#include "settings/mouse_config_image.h"
#include "settings/onboard_profile.h"
#include "ui/core/button.h"

namespace trx::pages {

void COnboardStrip::Bind(CRouter& router) {
  router.Add(Table::Click, {names::kMsProfilePrefix, Match::Prefix, [this](ui::TNotifyUI&, const NameSplit& split) {
                              if (split.index < 0 || split.index >= kOnboardProfileCount) return;
                              const int n = split.index;
                              ctx_.devices.Submit(DeviceKind::Mouse, Operation("onboard switch", [n](OperationContext& op) {
                                const OnboardSwitchResult rc = SwitchOnboardProfile(op.Channel(), n);
                                if (rc != kSwitchDone && rc != kSwitchAlreadyActive)
                                  DebugLineF("onboard profile %d could not be made active: %s (%d)", n,
                                             OnboardSwitchResultName(rc), static_cast<int>(rc));
                                return rc == kSwitchAlreadyActive ? kSwitchDone : rc;
                              }, [this](const OperationOutcome&) { ShowActive(); }));
                            }});
}

ControlBindings COnboardStrip::Bindings() {
  ControlBindings b;
  for (int k = 0; k < kOnboardProfileCount; ++k) b.push_back({names::kMsProfilePrefix + std::to_string(k), &buttons_[k]});
  return b;
}

void COnboardStrip::Refresh(DeviceKind kind) {
  if (kind == DeviceKind::Mouse) ShowActive();
}

void COnboardStrip::ShowActive() {
  constexpr ui::UiColor kActiveBack = 0xFFE8453C, kActiveText = 0xFFFFFFFF;
  constexpr ui::UiColor kOtherBack = 0xFF0F1115, kOtherText = 0xFF9AA3B0;
  const int active = image().Mouse([](MouseConfigImage& m) { return m.ProfileIndex(); });
  for (int k = 0; k < kOnboardProfileCount; ++k) {
    ui::CButtonUI* button = buttons_[k].get();
    if (button == nullptr) continue;
    button->SetBkColor(k == active ? kActiveBack : kOtherBack);
    button->SetTextColor(k == active ? kActiveText : kOtherText);
  }
}

}  // namespace trx::pages

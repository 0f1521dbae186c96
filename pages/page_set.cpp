#include "pages/page_set.h"

#include "pages/device_tabs_page.h"
#include "pages/keyboard_lighting_page.h"
#include "pages/lighting_page.h"
#include "pages/macro_editor_page.h"
#include "pages/mouse_key_page.h"
#include "pages/mouse_performance_page.h"
#include "pages/onboard_strip.h"
#include "pages/profile_bar.h"
#include "pages/profile_link_page.h"

namespace trx::pages {

CPageSet::CPageSet(ui::CPaintManagerUI& pm, IDialogs& dialogs, IDevices& devices, IWindow& window)
    : controls_(pm), context_{controls_, dialogs, devices, window}, router_(controls_, dialogs, window) {
  RegisterPages();
  for (const auto& page : pages_) page->Bind(router_);
}

CPageSet::~CPageSet() = default;

// Registration order is the order the pages' rows are tried and the order
// the device events reach the pages.
void CPageSet::RegisterPages() {
  Add<CKeyboardKeysPage>();
  Add<CKeyboardLightingPage>(lighting_, key_lights_);
  Add<CLightingPage>(DeviceKind::Mouse, lighting_);
  Add<CLightingPage>(DeviceKind::MousePad, lighting_);
  mouse_buttons_ = Add<CMouseButtonsPage>();
  Add<CMacroEditorPage>("ms_");
  Add<CMacroEditorPage>("kb_");
  Add<CMousePerformancePage>();
  Add<COnboardStrip>();
  profile_bar_ = Add<CProfileBar>();
  profile_links_ = Add<CProfileLinkPage>();
  Add<CDeviceTabsPage>();
}

IProfileLists& CPageSet::ProfileLists() { return *profile_bar_; }

void CPageSet::OnWindowInit() {
  router_.BindTitleBar();
  key_lights_.Bind(controls_);
  for (const auto& page : pages_) page->OnWindowInit();
}
void CPageSet::Refresh(DeviceKind kind) {
  for (const auto& page : pages_) page->Refresh(kind);
}
void CPageSet::OnDeviceConnected(DeviceKind kind, const ConnectResult& result) {
  for (const auto& page : pages_) page->OnDeviceConnected(kind, result);
  Refresh(kind);
}
void CPageSet::OnDeviceLeft(const RemovalPlan& plan) {
  for (const auto& page : pages_) page->OnDeviceLeft(plan);
}
void CPageSet::OnSameModeChanged(DeviceKind kind, bool follows) {
  for (const auto& page : pages_) page->OnSameModeChanged(kind, follows);
}
void CPageSet::HideMouseFunctionPanel() { mouse_buttons_->HideFunctionPanel(); }

}  // namespace trx::pages

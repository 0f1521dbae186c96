#include "pages/page_set.h"

#include "pages/cursor_page.h"
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
    : controls_(pm), context_{controls_, dialogs, devices, window}, router_(dialogs, window) {
  RegisterPages();
  for (const auto& page : pages_) page->Bind(router_);
  AttachLayout();
}

void CPageSet::AttachLayout() {
  if (attached_ || controls_.PaintManager().GetRoot() == nullptr) return;
  attached_ = true;
  for (const ControlBinding& b : Bindings()) b.handle->Take(controls_.Find(b.name));
  key_lights_.StartTint();
}

ControlBindings CPageSet::Bindings() {
  ControlBindings all = frame_.Bindings();
  for (const ControlBindings& own : {router_.Bindings(), key_lights_.Bindings()}) all.insert(all.end(), own.begin(), own.end());
  for (const auto& page : pages_) {
    const ControlBindings own = page->Bindings();
    all.insert(all.end(), own.begin(), own.end());
  }
  return all;
}

CPageSet::~CPageSet() = default;

// Registration order is the order the pages' rows are tried and the order
// the device events reach the pages.
void CPageSet::RegisterPages() {
  CKeyboardKeysPage* keyboard_keys = keyboard_keys_ = Add<CKeyboardKeysPage>();
  Add<CKeyboardLightingPage>(lighting_, key_lights_);
  Add<CLightingPage>(DeviceKind::Mouse, lighting_);
  Add<CLightingPage>(DeviceKind::MousePad, lighting_);
  mouse_buttons_ = Add<CMouseButtonsPage>();
  macro_pages_[0] = Add<CMacroEditorPage>("ms_");
  macro_pages_[1] = Add<CMacroEditorPage>("kb_");
  // The key pages list the macros by name: a change shows there at once.
  macro_pages_[0]->SetLibraryChanged([this] { mouse_buttons_->Refresh(DeviceKind::Mouse); });
  macro_pages_[1]->SetLibraryChanged([keyboard_keys] { keyboard_keys->Refresh(DeviceKind::Keyboard); });
  auto* performance = performance_ = Add<CMousePerformancePage>();
  Add<CCursorPage>();
  Add<COnboardStrip>();
  profile_bar_ = Add<CProfileBar>();
  profile_bar_->refresh_pages = [this, keyboard_keys](DeviceKind kind) {
    // Another profile's functions are loaded: an open function panel would
    // still show the previous profile's function of its button.
    if (kind == DeviceKind::Mouse) mouse_buttons_->HideFunctionPanel();
    if (kind == DeviceKind::Keyboard) keyboard_keys->HideFunctionPanel();
    Refresh(kind);
  };
  profile_bar_->apply_pointer = [performance](int speed, int lines) { performance->ShowAndApplyPointer(speed, lines); };
  profile_links_ = Add<CProfileLinkPage>();
  Add<CDeviceTabsPage>();
}

IProfileLists& CPageSet::ProfileLists() { return *profile_bar_; }
IProfileSelectTarget& CPageSet::ProfileSelectTarget() { return profile_bar_->SelectTarget(); }
void CPageSet::ReloadProfileLists(DeviceKind kind) {
  if (profile_bar_ != nullptr) profile_bar_->RefillAll(kind);
}

void CPageSet::ApplyProfileSelections() { profile_bar_->ApplySelections(); }

void CPageSet::OnWindowInit() {
  AttachLayout();
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
bool CPageSet::UnsavedMacroEdit() const {
  for (const CMacroEditorPage* page : macro_pages_)
    if (page != nullptr && page->Editing()) return true;
  return false;
}
bool CPageSet::UnsavedRoutineEdit() const { return context_.devices.RoutineEdits().Unsaved(); }
bool CPageSet::UnsavedAssignments() const {
  return (mouse_buttons_ != nullptr && mouse_buttons_->Unsaved()) || (keyboard_keys_ != nullptr && keyboard_keys_->Unsaved());
}

bool CPageSet::SaveMacroEdits() {
  bool all_saved = true;
  for (CMacroEditorPage* page : macro_pages_)
    if (page != nullptr && !page->SaveEdit()) all_saved = false;
  return all_saved;
}

}  // namespace trx::pages

#include "pages/device_tabs_page.h"

#include "pages/control_names.h"
#include "pages/router.h"

namespace trx::pages {

const char* CDeviceTabsPage::TabOf(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::Keyboard: return names::kKbTab;
    case DeviceKind::MousePad: return names::kMpTab;
    case DeviceKind::Mouse: break;
  }
  return names::kMsTab;
}

ControlBindings CDeviceTabsPage::Bindings() {
  return {{names::kTabSwitch, &ui_.tab_switch},
          {names::kKbTabSwitch, &ui_.kb_tab_switch},
          {names::kMsTabSwitch, &ui_.ms_tab_switch},
          {names::kKbProfileSelectTab, &ui_.kb_profile_select_tab},
          {names::kKbProfileFunSpeadTab, &ui_.kb_profile_fun_spead_tab},
          {names::kKbProfileFunSpreadBtn, &ui_.kb_profile_fun_spread_btn},
          {names::kKbKeyProfileEdit, &ui_.kb_key_profile_edit},
          {names::kKbDengProfileEdit, &ui_.kb_deng_profile_edit},
          {names::kKbTabFunction, &ui_.kb_tab_function},
          {names::kMsTabFunction, &ui_.ms_tab_function},
          {names::kMsTabPanel, &ui_.ms_tab_panel},
          {names::kMsProfileFunSpeadTab, &ui_.ms_profile_fun_spead_tab},
          {names::kKbTab, &ui_.kb_tab},
          {names::kMsTab, &ui_.ms_tab},
          {names::kMpTab, &ui_.mp_tab},
          {names::kKbDengSameMode, &ui_.kb_same_mode},
          {names::kMsDengSameMode, &ui_.ms_same_mode},
          {names::kMpDengSameMode, &ui_.mp_same_mode}};
}

const Handle<ui::COptionUI>& CDeviceTabsPage::Tab(DeviceKind kind) const {
  return kind == DeviceKind::Keyboard ? ui_.kb_tab : kind == DeviceKind::MousePad ? ui_.mp_tab : ui_.ms_tab;
}

void CDeviceTabsPage::Bind(CRouter& router) {
  // Device tabs: page of "tab_switch" by position.
  const char* device_tabs[] = {names::kKbTab, names::kMsTab, names::kMpTab, names::kAniTab, names::kSplitTab};
  for (int page = 0; page < 5; ++page)
    router.Add(Table::SelectAfterGuard, {device_tabs[page], Match::Exact, [this, page](ui::TNotifyUI&, const NameSplit&) {
                                           ui_.tab_switch.SelectPage(page);
                                         }});
  auto row = [&](const char* name, void (CDeviceTabsPage::*fn)()) {
    router.Add(Table::SelectAfterGuard, {name, Match::Exact, [this, fn](ui::TNotifyUI&, const NameSplit&) { (this->*fn)(); }});
  };
  row(names::kKbDengOpTab, &CDeviceTabsPage::KeyboardLightingTab);
  row(names::kKbMacroOpTab, &CDeviceTabsPage::KeyboardMacroTab);
  row(names::kKbKeyOpTab, &CDeviceTabsPage::KeyboardKeyTab);
  router.Add(Table::SelectAfterGuard, {names::kKbCursorOpTab, Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) {
                                         ui_.kb_tab_switch.SelectPage(3);
                                       }});
  // Mouse page tabs over "ms_tab_switch"; the key page (2) has its own rule.
  auto mouse_page = [&](const char* name, int page) {
    router.Add(Table::SelectAfterGuard, {name, Match::Exact, [this, page](ui::TNotifyUI&, const NameSplit&) {
                                           ui_.ms_tab_switch.SelectPage(page);
                                         }});
  };
  mouse_page(names::kMsDengOpTab, 0);
  mouse_page(names::kMsMacroOpTab, 1);
  row(names::kMsKeyOpTab, &CDeviceTabsPage::MouseKeyTab);
  mouse_page(names::kMsRichOpTab, 3);
  mouse_page(names::kMsCursorOpTab, 4);
  // Focus on a mouse page tab folds the profile function panel away.
  for (const char* tab : {names::kMsDengOpTab, names::kMsKeyOpTab, names::kMsRichOpTab, names::kMsMacroOpTab,
                          names::kMsCursorOpTab})
    router.Add(Table::SetFocus, {tab, Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) {
                                   ui_.ms_profile_fun_spead_tab.Show(false);
                                 }});
}

void CDeviceTabsPage::EnableKeyboardProfileControls(bool enabled) {
  for (const Handle<>* c : {&ui_.kb_profile_fun_spread_btn, &ui_.kb_key_profile_edit, &ui_.kb_deng_profile_edit})
    c->Enable(enabled);
  ui_.kb_profile_select_tab.Enable(enabled);
  ui_.kb_profile_fun_spead_tab.Enable(enabled);
}

void CDeviceTabsPage::CloseRenameEdits() {
  // A page opens with its profile's name shown, not an empty rename field:
  // the field is opened by its pencil button only.
  ui_.kb_deng_profile_edit.HideIfShown();
  ui_.kb_key_profile_edit.HideIfShown();
}

void CDeviceTabsPage::KeyboardLightingTab() {
  ui_.kb_tab_switch.SelectPage(0);
  ui_.kb_profile_select_tab.SelectPage(0);
  ui_.kb_profile_select_tab.Show(true);
  ui_.kb_profile_fun_spead_tab.SelectPage(0);
  ui_.kb_profile_fun_spead_tab.Show(false);
  ui_.kb_profile_fun_spread_btn.Show(true);
  CloseRenameEdits();
  EnableKeyboardProfileControls(true);
}

void CDeviceTabsPage::KeyboardMacroTab() {
  ui_.kb_tab_switch.SelectPage(1);
  EnableKeyboardProfileControls(false);
}

void CDeviceTabsPage::KeyboardKeyTab() {
  if (ui_.kb_tab_switch.CurrentPage() >= 0 && ui_.kb_tab_switch.CurrentPage() != 2) {
    ui_.kb_tab_function.Show(false);
    ui_.kb_tab_function.Enable(false);
    ui_.kb_tab_switch.SelectPage(2);
  }
  ui_.kb_profile_select_tab.SelectPage(1);
  ui_.kb_profile_select_tab.Show(true);
  ui_.kb_profile_fun_spead_tab.SelectPage(1);
  ui_.kb_profile_fun_spead_tab.Show(false);
  CloseRenameEdits();
  ui_.kb_profile_fun_spread_btn.Show(true);
  EnableKeyboardProfileControls(true);
}

void CDeviceTabsPage::MouseKeyTab() {
  if (ui_.ms_tab_switch.CurrentPage() >= 0 && ui_.ms_tab_switch.CurrentPage() != 2) {
    ui_.ms_tab_function.Show(true);
    ui_.ms_tab_switch.SelectPage(2);
  }
}

void CDeviceTabsPage::OnDeviceConnected(DeviceKind kind, const ConnectResult&) {
  Tab(kind).Show(true);
  Tab(kind).Select();
  if (kind == DeviceKind::Mouse) ui_.ms_tab_panel.Show(true);
}

void CDeviceTabsPage::OnDeviceLeft(const RemovalPlan& plan) {
  Tab(plan.gone).Show(false);
  if (!plan.select) return;
  Tab(*plan.select).Select();
  if (plan.show_selected) Tab(*plan.select).Show(true);
}

void CDeviceTabsPage::OnSameModeChanged(DeviceKind kind, bool follows) {
  (kind == DeviceKind::Keyboard ? ui_.kb_same_mode : kind == DeviceKind::MousePad ? ui_.mp_same_mode : ui_.ms_same_mode)
      .Show(follows);
}

}  // namespace trx::pages

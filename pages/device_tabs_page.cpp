#include "pages/device_tabs_page.h"

#include "pages/control_names.h"
#include "pages/router.h"

namespace trx::pages {

namespace {

constexpr const char* kKbProfileControls[] = {names::kKbProfileFunSpreadBtn, names::kKbProfileSelectTab,
                                              names::kKbProfileFunSpeadTab, names::kKbKeyProfileEdit,
                                              names::kKbDengProfileEdit};

const char* SameModeOf(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::Keyboard: return names::kKbDengSameMode;
    case DeviceKind::MousePad: return names::kMpDengSameMode;
    case DeviceKind::Mouse: break;
  }
  return names::kMsDengSameMode;
}

}  // namespace

const char* CDeviceTabsPage::TabOf(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::Keyboard: return names::kKbTab;
    case DeviceKind::MousePad: return names::kMpTab;
    case DeviceKind::Mouse: break;
  }
  return names::kMsTab;
}

void CDeviceTabsPage::Bind(CRouter& router) {
  // Device tabs: page of "tab_switch" by position.
  const char* device_tabs[] = {names::kKbTab, names::kMsTab, names::kMpTab, names::kAniTab, names::kSplitTab};
  for (int page = 0; page < 5; ++page)
    router.Add(Table::SelectAfterGuard, {device_tabs[page], Match::Exact, [this, page](ui::TNotifyUI&, const NameSplit&) {
                                           controls().SelectPage(names::kTabSwitch, page);
                                         }});
  auto row = [&](const char* name, void (CDeviceTabsPage::*fn)()) {
    router.Add(Table::SelectAfterGuard, {name, Match::Exact, [this, fn](ui::TNotifyUI&, const NameSplit&) { (this->*fn)(); }});
  };
  row(names::kKbDengOpTab, &CDeviceTabsPage::KeyboardLightingTab);
  row(names::kKbMacroOpTab, &CDeviceTabsPage::KeyboardMacroTab);
  row(names::kKbKeyOpTab, &CDeviceTabsPage::KeyboardKeyTab);
  router.Add(Table::SelectAfterGuard, {names::kKbCursorOpTab, Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) {
                                         controls().SelectPage(names::kKbTabSwitch, 3);
                                       }});
  // Mouse page tabs over "ms_tab_switch"; the key page (2) has its own rule.
  auto mouse_page = [&](const char* name, int page) {
    router.Add(Table::SelectAfterGuard, {name, Match::Exact, [this, page](ui::TNotifyUI&, const NameSplit&) {
                                           controls().SelectPage(names::kMsTabSwitch, page);
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
                                   controls().Show(names::kMsProfileFunSpeadTab, false);
                                 }});
}

void CDeviceTabsPage::EnableKeyboardProfileControls(bool enabled) {
  for (const char* name : kKbProfileControls) controls().Enable(name, enabled);
}

void CDeviceTabsPage::CloseRenameEdits() {
  // A page opens with its profile's name shown, not an empty rename field:
  // the field is opened by its pencil button only.
  controls().HideIfShown(names::kKbDengProfileEdit);
  controls().HideIfShown(names::kKbKeyProfileEdit);
}

void CDeviceTabsPage::KeyboardLightingTab() {
  const Controls& c = controls();
  c.SelectPage(names::kKbTabSwitch, 0);
  c.SelectPage(names::kKbProfileSelectTab, 0);
  c.Show(names::kKbProfileSelectTab, true);
  c.SelectPage(names::kKbProfileFunSpeadTab, 0);
  c.Show(names::kKbProfileFunSpeadTab, false);
  c.Show(names::kKbProfileFunSpreadBtn, true);
  CloseRenameEdits();
  EnableKeyboardProfileControls(true);
}

void CDeviceTabsPage::KeyboardMacroTab() {
  controls().SelectPage(names::kKbTabSwitch, 1);
  EnableKeyboardProfileControls(false);
}

void CDeviceTabsPage::KeyboardKeyTab() {
  const Controls& c = controls();
  if (c.CurrentPage(names::kKbTabSwitch) >= 0 && c.CurrentPage(names::kKbTabSwitch) != 2) {
    c.Show(names::kKbTabFunction, false);
    c.Enable(names::kKbTabFunction, false);
    c.SelectPage(names::kKbTabSwitch, 2);
  }
  c.SelectPage(names::kKbProfileSelectTab, 1);
  c.Show(names::kKbProfileSelectTab, true);
  c.SelectPage(names::kKbProfileFunSpeadTab, 1);
  c.Show(names::kKbProfileFunSpeadTab, false);
  CloseRenameEdits();
  c.Show(names::kKbProfileFunSpreadBtn, true);
  EnableKeyboardProfileControls(true);
}

void CDeviceTabsPage::MouseKeyTab() {
  const Controls& c = controls();
  if (c.CurrentPage(names::kMsTabSwitch) >= 0 && c.CurrentPage(names::kMsTabSwitch) != 2) {
    c.Show(names::kMsTabFunction, true);
    c.SelectPage(names::kMsTabSwitch, 2);
  }
}

void CDeviceTabsPage::OnDeviceConnected(DeviceKind kind, const ConnectResult&) {
  controls().Show(TabOf(kind), true);
  controls().SelectOption(TabOf(kind));
  if (kind == DeviceKind::Mouse) controls().Show(names::kMsTabPanel, true);
}

void CDeviceTabsPage::OnDeviceLeft(const RemovalPlan& plan) {
  controls().Show(TabOf(plan.gone), false);
  if (!plan.select) return;
  controls().SelectOption(TabOf(*plan.select));
  if (plan.show_selected) controls().Show(TabOf(*plan.select), true);
}

void CDeviceTabsPage::OnSameModeChanged(DeviceKind kind, bool follows) { controls().Show(SameModeOf(kind), follows); }

}  // namespace trx::pages

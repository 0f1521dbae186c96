// The routing tables: which control's notification runs which handler.
// Pages add their rows here, in the order the rows are tried.

#include <string>

#include "app/control_names.h"
#include "app/main_wnd.h"
#include "app/routing.h"
#include "platform/debug_log.h"
#include "settings/mouse_config_image.h"
#include "settings/onboard_profile.h"
#include "settings/config_images.h"
#include "settings/settings_host.h"
#include "ui/core/container.h"
#include "ui/dialogs/pallet_dialog.h"
#include "ui/window/win_api.h"

namespace trx::app {
namespace {

using ui::CControlUI;
using ui::TNotifyUI;

void SetVisible(CMainWnd& wnd, const char* name, bool visible) {
  if (CControlUI* c = wnd.Find(name)) c->SetVisible(visible);
}
void SetEnabled(CMainWnd& wnd, const char* name, bool enabled) {
  if (CControlUI* c = wnd.Find(name)) c->SetEnabled(enabled);
}
void Toggle(CMainWnd& wnd, const char* name) {
  if (CControlUI* c = wnd.Find(name)) c->SetVisible(!c->IsVisible());
}
ui::CTabLayoutUI* Tabs(CMainWnd& wnd, const char* name) { return dynamic_cast<ui::CTabLayoutUI*>(wnd.Find(name)); }
void SelectPage(CMainWnd& wnd, const char* layout, int page) {
  if (ui::CTabLayoutUI* tabs = Tabs(wnd, layout)) tabs->SelectItem(page);
}
// Shows a control when it is hidden / hides it when it is shown.
void ShowIfHidden(CMainWnd& wnd, const char* name) {
  CControlUI* c = wnd.Find(name);
  if (c != nullptr && !c->IsVisible()) c->SetVisible(true);
}
void HideIfShown(CMainWnd& wnd, const char* name) {
  CControlUI* c = wnd.Find(name);
  if (c != nullptr && c->IsVisible()) c->SetVisible(false);
}

// ---- device tabs: page of "tab_switch"
template <int Page>
void DeviceTab(CMainWnd& wnd, TNotifyUI&, const NameSplit&) {
  SelectPage(wnd, names::kTabSwitch, Page);
}

// ---- keyboard page tabs over "kb_tab_switch"
constexpr const char* kKbProfileControls[] = {names::kKbProfileFunSpreadBtn, names::kKbProfileSelectTab,
                                              names::kKbProfileFunSpeadTab, names::kKbKeyProfileEdit,
                                              names::kKbDengProfileEdit};
void EnableKbProfileControls(CMainWnd& wnd, bool enabled) {
  for (const char* name : kKbProfileControls) SetEnabled(wnd, name, enabled);
}

void KbDengTab(CMainWnd& wnd, TNotifyUI&, const NameSplit&) {
  SelectPage(wnd, names::kKbTabSwitch, 0);
  SelectPage(wnd, names::kKbProfileSelectTab, 0);
  SetVisible(wnd, names::kKbProfileSelectTab, true);
  SelectPage(wnd, names::kKbProfileFunSpeadTab, 0);
  SetVisible(wnd, names::kKbProfileFunSpeadTab, false);
  SetVisible(wnd, names::kKbProfileFunSpreadBtn, true);
  HideIfShown(wnd, names::kKbKeyProfileEdit);
  ShowIfHidden(wnd, names::kKbDengProfileEdit);
  EnableKbProfileControls(wnd, true);
}

void KbMacroTab(CMainWnd& wnd, TNotifyUI&, const NameSplit&) {
  SelectPage(wnd, names::kKbTabSwitch, 1);
  EnableKbProfileControls(wnd, false);
}

void KbKeyTab(CMainWnd& wnd, TNotifyUI&, const NameSplit&) {
  ui::CTabLayoutUI* pages = Tabs(wnd, names::kKbTabSwitch);
  if (pages != nullptr && pages->GetCurSel() != 2) {
    SetVisible(wnd, names::kKbTabFunction, false);
    SetEnabled(wnd, names::kKbTabFunction, false);
    pages->SelectItem(2);
  }
  SelectPage(wnd, names::kKbProfileSelectTab, 1);
  SetVisible(wnd, names::kKbProfileSelectTab, true);
  SelectPage(wnd, names::kKbProfileFunSpeadTab, 1);
  SetVisible(wnd, names::kKbProfileFunSpeadTab, false);
  HideIfShown(wnd, names::kKbDengProfileEdit);
  ShowIfHidden(wnd, names::kKbKeyProfileEdit);
  SetVisible(wnd, names::kKbProfileFunSpreadBtn, true);
  EnableKbProfileControls(wnd, true);
}

void KbCursorTab(CMainWnd& wnd, TNotifyUI&, const NameSplit&) { SelectPage(wnd, names::kKbTabSwitch, 3); }

// ---- mouse page tabs over "ms_tab_switch"
template <int Page>
void MsPageTab(CMainWnd& wnd, TNotifyUI&, const NameSplit&) {
  SelectPage(wnd, names::kMsTabSwitch, Page);
}
void MsKeyTab(CMainWnd& wnd, TNotifyUI&, const NameSplit&) {
  ui::CTabLayoutUI* pages = Tabs(wnd, names::kMsTabSwitch);
  if (pages != nullptr && pages->GetCurSel() != 2) {
    SetVisible(wnd, names::kMsTabFunction, true);
    pages->SelectItem(2);
  }
}

// ---- panel toggles
template <size_t I>
void SpreadToggle(CMainWnd& wnd, TNotifyUI&, const NameSplit&) {
  Toggle(wnd, names::kSpreadToggles[I].edit);
}
template <size_t I>
void RenameToggle(CMainWnd& wnd, TNotifyUI&, const NameSplit&) {
  Toggle(wnd, names::kRenameEditToggles[I].edit);
}

// Routine editor: only the chosen key's panel stays visible (the pointer
// moves have none). Inserting the step belongs to the routine editor.
void RoutineInsert(CMainWnd& wnd, TNotifyUI& msg, const NameSplit&) {
  if (msg.pSender == nullptr) return;
  const std::string name = msg.pSender->GetName();
  for (const char* prefix : names::kRoutinePrefixes) {
    if (!HasPrefix(name, prefix)) continue;
    const std::string family = prefix;
    const char* panel = nullptr;
    for (const names::RoutineInsert& insert : names::kRoutineInserts)
      if (SameName(name, family + insert.button)) panel = insert.panel;
    for (const char* p : names::kRoutinePanels) SetVisible(wnd, (family + p).c_str(), panel != nullptr && SameName(p, panel));
  }
}

// Mouse onboard profile buttons "ms_profile_0" ... "_4".
void MouseProfileButton(CMainWnd& wnd, TNotifyUI&, const NameSplit& split) {
  if (split.index < 0 || split.index >= kOnboardProfileCount) return;
  const int rc = SwitchOnboardProfile(wnd.Channel(DeviceKind::Mouse), split.index);
  if (rc != kSwitchDone && rc != kSwitchAlreadyActive)
    DebugLineF("onboard profile %d could not be made active: %d", split.index, rc);
}

// DPI colour buttons "ms_DPIcolor_btn_1" ... "_4": the palette dialog opens
// on the button's colour; on OK the button shows the colour, it becomes the
// colour of DPI level k (record bytes 21 + 3 (k - 1), r g b), the mouse's
// settings go out with the next send and the device profile is saved.
void DpiColourButton(CMainWnd& wnd, TNotifyUI& msg, const NameSplit& split) {
  const int level = split.index;
  if (msg.pSender == nullptr || level < 1 || level > 4) return;
  ui::UiPoint cursor{};
  ui::GetCursorPos(&cursor);
  ui::UiColor colour = 0;
  if (ui::RunPalletDialog(wnd.GetHWND(), msg.pSender->GetBkColor(), cursor, &colour) != ui::kPalletResultOk) return;
  msg.pSender->SetBkColor(colour);
  {
    std::lock_guard<std::recursive_mutex> lock(ImageMutex());
    uint8_t* rgb = Images().mouse.CurrentRecord() + kRecDpiColours + 3 * (level - 1);
    rgb[0] = static_cast<uint8_t>(colour >> 16);
    rgb[1] = static_cast<uint8_t>(colour >> 8);
    rgb[2] = static_cast<uint8_t>(colour);
  }
  wnd.MarkSettingsPending(DeviceKind::Mouse);
  if (IProfileSaver* saver = ProfileSaver()) {
    if (saver->SaveCurrentProfile(DeviceKind::Mouse, ProfileFamily::Device) != 0)
      DebugLine("device profile could not be saved after a DPI colour change");
  }
}

// Focus on a mouse page tab folds the profile function panel away.
void FoldMouseProfilePanel(CMainWnd& wnd, TNotifyUI&, const NameSplit&) {
  SetVisible(wnd, names::kMsProfileFunSpeadTab, false);
}

std::vector<Route> BuildClickRoutes() {
  std::vector<Route> rows;
  for (const char* name : {"ms_DPIcolor_btn_1", "ms_DPIcolor_btn_2", "ms_DPIcolor_btn_3", "ms_DPIcolor_btn_4"})
    rows.push_back({name, Match::Exact, &DpiColourButton});
  rows.push_back({"ms_profile_", Match::Prefix, &MouseProfileButton});
  rows.push_back({names::kSpreadToggles[0].button, Match::Exact, &SpreadToggle<0>});
  rows.push_back({names::kSpreadToggles[1].button, Match::Exact, &SpreadToggle<1>});
  rows.push_back({names::kSpreadToggles[2].button, Match::Exact, &SpreadToggle<2>});
  rows.push_back({names::kRenameEditToggles[0].button, Match::Exact, &RenameToggle<0>});
  rows.push_back({names::kRenameEditToggles[1].button, Match::Exact, &RenameToggle<1>});
  rows.push_back({names::kRenameEditToggles[2].button, Match::Exact, &RenameToggle<2>});
  rows.push_back({names::kRenameEditToggles[3].button, Match::Exact, &RenameToggle<3>});
  rows.push_back({names::kRenameEditToggles[4].button, Match::Exact, &RenameToggle<4>});
  // The insert buttons keep their names alive for the row lookup.
  static std::vector<std::string> insert_names;
  if (insert_names.empty()) {
    for (const char* prefix : names::kRoutinePrefixes)
      for (const names::RoutineInsert& insert : names::kRoutineInserts)
        insert_names.push_back(std::string(prefix) + insert.button);
  }
  for (const std::string& n : insert_names) rows.push_back({n.c_str(), Match::Exact, &RoutineInsert});
  return rows;
}

std::vector<Route> BuildSelectBeforeGuard() {
  std::vector<Route> rows;
  // Recording options are read when a recording starts; nothing else here.
  for (const char* option : names::kMacroRecordOptions) rows.push_back({option, Match::Exact, nullptr, Then::End});
  return rows;
}

std::vector<Route> BuildSelectAfterGuard() {
  return {
      {names::kKbTab, Match::Exact, &DeviceTab<0>},
      {names::kMsTab, Match::Exact, &DeviceTab<1>},
      {names::kMpTab, Match::Exact, &DeviceTab<2>},
      {names::kAniTab, Match::Exact, &DeviceTab<3>},
      {names::kSplitTab, Match::Exact, &DeviceTab<4>},
      {names::kKbDengOpTab, Match::Exact, &KbDengTab},
      {names::kKbMacroOpTab, Match::Exact, &KbMacroTab},
      {names::kKbKeyOpTab, Match::Exact, &KbKeyTab},
      {names::kKbCursorOpTab, Match::Exact, &KbCursorTab},
      {names::kMsDengOpTab, Match::Exact, &MsPageTab<0>},
      {names::kMsMacroOpTab, Match::Exact, &MsPageTab<1>},
      {names::kMsKeyOpTab, Match::Exact, &MsKeyTab},
      {names::kMsRichOpTab, Match::Exact, &MsPageTab<3>},
      {names::kMsCursorOpTab, Match::Exact, &MsPageTab<4>},
  };
}

std::vector<Route> BuildSetFocus() {
  std::vector<Route> rows;
  for (const char* tab : {names::kMsDengOpTab, names::kMsKeyOpTab, names::kMsRichOpTab, names::kMsMacroOpTab,
                          names::kMsCursorOpTab})
    rows.push_back({tab, Match::Exact, &FoldMouseProfilePanel});
  return rows;
}

}  // namespace

const std::vector<Route>& ClickRoutes() {
  static const std::vector<Route> rows = BuildClickRoutes();
  return rows;
}
const std::vector<Route>& SelectBeforeGuardRoutes() {
  static const std::vector<Route> rows = BuildSelectBeforeGuard();
  return rows;
}
const std::vector<Route>& SelectAfterGuardRoutes() {
  static const std::vector<Route> rows = BuildSelectAfterGuard();
  return rows;
}
const std::vector<Route>& ItemSelectRoutes() {
  static const std::vector<Route> rows;
  return rows;
}
const std::vector<Route>& ValueChangedRoutes() {
  static const std::vector<Route> rows;
  return rows;
}
const std::vector<Route>& MoveValueChangedRoutes() {
  static const std::vector<Route> rows;
  return rows;
}
const std::vector<Route>& TextChangedRoutes() {
  static const std::vector<Route> rows;
  return rows;
}
const std::vector<Route>& KillFocusRoutes() {
  static const std::vector<Route> rows;
  return rows;
}
const std::vector<Route>& SetFocusRoutes() {
  static const std::vector<Route> rows = BuildSetFocus();
  return rows;
}
const std::vector<Route>& ColorChangedRoutes() {
  // (A palette without a row, such as "Pallet1", changes nothing.)
  static const std::vector<Route> rows;
  return rows;
}
const std::vector<Route>& ItemClickRoutes() {
  static const std::vector<Route> rows;
  return rows;
}

}  // namespace trx::app

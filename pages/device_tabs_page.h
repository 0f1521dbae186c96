#pragma once
// The device tabs ("kb_tab", "ms_tab", "mp_tab", ...) over "tab_switch",
// the keyboard's and the mouse's page tabs over "kb_tab_switch" and
// "ms_tab_switch", and what the window shows as devices come and go: a
// connected device's tab is shown and selected, a device that left hides
// its tab and hands over to the tab the removal rules chose, and each
// device's "follows synchronised lighting" option shows while another
// device of the group is connected.

#include "pages/page.h"

namespace trx::pages {

class CDeviceTabsPage : public CPage {
 public:
  using CPage::CPage;
  void Bind(CRouter& router) override;
  void OnDeviceConnected(DeviceKind kind, const ConnectResult& result) override;
  void OnDeviceLeft(const RemovalPlan& plan) override;
  void OnSameModeChanged(DeviceKind kind, bool follows) override;
  ControlBindings Bindings() override;

  // The tab option of a device ("ms_tab", ...).
  static const char* TabOf(DeviceKind kind);

 private:
  struct Ui {
    Handle<ui::CTabLayoutUI> tab_switch, kb_tab_switch, ms_tab_switch;
    Handle<ui::CTabLayoutUI> kb_profile_select_tab, kb_profile_fun_spead_tab;
    Handle<> kb_profile_fun_spread_btn, kb_key_profile_edit, kb_deng_profile_edit;
    Handle<> kb_tab_function, ms_tab_function, ms_tab_panel, ms_profile_fun_spead_tab;
    Handle<ui::COptionUI> kb_tab, ms_tab, mp_tab;  // the device tabs
    Handle<> kb_same_mode, ms_same_mode, mp_same_mode;
  };
  const Handle<ui::COptionUI>& Tab(DeviceKind kind) const;
  void CloseRenameEdits();
  void KeyboardLightingTab();
  void KeyboardMacroTab();
  void KeyboardKeyTab();
  void MouseKeyTab();
  void EnableKeyboardProfileControls(bool enabled);

  Ui ui_;
};

}  // namespace trx::pages

#include "app/routing.h"

#include "app/app_messages.h"
#include "app/control_names.h"
#include "app/main_wnd.h"
#include "platform/debug_log.h"
#include "ui/core/option.h"
#include "ui/dialogs/skin_frame.h"

namespace trx::app {

namespace {

// The four title-bar buttons that act on the window; true when the click
// was one of them and must not go on. The skin button opens the chooser
// and lets the click go on.
bool RouteTitleBar(CMainWnd& wnd, ui::TNotifyUI& msg) {
  ui::CControlUI* sender = msg.pSender;
  if (sender == nullptr) return false;
  if (SameName(sender->GetName(), names::kCloseBtn)) {
    wnd.DestroyWindow();
    return true;
  }
  if (sender == wnd.MaxButton()) {
    wnd.SendMessage(ui::WM_SYSCOMMAND, ui::SC_MAXIMIZE, 0);
    return true;
  }
  if (sender == wnd.RestoreButton()) {
    wnd.SendMessage(ui::WM_SYSCOMMAND, ui::SC_RESTORE, 0);
    return true;
  }
  if (sender == wnd.MinButton()) {
    wnd.SendMessage(ui::WM_SYSCOMMAND, ui::SC_MINIMIZE, 0);
    return true;
  }
  if (sender == wnd.SkinButton()) {
    if (ui::CSkinFrame::Open(wnd.GetHWND(), sender) == nullptr) DebugLine("skin chooser could not be opened");
  }
  return false;
}

// A key of the keyboard's key page was picked: the function panel comes
// back if it was hidden (choosing the key's function belongs to the
// keyboard key page).
void KeyboardKeyPicked(CMainWnd& wnd, int /*index*/) {
  ui::CControlUI* panel = wnd.Find(names::kKbTabFunction);
  if (panel != nullptr && !panel->IsVisible()) {
    panel->SetVisible(true);
    panel->SetEnabled(true);
  }
}

void SelectOption(CMainWnd& wnd, const char* name) {
  if (auto* option = dynamic_cast<ui::COptionUI*>(wnd.Find(name))) option->Selected(true, true);
}

}  // namespace

const Route* FindRoute(const std::vector<Route>& table, std::string_view name, const NameSplit* split) {
  for (const Route& route : table) {
    if (route.match == Match::Exact) {
      if (SameName(name, route.name)) return &route;
    } else if (split != nullptr && SameName(split->prefix, route.name)) {
      return &route;
    }
  }
  return nullptr;
}

bool RouteByTable(CMainWnd& wnd, ui::TNotifyUI& msg, const std::vector<Route>& table) {
  const std::string name = msg.pSender != nullptr ? msg.pSender->GetName() : std::string();
  NameSplit split;
  const bool has_split = SplitName(name, split);
  const Route* route = FindRoute(table, name, has_split ? &split : nullptr);
  if (route == nullptr) return false;
  if (route->handler != nullptr) route->handler(wnd, msg, split);
  return true;
}

void RouteClick(CMainWnd& wnd, ui::TNotifyUI& msg) {
  const std::string name = msg.pSender != nullptr ? msg.pSender->GetName() : std::string();
  NameSplit split;
  if (SplitName(name, split)) {
    if (SameName(split.prefix, "kb_key_")) {
      KeyboardKeyPicked(wnd, split.index);
      return;
    }
    if (SameName(split.prefix, names::kKbDkeyPrefix)) return;  // key-light pick: the keyboard lighting page
  }
  RouteByTable(wnd, msg, ClickRoutes());
}

bool MacroEditGuard(CMainWnd& wnd, std::string_view sender) {
  struct Family {
    const char* bar;
    const char* macro_tab;
    const char* device_tab;
    bool show_device_tab;
  };
  static constexpr Family kFamilies[] = {
      {names::kMsMacroTabSaveOrCancel, names::kMsMacroOpTab, names::kMsTab, false},
      {names::kKbMacroTabSaveOrCancel, names::kKbMacroOpTab, names::kKbTab, true},
  };
  for (const Family& f : kFamilies) {
    ui::CControlUI* bar = wnd.Find(f.bar);
    if (bar == nullptr || !bar->IsVisible()) continue;
    if (SameName(sender, f.macro_tab) || SameName(sender, f.device_tab)) continue;
    SelectOption(wnd, f.macro_tab);
    if (f.show_device_tab) {
      if (ui::CControlUI* tab = wnd.Find(f.device_tab)) tab->SetVisible(true);
    }
    SelectOption(wnd, f.device_tab);
    wnd.ShowMessageBox(kTextMacroEditing);
    return true;
  }
  return false;
}

void RouteSelectChanged(CMainWnd& wnd, ui::TNotifyUI& msg) {
  const std::string name = msg.pSender != nullptr ? msg.pSender->GetName() : std::string();
  NameSplit split;
  const bool has_split = SplitName(name, split);
  if (const Route* before = FindRoute(SelectBeforeGuardRoutes(), name, has_split ? &split : nullptr)) {
    if (before->handler != nullptr) before->handler(wnd, msg, split);
    if (before->then == Then::End) return;
  }
  if (MacroEditGuard(wnd, name)) return;
  // Any accepted selection ends a key capture or a recording in progress.
  wnd.RemoveInputHooks();
  RouteByTable(wnd, msg, SelectAfterGuardRoutes());
}

void RouteNotify(CMainWnd& wnd, ui::TNotifyUI& msg) {
  const std::string name = msg.pSender != nullptr ? msg.pSender->GetName() : std::string();
  DebugLine(msg.sType);
  DebugLine(name);
  const std::string& type = msg.sType;
  if (type == ui::kNotifyWindowInit) {
    wnd.OnWindowInit();
  } else if (type == ui::kNotifyWindowSize) {
    // the library's own handling only
  } else if (type == ui::kNotifyColorChanged) {
    RouteByTable(wnd, msg, ColorChangedRoutes());
  } else if (type == ui::kNotifyClick) {
    if (RouteTitleBar(wnd, msg)) return;
    RouteClick(wnd, msg);
  } else if (type == ui::kNotifyMouseLeave || type == ui::kNotifyMouseEnter) {
    // button hover images belong to the mouse button page
  } else if (type == ui::kNotifySelectChanged) {
    RouteSelectChanged(wnd, msg);
  } else if (type == ui::kNotifyValueChanged) {
    RouteByTable(wnd, msg, ValueChangedRoutes());
  } else if (type == ui::kNotifyMoveValueChanged) {
    RouteByTable(wnd, msg, MoveValueChangedRoutes());
  } else if (type == ui::kNotifyItemSelect) {
    RouteByTable(wnd, msg, ItemSelectRoutes());
  } else if (type == ui::kNotifyItemClick) {
    RouteByTable(wnd, msg, ItemClickRoutes());
  } else if (type == ui::kNotifyKillFocus) {
    RouteByTable(wnd, msg, KillFocusRoutes());
  } else if (type == ui::kNotifySetFocus) {
    RouteByTable(wnd, msg, SetFocusRoutes());
  } else if (type == ui::kNotifyTextChanged) {
    RouteByTable(wnd, msg, TextChangedRoutes());
  }
  wnd.LibraryNotify(msg);
}

}  // namespace trx::app

#include "pages/router.h"

#include <iterator>
#include <type_traits>

#include "pages/control_names.h"
#include "platform/debug_log.h"
#include "ui/window/messages.h"

namespace trx::pages {

namespace {

// The macro-edit guard's families, in the order of CRouter::macro_edit_.
struct MacroEditFamily {
  const char* bar;
  const char* macro_tab;
  const char* device_tab;
  bool show_device_tab;
};
constexpr MacroEditFamily kMacroEditFamilies[] = {
    {names::kMsMacroTabSaveOrCancel, names::kMsMacroOpTab, names::kMsTab, false},
    {names::kKbMacroTabSaveOrCancel, names::kKbMacroOpTab, names::kKbTab, true},
};

std::string SenderName(const ui::TNotifyUI& msg) {
  return msg.pSender != nullptr ? msg.pSender->GetName() : std::string();
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

CRouter::CRouter(IDialogs& dialogs, IWindow& window) : dialogs_(dialogs), window_(window) {}

void CRouter::Add(Table table, Route route) { tables_[static_cast<size_t>(table)].push_back(std::move(route)); }

ControlBindings CRouter::Bindings() {
  ControlBindings b{{names::kMaxBtn, &max_btn_},
                    {names::kRestoreBtn, &restore_btn_},
                    {names::kMinBtn, &min_btn_},
                    {names::kSkinBtn, &skin_btn_}};
  static_assert(std::size(kMacroEditFamilies) == std::extent_v<decltype(macro_edit_)>);
  for (size_t i = 0; i < std::size(kMacroEditFamilies); ++i) {
    const MacroEditFamily& f = kMacroEditFamilies[i];
    b.insert(b.end(), {{f.bar, &macro_edit_[i].bar},
                       {f.macro_tab, &macro_edit_[i].macro_tab},
                       {f.device_tab, &macro_edit_[i].device_tab}});
  }
  return b;
}

// The four title-bar buttons that act on the window; true when the click
// was one of them and must not go on. The skin button opens the chooser
// and lets the click go on.
bool CRouter::RouteTitleBar(ui::TNotifyUI& msg) {
  ui::CControlUI* sender = msg.pSender;
  if (sender == nullptr) return false;
  if (SameName(sender->GetName(), names::kCloseBtn)) {
    window_.DestroyWindow();
    return true;
  }
  if (sender == max_btn_.get()) {
    window_.SysCommand(ui::SC_MAXIMIZE);
    return true;
  }
  if (sender == restore_btn_.get()) {
    window_.SysCommand(ui::SC_RESTORE);
    return true;
  }
  if (sender == min_btn_.get()) {
    window_.SysCommand(ui::SC_MINIMIZE);
    return true;
  }
  if (sender == skin_btn_.get()) window_.OpenSkinChooser(sender);
  return false;
}

bool CRouter::RouteByTable(ui::TNotifyUI& msg, Table table) {
  const std::string name = SenderName(msg);
  NameSplit split;
  const bool has_split = SplitName(name, split);
  const Route* route = FindRoute(Rows(table), name, has_split ? &split : nullptr);
  if (route == nullptr) return false;
  if (route->handler) route->handler(msg, split);
  return true;
}

void CRouter::RouteClick(ui::TNotifyUI& msg) { RouteByTable(msg, Table::Click); }

bool CRouter::MacroEditGuard(std::string_view sender) {
  for (size_t i = 0; i < std::size(kMacroEditFamilies); ++i) {
    const MacroEditFamily& f = kMacroEditFamilies[i];
    const MacroEditTabs& tabs = macro_edit_[i];
    if (!tabs.bar.IsVisible()) continue;
    if (SameName(sender, f.macro_tab) || SameName(sender, f.device_tab)) continue;
    tabs.macro_tab.Select();
    if (f.show_device_tab) tabs.device_tab.Show(true);
    tabs.device_tab.Select();
    dialogs_.ShowMessage(names::kTextMacroEditing);
    return true;
  }
  return false;
}

void CRouter::RouteSelectChanged(ui::TNotifyUI& msg) {
  const std::string name = SenderName(msg);
  NameSplit split;
  const bool has_split = SplitName(name, split);
  if (const Route* before = FindRoute(Rows(Table::SelectBeforeGuard), name, has_split ? &split : nullptr)) {
    if (before->handler) before->handler(msg, split);
    if (before->then == Then::End) return;
  }
  if (MacroEditGuard(name)) return;
  // Any accepted selection ends a key capture or a recording in progress.
  window_.RemoveInputHooks();
  RouteByTable(msg, Table::SelectAfterGuard);
}

void CRouter::Notify(ui::TNotifyUI& msg) {
  DebugLine(msg.sType);
  DebugLine(SenderName(msg));
  const std::string& type = msg.sType;
  if (type == ui::kNotifyWindowInit) {
    window_.WindowInit();
  } else if (type == ui::kNotifyWindowSize) {
    // the library's own handling only
  } else if (type == ui::kNotifyColorChanged) {
    RouteByTable(msg, Table::ColorChanged);
  } else if (type == ui::kNotifyClick) {
    if (RouteTitleBar(msg)) return;
    RouteClick(msg);
  } else if (type == ui::kNotifyMouseLeave || type == ui::kNotifyMouseEnter) {
    RouteByTable(msg, Table::Hover);
  } else if (type == ui::kNotifySelectChanged) {
    RouteSelectChanged(msg);
  } else if (type == ui::kNotifyValueChanged) {
    RouteByTable(msg, Table::ValueChanged);
  } else if (type == ui::kNotifyMoveValueChanged) {
    RouteByTable(msg, Table::MoveValueChanged);
  } else if (type == ui::kNotifyItemSelect) {
    RouteByTable(msg, Table::ItemSelect);
  } else if (type == ui::kNotifyItemClick) {
    RouteByTable(msg, Table::ItemClick);
  } else if (type == ui::kNotifyKillFocus) {
    RouteByTable(msg, Table::KillFocus);
  } else if (type == ui::kNotifySetFocus) {
    RouteByTable(msg, Table::SetFocus);
  } else if (type == ui::kNotifyTextChanged) {
    RouteByTable(msg, Table::TextChanged);
  } else if (type == ui::kNotifyDragBegin || type == ui::kNotifyDragMove || type == ui::kNotifyDragEnd) {
    RouteByTable(msg, Table::Drag);
  } else if (type == ui::kNotifyKeyDown) {
    RouteByTable(msg, Table::KeyDown);
  }
  window_.LibraryNotify(msg);
}

}  // namespace trx::pages

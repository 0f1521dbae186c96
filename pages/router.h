#pragma once
// CRouter: the routing of every notification the main window's controls
// raise. Notify reads the type and the sender's name, writes both as debug
// lines and runs the dispatcher of the type:
//
//   "windowinit"        window initialisation
//   "windowsize"        nothing
//   "colorchanged"      colour table
//   "click"             title-bar buttons, then the click table
//   "msleave"/"msenter" the hover table
//   "selectchanged"     the selection handler
//   "valuechanged", "movevaluechanged", "itemselect", "itemclick",
//   "killfocus", "setfocus", "textchanged"   their tables
//   "dragbegin", "dragmove", "dragend"       the drag table
//
// then hands the notification to the library's own handling, except for
// the four title-bar buttons that act on the window ("closebtn", maximise,
// restore, minimise).
//
// Tables are data: each row names a control (exactly, or by the prefix of
// its name split at the last "_") and the page handler that runs. Pages add
// their rows when they are bound, in the page set's registration order; the
// first matching row of a table acts. Names are compared without regard to
// ASCII case.
//
// The selection handler: rows of SelectBeforeGuard run first (a row with
// Then::End ends the handler there); then the macro-edit guard; then the
// input hooks are removed; then the first SelectAfterGuard row acts.
//
// UI thread only.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/control_handles.h"
#include "pages/name_split.h"
#include "pages/page_context.h"
#include "ui/core/notify.h"

namespace trx::pages {

enum class Match {
  Exact,   // the whole name
  Prefix,  // the name's split prefix ("ms_profile_" for "ms_profile_3")
};

// What the selection handler does after a SelectBeforeGuard row acted.
enum class Then { Guard, End };

using Handler = std::function<void(ui::TNotifyUI& msg, const NameSplit& split)>;

struct Route {
  std::string name;
  Match match = Match::Exact;
  Handler handler;  // empty: the row only stops the search
  Then then = Then::End;
};

enum class Table {
  Click,
  SelectBeforeGuard,
  SelectAfterGuard,
  ItemSelect,
  ValueChanged,
  MoveValueChanged,
  TextChanged,
  KillFocus,
  SetFocus,
  ColorChanged,
  ItemClick,
  Hover,  // "msenter" and "msleave"
  Drag,   // "dragbegin", "dragmove" and "dragend" (the handler reads sType)
  KeyDown,  // "keydown" of a list (wParam: the virtual key)
};
inline constexpr size_t kTableCount = 14;

// The first row of `table` matching the name, or null.
const Route* FindRoute(const std::vector<Route>& table, std::string_view name, const NameSplit* split);

class CRouter {
 public:
  CRouter(IDialogs& dialogs, IWindow& window);

  void Add(Table table, Route route);
  const std::vector<Route>& Rows(Table table) const { return tables_[static_cast<size_t>(table)]; }

  // The title-bar buttons the click dispatcher compares by pointer
  // (maximise, restore, minimise, skin), bound by the page set with the
  // pages' handles.
  ControlBindings Bindings();

  // The whole routing of one notification.
  void Notify(ui::TNotifyUI& msg);

  // The dispatchers (Notify calls them; tests may call them directly).
  void RouteClick(ui::TNotifyUI& msg);
  void RouteSelectChanged(ui::TNotifyUI& msg);
  // Runs the first matching row of the table; true when one matched.
  bool RouteByTable(ui::TNotifyUI& msg, Table table);

  // The macro-edit guard: while a macro is being edited (its save/cancel
  // bar is visible) any other selection puts the macro tab and the device
  // tab back and shows "message_text_3". True when it stopped the selection.
  bool MacroEditGuard(std::string_view sender);

 private:
  bool RouteTitleBar(ui::TNotifyUI& msg);

  IDialogs& dialogs_;
  IWindow& window_;
  std::array<std::vector<Route>, kTableCount> tables_;
  // The macro editors' save/cancel bars and the tabs the guard puts back
  // (mouse, keyboard).
  struct MacroEditTabs {
    Handle<> bar;
    Handle<ui::COptionUI> macro_tab, device_tab;
  };
  MacroEditTabs macro_edit_[2];
  Handle<> max_btn_;
  Handle<> restore_btn_;
  Handle<> min_btn_;
  Handle<> skin_btn_;
};

}  // namespace trx::pages

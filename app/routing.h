#pragma once
// The routing of every notification the main window's controls raise.
// Notify reads the type and the sender's name, writes both as debug lines
// and runs the dispatcher of the type:
//
//   "windowinit"        window initialisation
//   "windowsize"        nothing
//   "colorchanged"      colour table
//   "click"             title-bar buttons, then the click handler
//   "msleave"/"msenter" hover (nothing yet)
//   "selectchanged"     the selection handler
//   "valuechanged", "movevaluechanged", "itemselect", "itemclick",
//   "killfocus", "setfocus", "textchanged"   their tables
//
// then hands the notification to the library's own handling, except for
// the four title-bar buttons that act on the window ("closebtn", maximise,
// restore, minimise).
//
// Tables are data: each row names a control (exactly, or by the prefix of
// its name split at the last "_") and the handler that runs. Pages built
// later add their rows to the tables in routing_tables.cpp; the first
// matching row acts. Names are compared without regard to ASCII case.
//
// UI thread only.

#include <string_view>
#include <vector>

#include "app/name_split.h"
#include "ui/core/notify.h"

namespace trx::app {

class CMainWnd;

enum class Match {
  Exact,   // the whole name
  Prefix,  // the name's split prefix ("ms_profile_" for "ms_profile_3")
};

// What the selection handler does after a row before the guard acted.
enum class Then { Guard, End };

using Handler = void (*)(CMainWnd& wnd, ui::TNotifyUI& msg, const NameSplit& split);

struct Route {
  const char* name;
  Match match;
  Handler handler;  // null: the row only stops the search
  Then then = Then::End;
};

// The tables, in the order their rows are tried.
const std::vector<Route>& ClickRoutes();             // after "kb_key_" and "kb_dkey_"
const std::vector<Route>& SelectBeforeGuardRoutes(); // steps before the macro-edit guard
const std::vector<Route>& SelectAfterGuardRoutes();  // device tabs, page tabs, checks
const std::vector<Route>& ItemSelectRoutes();
const std::vector<Route>& ValueChangedRoutes();
const std::vector<Route>& MoveValueChangedRoutes();
const std::vector<Route>& TextChangedRoutes();
const std::vector<Route>& KillFocusRoutes();
const std::vector<Route>& SetFocusRoutes();
const std::vector<Route>& ColorChangedRoutes();
const std::vector<Route>& ItemClickRoutes();

// The first row of `table` matching the name, or null.
const Route* FindRoute(const std::vector<Route>& table, std::string_view name, const NameSplit* split);

// The dispatchers (Notify calls them; tests may call them directly).
void RouteNotify(CMainWnd& wnd, ui::TNotifyUI& msg);
void RouteClick(CMainWnd& wnd, ui::TNotifyUI& msg);
void RouteSelectChanged(CMainWnd& wnd, ui::TNotifyUI& msg);
// Runs the first matching row of the table; true when one matched.
bool RouteByTable(CMainWnd& wnd, ui::TNotifyUI& msg, const std::vector<Route>& table);

// The macro-edit guard: while a macro is being edited (its save/cancel bar
// is visible) any other selection puts the macro tab and the device tab
// back and shows "message_text_3". True when it stopped the selection.
bool MacroEditGuard(CMainWnd& wnd, std::string_view sender);

}  // namespace trx::app

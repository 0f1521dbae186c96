#pragma once
// The action items of a macro page's action list: a 30-pixel container
// item named "<family>macro_action" holding three labels (name, state,
// delay) and, as its user data, the action line. Every item is built and
// refreshed here, whether it is loaded, inserted, recorded or moved.
//
//  - name label: the action's name key; mouse style below kind 9, else
//    keyboard style;
//  - state label: for pointer moves the distance as text, for the others
//    no text and the down style when pressed, the up style when released;
//  - delay label: the delay in milliseconds as text.
//
// UI thread only.

#include <string>

#include "macro/macro_action.h"
#include "ui/core/list.h"

namespace trx::pages {

inline constexpr int kActionItemHeight = 30;

// A new item showing `action` (the caller adds it to a list).
ui::CListContainerElementUI* MakeActionItem(const std::string& family, const macro::MacroAction& action);
// Rewrites the item's user data and its three labels from `action`.
void ShowAction(ui::CControlUI* item, const macro::MacroAction& action);
// The action of an item (its user data parsed); false when malformed.
bool ItemAction(const ui::CControlUI* item, macro::MacroAction& action);

}  // namespace trx::pages

#pragma once
// The readable name of a macro action's key or mouse action, as the
// English interface shows it: the language key stored in the action
// ("keyboard_key_LCtrl", "mouse_move_to_right_text") looked up in the
// program's English language file ("Left Ctrl", "Move right"). Without the
// file or the key, the key itself with its "keyboard_key_"/"mouse_" prefix
// and "_text" suffix dropped and '_' as spaces.
//
// Any thread (the file is read once, on first use).

#include <string>

namespace trx::ctl {

std::string ReadableActionName(const std::string& language_key);

}  // namespace trx::ctl

#pragma once
// The readable form of a button function and of a mouse button, for
// trx770ctl:
//
//   left, right, middle, back, forward       mouse buttons (type 0x10)
//   dpi-up, dpi-down, dpi-loop               DPI functions (0x13)
//   key:Ctrl+C, key:Shift+Num Enter, key:LAlt modifiers (Ctrl, Shift, Alt, Win
//                                            = the left ones; LCtrl ... RWin)
//                                            and a key of the key table by
//                                            its name without "keyboard_key_"
//   media:volume-up ... (MediaFunctionNames) consumer keys (0x30)
//   system:power|sleep|wake-up               system keys (0x40)
//   macro:NAME[:repeat=N|mode=M]             a macro of the library: a repeat
//                                            count 1-255 (0x71) or a repeat
//                                            mode 0-3 (0x70, mode 0 by default)
//   routine:N                                fire-key routine 1-4 (0x72)
//   fire:A,B                                 fire key, 0-255 each (0x14)
//   swing:left|right|up|down,N,H,L           pointer swing, count 0-127 and
//                                            the two settings 0-15 (0x11/0x12)
//   default                                  the button's factory function
//   disabled                                 no function (the filler 0x05)
//
// Pure functions; any thread.

#include <optional>
#include <string>
#include <vector>

#include "settings/key_assignment.h"

namespace trx::keys {

struct ParsedFunction {
  bool ok = false;
  bool is_default = false;  // "default": the caller takes the main block's entry
  KeyAssignment assignment{};
  std::string reason;  // why it was refused
};
ParsedFunction ParseFunction(const std::string& text, const std::vector<std::string>& macro_names);

// The readable form of a stored function: "Disabled" for the filler type
// 0x05 (no function, as the key page says), "unknown 0x09 0x01 0x02" for
// functions the page does not build.
std::string DescribeFunction(KeyAssignment a, const std::vector<std::string>& macro_names);

// The mouse's buttons: 1-7 or left, wheel, right, forward, back, dpi,
// dpi-2 (entries 0-6). nullopt for anything else.
std::optional<int> ParseMouseButton(const std::string& text);
const char* MouseButtonName(int entry);

}  // namespace trx::keys

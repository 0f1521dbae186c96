#pragma once
// trx770ctl button: the mouse's button assignments, the same functions,
// bytes and save as the window's key page.
//
//   button list DEVICE [--onboard N]   each button and its function, in words
//                                      (onboard profile N 1-5; default: the
//                                      active one)
//   button set DEVICE BUTTON FUNCTION  stores the function as the button's
//                                      entry of the active profile's key block
//                                      and saves it as the page does (macros,
//                                      then the key block)
//   button default DEVICE BUTTON       the button's factory function, saved
//                                      the same way
//
// BUTTON: 1-7 or left, wheel, right, forward, back, dpi, dpi-2. FUNCTION:
// keys/function_text.h. A bad button or function, or taking the left click
// from the only button that has it, is refused before anything is written.
//
// Thread: the tool's one thread.

#include <ostream>
#include <string>
#include <vector>

#include "ctl/ctl_app.h"
#include "ctl/ctl_macro.h"

namespace trx::ctl {

// `words` = "button" and its arguments (with "--onboard N" among them).
ExitCode RunButtonCommand(const std::vector<std::string>& words, bool json, const OpenChannel& open,
                          std::ostream& out, std::ostream& err);

extern const char* const kButtonHelp;

}  // namespace trx::ctl

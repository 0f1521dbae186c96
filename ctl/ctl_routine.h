#pragma once
// trx770ctl routine: the mouse's four fire-key routines, the same files
// and limits as the window's cursor page.
//
//   routine show N               the 30 steps of routine N (1-4) as a table
//   routine import N FILE        FILE replaces routine N (at most 180 actions)
//   routine export N FILE [--force]
//                                copies routine N to FILE; an existing FILE
//                                only with --force
//   routine reset N              routine N from the program's default file
//   routine upload               the four routines into the mouse (3072 bytes at most)
//   routine read                 the mouse's routines rewrite the files
//
// Thread: the tool's one thread.

#include <ostream>
#include <string>
#include <vector>

#include "ctl/ctl_app.h"
#include "ctl/ctl_macro.h"

namespace trx::ctl {

// `words` = "routine" and its arguments.
ExitCode RunRoutineCommand(const std::vector<std::string>& words, bool json, const OpenChannel& open,
                           std::ostream& out, std::ostream& err);

}  // namespace trx::ctl

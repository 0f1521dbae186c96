#pragma once
// The four default routines that ship beside the program as
// "name_1.cur" .. "name_4.cur" (docs/routines.md describes them):
//   1  gentle pull-down: 30 steps of 30 ms, 2 down each
//   2  strong pull-down: 30 steps of 30 ms, 6 down for steps 1-10, then 4,
//      then 3 (the pull eases as the recoil settles)
//   3  pull-down drifting left: 30 steps of 30 ms, 3 down and 1 left each
//   4  zero: 30 steps with no pause and no movement, a blank to start from
// Each is 30 whole steps (90 action lines).
//
// Pure functions; any thread.

#include <string>
#include <vector>

#include "routine/routine_steps.h"

namespace trx::routine {

// Steps of default routine r (0-3); empty for other numbers.
std::vector<RoutineStep> DefaultRoutineSteps(int r);
// Its action lines.
std::vector<std::string> DefaultRoutineLines(int r);

}  // namespace trx::routine

#include "routine/default_routines.h"

namespace trx::routine {

namespace {

constexpr uint32_t kStepPauseMs = 30;

}  // namespace

std::vector<RoutineStep> DefaultRoutineSteps(int r) {
  std::vector<RoutineStep> steps;
  if (r < 0 || r >= kRoutineCount) return steps;
  for (int k = 0; k < kStepCount; ++k) {
    RoutineStep s;
    switch (r) {
      case 0:
        s = {kStepPauseMs, 0, false, 2, false};
        break;
      case 1:
        s = {kStepPauseMs, 0, false, k < 10 ? 6u : k < 20 ? 4u : 3u, false};
        break;
      case 2:
        s = {kStepPauseMs, 1, true, 3, false};
        break;
      default:
        break;  // zero
    }
    steps.push_back(s);
  }
  return steps;
}

std::vector<std::string> DefaultRoutineLines(int r) {
  std::vector<std::string> lines;
  const std::vector<RoutineStep> steps = DefaultRoutineSteps(r);
  for (size_t k = 0; k < steps.size(); ++k) StoreStepInLines(lines, static_cast<int>(k), steps[k]);
  return lines;
}

}  // namespace trx::routine

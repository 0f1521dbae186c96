#include "routine/routine_steps.h"

#include <algorithm>

namespace trx::routine {

namespace {

constexpr const char* kZeroPauseLine = "0,0,0,0,0,";

macro::MacroAction ActionAt(const std::vector<std::string>& lines, size_t i) {
  macro::MacroAction action;
  if (i < lines.size()) macro::ParseActionLine(lines[i], action);  // a malformed line keeps zero fields
  return action;
}

macro::MacroAction Move(uint8_t kind_type, uint32_t distance, bool negative, const char* negative_name,
                        const char* positive_name) {
  macro::MacroAction a;
  a.delay = 0;
  a.type = static_cast<uint8_t>(kind_type | (negative ? macro::kTypePressedBit : 0));
  a.code = static_cast<uint8_t>(distance);
  a.pressed = negative ? 1 : 0;
  a.name = negative ? negative_name : positive_name;
  return a;
}

bool StepInRange(int k) { return k >= 0 && k < kStepCount; }

}  // namespace

RoutineStep ClampStep(const RoutineStep& step) {
  RoutineStep s = step;
  s.pause_ms = std::min(s.pause_ms, kMaxPauseMs) / macro::kDelayUnitMs * macro::kDelayUnitMs;
  s.x = std::min(s.x, kMaxDistance);
  s.y = std::min(s.y, kMaxDistance);
  return s;
}

RoutineStep StepFromLines(const std::vector<std::string>& lines, int k) {
  RoutineStep step;
  if (!StepInRange(k)) return step;
  const size_t base = static_cast<size_t>(k) * kActionsPerStep;
  step.pause_ms = static_cast<uint32_t>(ActionAt(lines, base).delay) * macro::kDelayUnitMs;
  const macro::MacroAction x = ActionAt(lines, base + 1);
  const macro::MacroAction y = ActionAt(lines, base + 2);
  step.x = x.code;
  step.left = (x.type & macro::kTypePressedBit) != 0;
  step.y = y.code;
  step.up = (y.type & macro::kTypePressedBit) != 0;
  return step;
}

void StoreStepInLines(std::vector<std::string>& lines, int k, const RoutineStep& value) {
  if (!StepInRange(k)) return;
  const RoutineStep step = ClampStep(value);
  const size_t base = static_cast<size_t>(k) * kActionsPerStep;
  if (lines.size() < base + kActionsPerStep) lines.resize(base + kActionsPerStep, kZeroPauseLine);
  macro::MacroAction pause = ActionAt(lines, base);
  pause.delay = static_cast<uint16_t>(step.pause_ms / macro::kDelayUnitMs);
  lines[base] = macro::FormatActionLine(pause);
  lines[base + 1] = macro::FormatActionLine(Move(kTypeMoveX, step.x, step.left, kNameLeft, kNameRight));
  lines[base + 2] = macro::FormatActionLine(Move(kTypeMoveY, step.y, step.up, kNameUp, kNameDown));
}

RoutineStep ReadStep(const RoutineStore& store, int r, int k) { return StepFromLines(LoadRoutineLines(store, r), k); }

RoutineResult StoreStep(const RoutineStore& store, int r, int k, const RoutineStep& step) {
  if (!StepInRange(k)) return RoutineResult::NoSuchRoutine;
  if (RoutineFilePath(store, r).empty()) return RoutineResult::NoSuchRoutine;
  std::vector<std::string> lines = LoadRoutineLines(store, r);
  StoreStepInLines(lines, k, step);
  return WriteRoutineLines(store, r, lines);
}

std::vector<std::string> StepLines(const RoutineStep& step) {
  std::vector<std::string> lines;
  StoreStepInLines(lines, 0, step);
  return lines;
}

std::vector<TrackPoint> RoutineTrack(const std::vector<std::string>& lines) {
  std::vector<TrackPoint> track;
  track.reserve(kStepCount);
  TrackPoint at;
  for (int k = 0; k < kStepCount; ++k) {
    const RoutineStep s = StepFromLines(lines, k);
    at.x += s.left ? -static_cast<int>(s.x) : static_cast<int>(s.x);
    at.y += s.up ? -static_cast<int>(s.y) : static_cast<int>(s.y);
    track.push_back(at);
  }
  return track;
}

}  // namespace trx::routine

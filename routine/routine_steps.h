#pragma once
// The steps of a routine: 30 steps, step k being actions 3k, 3k+1, 3k+2
// of its file:
//   3k      the pause: delay = pause ms / 10; type, code, pressed and name
//           are kept as the file had them
//   3k + 1  horizontal move: delay 0, type 0x84 (left) or 0x04 (right),
//           code = distance, pressed 1 (left) or 0, name
//           "mouse_move_to_left_text" / "mouse_move_to_right_text"
//   3k + 2  vertical move: delay 0, type 0x85 (up) or 0x05 (down), code =
//           distance, pressed 1 (up) or 0, name "mouse_move_to_up_text" /
//           "mouse_move_to_down_text"
// Limits: pause at most 65535 ms (kept in 10 ms units, so 1005 ms is
// stored as 1000 ms), distances at most 255; larger values become the
// limit.
//
// Thread: the caller's (the UI thread in the program).

#include <cstdint>
#include <string>
#include <vector>

#include "macro/macro_action.h"
#include "routine/routine_files.h"

namespace trx::routine {

inline constexpr int kStepCount = 30;
inline constexpr int kActionsPerStep = 3;
inline constexpr uint32_t kMaxPauseMs = 65535;
inline constexpr uint32_t kMaxDistance = 255;
inline constexpr uint8_t kTypeMoveX = 0x04;
inline constexpr uint8_t kTypeMoveY = 0x05;
inline constexpr const char* kNameLeft = "mouse_move_to_left_text";
inline constexpr const char* kNameRight = "mouse_move_to_right_text";
inline constexpr const char* kNameUp = "mouse_move_to_up_text";
inline constexpr const char* kNameDown = "mouse_move_to_down_text";

struct RoutineStep {
  uint32_t pause_ms = 0;  // a multiple of 10
  uint32_t x = 0;         // distance 0-255
  bool left = false;
  uint32_t y = 0;         // distance 0-255
  bool up = false;
  bool operator==(const RoutineStep&) const = default;
};

// The values clamped to the limits and the pause cut to 10 ms units.
RoutineStep ClampStep(const RoutineStep& step);

// Step k of the lines (missing actions read as zero).
RoutineStep StepFromLines(const std::vector<std::string>& lines, int k);
// Writes step k into the lines (growing them to 3k + 3 with zero pause
// actions "0,0,0,0,0," when shorter); the pause action keeps its other
// fields.
void StoreStepInLines(std::vector<std::string>& lines, int k, const RoutineStep& step);

// Step k of routine r's file.
RoutineStep ReadStep(const RoutineStore& store, int r, int k);
// Rewrites step k of routine r's file (clamped); the file grows to cover
// the step when shorter, so the edit also reaches the mouse.
RoutineResult StoreStep(const RoutineStore& store, int r, int k, const RoutineStep& step);

// The three action lines of a step (used for the default files).
std::vector<std::string> StepLines(const RoutineStep& step);

// The pointer's track: the position after each of the 30 steps, starting
// from (0, 0); x grows to the right and y downwards.
struct TrackPoint {
  int x = 0;
  int y = 0;
  bool operator==(const TrackPoint&) const = default;
};
std::vector<TrackPoint> RoutineTrack(const std::vector<std::string>& lines);

}  // namespace trx::routine

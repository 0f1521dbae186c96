#pragma once
// Where the path preview draws the pointer's track: the start (0, 0) and
// the 30 step positions mapped into a box of `width` x `height` pixels
// with `margin` pixels kept free on every side, the same scale on both
// axes (at most kMaxPathScale pixels per count, so a short track is not
// blown up), the track's extent centred. Point 0 is the start.
//
// Pure function; any thread.

#include <vector>

#include "routine/routine_steps.h"

namespace trx::pages {

inline constexpr double kMaxPathScale = 4.0;

struct PathPixel {
  int x = 0;
  int y = 0;
  bool operator==(const PathPixel&) const = default;
};

std::vector<PathPixel> LayOutPath(const std::vector<routine::TrackPoint>& track, int width, int height, int margin);

}  // namespace trx::pages

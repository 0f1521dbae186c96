#include "pages/routine_path.h"

#include <algorithm>
#include <cmath>

namespace trx::pages {

std::vector<PathPixel> LayOutPath(const std::vector<routine::TrackPoint>& track, int width, int height, int margin) {
  std::vector<routine::TrackPoint> points{{0, 0}};
  points.insert(points.end(), track.begin(), track.end());
  int min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  for (const routine::TrackPoint& p : points) {
    min_x = std::min(min_x, p.x);
    max_x = std::max(max_x, p.x);
    min_y = std::min(min_y, p.y);
    max_y = std::max(max_y, p.y);
  }
  const int inner_w = std::max(0, width - 2 * margin);
  const int inner_h = std::max(0, height - 2 * margin);
  double scale = kMaxPathScale;
  if (max_x > min_x) scale = std::min(scale, static_cast<double>(inner_w) / (max_x - min_x));
  if (max_y > min_y) scale = std::min(scale, static_cast<double>(inner_h) / (max_y - min_y));
  // The track's extent, centred in the box.
  const double off_x = margin + (inner_w - (max_x - min_x) * scale) / 2.0;
  const double off_y = margin + (inner_h - (max_y - min_y) * scale) / 2.0;
  std::vector<PathPixel> pixels;
  pixels.reserve(points.size());
  for (const routine::TrackPoint& p : points)
    pixels.push_back({static_cast<int>(std::lround(off_x + (p.x - min_x) * scale)),
                      static_cast<int>(std::lround(off_y + (p.y - min_y) * scale))});
  return pixels;
}

}  // namespace trx::pages

#pragma once
// How a window's update region is cut into the rectangles painted one by
// one (UI thread; device independent pixels).

#include <QRect>
#include <QRegion>

#include <vector>

namespace trx::ui::qt {

// Rectangles of one band (a row of keys) this far apart are repainted as
// one: the gap costs less than another walk of the tree.
inline constexpr int kMaxJoinGap = 16;

// The rectangles to repaint for an update region: its own rectangles, with
// neighbours of one band (same top and bottom, a small gap apart: a row of
// keys) joined, since every rectangle costs a walk of the control tree and
// a paint of everything under it; one bounding rectangle when there are
// very many.
std::vector<QRect> PaintRects(const QRegion& region);

}  // namespace trx::ui::qt

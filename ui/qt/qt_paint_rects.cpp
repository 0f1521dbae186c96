#include "ui/qt/qt_paint_rects.h"

namespace trx::ui::qt {

std::vector<QRect> PaintRects(const QRegion& region) {
  constexpr int kMaxRects = 256;
  std::vector<QRect> rects;
  if (region.rectCount() > kMaxRects) {
    rects.push_back(region.boundingRect());
    return rects;
  }
  for (const QRect& r : region) {  // y-x sorted bands
    if (!rects.empty()) {
      QRect& last = rects.back();
      if (last.top() == r.top() && last.bottom() == r.bottom() && r.left() - last.right() - 1 <= kMaxJoinGap) {
        last.setRight(r.right());
        continue;
      }
    }
    rects.push_back(r);
  }
  return rects;
}

}  // namespace trx::ui::qt

#include "ui/window/screen_placement.h"

#include <algorithm>

#include "ui/window/window_backend.h"

namespace trx::ui {

UiPoint KeepOnWorkArea(UiPoint top_left, int width, int height) {
  const UiRect work = CurrentWorkArea();
  const int x = std::clamp(top_left.x, work.left, std::max(work.left, work.right - width));
  const int y = std::clamp(top_left.y, work.top, std::max(work.top, work.bottom - height));
  return {x, y};
}

bool LiesOnWorkArea(const UiRect& rc) {
  const UiRect work = CurrentWorkArea();
  return rc.left >= work.left && rc.top >= work.top && rc.right <= work.right && rc.bottom <= work.bottom;
}

}  // namespace trx::ui

#pragma once
// Keeping windows and popups on the screen: the work area is the screen
// without panels (the backend's, or the headless one tests set).
//
// Screen coordinates in pixels. UI thread only (the work area is asked of
// the backend).

#include "ui/core/ui_types.h"

namespace trx::ui {

// The top-left corner nearest to `top_left` at which a width x height
// window lies inside the work area (its top-left corner wins when it is
// larger than the work area).
UiPoint KeepOnWorkArea(UiPoint top_left, int width, int height);

// True when `rc` lies wholly inside the work area.
bool LiesOnWorkArea(const UiRect& rc);

}  // namespace trx::ui

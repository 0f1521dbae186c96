#pragma once
// WM_DPICHANGED: the layout takes the new DPI (wParam's low word), its
// images and sizes follow, and the window takes the rectangle the desktop
// suggests (lParam, may be null) without changing its stacking or focus.
//
// UI thread.

#include <functional>

#include "ui/core/ui_types.h"
#include "ui/window/win_types.h"

namespace trx::ui {
class CPaintManagerUI;
}

namespace trx::app {

// `move`: places the window at the rectangle.
void ApplyDpiChange(ui::CPaintManagerUI& pm, ui::WPARAM wparam, ui::LPARAM lparam,
                    const std::function<void(const ui::UiRect&)>& move);

}  // namespace trx::app

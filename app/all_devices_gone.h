#pragma once
// The last device left (kMsgAllDevicesGone): the focus goes to the mouse's
// first tab, a desktop notification ("message_text_20") says why the window
// goes, or without a notification service the short self-closing box does,
// and the window hides once that has closed.
//
// UI thread.

#include <functional>

#include "ui/window/win_types.h"

namespace trx::ui {
class CControlUI;
class CTrayIcon;
}

namespace trx::app {

// `focus`: the mouse's first tab (null: the focus stays).
void ShowAllDevicesGone(ui::CControlUI* focus, ui::CTrayIcon& tray, ui::HWND window, const std::function<void()>& hide);

}  // namespace trx::app

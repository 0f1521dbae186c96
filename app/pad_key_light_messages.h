#pragma once
// The pad's key-light messages (WM_MP_KEY_COLOR: tint colour, WM_MP_KEY_ALPHA:
// tint alpha; wParam the light's number, lParam the value) applied to the
// pad's preview lights. A number outside the 15 lights, or a light the
// layout lacks, is ignored.
//
// UI thread.

#include "pages/key_lights.h"
#include "ui/window/win_api.h"

namespace trx::app {

// True when `msg` is one of the two (applied or ignored); false for any
// other message.
bool ApplyPadKeyLightMessage(const pages::CKeyLights& lights, ui::UINT msg, ui::WPARAM wparam, ui::LPARAM lparam);

}  // namespace trx::app

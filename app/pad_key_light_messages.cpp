#include "app/pad_key_light_messages.h"

#include "app/app_messages.h"

namespace trx::app {

bool ApplyPadKeyLightMessage(const pages::CKeyLights& lights, ui::UINT msg, ui::WPARAM wparam, ui::LPARAM lparam) {
  if (msg == WM_MP_KEY_COLOR) {
    lights.SetColour(DeviceKind::MousePad, wparam, static_cast<ui::UiColor>(lparam));
    return true;
  }
  if (msg == WM_MP_KEY_ALPHA) {
    lights.SetAlpha(DeviceKind::MousePad, wparam, static_cast<int>(lparam));
    return true;
  }
  return false;
}

}  // namespace trx::app

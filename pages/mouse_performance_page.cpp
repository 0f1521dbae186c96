#include "pages/mouse_performance_page.h"

#include <mutex>
#include <string>

#include "pages/control_names.h"
#include "pages/router.h"
#include "platform/debug_log.h"
#include "settings/config_images.h"
#include "settings/mouse_config_image.h"
#include "settings/settings_host.h"

namespace trx::pages {

void CMousePerformancePage::Bind(CRouter& router) {
  for (int level = 1; level <= names::kDpiColourButtonCount; ++level)
    router.Add(Table::Click, {names::kMsDpiColorBtnPrefix + std::to_string(level), Match::Exact,
                              [this, level](ui::TNotifyUI& msg, const NameSplit&) { PickDpiColour(msg.pSender, level); }});
}

void CMousePerformancePage::PickDpiColour(ui::CControlUI* button, int level) {
  if (button == nullptr || level < 1 || level > names::kDpiColourButtonCount) return;
  ui::UiColor colour = 0;
  if (!ctx_.dialogs.PickColour(button->GetBkColor(), ctx_.window.CursorPos(), &colour)) return;
  button->SetBkColor(colour);
  {
    std::lock_guard<std::recursive_mutex> lock(ImageMutex());
    uint8_t* rgb = Images().mouse.CurrentRecord() + kRecDpiColours + 3 * (level - 1);
    rgb[0] = static_cast<uint8_t>(colour >> 16);
    rgb[1] = static_cast<uint8_t>(colour >> 8);
    rgb[2] = static_cast<uint8_t>(colour);
  }
  ctx_.devices.MarkSettingsPending(DeviceKind::Mouse);
  if (IProfileSaver* saver = ProfileSaver()) {
    if (saver->SaveCurrentProfile(DeviceKind::Mouse, ProfileFamily::Device) != 0)
      DebugLine("device profile could not be saved after a DPI colour change");
  }
}

}  // namespace trx::pages

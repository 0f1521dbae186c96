#include "app/all_devices_gone.h"

#include <string>

#include "app/app_messages.h"
#include "ui/core/control.h"
#include "ui/core/resource_manager.h"
#include "ui/dialogs/msg_wnd.h"
#include "ui/window/tray_icon.h"

namespace trx::app {

void ShowAllDevicesGone(ui::CControlUI* focus, ui::CTrayIcon& tray, ui::HWND window, const std::function<void()>& hide) {
  if (focus != nullptr) focus->SetFocus();
  // A desktop notification says why the window goes; without a
  // notification service the short self-closing box does.
  const std::string text = ui::CResourceManager::GetInstance()->GetText(kTextAllDevicesGone);
  if (!tray.ShowNotification(kProgramTitle, text)) ui::ShowSelfClosingNotice(window);
  hide();
}

}  // namespace trx::app

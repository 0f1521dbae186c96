#include "ui/dialogs/copyright_wnd.h"

#include <algorithm>

#include "platform/debug_log.h"
#include "ui/dialogs/dialog_hook.h"
#include "ui/dialogs/msg_wnd.h"
#include "ui/dialogs/url_opener.h"
#include "ui/window/message_queue.h"
#include "ui/window/win_api.h"

#ifndef TRX770_VERSION
#define TRX770_VERSION "0"
#endif

namespace trx::ui {

const char* ProgramVersion() { return TRX770_VERSION; }

Ccopyright::Ccopyright() = default;
Ccopyright::~Ccopyright() = default;

void Ccopyright::InitWindow() {
  m_link = m_pm.FindControl(kCopyrightLinkName);
  if (CControlUI* version = m_pm.FindControl(kCopyrightVersionName)) version->SetText(ProgramVersion());
  RunDialogHook(*this, kCopyrightClassName);
}

void Ccopyright::Notify(TNotifyUI& msg) {
  if (msg.pSender == nullptr || msg.sType != kNotifyClick) return;
  const std::string& name = msg.pSender->GetName();
  if (name == kCopyrightCloseName) {
    Close(kCopyrightResultClosed);
  } else if (msg.pSender == m_link || name == kCopyrightLinkName) {
    if (!OpenHttpsUrl(kProjectWebPage)) DebugLine("about: the web page could not be opened");
  }
}

void Ccopyright::OnFinalMessage(HWND) { delete this; }

HWND OpenAboutWindow(HWND owner) {
  if (!CMessageQueue::Instance().IsUiThread()) {
    DebugLine("about window: not on the UI thread, not opened");
    return nullptr;
  }
  auto* about = new Ccopyright();
  const std::string title = DialogTitle(kCopyrightTitleTextId);
  const HWND hwnd = about->Create(owner, title.c_str(), kCopyrightStyle, kCopyrightExStyle, 0, 0, 800, 572);
  if (hwnd == nullptr) return nullptr;  // a failed creation already deleted the object
  UiRect owner_rc{};
  GetWindowRect(owner, &owner_rc);
  const UiRect own = about->GetWindowRect();
  const UiRect work = CurrentWorkArea();
  int x = owner_rc.left * 2;
  int y = owner_rc.bottom / 2 - 80;
  // Kept on the work area: twice the owner's left edge can lie past the
  // right side of the screen.
  x = std::clamp(x, work.left, std::max(work.left, work.right - own.Width()));
  y = std::clamp(y, work.top, std::max(work.top, work.bottom - own.Height()));
  about->SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  return hwnd;
}

}  // namespace trx::ui

#include "ui/dialogs/msg_wnd.h"

#include <strings.h>

#include <string>

#include "platform/debug_log.h"
#include "ui/core/resource_manager.h"
#include "ui/dialogs/dialog_hook.h"
#include "ui/dialogs/modal_owner.h"
#include "ui/window/message_queue.h"
#include "ui/window/win_api.h"

namespace trx::ui {
namespace {

bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

// Creates, fills and runs one box; the box deletes itself when its window
// is gone.
int RunBox(HWND owner, std::string_view text, bool is_id, bool self_closing, MsgButtons buttons) {
  // Windows belong to the UI thread; creating one elsewhere would make the
  // calling thread the queue's UI thread.
  if (!CMessageQueue::Instance().IsUiThread()) {
    DebugLine("message box: not on the UI thread, answered 0");
    return kMsgResultCancel;
  }
  // Said in the debug output too, so a run without a screen (the start
  // check of tools/check-program-start.sh) sees what the user would.
  DebugLine(std::string("message box: ") + std::string(text));
  auto* box = new CMsgWnd;
  const std::string title = DialogTitle(kMsgTitleTextId);
  const HWND hwnd = box->Create(owner, title.c_str(), WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW);
  if (hwnd == nullptr) return kMsgResultCancel;  // the failed window deleted itself
  box->CenterWindow();
  box->SetMessage(text, is_id);
  box->SetButtons(buttons);
  if (self_closing) box->StartSelfClosing();
  RunDialogHook(*box, kMsgWndClassName);
  LeaveOwnerHover(owner);
  const UINT result = box->ShowModal();
  LeaveOwnerHoverLater(owner);
  // A quit request ends the loop with the box still open: close it now.
  if (CWindowWnd* still = CWindowWnd::FromHandle(hwnd)) still->DestroyWindow();
  if (result == static_cast<UINT>(kMsgResultConfirm)) return kMsgResultConfirm;
  if (result == static_cast<UINT>(kMsgResultSave) && buttons == MsgButtons::SaveQuestion) return kMsgResultSave;
  return kMsgResultCancel;
}

}  // namespace

std::string DialogTitle(std::string_view text_id) {
  std::string title = CResourceManager::GetInstance()->GetText(text_id);
  return title.empty() || title == text_id ? std::string("TRX770") : title;
}

int ShowMessage(HWND owner, std::string_view text, bool is_id, MsgButtons buttons) {
  return RunBox(owner, text, is_id, false, buttons);
}

void ShowSelfClosingNotice(HWND owner) {
  RunBox(owner, kSelfClosingNoticeTextId, true, true, MsgButtons::Notice);
}

void CMsgWnd::SetButtons(MsgButtons buttons) {
  struct Shown {
    const char* name;
    bool visible;
    const char* text_id;  // null: the layout's text
  };
  const bool save = buttons == MsgButtons::SaveQuestion;
  const Shown table[] = {
      {kMsgSaveName, save, "dlg_save"},
      {kMsgCancelName, buttons != MsgButtons::Notice, nullptr},
      {kMsgConfirmName, true, save ? "dlg_discard" : buttons == MsgButtons::Notice ? "dlg_ok" : "dlg_confirm"},
  };
  for (const Shown& s : table) {
    CControlUI* control = m_pm.FindControl(s.name);
    if (control == nullptr) continue;
    control->SetVisible(s.visible);
    if (s.text_id != nullptr) {
      control->SetResourceText(true);
      control->SetText(s.text_id);
    }
  }
  default_button_ = save && m_pm.FindControl(kMsgSaveName) != nullptr ? kMsgSaveName : kMsgConfirmName;
}

void CMsgWnd::SetMessage(std::string_view text, bool is_id) {
  if (text.empty()) return;
  CControlUI* control = m_pm.FindControl(kMsgTextName);
  if (control == nullptr) return;  // the layout is shown as it is
  control->SetResourceText(is_id);
  control->SetText(text);
}

void CMsgWnd::StartSelfClosing() { SetTimer(m_hWnd, kSelfClosingTimerId, kSelfClosingDelayMs); }

std::string CMsgWnd::GetMessageText() {
  CControlUI* control = m_pm.FindControl(kMsgTextName);
  return control ? control->GetRawText() : std::string();
}

void CMsgWnd::InitWindow() { close_btn_ = m_pm.FindControl(kMsgCloseName); }

void CMsgWnd::OnClick(TNotifyUI& msg) {
  const std::string& name = msg.pSender->GetName();
  if (msg.pSender == close_btn_ || SameName(name, kMsgCloseName)) {
    Close(kMsgResultCancel);
  } else if (SameName(name, kMsgConfirmName)) {
    Close(kMsgResultConfirm);
  } else if (SameName(name, kMsgCancelName)) {
    Close(kMsgResultCancel);
  } else if (SameName(name, kMsgSaveName)) {
    Close(kMsgResultSave);
  }
}

void CMsgWnd::OnFinalMessage(HWND hwnd) {
  WindowImplBase::OnFinalMessage(hwnd);
  delete this;
}

LRESULT CMsgWnd::OnSysCommand(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;  // the default handling runs (SC_CLOSE closes with 0)
  return 0;
}

LRESULT CMsgWnd::HandleCustomMessage(UINT msg, WPARAM wparam, LPARAM, bool& handled) {
  if (msg == WM_TIMER) OnTimer(static_cast<UINT_PTR>(wparam));
  handled = false;
  return 0;
}

void CMsgWnd::OnTimer(UINT_PTR id) {
  if (id != kSelfClosingTimerId) return;
  ++ticks_;
  if (ticks_ >= 1) {
    KillTimer(m_hWnd, kSelfClosingTimerId);
    Close(kMsgResultCancel);
  }
}

}  // namespace trx::ui

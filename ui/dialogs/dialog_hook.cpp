#include "ui/dialogs/dialog_hook.h"

#include <string>
#include <utility>

#include "ui/window/message_queue.h"

namespace trx::ui {
namespace {

DialogHook& Hook() {
  static DialogHook hook;
  return hook;
}

}  // namespace

DialogHook SetDialogHook(DialogHook hook) { return std::exchange(Hook(), std::move(hook)); }

void RunDialogHook(WindowImplBase& dialog, std::string_view class_name) {
  // Copy: the hook may replace itself.
  if (DialogHook hook = Hook()) hook(dialog, class_name);
}

void ClickDialogControl(WindowImplBase& dialog, std::string_view control_name) {
  const HWND hwnd = dialog.GetHWND();
  CMessageQueue::Instance().PostCallback([hwnd, name = std::string(control_name)] {
    auto* window = dynamic_cast<WindowImplBase*>(CWindowWnd::FromHandle(hwnd));
    if (window == nullptr) return;
    if (CControlUI* control = window->GetPaintManager().FindControl(name)) control->Activate();
  });
}

}  // namespace trx::ui

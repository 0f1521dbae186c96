#include "ui/dialogs/modal_owner.h"

#include "ui/window/message_queue.h"
#include "ui/window/window_impl_base.h"

namespace trx::ui {

void LeaveOwnerHover(HWND owner) {
  if (auto* window = dynamic_cast<WindowImplBase*>(CWindowWnd::FromHandle(owner)))
    window->GetPaintManager().OnMouseLeaveWindow();
}

void LeaveOwnerHoverLater(HWND owner) {
  if (owner == nullptr) return;
  CMessageQueue::Instance().PostCallback([owner] { LeaveOwnerHover(owner); });
}

}  // namespace trx::ui

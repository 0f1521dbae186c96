#include "ui/dialogs/frameless_dialog.h"

#include "ui/window/window_backend.h"

namespace trx::ui {

// Every handler below marks the message handled first, then gives back
// what it leaves to the paint manager and the default handling.

LRESULT CFramelessDialog::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT CFramelessDialog::OnDestroy(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
  // The base detaches the native window from the paint manager; the
  // message itself stays unhandled.
  return WindowImplBase::OnDestroy(msg, wparam, lparam, handled);
}

LRESULT CFramelessDialog::OnNcActivate(UINT, WPARAM wparam, LPARAM, bool& handled) {
  handled = true;
  if (IsMinimized()) {
    handled = false;
    return 0;
  }
  return wparam == 0 ? TRUE : FALSE;
}

LRESULT CFramelessDialog::OnNcCalcSize(UINT, WPARAM, LPARAM, bool& handled) {
  handled = true;
  return 0;
}

LRESULT CFramelessDialog::OnNcPaint(UINT, WPARAM, LPARAM, bool& handled) {
  handled = true;
  return 0;
}

LRESULT CFramelessDialog::OnNcHitTest(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
  handled = true;
  return WindowImplBase::OnNcHitTest(msg, wparam, lparam, handled);
}

LRESULT CFramelessDialog::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lparam, bool& handled) {
  handled = false;
  auto* info = reinterpret_cast<MinMaxInfo*>(lparam);
  if (info == nullptr) return 0;
  // One monitor whose origin is the screen's: the work area relative to it.
  const UiRect work = CurrentWorkArea();
  info->ptMaxPosition = {work.left, work.top};
  info->ptMaxSize = {work.Width(), work.Height()};
  return 0;
}

LRESULT CFramelessDialog::OnSize(UINT, WPARAM wparam, LPARAM lparam, bool& handled) {
  handled = false;
  if (wparam == SIZE_MINIMIZED) return 0;
  const UiSize round = m_pm.GetRoundCorner();
  const int cx = static_cast<int>(LoWord(static_cast<std::uintptr_t>(lparam)));
  const int cy = static_cast<int>(HiWord(static_cast<std::uintptr_t>(lparam)));
  region_ = {0, 0, cx + 1, cy + 1};
  region_round_ = round;
  return 0;
}

LRESULT CFramelessDialog::OnSysCommand(UINT, WPARAM wparam, LPARAM lparam, bool& handled) {
  handled = true;
  if ((wparam & 0xFFF0) == SC_CLOSE) {
    SendMessage(WM_CLOSE, 0, 0);
    return 0;
  }
  return DefWindowProc(WM_SYSCOMMAND, wparam, lparam);
}

}  // namespace trx::ui

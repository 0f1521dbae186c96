// Window operations by handle, safe to call from worker threads.

#include "ui/window/message_queue.h"
#include "ui/window/win_api.h"
#include "ui/window/window_wnd.h"

namespace trx::ui {
namespace {

// Runs op on the window now (UI thread) or queues it (other threads).
template <typename Op>
BOOL OnUiThread(HWND hwnd, Op op) {
  CMessageQueue& queue = CMessageQueue::Instance();
  if (queue.IsUiThread()) {
    CWindowWnd* w = CWindowWnd::FromHandle(hwnd);
    if (w == nullptr) return FALSE;
    op(*w);
    return TRUE;
  }
  if (!IsWindow(hwnd)) return FALSE;
  queue.PostCallback([hwnd, op] {
    if (CWindowWnd* w = CWindowWnd::FromHandle(hwnd)) op(*w);
  });
  return TRUE;
}

}  // namespace

BOOL ShowWindow(HWND hwnd, int command) {
  return OnUiThread(hwnd, [command](CWindowWnd& w) { w.ShowWindowCmd(command); });
}

BOOL SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
  return OnUiThread(hwnd, [=](CWindowWnd& w) { w.SetWindowPos(insert_after, x, y, cx, cy, flags); });
}

BOOL InvalidateRect(HWND hwnd) {
  return OnUiThread(hwnd, [](CWindowWnd& w) { w.Invalidate(); });
}

BOOL IsWindowVisible(HWND hwnd) {
  if (!CMessageQueue::Instance().IsUiThread()) return FALSE;
  CWindowWnd* w = CWindowWnd::FromHandle(hwnd);
  return w != nullptr && w->IsWindowVisible() ? TRUE : FALSE;
}

BOOL GetWindowRect(HWND hwnd, UiRect* rc) {
  if (rc == nullptr || !CMessageQueue::Instance().IsUiThread()) return FALSE;
  CWindowWnd* w = CWindowWnd::FromHandle(hwnd);
  if (w == nullptr) return FALSE;
  *rc = w->GetWindowRect();
  return TRUE;
}

BOOL GetCursorPos(UiPoint* pt) {
  if (pt == nullptr || !CMessageQueue::Instance().IsUiThread()) return FALSE;
  *pt = CurrentCursorPos();
  return TRUE;
}

}  // namespace trx::ui

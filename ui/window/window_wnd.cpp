#include "ui/window/window_wnd.h"

#include <algorithm>
#include <vector>

#include "ui/window/message_queue.h"
#include "ui/window/win_api.h"

namespace trx::ui {
namespace {
// Every live library window, in creation order (UI thread only).
std::vector<CWindowWnd*>& LiveWindows() {
  static std::vector<CWindowWnd*> windows;
  return windows;
}
}  // namespace

CWindowWnd::CWindowWnd() = default;

CWindowWnd::~CWindowWnd() {
  // A subclass is already gone here, so no messages can be sent; only the
  // registrations are withdrawn so that nobody reaches a dead object.
  if (m_hWnd != nullptr) {
    const HWND hwnd = m_hWnd;
    window_registry::Unregister(hwnd);
    CMessageQueue::Instance().ForgetWindow(hwnd);
    std::erase(LiveWindows(), this);
    native_.reset();
    m_hWnd = nullptr;
  }
}

CWindowWnd* CWindowWnd::FromHandle(HWND hwnd) {
  return dynamic_cast<CWindowWnd*>(window_registry::Lookup(hwnd));
}

HWND CWindowWnd::Create(HWND parent, const char* name, DWORD style, DWORD ex_style, int x, int y,
                        int cx, int cy) {
  if (m_hWnd != nullptr) return m_hWnd;
  CMessageQueue& queue = CMessageQueue::Instance();
  if (!queue.IsUiThread()) queue.BindToCurrentThread();
  parent_ = parent;
  title_ = name ? name : "";
  style_ = style;
  ex_style_ = ex_style;
  top_most_ = (ex_style & WS_EX_TOPMOST) != 0;
  const int left = x == CW_USEDEFAULT ? 0 : x;
  const int top = y == CW_USEDEFAULT ? 0 : y;
  const int width = cx == CW_USEDEFAULT ? 0 : cx;
  const int height = cy == CW_USEDEFAULT ? 0 : cy;
  rect_ = {left, top, left + width, top + height};
  m_hWnd = window_registry::Register(this);
  LiveWindows().push_back(this);
  if (IWindowBackend* backend = GetWindowBackend()) {
    native_ = backend->CreateNativeWindow(this);
    if (native_) {
      native_->SetTitle(title_);
      native_->SetGeometry(rect_);
      native_->SetTopMost(top_most_);
    }
  }
  const HWND self = m_hWnd;
  if (WindowProc(WM_CREATE, 0, 0) == -1) {
    DestroyWindow();  // may delete this
    return nullptr;
  }
  if (!IsWindow(self)) return nullptr;
  if (style_ & WS_VISIBLE) {
    visible_ = false;
    ShowWindow(true, (ex_style_ & WS_EX_NOACTIVATE) == 0);
  }
  return self;
}

HWND CWindowWnd::Create(HWND parent, const char* name, DWORD style, DWORD ex_style, const UiRect& rc) {
  return Create(parent, name, style, ex_style, rc.left, rc.top, rc.Width(), rc.Height());
}

void CWindowWnd::ApplyVisible(bool visible, bool activate) {
  if (m_hWnd == nullptr || visible_ == visible) return;
  visible_ = visible;
  if (visible) style_ |= WS_VISIBLE; else style_ &= ~WS_VISIBLE;
  if (native_) {
    if (visible && minimized_) native_->SetMinimized(true);  // shown as a taskbar entry
    else native_->SetVisible(visible, activate);
  }
  WindowProc(WM_SHOWWINDOW, visible ? 1 : 0, 0);
}

void CWindowWnd::ShowWindow(bool show, bool take_focus) {
  ApplyVisible(show, take_focus);
}

void CWindowWnd::ShowWindowCmd(int command) {
  if (m_hWnd == nullptr) return;
  switch (command) {
    case SW_HIDE:
      ApplyVisible(false, false);
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      if (!minimized_) {
        minimized_ = true;
        if (native_) native_->SetMinimized(true);
        WindowProc(WM_SIZE, SIZE_MINIMIZED, 0);
      }
      ApplyVisible(true, false);
      break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
      if (minimized_) {
        minimized_ = false;
        if (native_) native_->SetMinimized(false);
        WindowProc(WM_SIZE, SIZE_RESTORED, MakeLParam(rect_.Width(), rect_.Height()));
      }
      ApplyVisible(true, true);
      if (native_ && visible_) native_->SetVisible(true, true);
      break;
    case SW_SHOWNOACTIVATE:
      ApplyVisible(true, false);
      break;
    default:  // SW_SHOW, SW_SHOWMAXIMIZED and the rest show the window
      ApplyVisible(true, true);
      break;
  }
}

void CWindowWnd::EnableWindow(bool enable) {
  if (enabled_ == enable) return;
  enabled_ = enable;
  if (enable) style_ &= ~WS_DISABLED; else style_ |= WS_DISABLED;
  if (native_) native_->SetEnabled(enable);
  if (m_hWnd) WindowProc(WM_ENABLE, enable ? 1 : 0, 0);
}

UINT CWindowWnd::ShowModal() {
  if (m_hWnd == nullptr) return 0;
  const HWND self = m_hWnd;
  const HWND owner = parent_;
  CWindowWnd* owner_wnd = FromHandle(owner);
  if (owner_wnd) owner_wnd->EnableWindow(false);
  UINT result = 0;
  modal_result_ = &result;
  ShowWindow(true, true);
  CMessageQueue& queue = CMessageQueue::Instance();
  queue.RunUntil([&] { return !IsWindow(self) || queue.QuitRequested(); });
  // The window may be deleted by now: only locals from here on.
  if (CWindowWnd* still = FromHandle(self)) still->modal_result_ = nullptr;
  if (CWindowWnd* o = FromHandle(owner)) {
    o->EnableWindow(true);
    if (o->Native()) o->Native()->Activate();
  }
  return result;
}

void CWindowWnd::Close(UINT result) {
  if (m_hWnd == nullptr) return;
  PostMessage(WM_CLOSE, result, 0);
}

void CWindowWnd::DestroyWindow() {
  if (m_hWnd == nullptr || destroying_) return;
  destroying_ = true;
  const HWND self = m_hWnd;
  // Owned windows go first, newest first, as the desktop does it.
  std::vector<HWND> owned;
  for (CWindowWnd* w : LiveWindows())
    if (w != this && w->parent_ == self && w->m_hWnd) owned.push_back(w->m_hWnd);
  for (auto it = owned.rbegin(); it != owned.rend(); ++it)
    if (CWindowWnd* w = FromHandle(*it)) w->DestroyWindow();
  if (visible_) {
    visible_ = false;
    if (native_) native_->SetVisible(false, false);
  }
  WindowProc(WM_DESTROY, 0, 0);
  WindowProc(WM_NCDESTROY, 0, 0);  // finishes; may delete this
}

void CWindowWnd::FinishDestroy() {
  const HWND hwnd = m_hWnd;
  window_registry::Unregister(hwnd);
  CMessageQueue::Instance().ForgetWindow(hwnd);
  std::erase(LiveWindows(), this);
  native_.reset();
  m_hWnd = nullptr;
  destroying_ = false;
}

LRESULT CWindowWnd::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  const HWND self = m_hWnd;
  if (msg == WM_CLOSE && modal_result_ != nullptr) *modal_result_ = static_cast<UINT>(wparam);
  const LRESULT result = HandleMessage(msg, wparam, lparam);
  if (msg == WM_NCDESTROY && m_hWnd == self && self != nullptr) {
    FinishDestroy();
    OnFinalMessage(self);  // may delete this
  }
  return result;
}

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  return DefWindowProc(msg, wparam, lparam);
}

LRESULT CWindowWnd::DefWindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  (void)lparam;
  switch (msg) {
    case WM_CLOSE:
      DestroyWindow();
      return 0;
    case WM_SYSCOMMAND:
      switch (wparam & 0xFFF0) {
        case SC_CLOSE:
          SendMessage(WM_CLOSE, 0, 0);
          return 0;
        case SC_MINIMIZE:
          ShowWindowCmd(SW_MINIMIZE);
          return 0;
        case SC_RESTORE:
          ShowWindowCmd(SW_RESTORE);
          return 0;
        case SC_MAXIMIZE:
          ShowWindowCmd(SW_SHOWMAXIMIZED);
          return 0;
        default:
          return 0;
      }
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_NCACTIVATE:
      return TRUE;
    default:
      return 0;
  }
}

void CWindowWnd::OnFinalMessage(HWND) {}

void CWindowWnd::ApplyGeometry(const UiRect& rc, bool to_native) {
  if (m_hWnd == nullptr) return;
  const bool resized = rc.Width() != rect_.Width() || rc.Height() != rect_.Height();
  const bool moved = rc.left != rect_.left || rc.top != rect_.top;
  if (!resized && !moved) return;
  rect_ = rc;
  if (to_native && native_) native_->SetGeometry(rect_);
  if (moved) WindowProc(WM_MOVE, 0, MakeLParam(rc.left, rc.top));
  if (resized && m_hWnd)
    WindowProc(WM_SIZE, minimized_ ? SIZE_MINIMIZED : SIZE_RESTORED, MakeLParam(rc.Width(), rc.Height()));
}

void CWindowWnd::OnNativeGeometry(const UiRect& rc) { ApplyGeometry(rc, false); }

void CWindowWnd::OnNativeActivate(bool active) {
  if (m_hWnd) WindowProc(WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
}

void CWindowWnd::OnNativeMinimized(bool minimized) {
  if (m_hWnd == nullptr || minimized_ == minimized) return;
  minimized_ = minimized;
  WindowProc(WM_SIZE, minimized ? SIZE_MINIMIZED : SIZE_RESTORED,
             minimized ? 0 : MakeLParam(rect_.Width(), rect_.Height()));
}

void CWindowWnd::CenterWindow() {
  if (m_hWnd == nullptr) return;
  UiRect area = CurrentWorkArea();
  if (CWindowWnd* owner = FromHandle(parent_); owner && owner->IsWindowVisible())
    area = owner->GetWindowRect();
  const int w = rect_.Width();
  const int h = rect_.Height();
  int x = area.left + (area.Width() - w) / 2;
  int y = area.top + (area.Height() - h) / 2;
  // Keep the window on the work area.
  const UiRect work = CurrentWorkArea();
  x = std::max(work.left, std::min(x, work.right - w));
  y = std::max(work.top, std::min(y, work.bottom - h));
  ApplyGeometry({x, y, x + w, y + h}, true);
}

void CWindowWnd::MoveWindow(int x, int y, int cx, int cy) {
  ApplyGeometry({x, y, x + cx, y + cy}, true);
}

void CWindowWnd::SetWindowPos(HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
  if (m_hWnd == nullptr) return;
  UiRect rc = rect_;
  if (!(flags & SWP_NOMOVE)) rc = rc.Offset(x - rc.left, y - rc.top);
  if (!(flags & SWP_NOSIZE)) rc = {rc.left, rc.top, rc.left + cx, rc.top + cy};
  ApplyGeometry(rc, true);
  if (!(flags & SWP_NOZORDER)) {
    if (insert_after == HWND_TOPMOST || insert_after == HWND_NOTOPMOST) {
      top_most_ = insert_after == HWND_TOPMOST;
      if (top_most_) ex_style_ |= WS_EX_TOPMOST; else ex_style_ &= ~WS_EX_TOPMOST;
      if (native_) native_->SetTopMost(top_most_);
    }
  }
  if (flags & SWP_SHOWWINDOW) ApplyVisible(true, !(flags & SWP_NOACTIVATE));
  if (flags & SWP_HIDEWINDOW) ApplyVisible(false, false);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
  const int w = cx < 0 ? rect_.Width() : cx;
  const int h = cy < 0 ? rect_.Height() : cy;
  ApplyGeometry({rect_.left, rect_.top, rect_.left + w, rect_.top + h}, true);
}

void CWindowWnd::SetWindowText(const char* title) {
  title_ = title ? title : "";
  if (native_) native_->SetTitle(title_);
}

void CWindowWnd::Invalidate() {
  if (native_) native_->Invalidate();
}

void CWindowWnd::AttachPaintManager(CPaintManagerUI* pm) {
  if (native_) native_->AttachPaintManager(pm);
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  return trx::ui::SendMessage(m_hWnd, msg, wparam, lparam);
}

bool CWindowWnd::PostMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  return trx::ui::PostMessage(m_hWnd, msg, wparam, lparam) != FALSE;
}

}  // namespace trx::ui

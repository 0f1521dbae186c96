#include "ui/window/window_impl_base.h"

#include "platform/debug_log.h"
#include "ui/window/messages.h"
#include "ui/window/null_renderer.h"
#include "ui/window/win_api.h"

namespace trx::ui {

WindowImplBase::~WindowImplBase() { AttachPaintManager(nullptr); }

void WindowImplBase::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyClick && msg.pSender != nullptr) OnClick(msg);
}

CControlUI* WindowImplBase::CreateControl(std::string_view) { return nullptr; }

void WindowImplBase::OnClick(TNotifyUI& msg) {
  const std::string& name = msg.pSender->GetName();
  if (name == "closebtn") {
    Close(1);
  } else if (name == "minbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else if (name == "maxbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  } else if (name == "restorebtn") {
    SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
  }
}

LRESULT WindowImplBase::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  LRESULT result = 0;
  bool handled = true;
  switch (msg) {
    case WM_CREATE: result = OnCreate(msg, wparam, lparam, handled); break;
    case WM_CLOSE: result = OnClose(msg, wparam, lparam, handled); break;
    case WM_DESTROY: result = OnDestroy(msg, wparam, lparam, handled); break;
    case WM_NCACTIVATE: result = OnNcActivate(msg, wparam, lparam, handled); break;
    case WM_NCCALCSIZE: result = OnNcCalcSize(msg, wparam, lparam, handled); break;
    case WM_NCPAINT: result = OnNcPaint(msg, wparam, lparam, handled); break;
    case WM_NCHITTEST: result = OnNcHitTest(msg, wparam, lparam, handled); break;
    case WM_GETMINMAXINFO: result = OnGetMinMaxInfo(msg, wparam, lparam, handled); break;
    case WM_SIZE: result = OnSize(msg, wparam, lparam, handled); break;
    case WM_SYSCOMMAND: result = OnSysCommand(msg, wparam, lparam, handled); break;
    case WM_KEYDOWN: result = OnKeyDown(msg, wparam, lparam, handled); break;
    default: handled = false; break;
  }
  if (handled) return result;
  result = HandleCustomMessage(msg, wparam, lparam, handled);
  if (handled) return result;
  if (m_hWnd == nullptr) return result;  // a handler destroyed the window
  if (msg == WM_SHOWWINDOW && wparam != 0 && Native() == nullptr && !m_pm.IsWindowInitSent() &&
      !paint_queued_) {
    paint_queued_ = PostMessage(WM_PAINT, 0, 0);
  }
  if (msg == WM_PAINT && Native() == nullptr) {
    PaintHeadless();
    return 0;
  }
  if (m_pm.MessageHandler(msg, wparam, lparam, result)) return result;
  return DefWindowProc(msg, wparam, lparam);
}

void WindowImplBase::PaintHeadless() {
  paint_queued_ = false;
  if (m_pm.GetRoot() == nullptr) return;
  NullRenderer renderer;
  const UiRect client = GetClientRect();
  m_pm.Paint(renderer, client);
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool& handled) {
  handled = true;
  // Frameless: the layout draws its own caption.
  SetStyle((GetStyle() & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  m_pm.Init(m_hWnd, Native() ? Native()->PaintHost() : nullptr, GetWindowClassName());
  CDialogBuilder builder;
  CControlUI* root = builder.Create(GetSkinFile(), {}, this, &m_pm);
  if (root == nullptr) {
    DebugLine(kDebugSkinLoadFailed);
    return -1;
  }
  m_pm.AttachDialog(root);
  m_pm.AddNotifier(this);
  const UiSize init = m_pm.GetInitSize();
  if (init.cx > 0 && init.cy > 0) ResizeClient(init.cx, init.cy);
  const UiRect client = GetClientRect();
  m_pm.SetClientSize({client.Width(), client.Height()});
  AttachPaintManager(&m_pm);
  InitWindow();
  return 0;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  AttachPaintManager(nullptr);
  return 0;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wparam, LPARAM, bool& handled) {
  if (IsMinimized()) {
    handled = false;
    return 0;
  }
  return wparam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, bool&) { return 0; }

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool&) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lparam, bool& handled) {
  handled = true;
  const UiRect rc = GetWindowRect();
  const int sx = static_cast<std::int16_t>(LoWord(static_cast<std::uintptr_t>(lparam)));
  const int sy = static_cast<std::int16_t>(HiWord(static_cast<std::uintptr_t>(lparam)));
  return CaptionHitTest({sx - rc.left, sy - rc.top});
}

LRESULT WindowImplBase::CaptionHitTest(UiPoint pt) {
  const UiRect client = GetClientRect();
  const UiRect& caption = m_pm.GetCaptionRect();
  if (pt.x >= client.left + caption.left && pt.x < client.right - caption.right &&
      pt.y >= caption.top && pt.y < caption.bottom) {
    // Only the caption's own surface drags: labels, plain controls and the
    // layouts. Any control placed on top of it (buttons, options, texts,
    // edits, lists, sliders ...) is a click.
    CControlUI* control = m_pm.FindControl(pt);
    if (control != nullptr) {
      const std::string_view cls = control->GetClass();
      for (std::string_view passive : {"LabelUI", "ControlUI", "ContainerUI", "VerticalLayoutUI", "HorizontalLayoutUI",
                                       "TabLayoutUI"})
        if (cls == passive) return HTCAPTION;
    }
  }
  return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool& handled) {
  // The paint manager takes the new client size; the native side shapes
  // round corners from the layout when it paints.
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT, WPARAM wparam, LPARAM lparam, bool& handled) {
  if ((wparam & 0xFFF0) == SC_CLOSE) {
    SendMessage(WM_CLOSE, 0, 0);
    return 0;
  }
  handled = true;
  return DefWindowProc(WM_SYSCOMMAND, wparam, lparam);
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM wparam, LPARAM, bool& handled) {
  if (wparam == VK_ESCAPE && IsRunningModal()) {
    Close(0);
    return 0;
  }
  if (wparam == VK_RETURN && IsRunningModal() && DefaultButtonName() != nullptr) {
    CControlUI* focus = m_pm.GetFocus();
    const bool focus_takes_enter = focus != nullptr && focus->IsEnabled() &&
                                   (focus->GetClass() == "ButtonUI" || focus->GetClass() == "OptionUI");
    CControlUI* button = m_pm.FindControl(DefaultButtonName());
    if (!focus_takes_enter && button != nullptr && button->IsVisible() && button->IsEnabled()) {
      m_pm.SendNotify(button, kNotifyClick);
      return 0;
    }
  }
  handled = false;
  return 0;
}

}  // namespace trx::ui

#include "ui/window/wnd_ui.h"

#include "ui/core/paint_manager.h"
#include "ui/window/win_api.h"
#include "ui/window/window_wnd.h"

namespace trx::ui {

CWndUI::CWndUI() = default;

CWndUI::~CWndUI() {
  if (hosted_ != nullptr && IsWindow(hosted_)) ShowWindow(hosted_, SW_HIDE);
}

std::string_view CWndUI::GetClass() const { return "Wnd"; }

void* CWndUI::GetInterface(std::string_view name) {
  if (name == "Wnd") return this;
  return CControlUI::GetInterface(name);
}

void CWndUI::Attach(HWND hwnd) {
  hosted_ = hwnd;
  PlaceHostedWindow();
}

void CWndUI::SetPos(const UiRect& rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  PlaceHostedWindow();
}

void CWndUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  PlaceHostedWindow();
}

void CWndUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  PlaceHostedWindow();
}

void CWndUI::PlaceHostedWindow() {
  if (hosted_ == nullptr || !IsWindow(hosted_)) return;
  UiRect rc = rcItem_;
  const HWND paint_window = manager_ != nullptr ? manager_->GetPaintWindow() : nullptr;
  const CWindowWnd* hosted = CWindowWnd::FromHandle(hosted_);
  const bool child = hosted != nullptr && (hosted->GetStyle() & WS_CHILD) != 0 && paint_window != nullptr &&
                     hosted->GetParent() == paint_window;
  UiRect outer{};
  if (!child && paint_window != nullptr && GetWindowRect(paint_window, &outer)) {
    rc = {rc.left + outer.left, rc.top + outer.top, rc.right + outer.left, rc.bottom + outer.top};
  }
  SetWindowPos(hosted_, nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(hosted_, IsVisible() ? SW_SHOWNOACTIVATE : SW_HIDE);
}

}  // namespace trx::ui

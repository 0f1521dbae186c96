#include "ui/window/menu_wnd.h"

#include <algorithm>
#include <vector>

#include "ui/window/win_api.h"

namespace trx::ui {
namespace {
// Menus whose window is open (UI thread only).
std::vector<CMenuWnd*>& OpenMenus() {
  static std::vector<CMenuWnd*> menus;
  return menus;
}
}  // namespace

CMenuWnd::CMenuWnd() = default;

CMenuWnd::~CMenuWnd() {
  std::erase(OpenMenus(), this);
  if (GetHWND() != nullptr) DestroyWindow();
}

void CMenuWnd::Init(CMenuElementUI*, std::string_view xml, UiPoint point, CPaintManagerUI* main_pm,
                    void*, DWORD alignment) {
  if (GetHWND() != nullptr) return;
  xml_ = std::string(xml);
  point_ = point;
  alignment_ = alignment;
  receiver_ = main_pm ? main_pm->GetPaintWindow() : nullptr;
  if (Create(receiver_, "", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, 0, 0, 0, 0) == nullptr) return;
  OpenMenus().push_back(this);
  ShowWindow(true, true);
}

void CMenuWnd::InitWindow() {
  menu_ = static_cast<CMenuUI*>(m_pm.GetRoot() ? m_pm.GetRoot()->GetInterface("Menu") : nullptr);
  Place();
}

void CMenuWnd::Place() {
  UiSize size{160, 0};
  if (menu_ != nullptr) size = menu_->EstimateMenuSize();
  int x = point_.x;
  int y = point_.y;
  if (alignment_ & eMenuAlignment_Right) x -= size.cx;
  if (alignment_ & eMenuAlignment_Bottom) y -= size.cy;
  // Keep the menu on the screen.
  const UiRect work = CurrentWorkArea();
  x = std::max(work.left, std::min(x, work.right - size.cx));
  y = std::max(work.top, std::min(y, work.bottom - size.cy));
  MoveWindow(x, y, size.cx, size.cy);
  m_pm.SetClientSize(size);
}

void CMenuWnd::ResizeMenu() {
  if (GetHWND() == nullptr) return;
  m_pm.NeedUpdate();
  Place();
  Invalidate();
}

void CMenuWnd::DestroyMenu() {
  std::vector<CMenuWnd*> menus = OpenMenus();
  OpenMenus().clear();
  for (auto it = menus.rbegin(); it != menus.rend(); ++it) (*it)->DestroyWindow();
}

int CMenuWnd::OpenMenuCount() { return static_cast<int>(OpenMenus().size()); }

void CMenuWnd::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyItemClick || msg.pSender == nullptr) return;
  auto* element = static_cast<CMenuElementUI*>(msg.pSender->GetInterface("MenuElement"));
  if (element == nullptr) return;
  MenuCmd* cmd = element->MakeCommand();
  // The record is the receiver's from here; if nobody can receive it, it
  // is released here instead of leaking.
  if (!trx::ui::PostMessage(receiver_, WM_MENUCLICK, reinterpret_cast<WPARAM>(cmd), 0)) delete cmd;
  DestroyMenu();  // this window too; nothing of it is used below
}

LRESULT CMenuWnd::HandleCustomMessage(UINT msg, WPARAM wparam, LPARAM, bool& handled) {
  handled = false;
  if ((msg == WM_ACTIVATE && wparam == WA_INACTIVE) || msg == WM_KILLFOCUS ||
      (msg == WM_KEYDOWN && wparam == VK_ESCAPE)) {
    Close(0);
    handled = true;
  } else if (msg == WM_KEYDOWN && menu_ != nullptr && (wparam == VK_UP || wparam == VK_DOWN)) {
    // Arrow keys move the highlight over the visible, enabled items.
    const int count = menu_->GetCount();
    int index = menu_->GetCurSel();
    for (int step = 0; step < count; ++step) {
      index = wparam == VK_DOWN ? (index + 1 + count) % count : (index - 1 + count) % count;
      CControlUI* item = menu_->GetItemAt(index);
      if (item && item->IsVisible() && item->IsEnabled() && item->GetInterface("MenuElement")) {
        menu_->SelectItem(index, false, false);
        break;
      }
    }
    handled = true;
  } else if (msg == WM_KEYDOWN && menu_ != nullptr && wparam == VK_RETURN) {
    // Enter chooses the highlighted item as a click would.
    handled = true;
    if (CControlUI* item = menu_->GetItemAt(menu_->GetCurSel())) {
      TNotifyUI click;
      click.sType = kNotifyItemClick;
      click.pSender = item;
      Notify(click);  // may destroy this window
    }
  } else if (msg == WM_DESTROY) {
    std::erase(OpenMenus(), this);
  }
  return 0;
}

}  // namespace trx::ui

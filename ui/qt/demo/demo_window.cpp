#include "ui/qt/demo/demo_window.h"

#include <cstdio>

#include "ui/core/color_palette.h"
#include "ui/core/combo.h"
#include "ui/core/container.h"
#include "ui/core/list.h"
#include "ui/core/option.h"
#include "ui/core/progress.h"
#include "ui/window/win_api.h"

namespace trx::ui::demo {

CDemoWnd::~CDemoWnd() {
  CMenuWnd::DestroyMenu();
  delete menu_;
}

void CDemoWnd::InitWindow() {
  if (CControlUI* c = m_pm.FindControl("key_tinted")) {
    c->SetIsChangerColor(true);
    c->SetChangerColor(0xFFFF0000);
    c->SetChangerAlpha(160);
  }
  if (CControlUI* c = m_pm.FindControl("key_tinted2")) {
    c->SetIsChangerColor(true);
    c->SetChangerColor(0xFF00C853);
    c->SetChangerAlpha(255);
  }
  if (auto* list = static_cast<CListExUI*>(m_pm.FindControl("list_macros"))) {
    list->InitListCtrl();
    const char* names[] = {"连发 Rapid fire", "Copy / paste", "狙击 Sniper breath", "Build order"};
    for (int i = 0; i < 4; ++i) {
      auto* row = new CListTextElementUI;
      list->Add(row);
      row->SetText(0, std::to_string(i + 1));
      row->SetText(1, names[i]);
      row->SetText(2, std::to_string((i + 1) * 6));
    }
  }
  if (auto* palette = static_cast<CColorPaletteUI*>(m_pm.FindControl("palette")))
    palette->SetSelectColor(0xFF0199CB);
  if (auto* combo = static_cast<CComboUI*>(m_pm.FindControl("combo_profile"))) combo->SelectItem1(0);
  tray_.CreateTrayIcon(m_hWnd, 107, "TRX770");
}

void CDemoWnd::SetStatus(const std::string& text) {
  if (CControlUI* status = m_pm.FindControl("status")) status->SetText(text);
}

void CDemoWnd::Notify(TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (msg.sType == kNotifyClick && name == "menubtn") {
    delete menu_;  // the previous menu's window is closed by now
    menu_ = new CMenuWnd;
    const UiRect rc = msg.pSender->GetPos();
    const UiRect wnd = GetWindowRect();
    menu_->Init(nullptr, "menu.xml", {wnd.left + rc.left, wnd.top + rc.bottom}, &m_pm);
    return;
  }
  if (msg.sType == kNotifySelectChanged && name.rfind("tab_", 0) == 0) {
    auto* pages = static_cast<CTabLayoutUI*>(m_pm.FindControl("pages"));
    const int page = name == "tab_controls" ? 0 : name == "tab_lists" ? 1 : 2;
    if (pages) pages->SelectItem(page);
  }
  if (msg.sType == kNotifyColorChanged) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "#%08X", static_cast<unsigned>(msg.wParam));
    if (CControlUI* show = m_pm.FindControl("color_show")) show->SetBkColor(static_cast<UiColor>(msg.wParam));
    if (CControlUI* text = m_pm.FindControl("color_text")) text->SetText(hex);
  }
  if (msg.sType == kNotifyValueChanged || msg.sType == kNotifyMoveValueChanged) {
    if (auto* slider = static_cast<CProgressUI*>(msg.pSender->GetInterface("Progress"))) {
      if (auto* progress = static_cast<CProgressUI*>(m_pm.FindControl("progress")))
        progress->SetValue(slider->GetValue() * 5);
      SetStatus(msg.sType + " " + name + " = " + std::to_string(slider->GetValue()));
      return;
    }
  }
  if (msg.sType != kNotifyWindowInit && msg.sType != kNotifyMouseEnter && msg.sType != kNotifyMouseLeave &&
      msg.sType != kNotifySetFocus && msg.sType != kNotifyKillFocus && msg.sType != kNotifyWindowSize)
    SetStatus(msg.sType + ": " + name);
  WindowImplBase::Notify(msg);
}

LRESULT CDemoWnd::HandleCustomMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
  handled = false;
  if (msg == WM_MENUCLICK) {
    handled = true;
    auto* cmd = reinterpret_cast<MenuCmd*>(wparam);
    if (cmd == nullptr) return 0;
    const std::string name = cmd->szName;
    const std::string text = cmd->szText;
    m_pm.DeletePtr(cmd);
    if (name == "exit") Close(0);
    else SetStatus("menu: " + name + " (" + text + ")");
  } else if (msg == UIMSG_TRAYICON) {
    handled = true;
    if (lparam == WM_LBUTTONUP) ShowWindowCmd(SW_RESTORE);
  } else if (msg == WM_DESTROY) {
    tray_.DeleteTrayIcon();
    PostQuitMessage(0);
  }
  return 0;
}

}  // namespace trx::ui::demo

#pragma once
// CMenuWnd: a pop-up menu window built from a menu layout (<Menu> with
// <MenuElement> items). Clicking an item posts the menu-click message
// (WM_MENUCLICK, 0x0479) to the window of the paint manager given to Init,
// with a heap MenuCmd {name, user data, text} in wParam that the receiver
// releases with CPaintManagerUI::DeletePtr; then every open menu closes.
// A menu also closes when it loses activation or on Escape; Up and Down
// move the highlight and Enter chooses the highlighted item.
//
// Ownership: the menu window never deletes itself; whoever created the
// object deletes it (after DestroyMenu, or once its window is gone).
// DestroyMenu closes every open menu's window at once.
//
// UI thread only.

#include <string>

#include "ui/core/menu.h"
#include "ui/window/window_impl_base.h"

namespace trx::ui {

// Where the menu lies relative to the point given to Init.
enum MenuAlignment : DWORD {
  eMenuAlignment_Left = 1 << 1,    // left edge at the point (opens to the right)
  eMenuAlignment_Top = 1 << 2,     // top edge at the point (opens downwards)
  eMenuAlignment_Right = 1 << 3,   // right edge at the point
  eMenuAlignment_Bottom = 1 << 4,  // bottom edge at the point
};

class CMenuWnd : public WindowImplBase {
 public:
  CMenuWnd();
  ~CMenuWnd() override;

  // Builds the menu from xml (resource key, file name or XML text), places
  // it at point (screen coordinates) with the alignment, shows and
  // activates it. owner_element is accepted for sub-menus (unused: null);
  // main_pm's window receives the menu-click messages. check_info is
  // accepted for call compatibility and must be null.
  void Init(CMenuElementUI* owner_element, std::string_view xml, UiPoint point,
            CPaintManagerUI* main_pm, void* check_info = nullptr,
            DWORD alignment = eMenuAlignment_Left | eMenuAlignment_Top);
  // The menu body (root of the layout), null when the layout failed.
  CMenuUI* GetMenuUI() const { return menu_; }
  // Resizes the window to the menu's items and places it again.
  void ResizeMenu();
  // Closes every open menu window now.
  static void DestroyMenu();
  // Number of menu windows open (tests, diagnostics).
  static int OpenMenuCount();

  void Notify(TNotifyUI& msg) override;

 protected:
  const char* GetWindowClassName() const override { return "MenuWnd"; }
  std::string GetSkinFile() override { return xml_; }
  LRESULT HandleCustomMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
  void InitWindow() override;

 private:
  void Place();

  std::string xml_;
  UiPoint point_{};
  DWORD alignment_ = eMenuAlignment_Left | eMenuAlignment_Top;
  HWND receiver_ = nullptr;
  CMenuUI* menu_ = nullptr;
};

}  // namespace trx::ui

#pragma once
// The demo's window: the layout demo.xml with every control kind, a menu
// from menu.xml and a tray icon. Notifications are shown in the "status"
// label so a user (or a screenshot) sees what each control reported.
// UI thread only.

#include "ui/window/menu_wnd.h"
#include "ui/window/tray_icon.h"
#include "ui/window/window_impl_base.h"

namespace trx::ui::demo {

class CDemoWnd : public WindowImplBase {
 public:
  CDemoWnd() = default;
  ~CDemoWnd() override;
  void InitWindow() override;
  void Notify(TNotifyUI& msg) override;

 protected:
  const char* GetWindowClassName() const override { return "DemoWnd"; }
  std::string GetSkinFile() override { return "demo.xml"; }
  LRESULT HandleCustomMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  void SetStatus(const std::string& text);
  CTrayIcon tray_;
  CMenuWnd* menu_ = nullptr;
};

}  // namespace trx::ui::demo

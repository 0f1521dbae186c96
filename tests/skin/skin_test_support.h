#pragma once
// The main layout's page elements and their files, and a builder callback building them (and the
// circle progress the main window's hook makes).

#include <map>
#include <string>
#include <string_view>

#include "ui/core/circle_progress.h"
#include "ui/core/dialog_builder.h"
#include "ui/core/paint_manager.h"

namespace trx::ui::skin_test {

inline const std::map<std::string, std::string> kPages = {
    {"kb_Key_UI", "keyboard_key.xml"},   {"kb_Deng_UI", "keyboard_deng.xml"}, {"kb_Macro_UI", "keyboard_macro.xml"},
    {"MS_Deng_UI", "Mouse_deng.xml"},    {"MS_Macro_UI", "Mouse_macro.xml"},  {"MS_Key_UI", "Mouse_key.xml"},
    {"MP_deng_UI", "MousePad_deng.xml"}, {"MS_DPI_UI", "Mouse_DPI.xml"},      {"MS_CURSOR_UI", "Mouse_cursor.xml"},
};

class PageBuilder : public IDialogBuilderCallback {
 public:
  explicit PageBuilder(CPaintManagerUI* pm) : pm_(pm) {}
  CControlUI* CreateControl(std::string_view cls) override {
    if (cls == "CircleProgress") return new CCircleProgressUI();
    auto it = kPages.find(std::string(cls));
    if (it == kPages.end()) return nullptr;
    CControlUI* root = CDialogBuilder().Create(it->second, {}, nullptr, pm_, nullptr);
    built[it->first] = root != nullptr;
    return root;
  }
  std::map<std::string, bool> built;  // page element -> whether its file built

 private:
  CPaintManagerUI* pm_;
};

}  // namespace trx::ui::skin_test

#pragma once
// Controls: the pages' view of the window's control tree. Pages act on
// their controls through typed handles bound once (control_handles.h);
// this gives the page set and the key lights the lookup they bind with,
// and the pages the paint manager (the owner window of their dialogs).
//
// UI thread only.

#include <string_view>

#include "ui/core/control.h"
#include "ui/core/paint_manager.h"

namespace trx::pages {

class Controls {
 public:
  explicit Controls(ui::CPaintManagerUI& pm) : pm_(pm) {}

  ui::CPaintManagerUI& PaintManager() const { return pm_; }
  // The named control, or null (absent).
  ui::CControlUI* Find(std::string_view name) const { return pm_.FindControl(name); }

 private:
  ui::CPaintManagerUI& pm_;
};

}  // namespace trx::pages

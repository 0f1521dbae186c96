#pragma once
// Controls: the pages' null-safe, typed view of the window's control tree.
// Every lookup goes by name through the paint manager; a control the
// layout lacks reads as null and every helper then does nothing, so a
// renamed control can never crash a page (the layout tests catch it).
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
  ui::CControlUI* Find(std::string_view name) const { return pm_.FindControl(name); }
  // The named control as T, or null (absent or of another class).
  template <typename T>
  T* As(std::string_view name) const {
    return dynamic_cast<T*>(Find(name));
  }

  void Show(std::string_view name, bool visible) const;
  void Enable(std::string_view name, bool enabled) const;
  void Toggle(std::string_view name) const;  // visibility
  bool IsVisible(std::string_view name) const;
  // Shows a hidden control / hides a shown one (no change otherwise).
  void ShowIfHidden(std::string_view name) const;
  void HideIfShown(std::string_view name) const;
  // Selects page `page` of the named tab layout.
  void SelectPage(std::string_view tab_layout, int page) const;
  int CurrentPage(std::string_view tab_layout) const;  // -1: no such layout
  // Selects the named option, raising its notification when `notify`.
  void SelectOption(std::string_view name, bool notify = true) const;
  void SetText(std::string_view name, std::string_view text) const;
  // Selects item `index` of the named combo (raising "itemselect").
  void SelectComboItem(std::string_view name, int index) const;

 private:
  ui::CPaintManagerUI& pm_;
};

}  // namespace trx::pages

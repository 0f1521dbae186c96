#pragma once
// Typed handles to a page's controls. A page keeps a struct of handles and
// lists them with their names in Bindings(); the page set binds every
// handle once, when it attaches the pages to the built layout (at once
// when the layout is there, else at window init). A control the layout
// lacks, or one of another class, leaves its handle null, and every helper
// on a null handle does nothing, so a renamed control cannot crash a page
// (the layout test walks every page's bindings against the real skin).
//
// UI thread only.

#include <concepts>
#include <string>
#include <string_view>
#include <vector>

#include "ui/core/combo.h"
#include "ui/core/container.h"
#include "ui/core/control.h"
#include "ui/core/option.h"

namespace trx::pages {

class CHandleBase {
 public:
  // Takes `control` when it is of the handle's class (null: unbound);
  // false when it is absent or of another class.
  virtual bool Take(ui::CControlUI* control) = 0;

 protected:
  ~CHandleBase() = default;
};

template <typename T = ui::CControlUI>
class Handle final : public CHandleBase {
 public:
  bool Take(ui::CControlUI* control) override {
    ptr_ = dynamic_cast<T*>(control);
    return ptr_ != nullptr;
  }
  T* get() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

  void Show(bool visible) const {
    if (ptr_ != nullptr) ptr_->SetVisible(visible);
  }
  void Enable(bool enabled) const {
    if (ptr_ != nullptr) ptr_->SetEnabled(enabled);
  }
  bool IsVisible() const { return ptr_ != nullptr && ptr_->IsVisible(); }
  // Shows it when hidden / hides it when shown (no change otherwise).
  void ShowIfHidden() const {
    if (ptr_ != nullptr && !ptr_->IsVisible()) ptr_->SetVisible(true);
  }
  void HideIfShown() const {
    if (ptr_ != nullptr && ptr_->IsVisible()) ptr_->SetVisible(false);
  }
  void Toggle() const {
    if (ptr_ != nullptr) ptr_->SetVisible(!ptr_->IsVisible());
  }
  void SetText(std::string_view text) const {
    if (ptr_ != nullptr) ptr_->SetText(text);
  }
  // Tab layouts: selects page `page`; the page shown, -1 when unbound.
  void SelectPage(int page) const
    requires std::derived_from<T, ui::CTabLayoutUI>
  {
    if (ptr_ != nullptr) ptr_->SelectItem(page);
  }
  int CurrentPage() const
    requires std::derived_from<T, ui::CTabLayoutUI>
  {
    return ptr_ != nullptr ? ptr_->GetCurSel() : -1;
  }
  // Options: selects it, raising its notification when `notify`.
  void Select(bool notify = true) const
    requires std::derived_from<T, ui::COptionUI>
  {
    if (ptr_ != nullptr) ptr_->Selected(true, notify);
  }

 private:
  T* ptr_ = nullptr;
};

// One row of a page's binding table.
struct ControlBinding {
  std::string name;
  CHandleBase* handle;
};
using ControlBindings = std::vector<ControlBinding>;

}  // namespace trx::pages

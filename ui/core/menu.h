#pragma once
// The controls a menu window is built from: CMenuUI (the vertical list of
// a menu layout, root element <Menu>) and CMenuElementUI (one item, element
// <MenuElement name= text= userdata= .../>). The menu window (ui/window)
// listens for "itemclick" from an element, builds a MenuCmd with
// MakeCommand and posts it to its owner with the menu-click message; the
// owner releases it with CPaintManagerUI::DeletePtr. Keyboard: with the
// focus on the menu, Up/Down move the selection and Enter/Space raise
// "itemclick" for the selected element. A checked element shows a tick in
// its text colour. UI thread only.

#include <string>

#include "ui/core/list.h"

namespace trx::ui {

// The menu command record carried in wParam of the menu-click message.
struct MenuCmd {
  std::string szName;
  std::string szUserData;
  std::string szText;
  bool bChecked = false;
};

class CMenuElementUI : public CListContainerElementUI {
 public:
  CMenuElementUI();
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  bool IsChecked() const { return checked_; }
  void SetChecked(bool checked) { checked_ = checked; Invalidate(); }
  // A new record for this item (owned by the receiver; DeletePtr frees it).
  MenuCmd* MakeCommand() const;
  bool SetAttribute(std::string_view name, std::string_view value) override;
  void PaintText(IRenderer& r) override;
  void PaintStatusImage(IRenderer& r) override;
  void DoEvent(TEventUI& event) override;
  // A separator ("separator" attribute): a line between groups of items,
  // never hot and never chosen.
  bool IsSeparator() const { return separator_; }
  void SetSeparator(bool separator) { separator_ = separator; Invalidate(); }

 private:
  bool checked_ = false;
  bool separator_ = false;
  std::string icon_;
};

class CMenuUI : public CListUI {
 public:
  CMenuUI();
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  // The size the menu window needs: the menu's fixed width (default 160)
  // and the sum of the visible items' heights plus insets and borders.
  UiSize EstimateMenuSize() const;
  void DoEvent(TEventUI& event) override;
};

}  // namespace trx::ui

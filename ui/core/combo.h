#pragma once
// CComboUI: a drop-down choice of list items (CListLabelElementUI and
// friends). The items are children of the combo but are not laid out in the
// window; the host shows them in a popup (IPaintHost::OpenDropDown), which
// paints them with PaintDropDown and maps clicks with DropDownItemAt.
// SelectItem(index, takeFocus, notify=true) raises "itemselect" (wParam new
// index, lParam previous) when the selection changes; SelectItem1 changes it
// silently (used when filling pages from stored settings). The combo shows
// the selected item's text. Adding an item at the end costs O(1) (only the
// items after an insertion point are renumbered). UI thread only.

#include "ui/core/container.h"
#include "ui/core/list.h"

namespace trx::ui {

class CComboUI : public CContainerUI, public IListOwnerUI {
 public:
  CComboUI();
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  bool IsFocusable() const override { return true; }

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  bool RemoveAt(int index) override;
  void RemoveAll() override;
  // Moves an item; the selection stays on the same item.
  bool SetItemIndex(CControlUI* control, int index) override;

  const TListInfoUI& GetListInfo() const override { return info_; }
  TListInfoUI& ListInfo() { return info_; }
  int GetCurSel() const override { return curSel_; }
  bool SelectItem(int index, bool takeFocus = false, bool notify = true) override;
  bool SelectItem1(int index, bool takeFocus = false, bool notify = false) {
    return SelectItem(index, takeFocus, notify);
  }
  // Shown text: the selected item's text, else the combo's own text.
  std::string GetText() const override;
  // The layout's tooltip, else the chosen item's whole text (the closed
  // combo cuts a long one with an ellipsis).
  std::string GetToolTip() const override;

  UiSize GetDropBoxSize() const { return dropBoxSize_; }
  void SetDropBoxSize(UiSize sz) { dropBoxSize_ = sz; }
  // Height of all items stacked (the popup's natural height).
  int GetItemsHeight() const;
  // Lays the items out from area's top (scrolled up by scrollY) and paints
  // them; the popup passes its own client area.
  void PaintDropDown(IRenderer& r, const UiRect& area, int scrollY = 0);
  // Index of the item at pt in the same layout; -1 for none.
  int DropDownItemAt(UiPoint pt, const UiRect& area, int scrollY = 0) const;
  bool IsDroppedDown() const { return droppedDown_; }
  // The popup reports that it closed.
  void OnDropDownClosed();

  bool SetAttribute(std::string_view name, std::string_view value) override;
  void SetPos(const UiRect& rc, bool needInvalidate = true) override;
  void DoEvent(TEventUI& event) override;
  bool Activate() override;
  void PaintStatusImage(IRenderer& r) override;
  void PaintText(IRenderer& r) override;

 protected:
  bool ChildrenInTree() const override { return false; }

 private:
  // Gives the items from `from` on their position as index.
  void Reindex(int from);
  TListInfoUI info_;
  int curSel_ = -1;
  UiSize dropBoxSize_{0, 150};
  bool droppedDown_ = false;
  unsigned buttonState_ = 0;
  std::string normalImage_, hotImage_, pushedImage_, focusedImage_, disabledImage_;
  UiRect textPadding_{};
  UiColor textColor_ = 0xFF000000;
  int font_ = -1;
};

}  // namespace trx::ui

#pragma once
// Lists and their items.
//  - IListOwnerUI: what an item asks of its owner (a list or a combo).
//  - CListLabelElementUI: one text item; CListTextElementUI: one text per
//    column (columns from the list header); CListContainerElementUI: an item
//    laid out horizontally from child controls.
//  - CListUI / CListExUI: a vertical list with an optional header
//    (CListHeaderUI of CListHeaderItemUI columns) and a scrolling body.
// Input: button down on an item raises "itemclick" (sender: the item) and
// then selects it, which raises "itemselect" on the owner (wParam: the new
// index, lParam: the previous one) when the selection changed; a double
// click raises "itemactivate" (sender: the item). Up/Down keys and the wheel
// move the selection / scroll. UI thread only.

#include "ui/core/container.h"
#include "ui/core/button.h"
#include "ui/core/label.h"

namespace trx::ui {

// Look of the items, set on the owner ("itemfont", "itemtextcolor",
// "itembkcolor", "itemselectedbkcolor", "itemhotbkcolor",
// "itemselectedtextcolor", "itemhottextcolor", "itemdisabledtextcolor",
// "itemalign", "itemtextpadding", "itemlinecolor", "itemheight").
struct TListInfoUI {
  int font = -1;
  unsigned textStyle = DT_VCENTER | DT_SINGLELINE;
  UiRect textPadding{};
  UiColor textColor = 0xFF000000;
  UiColor bkColor = 0;
  UiColor selectedTextColor = 0xFF000000;
  UiColor selectedBkColor = 0xFFC1E3FF;
  UiColor hotTextColor = 0xFF000000;
  UiColor hotBkColor = 0xFFE9F5FF;
  UiColor disabledTextColor = 0xFFCCCCCC;
  UiColor lineColor = 0;
  int itemHeight = 0;     // 0: items keep their own height (default 25)
  bool showHtml = false;
  std::vector<UiRect> columns;  // column spans from the header (x only)
};

class IListOwnerUI {
 public:
  virtual ~IListOwnerUI() = default;
  virtual const TListInfoUI& GetListInfo() const = 0;
  virtual int GetCurSel() const = 0;
  virtual bool SelectItem(int index, bool takeFocus = false, bool notify = true) = 0;
};

// Item behaviour shared by the element classes.
class IListItemUI {
 public:
  virtual ~IListItemUI() = default;
  int GetIndex() const { return index_; }
  void SetIndex(int index) { index_ = index; }
  IListOwnerUI* GetOwner() const { return owner_; }
  void SetOwner(IListOwnerUI* owner) { owner_ = owner; }
  bool IsSelected() const { return selected_; }
  // Marks the item (the owner's SelectItem calls this; no notification).
  virtual void SetSelectedState(bool selected) { selected_ = selected; }
  bool IsHotItem() const { return hotItem_; }

 protected:
  // Shared input handling; returns true when the event was used.
  bool HandleItemEvent(CControlUI* self, TEventUI& event);
  // Background for the item's state.
  void PaintItemBk(CControlUI* self, IRenderer& r);
  int index_ = -1;
  IListOwnerUI* owner_ = nullptr;
  bool selected_ = false;
  bool hotItem_ = false;
};

class CListLabelElementUI : public CLabelUI, public IListItemUI {
 public:
  CListLabelElementUI();
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  UiSize EstimateSize(UiSize available) override;
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(IRenderer& r) override;
  void PaintText(IRenderer& r) override;
  void SetSelectedState(bool selected) override;
};

class CListTextElementUI : public CListLabelElementUI {
 public:
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  // Text of column `column` (column 0 is also GetText()).
  std::string GetText(int column) const;
  void SetText(int column, std::string_view text);
  using CListLabelElementUI::GetText;
  using CListLabelElementUI::SetText;
  void PaintText(IRenderer& r) override;

 private:
  std::vector<std::string> columnTexts_;  // columns 1..n
};

class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
 public:
  CListContainerElementUI();
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(IRenderer& r) override;
  void SetSelectedState(bool selected) override;
};

class CListHeaderItemUI : public CButtonUI {
 public:
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  bool IsFocusable() const override { return false; }
};

class CListHeaderUI : public CHorizontalLayoutUI {
 public:
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
};

class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
 public:
  CListUI();
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  bool IsFocusable() const override { return true; }

  // Items (the header is not counted).
  CControlUI* GetItemAt(int index) const override;
  int GetItemIndex(const CControlUI* control) const override;
  int GetCount() const override;
  // Moves an item; the selection stays on the same item.
  bool SetItemIndex(CControlUI* control, int index) override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  bool RemoveAt(int index) override;
  void RemoveAll() override;
  CListHeaderUI* GetHeader() const { return header_; }
  CVerticalLayoutUI* GetBody() const { return body_; }

  const TListInfoUI& GetListInfo() const override { return info_; }
  TListInfoUI& ListInfo() { return info_; }
  int GetCurSel() const override { return curSel_; }
  bool SelectItem(int index, bool takeFocus = false, bool notify = true) override;
  // Scrolls so that item index is visible.
  void EnsureVisible(int index);

  bool SetAttribute(std::string_view name, std::string_view value) override;
  void SetPos(const UiRect& rc, bool needInvalidate = true) override;
  void DoEvent(TEventUI& event) override;

 protected:
  void Reindex(int from);
  CListHeaderUI* header_ = nullptr;
  CVerticalLayoutUI* body_ = nullptr;
  TListInfoUI info_;
  int curSel_ = -1;
};

class CListExUI : public CListUI {
 public:
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  // Prepares the columns from the header (call after the header changed).
  void InitListCtrl();
};

// Shared attribute parsing of TListInfoUI ("item..." names).
bool SetListInfoAttribute(TListInfoUI& info, std::string_view name, std::string_view value);

}  // namespace trx::ui

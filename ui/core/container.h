#pragma once
// Containers: CContainerUI (children stacked over the inset area),
// CVerticalLayoutUI, CHorizontalLayoutUI and CTabLayoutUI (one page shown).
//
// Layout rules (vertical; horizontal swaps the axes):
//  - the content area is the control's rectangle minus "inset";
//  - non-floating visible children with a fixed height get it; the rest
//    share what is left equally (honouring min/max height);
//  - "childpadding" is put between consecutive children, each child's
//    "padding" around it; a child's width is its fixed width or the content
//    width;
//  - floating children are placed at "pos" relative to the container's
//    top-left corner (width/height fill in a missing right/bottom);
//  - "childalign"/"childvalign" place children smaller than the area.
// A container owns its children. UI thread only.

#include <vector>

#include "ui/core/control.h"

namespace trx::ui {

class CContainerUI : public CControlUI {
 public:
  CContainerUI() = default;
  ~CContainerUI() override;

  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;

  virtual CControlUI* GetItemAt(int index) const;
  virtual int GetItemIndex(const CControlUI* control) const;  // -1 when absent
  // Moves a child to position index; false when it is not a child or the
  // index is out of range.
  virtual bool SetItemIndex(CControlUI* control, int index);
  virtual int GetCount() const { return static_cast<int>(items_.size()); }
  // First control named `name` inside this container (not itself); null
  // when absent.
  CControlUI* FindSubControl(std::string_view name);
  // Adds and takes ownership; false (control not taken) when null.
  virtual bool Add(CControlUI* control);
  virtual bool AddAt(CControlUI* control, int index);
  // Removes and deletes the control; false when it is not a child.
  virtual bool Remove(CControlUI* control);
  virtual bool RemoveAt(int index);
  virtual void RemoveAll();
  // Removes without deleting; the caller owns the control afterwards.
  CControlUI* Detach(CControlUI* control);

  const UiRect& GetInset() const { return inset_; }
  void SetInset(const UiRect& rc) { inset_ = rc; NeedUpdate(); }
  int GetChildPadding() const { return childPadding_; }
  void SetChildPadding(int p) { childPadding_ = p; NeedUpdate(); }

  void SetPos(const UiRect& rc, bool needInvalidate = true) override;
  bool SetAttribute(std::string_view name, std::string_view value) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  CControlUI* FindControl(const FindPredicate& pred, unsigned flags) override;
  CControlUI* FindControlAt(UiPoint pt) override;
  void DoPaint(IRenderer& r, const UiRect& dirty) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetEnabled(bool enabled = true) override;
  void ReloadText() override;
  void DoEvent(TEventUI& event) override;

  // Vertical scrolling of the content (lists, menus): offset in pixels.
  int GetScrollY() const { return scrollY_; }
  void SetScrollY(int y);
  int GetContentHeight() const { return contentHeight_; }
  // The vertical scroll bar shown at the right edge while the content is
  // taller than the view (scrollable containers only): the strip, and the
  // thumb inside it. Both empty when there is nothing to scroll.
  UiRect GetScrollBarRect() const;
  UiRect GetScrollThumbRect() const;

 protected:
  // Places the floating child at its "pos" relative to the content origin.
  void SetFloatPos(CControlUI* child);
  // Places the visible, non-floating children one after the other along y
  // (`vertical`) or x inside `area`, the first at `start`; stretching
  // children share the rest. Returns the position after the last child and
  // its child padding.
  long long StackChildren(bool vertical, const UiRect& area, long long start);
  // Whether children are painted and hit-tested (combos keep their items
  // to the drop-down).
  virtual bool ChildrenInTree() const { return true; }

  std::vector<CControlUI*> items_;
  UiRect inset_{};
  int childPadding_ = 0;
  int scrollY_ = 0;
  int contentHeight_ = 0;
  bool scrollable_ = false;  // "vscrollbar"
  // Placement of children that do not fill the content area: "childalign"
  // (left, center, right) and "childvalign" (top, vcenter, bottom). Across
  // the layout direction it applies to each child; along it, to the whole
  // run of children when none of them stretches.
  enum class Align { Start, Center, End };
  Align childAlign_ = Align::Start;
  Align childVAlign_ = Align::Start;
  bool thumbDragging_ = false;
  int dragStartY_ = 0;       // pointer y where the thumb drag began
  int dragStartScroll_ = 0;  // scroll offset at that moment
};

class CVerticalLayoutUI : public CContainerUI {
 public:
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  void SetPos(const UiRect& rc, bool needInvalidate = true) override;
};

class CHorizontalLayoutUI : public CContainerUI {
 public:
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  void SetPos(const UiRect& rc, bool needInvalidate = true) override;
};

class CTabLayoutUI : public CContainerUI {
 public:
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  // Shows page `index` and hides the others; false when out of range.
  bool SelectItem(int index);
  bool SelectItem(CControlUI* control);
  int GetCurSel() const { return curSel_; }
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  void RemoveAll() override;
  void SetPos(const UiRect& rc, bool needInvalidate = true) override;
  bool SetAttribute(std::string_view name, std::string_view value) override;

 private:
  int curSel_ = -1;
};

}  // namespace trx::ui

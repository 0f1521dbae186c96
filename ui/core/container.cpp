#include "ui/core/container.h"

#include <algorithm>

#include "ui/core/paint_manager.h"

namespace trx::ui {

namespace {

// Layout positions are summed in 64 bits and clamped back into int range
// (a layout may hold very many children).
int ToCoord(long long v) {
  constexpr long long kLimit = 1LL << 30;
  return static_cast<int>(std::clamp(v, -kLimit, kLimit));
}

int Clamp(int v, int lo, int hi) {
  if (hi > 0 && v > hi) v = hi;
  if (v < lo) v = lo;
  return v;
}

}  // namespace

CContainerUI::~CContainerUI() {
  for (CControlUI* c : items_) delete c;
  items_.clear();
}

std::string_view CContainerUI::GetClass() const { return "ContainerUI"; }

void* CContainerUI::GetInterface(std::string_view name) {
  if (name == "Container" || name == "IContainer") return this;
  return CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size())) return nullptr;
  return items_[static_cast<size_t>(index)];
}

int CContainerUI::GetItemIndex(const CControlUI* control) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i] == control) return static_cast<int>(i);
  }
  return -1;
}

namespace {

// Position among a container's own children (lists and combos override
// GetItemIndex to count items only, so the container's bookkeeping uses this).
int IndexIn(const std::vector<CControlUI*>& items, const CControlUI* control) {
  auto it = std::find(items.begin(), items.end(), control);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

}  // namespace

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
  int from = IndexIn(items_, control);
  if (from < 0 || index < 0 || index >= static_cast<int>(items_.size())) return false;
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + index, control);
  NeedUpdate();
  return true;
}

CControlUI* CContainerUI::FindSubControl(std::string_view name) {
  if (name.empty()) return nullptr;
  for (CControlUI* c : items_) {
    if (CControlUI* found = c->FindControl([name](CControlUI* x) { return x->GetName() == name; }, UIFIND_ME_FIRST)) {
      return found;
    }
  }
  return nullptr;
}

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, static_cast<int>(items_.size())); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (control == nullptr || control == this) return false;
  if (index < 0 || index > static_cast<int>(items_.size())) index = static_cast<int>(items_.size());
  items_.insert(items_.begin() + index, control);
  if (manager_ != nullptr) {
    manager_->InitControls(control, this);
  } else {
    control->SetManager(nullptr, this, false);
  }
  if (!ChildrenInTree()) control->SetInternVisible(true);
  NeedUpdate();
  return true;
}

CControlUI* CContainerUI::Detach(CControlUI* control) {
  int index = IndexIn(items_, control);
  if (index < 0) return nullptr;
  items_.erase(items_.begin() + index);
  if (manager_ != nullptr) manager_->ReapObjects(control);
  control->SetManager(nullptr, nullptr, false);
  NeedUpdate();
  return control;
}

bool CContainerUI::Remove(CControlUI* control) {
  if (Detach(control) == nullptr) return false;
  if (manager_ != nullptr) {
    manager_->DeleteControlLater(control);
  } else {
    delete control;
  }
  return true;
}

bool CContainerUI::RemoveAt(int index) {
  CControlUI* c = GetItemAt(index);
  return c != nullptr && Remove(c);
}

void CContainerUI::RemoveAll() {
  while (!items_.empty()) Remove(items_.back());
  scrollY_ = 0;
  NeedUpdate();
}

void CContainerUI::SetFloatPos(CControlUI* child) {
  const UiRect& pos = child->GetFloatPos();
  long long x = static_cast<long long>(rcItem_.left) + pos.left;
  long long y = static_cast<long long>(rcItem_.top) + pos.top;
  child->SetPos({ToCoord(x), ToCoord(y), ToCoord(x + child->GetFixedWidth()), ToCoord(y + child->GetFixedHeight())});
}

void CContainerUI::SetPos(const UiRect& rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  if (!ChildrenInTree()) return;
  UiRect area = rcItem_.Deflate(inset_);
  for (CControlUI* c : items_) {
    if (!c->IsVisible()) continue;
    if (c->IsFloat()) {
      SetFloatPos(c);
      continue;
    }
    UiRect r = area.Deflate(c->GetPadding());
    UiSize sz = c->EstimateSize({r.Width(), r.Height()});
    if (sz.cx > 0) r.right = std::min(r.right, r.left + sz.cx);
    if (sz.cy > 0) r.bottom = std::min(r.bottom, r.top + sz.cy);
    c->SetPos(r, false);
  }
}

bool CContainerUI::SetAttribute(std::string_view name, std::string_view value) {
  UiRect rc;
  if (name == "inset") {
    if (ParseRect(value, &rc)) SetInset(rc);
  } else if (name == "childpadding") {
    SetChildPadding(ParseCoord(value));
  } else if (name == "vscrollbar") {
    scrollable_ = ParseBool(value);
  } else if (name == "childalign") {
    childAlign_ = value == "center" ? Align::Center : (value == "right" ? Align::End : Align::Start);
    NeedUpdate();
  } else if (name == "childvalign") {
    childVAlign_ = (value == "vcenter" || value == "center") ? Align::Center
                   : (value == "bottom")                     ? Align::End
                                                             : Align::Start;
    NeedUpdate();
  } else if (name == "hscrollbar" || name == "mousechild" || name == "autodestroy" || name == "delayeddestroy") {
    // Accepted; children always take the mouse and are always owned.
  } else {
    return CControlUI::SetAttribute(name, value);
  }
  return true;
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  for (CControlUI* c : items_) c->SetManager(manager, this, init);
  CControlUI::SetManager(manager, parent, init);
  for (CControlUI* c : items_) c->SetInternVisible(!ChildrenInTree() || IsVisible());
}

CControlUI* CContainerUI::FindControl(const FindPredicate& pred, unsigned flags) {
  if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
  if ((flags & UIFIND_ME_FIRST) && pred(this)) return this;
  if (ChildrenInTree() || !(flags & UIFIND_VISIBLE)) {
    if (flags & UIFIND_TOP_FIRST) {
      for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        if (CControlUI* found = (*it)->FindControl(pred, flags)) return found;
      }
    } else {
      for (CControlUI* c : items_) {
        if (CControlUI* found = c->FindControl(pred, flags)) return found;
      }
    }
  }
  if (!(flags & UIFIND_ME_FIRST) && pred(this)) return this;
  return nullptr;
}

namespace {
constexpr int kScrollBarWidth = 8;
constexpr int kMinThumb = 16;
}  // namespace

UiRect CContainerUI::GetScrollBarRect() const {
  UiRect view = rcItem_.Deflate(inset_);
  if (!scrollable_ || contentHeight_ <= view.Height() || view.Width() <= kScrollBarWidth) return {};
  return {view.right - kScrollBarWidth, view.top, view.right, view.bottom};
}

UiRect CContainerUI::GetScrollThumbRect() const {
  UiRect bar = GetScrollBarRect();
  if (bar.IsEmpty()) return {};
  long long track = bar.Height();
  long long thumb = std::max<long long>(kMinThumb, track * track / std::max(1, contentHeight_));
  thumb = std::min(thumb, track);
  long long range = std::max(1, contentHeight_ - bar.Height());
  long long top = bar.top + (track - thumb) * scrollY_ / range;
  return {bar.left, static_cast<int>(top), bar.right, static_cast<int>(top + thumb)};
}

CControlUI* CContainerUI::FindControlAt(UiPoint pt) {
  if (!IsVisible() || !rcItem_.Contains(pt)) return nullptr;
  // The scroll bar lies over the children's right edge.
  if (GetScrollBarRect().Contains(pt)) return this;
  if (ChildrenInTree()) {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
      if (CControlUI* found = (*it)->FindControlAt(pt)) return found;
    }
  }
  return mouseEnabled_ ? this : nullptr;
}

void CContainerUI::DoPaint(IRenderer& r, const UiRect& dirty) {
  if (!rcItem_.Intersects(dirty)) return;
  bool round = borderRound_.cx > 0 || borderRound_.cy > 0;
  r.PushClip(rcItem_, borderRound_.cx, borderRound_.cy);
  PaintBkColor(r);
  PaintBkImage(r);
  PaintStatusImage(r);
  PaintText(r);
  if (ChildrenInTree()) {
    UiRect clip = rcItem_.Intersect(dirty);
    for (CControlUI* c : items_) {
      if (!c->IsVisible()) continue;
      if (!c->GetPos().Intersects(clip)) continue;
      c->DoPaint(r, clip);
    }
  }
  UiRect thumb = GetScrollThumbRect();
  if (!thumb.IsEmpty()) {
    r.FillRoundRect(GetScrollBarRect(), 4, 4, 0x20000000);
    r.FillRoundRect(thumb, 4, 4, thumbDragging_ ? 0xC0606060 : 0x90606060);
  }
  r.PopClip();
  (void)round;
  PaintBorder(r);
  PaintDisabledVeil(r);
}

void CContainerUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  CControlUI::SetVisible(visible);
  bool shown = IsVisible();
  for (CControlUI* c : items_) c->SetInternVisible(!ChildrenInTree() || shown);
}

void CContainerUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  bool shown = IsVisible();
  for (CControlUI* c : items_) c->SetInternVisible(!ChildrenInTree() || shown);
}

void CContainerUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  // Children keep their own flags; input to them is refused while an
  // enclosing container is disabled (see CPaintManagerUI).
}

void CContainerUI::ReloadText() {
  CControlUI::ReloadText();
  for (CControlUI* c : items_) c->ReloadText();
}

void CContainerUI::SetScrollY(int y) {
  int view = rcItem_.Deflate(inset_).Height();
  int maxScroll = std::max(0, contentHeight_ - view);
  y = std::clamp(y, 0, maxScroll);
  if (y == scrollY_) return;
  scrollY_ = y;
  UiRect rc = rcItem_;
  rcItem_ = {};  // force the children to be laid out again
  SetPos(rc);
  Invalidate();
}

void CContainerUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK: {
      UiRect bar = GetScrollBarRect();
      if (!bar.Contains(event.ptMouse)) break;
      UiRect thumb = GetScrollThumbRect();
      if (!thumb.Contains(event.ptMouse)) {
        // A click on the strip pages towards the pointer.
        int page = std::max(1, bar.Height() - 20);
        SetScrollY(scrollY_ + (event.ptMouse.y < thumb.top ? -page : page));
        thumb = GetScrollThumbRect();
      }
      thumbDragging_ = thumb.Contains(event.ptMouse);
      dragStartY_ = event.ptMouse.y;
      dragStartScroll_ = scrollY_;
      return;
    }
    case UIEVENT_MOUSEMOVE:
      if (thumbDragging_) {
        UiRect bar = GetScrollBarRect();
        UiRect thumb = GetScrollThumbRect();
        long long track = bar.Height() - thumb.Height();
        if (track > 0) {
          long long range = contentHeight_ - bar.Height();
          SetScrollY(dragStartScroll_ + static_cast<int>((event.ptMouse.y - dragStartY_) * range / track));
        }
        return;
      }
      break;
    case UIEVENT_BUTTONUP:
      if (thumbDragging_) {
        thumbDragging_ = false;
        return;
      }
      break;
    default:
      break;
  }
  if (event.Type == UIEVENT_SCROLLWHEEL && scrollable_ && contentHeight_ > rcItem_.Deflate(inset_).Height()) {
    int step = 30;
    SetScrollY(scrollY_ + (event.wParam == 0 ? -step : step));
    return;
  }
  CControlUI::DoEvent(event);
}

// ---- the box layouts: one routine along either axis ----

namespace {

// One axis of a box layout. `vertical`: children stack along y (the
// vertical layout); otherwise along x. "Main" is along the stack, "cross"
// across it.
struct Axis {
  bool vertical;
  int Main(UiSize s) const { return vertical ? s.cy : s.cx; }
  int Cross(UiSize s) const { return vertical ? s.cx : s.cy; }
  int MainLength(const UiRect& r) const { return vertical ? r.Height() : r.Width(); }
  int CrossLength(const UiRect& r) const { return vertical ? r.Width() : r.Height(); }
  int MainStart(const UiRect& r) const { return vertical ? r.top : r.left; }
  int CrossStart(const UiRect& r) const { return vertical ? r.left : r.top; }
  int MainEnd(const UiRect& r) const { return vertical ? r.bottom : r.right; }
  int CrossEnd(const UiRect& r) const { return vertical ? r.right : r.bottom; }
  int MinMain(const CControlUI* c) const { return vertical ? c->GetMinHeight() : c->GetMinWidth(); }
  int MaxMain(const CControlUI* c) const { return vertical ? c->GetMaxHeight() : c->GetMaxWidth(); }
  int MinCross(const CControlUI* c) const { return vertical ? c->GetMinWidth() : c->GetMinHeight(); }
  int MaxCross(const CControlUI* c) const { return vertical ? c->GetMaxWidth() : c->GetMaxHeight(); }
  UiRect Rect(int main0, int main1, int cross0, int cross1) const {
    return vertical ? UiRect{cross0, main0, cross1, main1} : UiRect{main0, cross0, main1, cross1};
  }
};

}  // namespace

long long CContainerUI::StackChildren(bool vertical, const UiRect& area, long long start) {
  const Axis axis{vertical};
  const Align along = vertical ? childVAlign_ : childAlign_;
  const Align across = vertical ? childAlign_ : childVAlign_;
  const int crossLength = axis.CrossLength(area);
  const UiSize available{area.Width(), area.Height()};
  // First pass: fixed lengths and the number of stretching children.
  long long fixedTotal = 0;
  int adjustables = 0;
  int visibleCount = 0;
  for (CControlUI* c : items_) {
    if (!c->IsVisible() || c->IsFloat()) continue;
    ++visibleCount;
    const UiRect& pad = c->GetPadding();
    const int main = axis.Main(c->EstimateSize(available));
    if (main == 0) {
      ++adjustables;
      fixedTotal += axis.MinMain(c);
    } else {
      fixedTotal += Clamp(main, axis.MinMain(c), axis.MaxMain(c));
    }
    fixedTotal += axis.MainStart(pad) + axis.MainEnd(pad);
  }
  if (visibleCount > 1) fixedTotal += childPadding_ * (visibleCount - 1);
  long long remain = axis.MainLength(area) - fixedTotal;
  // Stretching children share what is left (the minimum is already counted
  // in fixedTotal, so each gets its minimum and an equal share of the rest).
  int share = adjustables > 0 ? ToCoord(std::max(0LL, remain) / adjustables) : 0;
  int extra = adjustables > 0 ? ToCoord(std::max(0LL, remain) - static_cast<long long>(share) * adjustables) : 0;

  long long pos = start;
  if (adjustables == 0 && remain > 0 && along != Align::Start) {
    pos += along == Align::Center ? remain / 2 : remain;
  }
  int placed = 0;
  for (CControlUI* c : items_) {
    if (!c->IsVisible()) continue;
    if (c->IsFloat()) {
      SetFloatPos(c);
      continue;
    }
    const UiRect& pad = c->GetPadding();
    const UiSize sz = c->EstimateSize(available);
    int cm;
    if (axis.Main(sz) == 0) {
      ++placed;
      cm = axis.MinMain(c) + share + (placed == adjustables ? extra : 0);
      cm = Clamp(cm, axis.MinMain(c), axis.MaxMain(c));
    } else {
      cm = Clamp(axis.Main(sz), axis.MinMain(c), axis.MaxMain(c));
    }
    const int crossPad = axis.CrossStart(pad) + axis.CrossEnd(pad);
    int cc = axis.Cross(sz) == 0 ? crossLength - crossPad : axis.Cross(sz);
    cc = Clamp(cc, axis.MinCross(c), axis.MaxCross(c));
    cc = std::min(cc, std::max(0, crossLength - crossPad));
    pos += axis.MainStart(pad);
    long long freeCross = std::max(0, crossLength - crossPad - cc);
    long long offCross = across == Align::Center ? freeCross / 2 : (across == Align::End ? freeCross : 0);
    int cross = ToCoord(static_cast<long long>(axis.CrossStart(area)) + axis.CrossStart(pad) + offCross);
    c->SetPos(axis.Rect(ToCoord(pos), ToCoord(pos + cm), cross, ToCoord(static_cast<long long>(cross) + cc)), false);
    pos += static_cast<long long>(cm) + axis.MainEnd(pad) + childPadding_;
  }
  return pos;
}

// ---- vertical ----

std::string_view CVerticalLayoutUI::GetClass() const { return "VerticalLayoutUI"; }

void* CVerticalLayoutUI::GetInterface(std::string_view name) {
  if (name == "VerticalLayout") return this;
  return CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetPos(const UiRect& rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  UiRect area = rcItem_.Deflate(inset_);
  const long long end = StackChildren(true, area, static_cast<long long>(area.top) - scrollY_);
  contentHeight_ = ToCoord(end - childPadding_ + scrollY_ - area.top);
  if (contentHeight_ < 0) contentHeight_ = 0;
  // Content that shrank (items removed) must not stay scrolled past its end.
  int maxScroll = std::max(0, contentHeight_ - area.Height());
  if (scrollY_ > maxScroll) {
    scrollY_ = maxScroll;
    SetPos(rc, false);
  }
}

// ---- horizontal ----

std::string_view CHorizontalLayoutUI::GetClass() const { return "HorizontalLayoutUI"; }

void* CHorizontalLayoutUI::GetInterface(std::string_view name) {
  if (name == "HorizontalLayout") return this;
  return CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetPos(const UiRect& rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  UiRect area = rcItem_.Deflate(inset_);
  StackChildren(false, area, area.left);
}

// ---- tab ----

std::string_view CTabLayoutUI::GetClass() const { return "TabLayoutUI"; }

void* CTabLayoutUI::GetInterface(std::string_view name) {
  if (name == "TabLayout") return this;
  return CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  int at = GetItemIndex(control);
  if (curSel_ == -1) {
    curSel_ = at;
    control->SetVisible(true);
  } else {
    if (at <= curSel_) ++curSel_;
    control->SetVisible(false);
  }
  return true;
}

bool CTabLayoutUI::Remove(CControlUI* control) {
  int index = GetItemIndex(control);
  if (index < 0) return false;
  bool ok = CContainerUI::Remove(control);
  if (GetCount() == 0) {
    curSel_ = -1;
  } else if (index == curSel_) {
    curSel_ = -1;
    SelectItem(std::min(index, GetCount() - 1));
  } else if (index < curSel_) {
    --curSel_;
  }
  return ok;
}

void CTabLayoutUI::RemoveAll() {
  curSel_ = -1;
  CContainerUI::RemoveAll();
}

bool CTabLayoutUI::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  curSel_ = index;
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetVisible(i == index);
  NeedUpdate();
  Invalidate();
  return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control) { return SelectItem(GetItemIndex(control)); }

void CTabLayoutUI::SetPos(const UiRect& rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  UiRect area = rcItem_.Deflate(inset_);
  for (CControlUI* c : items_) {
    if (!c->IsVisible()) continue;
    if (c->IsFloat()) {
      SetFloatPos(c);
      continue;
    }
    UiRect r = area.Deflate(c->GetPadding());
    UiSize sz = c->EstimateSize({r.Width(), r.Height()});
    if (sz.cx > 0) r.right = std::min(r.right, r.left + sz.cx);
    if (sz.cy > 0) r.bottom = std::min(r.bottom, r.top + sz.cy);
    c->SetPos(r, false);
  }
}

bool CTabLayoutUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "selectedid") {
    SelectItem(ParseInt(value));
    return true;
  }
  return CContainerUI::SetAttribute(name, value);
}

}  // namespace trx::ui

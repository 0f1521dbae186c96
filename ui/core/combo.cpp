#include "ui/core/combo.h"

#include <algorithm>

#include "ui/core/paint_manager.h"

namespace trx::ui {

namespace {

IListItemUI* AsItem(CControlUI* c) {
  return c != nullptr ? static_cast<IListItemUI*>(c->GetInterface("ListItem")) : nullptr;
}

int ItemHeight(CControlUI* c, const TListInfoUI& info) {
  UiSize sz = c->EstimateSize({0, 0});
  if (sz.cy > 0) return sz.cy;
  return info.itemHeight > 0 ? info.itemHeight : 25;
}

}  // namespace

CComboUI::CComboUI() { textPadding_ = {4, 0, 4, 0}; }

std::string_view CComboUI::GetClass() const { return "ComboUI"; }

void* CComboUI::GetInterface(std::string_view name) {
  if (name == "Combo") return this;
  if (name == "IListOwner") return static_cast<IListOwnerUI*>(this);
  return CContainerUI::GetInterface(name);
}

void CComboUI::Reindex(int from) {
  for (int i = from < 0 ? 0 : from; i < GetCount(); ++i) {
    if (IListItemUI* item = AsItem(GetItemAt(i))) item->SetIndex(i);
  }
}

bool CComboUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CComboUI::AddAt(CControlUI* control, int index) {
  if (control == nullptr) return false;
  if (index < 0 || index > GetCount()) index = GetCount();
  if (IListItemUI* item = AsItem(control)) item->SetOwner(this);
  if (!CContainerUI::AddAt(control, index)) return false;
  // Only the items from the new one on move: appending costs O(1).
  Reindex(index);
  if (curSel_ >= index) ++curSel_;
  return true;
}

bool CComboUI::Remove(CControlUI* control) {
  int index = GetItemIndex(control);
  if (index < 0) return false;
  if (IListItemUI* item = AsItem(control)) item->SetOwner(nullptr);
  CContainerUI::Remove(control);
  Reindex(index);
  if (curSel_ == index) curSel_ = -1;
  else if (curSel_ > index) --curSel_;
  Invalidate();
  return true;
}

bool CComboUI::RemoveAt(int index) {
  CControlUI* c = GetItemAt(index);
  return c != nullptr && Remove(c);
}

void CComboUI::RemoveAll() {
  curSel_ = -1;
  CContainerUI::RemoveAll();
  Invalidate();
}

bool CComboUI::SetItemIndex(CControlUI* control, int index) {
  CControlUI* selected = GetItemAt(curSel_);
  if (!CContainerUI::SetItemIndex(control, index)) return false;
  Reindex(0);
  curSel_ = selected != nullptr ? GetItemIndex(selected) : -1;
  return true;
}

bool CComboUI::SelectItem(int index, bool takeFocus, bool notify) {
  if (takeFocus && manager_ != nullptr) manager_->SetFocus(this);
  if (index == curSel_) return true;
  if (index >= GetCount() || index < -1) return false;
  int old = curSel_;
  IListItemUI* item = AsItem(GetItemAt(index));
  if (index >= 0 && item == nullptr) return false;  // selection unchanged
  if (IListItemUI* prev = AsItem(GetItemAt(curSel_))) prev->SetSelectedState(false);
  curSel_ = -1;
  if (index >= 0) {
    item->SetSelectedState(true);
    curSel_ = index;
  }
  Invalidate();
  if (notify && manager_ != nullptr) {
    manager_->SendNotify(this, kNotifyItemSelect, static_cast<WPARAM>(curSel_), old);
  }
  return true;
}

std::string CComboUI::GetText() const {
  if (CControlUI* c = GetItemAt(curSel_)) return c->GetText();
  return CContainerUI::GetText();
}

int CComboUI::GetItemsHeight() const {
  int h = 0;
  for (CControlUI* c : items_) {
    if (c->IsVisible()) h += ItemHeight(c, info_);
  }
  return h;
}

void CComboUI::PaintDropDown(IRenderer& r, const UiRect& area, int scrollY) {
  r.PushClip(area, 0, 0);
  int y = area.top - scrollY;
  for (CControlUI* c : items_) {
    if (!c->IsVisible()) continue;
    int h = ItemHeight(c, info_);
    c->SetPos({area.left, y, area.right, y + h}, false);
    if (y + h > area.top && y < area.bottom) c->DoPaint(r, area);
    y += h;
  }
  r.PopClip();
}

int CComboUI::DropDownItemAt(UiPoint pt, const UiRect& area, int scrollY) const {
  if (!area.Contains(pt)) return -1;
  int y = area.top - scrollY;
  for (size_t i = 0; i < items_.size(); ++i) {
    CControlUI* c = items_[i];
    if (!c->IsVisible()) continue;
    int h = ItemHeight(c, info_);
    if (pt.y >= y && pt.y < y + h) return static_cast<int>(i);
    y += h;
  }
  return -1;
}

void CComboUI::OnDropDownClosed() {
  droppedDown_ = false;
  Invalidate();
}

bool CComboUI::Activate() {
  if (!CControlUI::Activate()) return false;
  IPaintHost* host = manager_ != nullptr ? manager_->GetHost() : nullptr;
  if (host != nullptr && GetCount() > 0) droppedDown_ = host->OpenDropDown(this);
  Notify(kNotifyDropDown);
  Invalidate();
  return true;
}

bool CComboUI::SetAttribute(std::string_view name, std::string_view value) {
  UiSize sz;
  UiRect rc;
  UiColor color = 0;
  if (SetListInfoAttribute(info_, name, value)) {
    Invalidate();
  } else if (name == "dropboxsize") {
    if (ParseSize(value, &sz)) SetDropBoxSize(sz);
  } else if (name == "normalimage") {
    normalImage_ = value;
  } else if (name == "hotimage") {
    hotImage_ = value;
  } else if (name == "pushedimage") {
    pushedImage_ = value;
  } else if (name == "focusedimage") {
    focusedImage_ = value;
  } else if (name == "disabledimage") {
    disabledImage_ = value;
  } else if (name == "textpadding") {
    if (ParseRect(value, &rc)) textPadding_ = rc;
  } else if (name == "textcolor") {
    if (ParseColor(value, &color)) textColor_ = color;
  } else if (name == "font") {
    font_ = ParseInt(value);
  } else if (name == "dropbox" || name == "showshadow" || name == "align") {
    // Accepted for layout compatibility.
  } else if (name == "selectedid") {
    SelectItem(ParseInt(value), false, false);
  } else {
    return CContainerUI::SetAttribute(name, value);
  }
  return true;
}

void CComboUI::SetPos(const UiRect& rc, bool needInvalidate) {
  // The items are laid out by the drop-down, not in the window.
  CControlUI::SetPos(rc, needInvalidate);
}

void CComboUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (IsEnabled() && rcItem_.Contains(event.ptMouse)) {
        buttonState_ |= UISTATE_PUSHED | UISTATE_CAPTURED;
        Invalidate();
        Activate();
      }
      return;
    case UIEVENT_BUTTONUP:
      buttonState_ &= ~static_cast<unsigned>(UISTATE_PUSHED | UISTATE_CAPTURED);
      Invalidate();
      return;
    case UIEVENT_MOUSEENTER:
      buttonState_ |= UISTATE_HOT;
      Invalidate();
      return;
    case UIEVENT_MOUSELEAVE:
      buttonState_ &= ~static_cast<unsigned>(UISTATE_HOT);
      Invalidate();
      return;
    case UIEVENT_KEYDOWN:
      if (event.chKey == VK_UP && curSel_ > 0) {
        SelectItem(curSel_ - 1, false, true);
        return;
      }
      if (event.chKey == VK_DOWN && curSel_ + 1 < GetCount()) {
        SelectItem(curSel_ + 1, false, true);
        return;
      }
      if (event.chKey == VK_RETURN || event.chKey == VK_SPACE) {
        Activate();
        return;
      }
      break;
    case UIEVENT_SCROLLWHEEL: {
      int next = curSel_ + (event.wParam == 0 ? -1 : 1);
      if (IsEnabled() && next >= 0 && next < GetCount()) SelectItem(next, false, true);
      return;
    }
    default:
      break;
  }
  CControlUI::DoEvent(event);
}

void CComboUI::PaintStatusImage(IRenderer& r) {
  bool drawn = false;
  if (!IsEnabled()) {
    if (!disabledImage_.empty()) drawn = DrawImage(r, disabledImage_);
  } else if (buttonState_ & UISTATE_PUSHED) {
    if (!pushedImage_.empty()) drawn = DrawImage(r, pushedImage_);
  } else if (buttonState_ & UISTATE_HOT) {
    if (!hotImage_.empty()) drawn = DrawImage(r, hotImage_);
  } else if (focused_) {
    if (!focusedImage_.empty()) drawn = DrawImage(r, focusedImage_);
  }
  if (!drawn && !normalImage_.empty()) DrawImage(r, normalImage_);
}

std::string CComboUI::GetToolTip() const {
  std::string tip = CControlUI::GetToolTip();
  return tip.empty() ? GetText() : tip;
}

void CComboUI::PaintText(IRenderer& r) {
  std::string text = GetText();
  if (text.empty()) return;
  static const TFontInfo kFallback;
  int font = font_ >= 0 ? font_ : info_.font;
  const TFontInfo& f = manager_ != nullptr ? manager_->GetFont(font) : kFallback;
  UiColor color = IsEnabled() ? textColor_ : info_.disabledTextColor;
  r.DrawText(rcItem_.Deflate(textPadding_), text, color, f, DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

}  // namespace trx::ui

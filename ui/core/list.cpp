#include "ui/core/list.h"

#include <algorithm>

#include "ui/core/paint_manager.h"

namespace trx::ui {

namespace {

constexpr int kDefaultItemHeight = 25;

IListItemUI* AsItem(CControlUI* c) {
  return c != nullptr ? static_cast<IListItemUI*>(c->GetInterface("ListItem")) : nullptr;
}

}  // namespace

bool SetListInfoAttribute(TListInfoUI& info, std::string_view name, std::string_view value) {
  UiColor color = 0;
  UiRect rc;
  if (name == "itemfont") {
    info.font = ParseInt(value);
  } else if (name == "itemalign") {
    info.textStyle &= ~static_cast<unsigned>(DT_CENTER | DT_RIGHT);
    if (value == "center") info.textStyle |= DT_CENTER;
    if (value == "right") info.textStyle |= DT_RIGHT;
  } else if (name == "itemtextpadding") {
    if (ParseRect(value, &rc)) info.textPadding = rc;
  } else if (name == "itemtextcolor") {
    if (ParseColor(value, &color)) info.textColor = color;
  } else if (name == "itembkcolor") {
    if (ParseColor(value, &color)) info.bkColor = color;
  } else if (name == "itemselectedtextcolor") {
    if (ParseColor(value, &color)) info.selectedTextColor = color;
  } else if (name == "itemselectedbkcolor") {
    if (ParseColor(value, &color)) info.selectedBkColor = color;
  } else if (name == "itemhottextcolor") {
    if (ParseColor(value, &color)) info.hotTextColor = color;
  } else if (name == "itemhotbkcolor") {
    if (ParseColor(value, &color)) info.hotBkColor = color;
  } else if (name == "itemdisabledtextcolor") {
    if (ParseColor(value, &color)) info.disabledTextColor = color;
  } else if (name == "itemlinecolor") {
    if (ParseColor(value, &color)) info.lineColor = color;
  } else if (name == "itemheight") {
    info.itemHeight = std::max(0, ParseCoord(value));
  } else if (name == "itemshowhtml") {
    info.showHtml = ParseBool(value);
  } else {
    return false;
  }
  return true;
}

// ---- shared item behaviour ----

bool IListItemUI::HandleItemEvent(CControlUI* self, TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (!self->IsEnabled()) return true;
      if (event.Type == UIEVENT_DBLCLICK) {
        if (CPaintManagerUI* pm = self->GetManager()) pm->SendNotify(self, kNotifyItemActivate);
        return true;
      }
      if (CPaintManagerUI* pm = self->GetManager()) pm->SendNotify(self, kNotifyItemClick);
      // The click handler may have removed the item (it is then detached).
      if (owner_ != nullptr && self->GetManager() != nullptr) {
        owner_->SelectItem(index_, true, true);
      }
      return true;
    case UIEVENT_MOUSEENTER:
      hotItem_ = true;
      self->Invalidate();
      return true;
    case UIEVENT_MOUSELEAVE:
      hotItem_ = false;
      self->Invalidate();
      return true;
    case UIEVENT_BUTTONUP:
    case UIEVENT_MOUSEMOVE:
      return true;
    default:
      return false;
  }
}

void IListItemUI::PaintItemBk(CControlUI* self, IRenderer& r) {
  const TListInfoUI* info = owner_ != nullptr ? &owner_->GetListInfo() : nullptr;
  UiColor color = self->GetBkColor();
  if (info != nullptr) {
    if (selected_ && info->selectedBkColor != 0) color = info->selectedBkColor;
    else if (hotItem_ && self->IsEnabled() && info->hotBkColor != 0) color = info->hotBkColor;
    else if (color == 0) color = info->bkColor;
  }
  if (color != 0) r.FillRect(self->GetPos(), color);
  if (info != nullptr && info->lineColor != 0) {
    const UiRect& rc = self->GetPos();
    r.DrawLine({rc.left, rc.bottom - 1}, {rc.right, rc.bottom - 1}, 1, info->lineColor);
  }
}

// ---- label element ----

CListLabelElementUI::CListLabelElementUI() { textPadding_ = {4, 0, 4, 0}; }

std::string_view CListLabelElementUI::GetClass() const { return "ListLabelElementUI"; }

void* CListLabelElementUI::GetInterface(std::string_view name) {
  if (name == "ListItem") return static_cast<IListItemUI*>(this);
  if (name == "ListLabelElement" || name == "ListElement") return this;
  return CLabelUI::GetInterface(name);
}

UiSize CListLabelElementUI::EstimateSize(UiSize /*available*/) {
  int cy = fixedSize_.cy;
  if (cy == 0 && owner_ != nullptr) cy = owner_->GetListInfo().itemHeight;
  if (cy == 0) cy = kDefaultItemHeight;
  return {fixedSize_.cx, cy};
}

void CListLabelElementUI::DoEvent(TEventUI& event) {
  if (HandleItemEvent(this, event)) return;
  CLabelUI::DoEvent(event);
}

void CListLabelElementUI::SetSelectedState(bool selected) {
  IListItemUI::SetSelectedState(selected);
  Invalidate();
}

void CListLabelElementUI::PaintBkColor(IRenderer& r) { PaintItemBk(this, r); }

void CListLabelElementUI::PaintText(IRenderer& r) {
  if (owner_ == nullptr) {
    CLabelUI::PaintText(r);
    return;
  }
  const TListInfoUI& info = owner_->GetListInfo();
  UiColor color = info.textColor;
  if (!IsEnabled()) color = info.disabledTextColor;
  else if (selected_) color = info.selectedTextColor;
  else if (hotItem_) color = info.hotTextColor;
  if (textColor_ != 0 && !selected_ && !hotItem_) color = textColor_;
  int font = font_ >= 0 ? font_ : info.font;
  static const TFontInfo kFallback;
  const TFontInfo& f = manager_ != nullptr ? manager_->GetFont(font) : kFallback;
  UiRect rc = rcItem_.Deflate(textPadding_).Deflate(info.textPadding);
  std::string text = GetText();
  if (text.empty()) return;
  if (showHtml_ || info.showHtml) {
    r.DrawHtmlText(rc, text, color, f, info.textStyle);
  } else {
    r.DrawText(rc, text, color, f, info.textStyle);
  }
}

// ---- text element (columns) ----

std::string_view CListTextElementUI::GetClass() const { return "ListTextElementUI"; }

void* CListTextElementUI::GetInterface(std::string_view name) {
  if (name == "ListTextElement") return this;
  return CListLabelElementUI::GetInterface(name);
}

std::string CListTextElementUI::GetText(int column) const {
  if (column == 0) return GetText();
  if (column < 0 || column > static_cast<int>(columnTexts_.size())) return {};
  return columnTexts_[static_cast<size_t>(column - 1)];
}

void CListTextElementUI::SetText(int column, std::string_view text) {
  if (column == 0) {
    SetText(text);
    return;
  }
  if (column < 0 || column > 64) return;
  if (static_cast<int>(columnTexts_.size()) < column) columnTexts_.resize(static_cast<size_t>(column));
  columnTexts_[static_cast<size_t>(column - 1)] = std::string(text);
  Invalidate();
}

void CListTextElementUI::PaintText(IRenderer& r) {
  if (owner_ == nullptr || owner_->GetListInfo().columns.empty()) {
    CListLabelElementUI::PaintText(r);
    return;
  }
  const TListInfoUI& info = owner_->GetListInfo();
  UiColor color = selected_ ? info.selectedTextColor : (hotItem_ ? info.hotTextColor : info.textColor);
  if (!IsEnabled()) color = info.disabledTextColor;
  static const TFontInfo kFallback;
  const TFontInfo& f = manager_ != nullptr ? manager_->GetFont(info.font) : kFallback;
  for (size_t i = 0; i < info.columns.size(); ++i) {
    UiRect rc{info.columns[i].left, rcItem_.top, info.columns[i].right, rcItem_.bottom};
    rc = rc.Deflate(info.textPadding);
    std::string text = GetText(static_cast<int>(i));
    if (!text.empty()) r.DrawText(rc, text, color, f, info.textStyle);
  }
}

// ---- container element ----

CListContainerElementUI::CListContainerElementUI() = default;

std::string_view CListContainerElementUI::GetClass() const { return "ListContainerElementUI"; }

void* CListContainerElementUI::GetInterface(std::string_view name) {
  if (name == "ListItem") return static_cast<IListItemUI*>(this);
  if (name == "ListContainerElement" || name == "ListElement") return this;
  return CHorizontalLayoutUI::GetInterface(name);
}

void CListContainerElementUI::DoEvent(TEventUI& event) {
  if (HandleItemEvent(this, event)) return;
  CHorizontalLayoutUI::DoEvent(event);
}

void CListContainerElementUI::SetSelectedState(bool selected) {
  IListItemUI::SetSelectedState(selected);
  Invalidate();
}

void CListContainerElementUI::PaintBkColor(IRenderer& r) { PaintItemBk(this, r); }

// ---- header ----

std::string_view CListHeaderItemUI::GetClass() const { return "ListHeaderItemUI"; }

void* CListHeaderItemUI::GetInterface(std::string_view name) {
  if (name == "ListHeaderItem") return this;
  return CButtonUI::GetInterface(name);
}

std::string_view CListHeaderUI::GetClass() const { return "ListHeaderUI"; }

void* CListHeaderUI::GetInterface(std::string_view name) {
  if (name == "ListHeader") return this;
  return CHorizontalLayoutUI::GetInterface(name);
}

// ---- list ----

CListUI::CListUI() {
  body_ = new CVerticalLayoutUI();
  CVerticalLayoutUI::AddAt(body_, 0);
}

std::string_view CListUI::GetClass() const { return "ListUI"; }

void* CListUI::GetInterface(std::string_view name) {
  if (name == "List" || name == "IList") return this;
  if (name == "IListOwner") return static_cast<IListOwnerUI*>(this);
  return CVerticalLayoutUI::GetInterface(name);
}

CControlUI* CListUI::GetItemAt(int index) const { return body_->GetItemAt(index); }

int CListUI::GetItemIndex(const CControlUI* control) const { return body_->GetItemIndex(control); }

int CListUI::GetCount() const { return body_->GetCount(); }

bool CListUI::SetItemIndex(CControlUI* control, int index) {
  CControlUI* selected = GetItemAt(curSel_);
  if (!body_->SetItemIndex(control, index)) return false;
  Reindex(0);
  curSel_ = selected != nullptr ? GetItemIndex(selected) : -1;
  return true;
}

void CListUI::Reindex(int from) {
  for (int i = std::max(0, from); i < body_->GetCount(); ++i) {
    if (IListItemUI* item = AsItem(body_->GetItemAt(i))) item->SetIndex(i);
  }
}

bool CListUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CListUI::AddAt(CControlUI* control, int index) {
  if (control == nullptr) return false;
  if (auto* header = static_cast<CListHeaderUI*>(control->GetInterface("ListHeader"))) {
    if (header_ != nullptr) CVerticalLayoutUI::Remove(header_);
    header_ = header;
    return CVerticalLayoutUI::AddAt(header, 0);
  }
  if (index < 0 || index > GetCount()) index = GetCount();
  if (IListItemUI* item = AsItem(control)) item->SetOwner(this);
  if (!body_->AddAt(control, index)) return false;
  Reindex(index);
  if (curSel_ >= index) ++curSel_;
  return true;
}

bool CListUI::Remove(CControlUI* control) {
  if (control == header_ && header_ != nullptr) {
    header_ = nullptr;
    return CVerticalLayoutUI::Remove(control);
  }
  int index = GetItemIndex(control);
  if (index < 0) return false;
  if (IListItemUI* item = AsItem(control)) item->SetOwner(nullptr);
  body_->Remove(control);
  Reindex(index);
  if (curSel_ == index) curSel_ = -1;
  else if (curSel_ > index) --curSel_;
  return true;
}

bool CListUI::RemoveAt(int index) {
  CControlUI* c = GetItemAt(index);
  return c != nullptr && Remove(c);
}

void CListUI::RemoveAll() {
  curSel_ = -1;
  body_->RemoveAll();
}

bool CListUI::SelectItem(int index, bool takeFocus, bool notify) {
  if (index == curSel_) {
    // A click on the selected item still gives the list the keyboard.
    if (takeFocus && manager_ != nullptr && index >= 0) manager_->SetFocus(this);
    return true;
  }
  int old = curSel_;
  if (index >= GetCount()) return false;
  CControlUI* c = GetItemAt(index);
  IListItemUI* item = AsItem(c);
  // An item that cannot be chosen leaves the selection as it is.
  if (index >= 0 && (item == nullptr || !c->IsVisible() || !c->IsEnabled())) return false;
  if (IListItemUI* prev = AsItem(GetItemAt(curSel_))) prev->SetSelectedState(false);
  curSel_ = -1;
  if (index < 0) {
    if (notify && manager_ != nullptr) manager_->SendNotify(this, kNotifyItemSelect, static_cast<WPARAM>(-1), old);
    return true;
  }
  item->SetSelectedState(true);
  curSel_ = index;
  EnsureVisible(index);
  if (takeFocus && manager_ != nullptr) manager_->SetFocus(this);
  if (notify && manager_ != nullptr) manager_->SendNotify(this, kNotifyItemSelect, static_cast<WPARAM>(index), old);
  return true;
}

void CListUI::EnsureVisible(int index) {
  CControlUI* c = GetItemAt(index);
  if (c == nullptr) return;
  const UiRect& view = body_->GetPos();
  const UiRect& rc = c->GetPos();
  if (rc.top < view.top) body_->SetScrollY(body_->GetScrollY() - (view.top - rc.top));
  else if (rc.bottom > view.bottom) body_->SetScrollY(body_->GetScrollY() + (rc.bottom - view.bottom));
}

bool CListUI::SetAttribute(std::string_view name, std::string_view value) {
  if (SetListInfoAttribute(info_, name, value)) {
    Invalidate();
    return true;
  }
  if (name == "vscrollbar") return body_->SetAttribute(name, value);
  if (name == "header") {
    if (value == "hidden" && header_ != nullptr) header_->SetVisible(false);
    return true;
  }
  return CVerticalLayoutUI::SetAttribute(name, value);
}

void CListUI::SetPos(const UiRect& rc, bool needInvalidate) {
  // The body always scrolls.
  body_->SetAttribute("vscrollbar", "true");
  CVerticalLayoutUI::SetPos(rc, needInvalidate);
  info_.columns.clear();
  if (header_ != nullptr && header_->IsVisible()) {
    for (int i = 0; i < header_->GetCount(); ++i) {
      CControlUI* col = header_->GetItemAt(i);
      if (col->IsVisible()) info_.columns.push_back(col->GetPos());
    }
  }
}

void CListUI::DoEvent(TEventUI& event) {
  if (event.Type == UIEVENT_KEYDOWN) {
    int count = GetCount();
    int sel = curSel_;
    if (event.chKey == VK_UP) sel = std::max(0, sel - 1);
    else if (event.chKey == VK_DOWN) sel = std::min(count - 1, sel + 1);
    else if (event.chKey == VK_HOME) sel = 0;
    else if (event.chKey == VK_END) sel = count - 1;
    else {
      // The page decides what other keys mean (Delete in an action list).
      if (manager_ != nullptr) manager_->SendNotify(this, kNotifyKeyDown, event.chKey);
      CVerticalLayoutUI::DoEvent(event);
      return;
    }
    if (count > 0 && sel != curSel_) SelectItem(sel, false, true);
    return;
  }
  if (event.Type == UIEVENT_SCROLLWHEEL && body_->GetContentHeight() > body_->GetPos().Height()) {
    // Scrolls the body directly (the body hands unused wheel events up to
    // the list, so asking it would bounce back here).
    body_->SetScrollY(body_->GetScrollY() + (event.wParam == 0 ? -30 : 30));
    return;
  }
  CVerticalLayoutUI::DoEvent(event);
}

std::string_view CListExUI::GetClass() const { return "ListExUI"; }

void* CListExUI::GetInterface(std::string_view name) {
  if (name == "ListEx") return this;
  return CListUI::GetInterface(name);
}

void CListExUI::InitListCtrl() {
  if (header_ == nullptr) {
    auto* header = new CListHeaderUI();
    header->SetFixedHeight(0);
    header->SetVisible(false);
    Add(header);
  }
  NeedUpdate();
}

}  // namespace trx::ui

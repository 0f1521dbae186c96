#include "ui/core/menu.h"

#include "ui/core/paint_manager.h"

namespace trx::ui {

CMenuElementUI::CMenuElementUI() { fixedSize_.cy = 0; }

std::string_view CMenuElementUI::GetClass() const { return "MenuElementUI"; }

void* CMenuElementUI::GetInterface(std::string_view name) {
  if (name == "MenuElement") return this;
  return CListContainerElementUI::GetInterface(name);
}

MenuCmd* CMenuElementUI::MakeCommand() const {
  auto* cmd = new MenuCmd();
  cmd->szName = GetName();
  cmd->szUserData = GetUserData();
  cmd->szText = GetText();
  cmd->bChecked = checked_;
  return cmd;
}

bool CMenuElementUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "checked") {
    SetChecked(ParseBool(value));
  } else if (name == "separator") {
    SetSeparator(ParseBool(value));
  } else if (name == "icon") {
    icon_ = value;
  } else if (name == "checkitem" || name == "shortcut" || name == "linetype" || name == "expand") {
    // Accepted for layout compatibility.
  } else {
    return CListContainerElementUI::SetAttribute(name, value);
  }
  return true;
}

void CMenuElementUI::DoEvent(TEventUI& event) {
  // A separator takes no pointer or key input: it is never hot or chosen.
  if (separator_ && event.Type != UIEVENT_SETFOCUS && event.Type != UIEVENT_KILLFOCUS) return;
  CListContainerElementUI::DoEvent(event);
}

void CMenuElementUI::PaintStatusImage(IRenderer& r) {
  if (separator_) {
    const TListInfoUI* info = owner_ != nullptr ? &owner_->GetListInfo() : nullptr;
    const UiColor line = info != nullptr && info->lineColor != 0 ? info->lineColor : 0xFF3A414D;
    const int cy = (rcItem_.top + rcItem_.bottom) / 2;
    r.FillRect({rcItem_.left + 8, cy, rcItem_.right - 8, cy + 1}, line);
    return;
  }
  if (!icon_.empty()) {
    int size = std::min(16, rcItem_.Height());
    int top = rcItem_.top + (rcItem_.Height() - size) / 2;
    UiRect rc{rcItem_.left + 6, top, rcItem_.left + 6 + size, top + size};
    DrawImage(r, icon_, &rc);
  }
  if (checked_) {
    // The tick in the item's text colour: black would vanish on a dark menu.
    const TListInfoUI* info = owner_ != nullptr ? &owner_->GetListInfo() : nullptr;
    const UiColor tick = info != nullptr ? (hotItem_ ? info->hotTextColor : info->textColor) : 0xFF000000;
    int cy = (rcItem_.top + rcItem_.bottom) / 2;
    r.DrawLine({rcItem_.left + 8, cy}, {rcItem_.left + 11, cy + 3}, 2, tick);
    r.DrawLine({rcItem_.left + 11, cy + 3}, {rcItem_.left + 17, cy - 4}, 2, tick);
  }
}

void CMenuElementUI::PaintText(IRenderer& r) {
  std::string text = GetText();
  if (text.empty() || separator_) return;
  const TListInfoUI* info = owner_ != nullptr ? &owner_->GetListInfo() : nullptr;
  UiColor color = 0xFF000000;
  int font = -1;
  if (info != nullptr) {
    color = hotItem_ ? info->hotTextColor : info->textColor;
    if (!IsEnabled()) color = info->disabledTextColor;
    font = info->font;
  }
  static const TFontInfo kFallback;
  const TFontInfo& f = manager_ != nullptr ? manager_->GetFont(font) : kFallback;
  UiRect rc = rcItem_;
  rc.left += 26;
  r.DrawText(rc, text, color, f, DT_VCENTER | DT_SINGLELINE);
}

CMenuUI::CMenuUI() {
  info_.itemHeight = 0;
  info_.selectedBkColor = 0;
}

std::string_view CMenuUI::GetClass() const { return "MenuUI"; }

void* CMenuUI::GetInterface(std::string_view name) {
  if (name == "Menu") return this;
  return CListUI::GetInterface(name);
}

UiSize CMenuUI::EstimateMenuSize() const {
  int width = fixedSize_.cx > 0 ? fixedSize_.cx : 160;
  int height = inset_.top + inset_.bottom + 2 * borderSize_;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* c = GetItemAt(i);
    if (!c->IsVisible()) continue;
    UiSize sz = c->EstimateSize({width, 0});
    int h = sz.cy > 0 ? sz.cy : (info_.itemHeight > 0 ? info_.itemHeight : 25);
    height += h + c->GetPadding().top + c->GetPadding().bottom;
  }
  return {width, height};
}

void CMenuUI::DoEvent(TEventUI& event) {
  if (event.Type == UIEVENT_KEYDOWN && (event.chKey == VK_RETURN || event.chKey == VK_SPACE)) {
    CControlUI* item = GetItemAt(curSel_);
    if (item != nullptr && item->IsEnabled() && manager_ != nullptr) manager_->SendNotify(item, kNotifyItemClick);
    return;
  }
  CListUI::DoEvent(event);
}

}  // namespace trx::ui

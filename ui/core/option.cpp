#include "ui/core/option.h"

#include <algorithm>

#include "ui/core/paint_manager.h"

namespace trx::ui {

std::string_view COptionUI::GetClass() const { return "OptionUI"; }

void* COptionUI::GetInterface(std::string_view name) {
  if (name == "Option") return this;
  return CButtonUI::GetInterface(name);
}

void COptionUI::SetGroup(std::string_view group) { group_ = group; }

bool COptionUI::Activate() {
  // Like a button, an option reports the click first; its selection change
  // follows, so click handlers see the state before the click.
  if (!CButtonUI::Activate()) return false;
  if (!group_.empty()) {
    Selected(true);
  } else {
    Selected(!selected_);
  }
  return true;
}

void COptionUI::Selected(bool selected, bool notify) {
  if (selected_ == selected) return;
  selected_ = selected;
  Invalidate();
  if (manager_ == nullptr) return;
  if (!group_.empty()) {
    if (!selected_) return;
    // Unselect the group mates silently, then report the new selection.
    std::vector<CControlUI*> mates = manager_->FindControls([this](CControlUI* c) {
      if (c == this) return false;
      auto* o = static_cast<COptionUI*>(c->GetInterface("Option"));
      return o != nullptr && o->GetGroup() == group_ && o->IsSelected();
    });
    for (CControlUI* c : mates) static_cast<COptionUI*>(c->GetInterface("Option"))->Selected(false, notify);
    if (notify) Notify(kNotifySelectChanged, 1);
  } else if (notify) {
    Notify(kNotifySelectChanged, selected_ ? 1 : 0);
  }
}

void COptionUI::DoEvent(TEventUI& event) {
  if (event.Type == UIEVENT_KEYDOWN && !group_.empty() && manager_ != nullptr &&
      (event.chKey == VK_LEFT || event.chKey == VK_UP || event.chKey == VK_RIGHT || event.chKey == VK_DOWN)) {
    bool forward = event.chKey == VK_RIGHT || event.chKey == VK_DOWN;
    std::vector<CControlUI*> group = manager_->FindControls([this](CControlUI* c) {
      auto* o = static_cast<COptionUI*>(c->GetInterface("Option"));
      return o != nullptr && o->GetGroup() == group_;
    });
    auto usable = [](CControlUI* c) {
      for (CControlUI* p = c; p != nullptr; p = p->GetParent()) {
        if (!p->IsVisible() || !p->IsEnabled()) return false;
      }
      return true;
    };
    auto it = std::find(group.begin(), group.end(), this);
    if (it == group.end()) return;
    size_t at = static_cast<size_t>(it - group.begin());
    for (size_t step = 1; step < group.size(); ++step) {
      size_t i = forward ? (at + step) % group.size() : (at + group.size() - step) % group.size();
      if (!usable(group[i])) continue;
      auto* next = static_cast<COptionUI*>(group[i]->GetInterface("Option"));
      next->SetFocus();
      next->Selected(true);
      return;
    }
    return;
  }
  CButtonUI::DoEvent(event);
}

bool COptionUI::SetAttribute(std::string_view name, std::string_view value) {
  UiColor color = 0;
  if (name == "group") {
    SetGroup(value);
  } else if (name == "selected") {
    Selected(ParseBool(value), false);
  } else if (name == "selectedimage") {
    SetSelectedImage(value);
  } else if (name == "selectedhotimage") {
    SetSelectedHotImage(value);
  } else if (name == "selectedbkcolor") {
    if (ParseColor(value, &color)) SetSelectedBkColor(color);
  } else if (name == "selectedtextcolor") {
    if (ParseColor(value, &color)) SetSelectedTextColor(color);
  } else {
    return CButtonUI::SetAttribute(name, value);
  }
  return true;
}

UiColor COptionUI::CurrentTextColor() const {
  if (selected_ && IsEnabled() && selectedTextColor_ != 0) return selectedTextColor_;
  return CButtonUI::CurrentTextColor();
}

void COptionUI::PaintBkColor(IRenderer& r) {
  if (selected_ && selectedBkColor_ != 0) {
    if (borderRound_.cx > 0 || borderRound_.cy > 0) {
      r.FillRoundRect(rcItem_, borderRound_.cx, borderRound_.cy, selectedBkColor_);
    } else {
      r.FillRect(rcItem_, selectedBkColor_);
    }
    return;
  }
  CButtonUI::PaintBkColor(r);
}

void COptionUI::PaintStatusImage(IRenderer& r) {
  if (selected_) {
    bool drawn = false;
    if (IsEnabled() && (buttonState_ & UISTATE_HOT) && !selectedHotImage_.empty()) {
      drawn = DrawImage(r, selectedHotImage_);
    }
    if (!drawn && !selectedImage_.empty()) drawn = DrawImage(r, selectedImage_);
    if (drawn) {
      if (!foreImage_.empty()) DrawImage(r, foreImage_);
      return;
    }
  }
  CButtonUI::PaintStatusImage(r);
}

std::string_view CCheckBoxUI::GetClass() const { return "CheckBoxUI"; }

void* CCheckBoxUI::GetInterface(std::string_view name) {
  if (name == "CheckBox") return this;
  return COptionUI::GetInterface(name);
}

}  // namespace trx::ui

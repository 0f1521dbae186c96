#include "ui/core/button.h"

#include "ui/core/paint_manager.h"

namespace trx::ui {

std::string_view CButtonUI::GetClass() const { return "ButtonUI"; }

void* CButtonUI::GetInterface(std::string_view name) {
  if (name == "Button") return this;
  return CLabelUI::GetInterface(name);
}

bool CButtonUI::Activate() {
  if (!CControlUI::Activate()) return false;
  Notify(kNotifyClick);
  return true;
}

bool CButtonUI::SetAttribute(std::string_view name, std::string_view value) {
  UiColor color = 0;
  if (name == "normalimage") {
    SetNormalImage(value);
  } else if (name == "hotimage") {
    SetHotImage(value);
  } else if (name == "pushedimage") {
    SetPushedImage(value);
  } else if (name == "focusedimage") {
    SetFocusedImage(value);
  } else if (name == "disabledimage") {
    SetDisabledImage(value);
  } else if (name == "foreimage") {
    SetForeImage(value);
  } else if (name == "hotforeimage") {
    SetHotForeImage(value);
  } else if (name == "hotbkcolor") {
    if (ParseColor(value, &color)) SetHotBkColor(color);
  } else if (name == "hottextcolor") {
    if (ParseColor(value, &color)) SetHotTextColor(color);
  } else if (name == "pushedtextcolor") {
    if (ParseColor(value, &color)) SetPushedTextColor(color);
  } else {
    return CLabelUI::SetAttribute(name, value);
  }
  return true;
}

void CButtonUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_KEYDOWN:
      if (event.chKey == VK_SPACE || event.chKey == VK_RETURN) {
        Activate();
        return;
      }
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (rcItem_.Contains(event.ptMouse) && IsEnabled()) {
        buttonState_ |= UISTATE_PUSHED | UISTATE_CAPTURED;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
      if (buttonState_ & UISTATE_CAPTURED) {
        // Pressed look only while the pointer is over the button.
        unsigned before = buttonState_;
        if (rcItem_.Contains(event.ptMouse)) buttonState_ |= UISTATE_PUSHED;
        else buttonState_ &= ~static_cast<unsigned>(UISTATE_PUSHED);
        if (before != buttonState_) Invalidate();
      }
      return;
    case UIEVENT_BUTTONUP:
      if (buttonState_ & UISTATE_CAPTURED) {
        bool inside = rcItem_.Contains(event.ptMouse);
        buttonState_ &= ~static_cast<unsigned>(UISTATE_PUSHED | UISTATE_CAPTURED);
        Invalidate();
        if (inside) Activate();
      }
      return;
    case UIEVENT_MOUSEENTER:
      if (IsEnabled()) {
        buttonState_ |= UISTATE_HOT;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSELEAVE:
      buttonState_ &= ~static_cast<unsigned>(UISTATE_HOT);
      Invalidate();
      return;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

UiColor CButtonUI::CurrentTextColor() const {
  if (IsEnabled()) {
    if ((buttonState_ & UISTATE_PUSHED) && pushedTextColor_ != 0) return pushedTextColor_;
    if ((buttonState_ & UISTATE_HOT) && hotTextColor_ != 0) return hotTextColor_;
  }
  return CLabelUI::CurrentTextColor();
}

void CButtonUI::PaintBkColor(IRenderer& r) {
  if (IsEnabled() && (buttonState_ & UISTATE_HOT) && hotBkColor_ != 0) {
    if (borderRound_.cx > 0 || borderRound_.cy > 0) {
      r.FillRoundRect(rcItem_, borderRound_.cx, borderRound_.cy, hotBkColor_);
    } else {
      r.FillRect(rcItem_, hotBkColor_);
    }
    return;
  }
  CLabelUI::PaintBkColor(r);
}

void CButtonUI::PaintStatusImage(IRenderer& r) {
  // The first available image for the state wins, falling back to normal.
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
  if ((buttonState_ & UISTATE_HOT) && IsEnabled() && !hotForeImage_.empty()) {
    DrawImage(r, hotForeImage_);
  } else if (!foreImage_.empty()) {
    DrawImage(r, foreImage_);
  }
}

}  // namespace trx::ui

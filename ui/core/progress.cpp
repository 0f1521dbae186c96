#include "ui/core/progress.h"

#include <algorithm>
#include <climits>
#include <string>

#include "ui/core/paint_manager.h"

namespace trx::ui {

// ---- progress ----

std::string_view CProgressUI::GetClass() const { return "ProgressUI"; }

void* CProgressUI::GetInterface(std::string_view name) {
  if (name == "Progress") return this;
  return CLabelUI::GetInterface(name);
}

void CProgressUI::SetMinValue(int v) {
  min_ = v;
  if (max_ < min_) max_ = min_;
  value_ = std::clamp(value_, min_, max_);
  Invalidate();
}

void CProgressUI::SetMaxValue(int v) {
  max_ = v;
  if (min_ > max_) min_ = max_;
  value_ = std::clamp(value_, min_, max_);
  Invalidate();
}

void CProgressUI::SetValue(int v) {
  v = std::clamp(v, min_, max_);
  if (v == value_) return;
  value_ = v;
  Invalidate();
}

bool CProgressUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "min") {
    SetMinValue(ParseInt(value));
  } else if (name == "max") {
    SetMaxValue(ParseInt(value));
  } else if (name == "value") {
    SetValue(ParseInt(value));
  } else if (name == "hor") {
    SetHorizontal(ParseBool(value));
  } else if (name == "foreimage") {
    SetForeImage(value);
  } else if (name == "isstretchfore") {
    // Accepted; the fore image is always stretched over the filled part.
  } else {
    return CLabelUI::SetAttribute(name, value);
  }
  return true;
}

UiRect CProgressUI::FilledRect() const {
  UiRect rc = rcItem_;
  if (max_ <= min_) return {rc.left, rc.top, rc.left, rc.top};
  long long span = static_cast<long long>(max_) - min_;
  long long part = static_cast<long long>(value_) - min_;
  if (horizontal_) {
    rc.right = rc.left + static_cast<int>(rc.Width() * part / span);
  } else {
    rc.top = rc.bottom - static_cast<int>(rc.Height() * part / span);
  }
  return rc;
}

void CProgressUI::PaintStatusImage(IRenderer& r) {
  PaintForeColor(r);
  PaintForeImage(r);
}

void CProgressUI::PaintForeColor(IRenderer& r) {
  if (foreColor_ == 0) return;
  UiRect rc = FilledRect();
  if (!rc.IsEmpty()) r.FillRect(rc, foreColor_);
}

void CProgressUI::PaintForeImage(IRenderer& r) {
  if (foreImage_.empty()) return;
  UiRect rc = FilledRect();
  if (rc.IsEmpty()) return;
  r.PushClip(rc, 0, 0);
  DrawImage(r, foreImage_);
  r.PopClip();
}

void ShowOperationProgress(CProgressUI* control, int done, int total) {
  if (control == nullptr || total < 1) return;
  done = std::clamp(done, 0, total);
  control->SetMinValue(0);
  control->SetMaxValue(total);
  control->SetValue(done);
  const long long percent = static_cast<long long>(done) * 100 / total;
  control->SetText(std::to_string(percent) + "%");
  control->SetVisible(true);
}

// ---- slider ----

namespace {

// value + delta without leaving the int range.
int StepFrom(int value, int delta) {
  long long v = static_cast<long long>(value) + delta;
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

}  // namespace

CSliderUI::CSliderUI() = default;

std::string_view CSliderUI::GetClass() const { return "SliderUI"; }

void* CSliderUI::GetInterface(std::string_view name) {
  if (name == "Slider") return this;
  return CProgressUI::GetInterface(name);
}

UiRect CSliderUI::GetThumbRect() const {
  long long span = std::max<long long>(1, static_cast<long long>(max_) - min_);
  long long part = static_cast<long long>(value_) - min_;
  if (horizontal_) {
    int track = std::max(0, rcItem_.Width() - thumbSize_.cx);
    int left = rcItem_.left + static_cast<int>(track * part / span);
    int top = rcItem_.top + (rcItem_.Height() - thumbSize_.cy) / 2;
    return {left, top, left + thumbSize_.cx, top + thumbSize_.cy};
  }
  int track = std::max(0, rcItem_.Height() - thumbSize_.cy);
  int top = rcItem_.bottom - thumbSize_.cy - static_cast<int>(track * part / span);
  int left = rcItem_.left + (rcItem_.Width() - thumbSize_.cx) / 2;
  return {left, top, left + thumbSize_.cx, top + thumbSize_.cy};
}

int CSliderUI::ValueAtPoint(UiPoint pt) const {
  if (max_ <= min_) return min_;
  long long span = static_cast<long long>(max_) - min_;
  long long v;
  if (horizontal_) {
    int track = rcItem_.Width() - thumbSize_.cx;
    if (track <= 0) return min_;
    long long off = std::clamp<long long>(static_cast<long long>(pt.x) - rcItem_.left - thumbSize_.cx / 2, 0, track);
    v = min_ + (off * span + track / 2) / track;
  } else {
    int track = rcItem_.Height() - thumbSize_.cy;
    if (track <= 0) return min_;
    long long off = std::clamp<long long>(static_cast<long long>(rcItem_.bottom) - pt.y - thumbSize_.cy / 2, 0, track);
    v = min_ + (off * span + track / 2) / track;
  }
  // Snap to the step grid counted from min.
  if (step_ > 1) v = min_ + ((v - min_ + step_ / 2) / step_) * static_cast<long long>(step_);
  return static_cast<int>(std::clamp<long long>(v, min_, max_));
}

void CSliderUI::DragTo(UiPoint pt) {
  int v = ValueAtPoint(pt);
  if (v == value_) return;
  SetValue(v);
  Notify(kNotifyMoveValueChanged);
}

bool CSliderUI::SetAttribute(std::string_view name, std::string_view value) {
  UiSize sz;
  if (name == "thumbimage") {
    thumbImage_ = value;
  } else if (name == "thumbhotimage") {
    thumbHotImage_ = value;
  } else if (name == "thumbpushedimage") {
    thumbPushedImage_ = value;
  } else if (name == "thumbsize") {
    if (ParseSize(value, &sz)) SetThumbSize(sz);
  } else if (name == "step") {
    SetChangeStep(ParseInt(value));
  } else if (name == "sendmove") {
    // Moves are always reported while dragging.
  } else {
    return CProgressUI::SetAttribute(name, value);
  }
  return true;
}

void CSliderUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (IsEnabled() && rcItem_.Contains(event.ptMouse)) {
        dragging_ = true;
        DragTo(event.ptMouse);
        Invalidate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
      if (dragging_) {
        DragTo(event.ptMouse);
      } else {
        bool hot = GetThumbRect().Contains(event.ptMouse);
        if (hot != thumbHot_) {
          thumbHot_ = hot;
          Invalidate();
        }
      }
      return;
    case UIEVENT_BUTTONUP:
      if (dragging_) {
        dragging_ = false;
        Invalidate();
        Notify(kNotifyValueChanged);
      }
      return;
    case UIEVENT_MOUSELEAVE:
      thumbHot_ = false;
      Invalidate();
      return;
    case UIEVENT_SCROLLWHEEL:
      if (IsEnabled()) {
        int before = value_;
        SetValue(StepFrom(value_, event.wParam == 0 ? step_ : -step_));
        if (value_ != before) Notify(kNotifyValueChanged);
      }
      return;
    case UIEVENT_KEYDOWN: {
      long long target = value_;
      if (event.chKey == VK_LEFT || event.chKey == VK_DOWN) target = StepFrom(value_, -step_);
      if (event.chKey == VK_RIGHT || event.chKey == VK_UP) target = StepFrom(value_, step_);
      if (event.chKey == VK_HOME) target = min_;
      if (event.chKey == VK_END) target = max_;
      if (target != value_) {
        int before = value_;
        SetValue(static_cast<int>(target));
        if (value_ != before) Notify(kNotifyValueChanged);
        return;
      }
      break;
    }
    default:
      break;
  }
  CProgressUI::DoEvent(event);
}

void CSliderUI::PaintStatusImage(IRenderer& r) {
  CProgressUI::PaintStatusImage(r);
  UiRect thumb = GetThumbRect();
  const std::string* image = &thumbImage_;
  if (dragging_ && !thumbPushedImage_.empty()) image = &thumbPushedImage_;
  else if (thumbHot_ && !thumbHotImage_.empty()) image = &thumbHotImage_;
  if (!image->empty()) {
    DrawImage(r, *image, &thumb);
  } else {
    r.FillEllipse(thumb, IsEnabled() ? 0xFF3C8CE6 : 0xFFAAAAAA);
  }
}

}  // namespace trx::ui

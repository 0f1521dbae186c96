#include "ui/core/circle_progress.h"

namespace trx::ui {

CCircleProgressUI::CCircleProgressUI() = default;
CCircleProgressUI::~CCircleProgressUI() = default;

std::string_view CCircleProgressUI::GetClass() const { return "CircleProgress"; }

void* CCircleProgressUI::GetInterface(std::string_view name) {
  if (name == "CircleProgress") return this;
  return CProgressUI::GetInterface(name);
}

int CCircleProgressUI::SweepDegrees() const {
  if (max_ == min_) return -1;
  const double span = static_cast<double>(max_) - min_;
  const double part = static_cast<double>(value_) - min_;
  return static_cast<int>(part / span * 360.0);
}

bool CCircleProgressUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "innercolor") {
    UiColor c = 0;
    if (ParseColor(value, &c)) SetInnerColor(c);
    return true;
  }
  return CProgressUI::SetAttribute(name, value);
}

void CCircleProgressUI::PaintBkColor(IRenderer& r) {
  if (SweepDegrees() < 0 || bkColor_ == 0) return;
  r.FillEllipse(rcItem_, bkColor_);
}

void CCircleProgressUI::PaintForeColor(IRenderer& r) {
  const int sweep = SweepDegrees();
  if (sweep < 0) return;
  if (sweep > 0 && foreColor_ != 0) r.FillPie(rcItem_, kCircleStartDeg, sweep, foreColor_);
  const UiRect inner{rcItem_.left + kCircleRingWidth, rcItem_.top + kCircleRingWidth,
                     rcItem_.right - kCircleRingWidth, rcItem_.bottom - kCircleRingWidth};
  if (!inner.IsEmpty()) r.FillEllipse(inner, inner_);
}

void CCircleProgressUI::PaintForeImage(IRenderer&) {}

}  // namespace trx::ui

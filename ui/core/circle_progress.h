#pragma once
// CCircleProgressUI ("CircleProgress" in layouts, class "CircleProgress"):
// a progress control drawn as a ring. The background colour ("bkcolor")
// fills the control's inscribed disc; the foreground colour ("forecolor")
// fills the slice for the current value, starting at 6 o'clock and turning
// clockwise; a disc in the inner colour ("innercolor", white by default)
// inset by kCircleRingWidth pixels leaves the ring. The label text (for
// instance "42%") is drawn over the middle. Fore images are not drawn.
//
// sweep = (value - min) / (max - min) * 360, cut to whole degrees; with
// max == min the sweep is undefined and neither disc nor slice is painted.
// UI thread only.

#include "ui/core/progress.h"

namespace trx::ui {

inline constexpr int kCircleRingWidth = 10;
inline constexpr double kCircleStartDeg = 90.0;  // 6 o'clock
inline constexpr UiColor kCircleDefaultInner = 0xFFFFFFFF;

class CCircleProgressUI : public CProgressUI {
 public:
  CCircleProgressUI();
  ~CCircleProgressUI() override;
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;

  UiColor GetInnerColor() const { return inner_; }
  void SetInnerColor(UiColor c) { inner_ = c; Invalidate(); }
  // Whole degrees of the filled slice (0 … 360); -1 when max == min.
  int SweepDegrees() const;

  bool SetAttribute(std::string_view name, std::string_view value) override;
  void PaintBkColor(IRenderer& r) override;
  void PaintForeColor(IRenderer& r) override;
  void PaintForeImage(IRenderer& r) override;

 private:
  UiColor inner_ = kCircleDefaultInner;
};

}  // namespace trx::ui

#pragma once
// CProgressUI: a label showing value within [min, max] as a bar
// ("foreimage" or "forecolor"), horizontal by default. Custom controls
// derive from it and override PaintBkColor / PaintForeColor /
// PaintForeImage. CSliderUI adds a draggable thumb:
//  - button down on the track jumps the value to the pointer and starts a
//    drag; every value change while dragging raises "movevaluechanged";
//  - release raises "valuechanged" (once, also when the value ended where it
//    started); wheel and arrow keys step by "step" and raise "valuechanged".
// UI thread only.

#include "ui/core/label.h"

namespace trx::ui {

class CProgressUI : public CLabelUI {
 public:
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;

  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool h) { horizontal_ = h; Invalidate(); }
  int GetMinValue() const { return min_; }
  void SetMinValue(int v);
  int GetMaxValue() const { return max_; }
  void SetMaxValue(int v);
  int GetValue() const { return value_; }
  // Clamped to [min, max].
  virtual void SetValue(int v);
  const std::string& GetForeImage() const { return foreImage_; }
  void SetForeImage(std::string_view s) { foreImage_ = s; Invalidate(); }

  bool SetAttribute(std::string_view name, std::string_view value) override;
  void PaintStatusImage(IRenderer& r) override;
  virtual void PaintForeColor(IRenderer& r);
  virtual void PaintForeImage(IRenderer& r);

 protected:
  // Rectangle of the filled part for the current value.
  UiRect FilledRect() const;
  bool horizontal_ = true;
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
  std::string foreImage_;
};

// Shows `done` of `total` on a progress control (made visible, range
// 0 ... total, text "NN%"): a long operation's progress. A null control or
// total < 1 does nothing.
void ShowOperationProgress(CProgressUI* control, int done, int total);

class CSliderUI : public CProgressUI {
 public:
  CSliderUI();
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  bool IsFocusable() const override { return true; }

  int GetChangeStep() const { return step_; }
  void SetChangeStep(int step) { step_ = step > 0 ? step : 1; }
  UiSize GetThumbSize() const { return thumbSize_; }
  void SetThumbSize(UiSize sz) { thumbSize_ = sz; Invalidate(); }
  UiRect GetThumbRect() const;
  bool IsDragging() const { return dragging_; }
  // Value for a pointer position on the track.
  int ValueAtPoint(UiPoint pt) const;

  bool SetAttribute(std::string_view name, std::string_view value) override;
  void DoEvent(TEventUI& event) override;
  void PaintStatusImage(IRenderer& r) override;

 private:
  void DragTo(UiPoint pt);
  int step_ = 1;
  UiSize thumbSize_{10, 10};
  bool dragging_ = false;
  bool thumbHot_ = false;
  std::string thumbImage_, thumbHotImage_, thumbPushedImage_;
};

}  // namespace trx::ui

#pragma once
// CButtonUI: a label with state images (normal, hot, pushed, focused,
// disabled) and state colours. A left click released inside raises "click";
// Enter or Space on the focused button does the same. UI thread only.

#include "ui/core/label.h"

namespace trx::ui {

class CButtonUI : public CLabelUI {
 public:
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  bool IsFocusable() const override { return true; }
  bool Activate() override;

  const std::string& GetNormalImage() const { return normalImage_; }
  void SetNormalImage(std::string_view s) { normalImage_ = s; Invalidate(); }
  const std::string& GetHotImage() const { return hotImage_; }
  void SetHotImage(std::string_view s) { hotImage_ = s; Invalidate(); }
  const std::string& GetPushedImage() const { return pushedImage_; }
  void SetPushedImage(std::string_view s) { pushedImage_ = s; Invalidate(); }
  const std::string& GetFocusedImage() const { return focusedImage_; }
  void SetFocusedImage(std::string_view s) { focusedImage_ = s; Invalidate(); }
  const std::string& GetDisabledImage() const { return disabledImage_; }
  void SetDisabledImage(std::string_view s) { disabledImage_ = s; Invalidate(); }
  const std::string& GetForeImage() const { return foreImage_; }
  void SetForeImage(std::string_view s) { foreImage_ = s; Invalidate(); }
  const std::string& GetHotForeImage() const { return hotForeImage_; }
  void SetHotForeImage(std::string_view s) { hotForeImage_ = s; Invalidate(); }
  UiColor GetHotBkColor() const { return hotBkColor_; }
  void SetHotBkColor(UiColor c) { hotBkColor_ = c; Invalidate(); }
  UiColor GetHotTextColor() const { return hotTextColor_; }
  void SetHotTextColor(UiColor c) { hotTextColor_ = c; Invalidate(); }
  UiColor GetPushedTextColor() const { return pushedTextColor_; }
  void SetPushedTextColor(UiColor c) { pushedTextColor_ = c; Invalidate(); }
  // Hover/pressed flags (set by input; readable for tests and pages).
  bool IsHot() const { return (buttonState_ & UISTATE_HOT) != 0; }
  bool IsPushed() const { return (buttonState_ & UISTATE_PUSHED) != 0; }

  bool SetAttribute(std::string_view name, std::string_view value) override;
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(IRenderer& r) override;
  void PaintStatusImage(IRenderer& r) override;

 protected:
  UiColor CurrentTextColor() const override;
  unsigned buttonState_ = 0;
  std::string normalImage_, hotImage_, pushedImage_, focusedImage_, disabledImage_;
  std::string foreImage_, hotForeImage_;
  UiColor hotBkColor_ = 0;
  UiColor hotTextColor_ = 0;
  UiColor pushedTextColor_ = 0;
};

}  // namespace trx::ui

#pragma once
// CLabelUI: text with font, colours, alignment and text padding;
// "showhtml" draws the HTML-ish subset. CTextUI: a label that wraps by
// default (multi-line text blocks). UI thread only.

#include "ui/core/control.h"

namespace trx::ui {

class CLabelUI : public CControlUI {
 public:
  CLabelUI();
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;

  int GetFont() const { return font_; }
  void SetFont(int index) { font_ = index; Invalidate(); }
  UiColor GetTextColor() const { return textColor_; }
  void SetTextColor(UiColor c) { textColor_ = c; Invalidate(); }
  UiColor GetDisabledTextColor() const { return disabledTextColor_; }
  void SetDisabledTextColor(UiColor c) { disabledTextColor_ = c; Invalidate(); }
  unsigned GetTextStyle() const { return textStyle_; }
  void SetTextStyle(unsigned style) { textStyle_ = style; Invalidate(); }
  const UiRect& GetTextPadding() const { return textPadding_; }
  void SetTextPadding(const UiRect& rc) { textPadding_ = rc; Invalidate(); }
  bool IsShowHtml() const { return showHtml_; }
  void SetShowHtml(bool on) { showHtml_ = on; Invalidate(); }

  bool SetAttribute(std::string_view name, std::string_view value) override;
  void PaintText(IRenderer& r) override;
  // The caption's colour over the tint.
  UiColor TintLook(const TImageTint& tint) const override;

 protected:
  // Colour for the current state (subclasses add hot/pushed/selected).
  virtual UiColor CurrentTextColor() const;
  void DrawTextIn(IRenderer& r, const UiRect& rc, const std::string& text, UiColor color);

  int font_ = -1;
  UiColor textColor_ = 0;
  UiColor disabledTextColor_ = 0;
  unsigned textStyle_ = DT_VCENTER | DT_SINGLELINE;
  UiRect textPadding_{};
  bool showHtml_ = false;
};

class CTextUI : public CLabelUI {
 public:
  CTextUI();
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
};

}  // namespace trx::ui

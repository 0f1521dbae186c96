#pragma once
// A renderer that draws nothing. Windows without a native counterpart
// (headless runs and tests) still go through one layout-and-paint pass with
// it, so that the tree is laid out and "windowinit" arrives as it does when
// the window first paints on screen. Text is measured with a fixed advance
// (0.6 of the font size per character) so layouts that size to their text
// stay plausible. UI thread only.

#include "ui/core/renderer.h"

namespace trx::ui {

class NullRenderer : public IRenderer {
 public:
  void FillRect(const UiRect&, UiColor) override {}
  void FillRoundRect(const UiRect&, int, int, UiColor) override {}
  void DrawBorder(const UiRect&, int, UiColor, int, int) override {}
  void DrawLine(UiPoint, UiPoint, int, UiColor) override {}
  void FillGradient(const UiRect&, UiColor, UiColor, bool) override {}
  void FillEllipse(const UiRect&, UiColor) override {}
  void FillPie(const UiRect&, double, double, UiColor) override {}
  bool DrawImage(const UiRect&, const TImageDesc&, const TImageTint&) override { return true; }
  void DrawPixels(const UiRect&, int, int, const UiColor*) override {}
  void DrawText(const UiRect&, std::string_view, UiColor, const TFontInfo&, unsigned) override {}
  void DrawHtmlText(const UiRect&, std::string_view, UiColor, const TFontInfo&, unsigned) override {}
  UiSize MeasureText(std::string_view text, const TFontInfo& font, int max_width) override;
  void PushClip(const UiRect&, int, int) override {}
  void PopClip() override {}
};

}  // namespace trx::ui

#pragma once
// QtRenderer: IRenderer on a QPainter. Colours are ARGB; images are loaded
// from their resolved path once and kept in a process-wide cache; tints lay
// the tint colour over the image's opaque pixels with the tint alpha (the
// tinted images are cached too, so an animated preview allocates nothing
// for a tint it has shown before). Given the area being painted, rounded
// fills and clips that stay clear of their corners inside it are done as
// plain rectangles, which the raster engine draws far faster.
// A control's own rounded background is held back until what is drawn next
// is known: under the control's image it becomes part of one cached
// picture (a key of a preview: background, tinted image and rounded cut in
// one blit). A plain fill is held back the same way and dropped when an
// opaque image drawn next covers it. What is held back is drawn by the
// next call or when the renderer goes: let it go before drawing on the
// painter directly or restoring the painter's state.
// Painting happens in device-independent pixels: on a 2x screen QPainter
// scales, so text and shapes stay crisp. UI thread only.

#include <QPainter>

#include <vector>

#include "ui/core/renderer.h"

namespace trx::ui::qt {

class QtRenderer : public IRenderer {
 public:
  explicit QtRenderer(QPainter& painter);
  // `clip`: the area being painted (client coordinates); nothing outside it
  // shows.
  QtRenderer(QPainter& painter, const UiRect& clip);
  ~QtRenderer() override { DrawPendingFill(); }
  QtRenderer(const QtRenderer&) = delete;
  QtRenderer& operator=(const QtRenderer&) = delete;

  void FillRect(const UiRect& rc, UiColor color) override;
  void FillRoundRect(const UiRect& rc, int rx, int ry, UiColor color) override;
  void DrawBorder(const UiRect& rc, int size, UiColor color, int rx, int ry) override;
  void DrawLine(UiPoint from, UiPoint to, int width, UiColor color) override;
  void FillGradient(const UiRect& rc, UiColor from, UiColor to, bool vertical) override;
  void FillEllipse(const UiRect& rc, UiColor color) override;
  void FillPie(const UiRect& rc, double start_deg, double sweep_deg, UiColor color) override;
  bool DrawImage(const UiRect& dest, const TImageDesc& desc, const TImageTint& tint) override;
  void DrawPixels(const UiRect& dest, int width, int height, const UiColor* argb) override;
  void DrawText(const UiRect& rc, std::string_view text, UiColor color, const TFontInfo& font,
                unsigned style) override;
  void DrawHtmlText(const UiRect& rc, std::string_view text, UiColor color, const TFontInfo& font,
                    unsigned style) override;
  UiSize MeasureText(std::string_view text, const TFontInfo& font, int max_width) override;
  void PushClip(const UiRect& rc, int rx, int ry) override;
  void PopClip() override;

  // Helpers shared with the backend and tests.
  static QColor ToQColor(UiColor argb);
  static QRect ToQRect(const UiRect& rc);
  static QFont ToQFont(const TFontInfo& font);
  // The layout's HTML-ish markup as Qt rich text.
  static QString HtmlToRichText(std::string_view text);
  // Drops every cached image (after a skin change on disk).
  static void ClearImageCache();

 private:
  // A rounded clip not yet given to the painter; only ever the innermost.
  struct PendingClip {
    bool active = false;
    UiRect rc{};
    int rx = 0, ry = 0;
  };
  bool InsidePendingClip(const UiRect& rc) const;  // drawing rc needs no pending clip
  void ApplyPendingClip();
  void DrawPendingFill();  // draws the held-back backgrounds, if any
  // Whether an image drawn at `target` hides the held-back plain fill.
  bool HidesHeldFill(const QImage& img, const UiRect& target, bool plain, const TImageDesc& desc,
                     const TImageTint& tint) const;

  static constexpr UiRect kUnknownClip{-(1 << 28), -(1 << 28), 1 << 28, 1 << 28};

  QPainter& p_;
  int clip_depth_ = 0;
  std::vector<UiRect> clips_;
  std::vector<bool> saved_;    // per pushed clip: whether it saved the painter's state
  PendingClip pending_;  // the area painted, then each pushed clip intersected with it
  UiColor pending_fill_ = 0;  // the pending clip's own background, not drawn yet (0: none)
  // A plain fill not drawn yet: an opaque image drawn next over all of it
  // (a container's colour under its background picture) makes it moot.
  UiRect held_rc_{};
  UiColor held_color_ = 0;  // 0: none
  qreal dpr_ = 1.0;           // the painted device's pixel ratio
};

}  // namespace trx::ui::qt

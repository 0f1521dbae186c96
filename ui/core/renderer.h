#pragma once
// IRenderer: everything a control needs to paint itself. The Qt backend
// implements it with QPainter (ui/qt); tests use a recording double.
// Controls paint in window client coordinates. Called on the UI thread only,
// inside CPaintManagerUI::Paint.

#include <string_view>

#include "ui/core/image_desc.h"
#include "ui/core/ui_types.h"

namespace trx::ui {

// Text style flags (same bit values as the Windows DT_ flags the layouts
// were written for).
enum TextStyle : unsigned {
  DT_LEFT = 0x0000,
  DT_TOP = 0x0000,
  DT_CENTER = 0x0001,
  DT_RIGHT = 0x0002,
  DT_VCENTER = 0x0004,
  DT_BOTTOM = 0x0008,
  DT_WORDBREAK = 0x0010,
  DT_SINGLELINE = 0x0020,
  DT_NOPREFIX = 0x0800,
  DT_END_ELLIPSIS = 0x8000,
};

// A font declared in a layout (<Font id= name= size= bold= .../>); size in
// pixels.
struct TFontInfo {
  std::string name;
  int size = 12;
  bool bold = false;
  bool underline = false;
  bool italic = false;
  friend bool operator==(const TFontInfo&, const TFontInfo&) = default;
};

class IRenderer {
 public:
  virtual ~IRenderer() = default;

  virtual void FillRect(const UiRect& rc, UiColor color) = 0;
  // Rounded rectangle with corner radii rx, ry.
  virtual void FillRoundRect(const UiRect& rc, int rx, int ry, UiColor color) = 0;
  // Border of `size` pixels drawn inside rc; rx/ry > 0 rounds it.
  virtual void DrawBorder(const UiRect& rc, int size, UiColor color, int rx, int ry) = 0;
  virtual void DrawLine(UiPoint from, UiPoint to, int width, UiColor color) = 0;
  // Linear gradient from `from` to `to`, top to bottom when vertical, else
  // left to right.
  virtual void FillGradient(const UiRect& rc, UiColor from, UiColor to, bool vertical) = 0;
  // Ellipse inscribed in rc.
  virtual void FillEllipse(const UiRect& rc, UiColor color) = 0;
  // Pie of the ellipse inscribed in rc; angles in degrees, 0 = 3 o'clock,
  // positive sweep clockwise on screen.
  virtual void FillPie(const UiRect& rc, double startDeg, double sweepDeg, UiColor color) = 0;
  // Draws desc.path (already resolved) into dest following the description
  // (source, corner, dest relative to `dest`, fade, mask, tiling); with an
  // enabled tint the tint colour is laid over the image's opaque pixels
  // with tint.alpha. Returns false when the image cannot be loaded.
  virtual bool DrawImage(const UiRect& dest, const TImageDesc& desc, const TImageTint& tint) = 0;
  // Draws a width x height ARGB pixel buffer (row-major) scaled into dest.
  virtual void DrawPixels(const UiRect& dest, int width, int height, const UiColor* argb) = 0;
  // Plain text clipped to rc, aligned by `style` (TextStyle flags).
  virtual void DrawText(const UiRect& rc, std::string_view text, UiColor color,
                        const TFontInfo& font, unsigned style) = 0;
  // HTML-ish text: <b>..</b>, <i>..</i>, <u>..</u>, <c #RRGGBB>..</c>,
  // <n> (line break), <a>..</a> (drawn underlined); "{" "}" may stand for
  // "<" ">" (layouts cannot hold raw angle brackets in attributes).
  virtual void DrawHtmlText(const UiRect& rc, std::string_view text, UiColor color,
                            const TFontInfo& font, unsigned style) = 0;
  // Size the text needs; maxWidth > 0 wraps at that width.
  virtual UiSize MeasureText(std::string_view text, const TFontInfo& font, int maxWidth) = 0;
  // Clip stack: intersection with the current clip, optionally rounded.
  virtual void PushClip(const UiRect& rc, int rx, int ry) = 0;
  virtual void PopClip() = 0;
};

}  // namespace trx::ui

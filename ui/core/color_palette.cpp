#include "ui/core/color_palette.h"

#include <algorithm>
#include <cmath>

#include "ui/core/paint_manager.h"

namespace trx::ui {

HsvColor RgbToHsv(UiColor argb) {
  double r = ((argb >> 16) & 0xFF) / 255.0;
  double g = ((argb >> 8) & 0xFF) / 255.0;
  double b = (argb & 0xFF) / 255.0;
  double mx = std::max({r, g, b});
  double mn = std::min({r, g, b});
  double d = mx - mn;
  HsvColor hsv;
  hsv.v = mx;
  hsv.s = mx > 0 ? d / mx : 0;
  if (d <= 0) {
    hsv.h = 0;
  } else if (mx == r) {
    hsv.h = 60 * std::fmod((g - b) / d, 6.0);
  } else if (mx == g) {
    hsv.h = 60 * ((b - r) / d + 2);
  } else {
    hsv.h = 60 * ((r - g) / d + 4);
  }
  if (hsv.h < 0) hsv.h += 360;
  return hsv;
}

UiColor HsvToRgb(const HsvColor& hsv) {
  double h = std::fmod(std::max(0.0, hsv.h), 360.0);
  double s = std::clamp(hsv.s, 0.0, 1.0);
  double v = std::clamp(hsv.v, 0.0, 1.0);
  double c = v * s;
  double x = c * (1 - std::fabs(std::fmod(h / 60.0, 2.0) - 1));
  double m = v - c;
  double r = 0, g = 0, b = 0;
  switch (static_cast<int>(h / 60.0)) {
    case 0: r = c; g = x; break;
    case 1: r = x; g = c; break;
    case 2: g = c; b = x; break;
    case 3: g = x; b = c; break;
    case 4: r = x; b = c; break;
    default: r = c; b = x; break;
  }
  auto to8 = [m](double f) { return static_cast<UiColor>(std::lround((f + m) * 255.0)) & 0xFF; };
  return 0xFF000000u | (to8(r) << 16) | (to8(g) << 8) | to8(b);
}

std::string_view CColorPaletteUI::GetClass() const { return "ColorPaletteUI"; }

void* CColorPaletteUI::GetInterface(std::string_view name) {
  if (name == "ColorPalette") return this;
  return CControlUI::GetInterface(name);
}

void CColorPaletteUI::SetSelectColor(UiColor color) {
  hsv_ = RgbToHsv(color);
  Invalidate();
}

UiColor CColorPaletteUI::GetSelectColor() const { return HsvToRgb(hsv_); }

UiRect CColorPaletteUI::GetPalletRect() const {
  return {rcItem_.left, rcItem_.top, rcItem_.right, std::min(rcItem_.bottom, rcItem_.top + palletHeight_)};
}

UiRect CColorPaletteUI::GetBarRect() const {
  // The bar sits at the bottom with the gap between it and the area.
  int top = std::max(rcItem_.top + palletHeight_, rcItem_.bottom - barHeight_);
  return {rcItem_.left, top, rcItem_.right, rcItem_.bottom};
}

bool CColorPaletteUI::PickAt(UiPoint pt) {
  UiRect area = GetPalletRect();
  UiRect bar = GetBarRect();
  if (area.Contains(pt) && area.Width() > 1 && area.Height() > 1) {
    hsv_.h = 360.0 * (pt.x - area.left) / (area.Width() - 1);
    hsv_.s = 1.0 - static_cast<double>(pt.y - area.top) / (area.Height() - 1);
    if (hsv_.h >= 360) hsv_.h = 359.999;
    if (hsv_.v <= 0) hsv_.v = 1;  // picking a hue from black would show nothing
  } else if (bar.Contains(pt) && bar.Width() > 1) {
    hsv_.v = static_cast<double>(pt.x - bar.left) / (bar.Width() - 1);
  } else {
    return false;
  }
  Invalidate();
  return true;
}

bool CColorPaletteUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "palletheight") {
    palletHeight_ = std::max(0, ParseCoord(value));
    Invalidate();
  } else if (name == "barheight") {
    barHeight_ = std::max(0, ParseCoord(value));
    Invalidate();
  } else if (name == "thumbimage") {
    thumbImage_ = value;
  } else {
    return CControlUI::SetAttribute(name, value);
  }
  return true;
}

void CColorPaletteUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK: {
      if (!IsEnabled()) return;
      UiColor before = GetSelectColor();
      if (GetPalletRect().Contains(event.ptMouse)) drag_ = Drag::Pallet;
      else if (GetBarRect().Contains(event.ptMouse)) drag_ = Drag::Bar;
      if (PickAt(event.ptMouse) && GetSelectColor() != before) Notify(kNotifyColorChanged, GetSelectColor());
      return;
    }
    case UIEVENT_MOUSEMOVE: {
      if (drag_ == Drag::None) return;
      // Keep dragging along the part the drag started in, clamped to it.
      UiRect part = drag_ == Drag::Pallet ? GetPalletRect() : GetBarRect();
      UiPoint p{std::clamp(event.ptMouse.x, part.left, part.right - 1),
                std::clamp(event.ptMouse.y, part.top, part.bottom - 1)};
      UiColor before = GetSelectColor();
      if (PickAt(p) && GetSelectColor() != before) Notify(kNotifyColorChanged, GetSelectColor());
      return;
    }
    case UIEVENT_BUTTONUP:
      drag_ = Drag::None;
      return;
    default:
      break;
  }
  CControlUI::DoEvent(event);
}

void CColorPaletteUI::RebuildPixels() {
  UiRect area = GetPalletRect();
  int w = std::clamp(area.Width(), 1, 512);
  int h = std::clamp(area.Height(), 1, 512);
  if (w == pixelsW_ && h == pixelsH_ && pixelsV_ == hsv_.v) return;
  pixelsW_ = w;
  pixelsH_ = h;
  pixelsV_ = hsv_.v;
  palletPixels_.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) {
    double s = h > 1 ? 1.0 - static_cast<double>(y) / (h - 1) : 1.0;
    for (int x = 0; x < w; ++x) {
      double hue = w > 1 ? 360.0 * x / (w - 1) : 0;
      if (hue >= 360) hue = 359.999;
      palletPixels_[static_cast<size_t>(y) * w + x] = HsvToRgb({hue, s, hsv_.v});
    }
  }
}

void CColorPaletteUI::PaintStatusImage(IRenderer& r) {
  UiRect area = GetPalletRect();
  UiRect bar = GetBarRect();
  if (!area.IsEmpty()) {
    RebuildPixels();
    r.DrawPixels(area, pixelsW_, pixelsH_, palletPixels_.data());
    // Marker on the chosen hue/saturation, kept whole inside the area where
    // it fits (at an edge or a corner it would be mostly cut away), and cut
    // at the area's edges: whatever it drew outside the control would stay
    // on screen after it moves, since only the control's own rectangle is
    // repainted.
    int mx = area.left + static_cast<int>(hsv_.h / 360.0 * (area.Width() - 1));
    int my = area.top + static_cast<int>((1.0 - hsv_.s) * (area.Height() - 1));
    if (area.Width() > 10) mx = std::clamp(mx, area.left + 5, area.right - 5);
    if (area.Height() > 10) my = std::clamp(my, area.top + 5, area.bottom - 5);
    UiRect marker{mx - 5, my - 5, mx + 5, my + 5};
    r.PushClip(area, 0, 0);
    if (!thumbImage_.empty()) DrawImage(r, thumbImage_, &marker);
    else r.DrawBorder(marker, 2, 0xFFFFFFFF, 5, 5);
    r.PopClip();
  }
  if (!bar.IsEmpty()) {
    r.FillGradient(bar, 0xFF000000, HsvToRgb({hsv_.h, hsv_.s, 1.0}), false);
    int bx = bar.left + static_cast<int>(hsv_.v * (bar.Width() - 1));
    if (bar.Width() > 3) bx = std::clamp(bx, bar.left + 1, bar.right - 2);
    r.PushClip(bar, 0, 0);
    r.FillRect({bx - 1, bar.top, bx + 2, bar.bottom}, 0xFFFFFFFF);
    r.PopClip();
  }
}

}  // namespace trx::ui

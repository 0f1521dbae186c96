#pragma once
// Tint layers: a control's pixels as a function of its tint, fitted from a
// few renders, so that a preview frame that changes only tints redraws each
// key with one pass over its pixels instead of painting the control tree.
//
// The renderer lays the tint colour t over an image's opaque pixels at the
// tint alpha a (source-atop), and everything is then blended over what lies
// under the control and under what is drawn over it (the caption, whose
// colour is the control's look, CControlUI::TintLook). For one look each
// channel of each pixel is therefore
//
//   Y(a, t) = F0 + a' * F1 + a' * t' * F2      a' = a / 255, t' = t / 255
//
// F0, F1 and F2 are solved from three renders under tints of that look and
// checked against a fourth, the tint asked for: a control that does not
// follow the model within kMaxTintLayerError (another kind of drawing, or a
// look that holds too few tints) is marked not linear and keeps being
// painted from its tree.
//
// Pixels are 32-bit, opaque (alpha 255), device pixels at a ratio of 1.
// Any thread, no shared state.

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <functional>
#include <vector>

#include "ui/core/image_desc.h"
#include "ui/core/ui_types.h"

namespace trx::ui::qt {

// Largest difference, in levels of a channel, between the model and a
// render that still counts as the same picture.
inline constexpr int kMaxTintLayerError = 2;

// The layers are kept as pictures (32-bit pixels, row by row): at alpha 0
// (F0), and at alpha 255 under black (F0 + F1) and white (F0 + F1 + F2).
// A frame mostly changes only the alpha of a colour it showed before (a
// breathing keyboard): the picture at alpha 255 of the last colour is kept
// too, and a frame is one interpolation between it and the one at alpha 0;
// a new colour costs one pass between black and white.
struct TintLayers {
  UiColor look = 0;
  bool linear = false;  // false: fitting failed, paint from the tree
  int width = 0;
  int height = 0;
  std::vector<uint32_t> clear;  // alpha 0
  std::vector<uint32_t> black;  // alpha 255, black
  std::vector<uint32_t> white;  // alpha 255, white
  std::vector<uint32_t> full;   // alpha 255, full_colour
  UiColor full_colour = 0;
  bool full_valid = false;
};

// Renders the control alone (its rectangle) under a tint; a null image when
// it cannot.
using TintRender = std::function<QImage(const TImageTint&)>;
// The control's look under a tint.
using TintLookOf = std::function<UiColor(const TImageTint&)>;

// Fits the layers of the look of `tint`. `shown` receives the render under
// `tint` itself (what the frame shows, whether or not the fit holds).
TintLayers FitTintLayers(const TintRender& render, const TintLookOf& look, const TImageTint& tint, QImage* shown);

// Writes the control's pixels under `tint` into `dst` at `at` (device
// pixels; the rectangle lies inside dst). The layers must be linear; their
// picture of the colour is kept for the next frame.
void ComposeTintLayers(TintLayers& layers, const TImageTint& tint, QImage& dst, QPoint at);
// Asks the processor to fetch what ComposeTintLayers reads and writes.
void PrefetchTintLayers(const TintLayers& layers, QImage& dst, QPoint at);

}  // namespace trx::ui::qt

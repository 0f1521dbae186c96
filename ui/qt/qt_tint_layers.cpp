#include "ui/qt/qt_tint_layers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace trx::ui::qt {

namespace {

// Tints the fit may render under: greys, so that every channel sees the
// same levels, at alphas both sides of where captions change colour.
constexpr int kAlphas[] = {255, 224, 192, 160, 128, 96, 95, 64, 32, 0};
constexpr int kGreys[] = {0x00, 0x40, 0x80, 0xC0, 0xFF};
constexpr int kChannels = 3;     // blue, green, red: the low bytes of a pixel

TImageTint Grey(const TImageTint& like, int alpha, int grey) {
  return {like.enabled, 0xFF000000u | static_cast<UiColor>(grey) * 0x010101u, alpha};
}

struct Point {
  int alpha = -1;
  int grey = 0;
};

// Three tints of the look: two greys at the highest alpha that has two,
// and the lowest alpha below it.
bool ChoosePoints(const TintLookOf& look, const TImageTint& tint, UiColor want, Point points[3]) {
  for (int a : kAlphas) {
    int low = -1, high = -1;
    for (int g : kGreys) {
      if (look(Grey(tint, a, g)) != want) continue;
      if (low < 0) low = g;
      high = g;
    }
    if (a == 0 || low == high) continue;
    points[1] = {a, low};
    points[2] = {a, high};
    break;
  }
  if (points[1].alpha < 0) return false;
  for (auto it = std::rbegin(kAlphas); it != std::rend(kAlphas) && *it < points[1].alpha; ++it)
    for (int g : kGreys)
      if (look(Grey(tint, *it, g)) == want) {
        points[0] = {*it, g};
        return true;
      }
  return false;
}

bool Usable(const QImage& img, int width, int height) {
  if (img.isNull() || img.width() != width || img.height() != height || img.depth() != 32) return false;
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
    for (int x = 0; x < width; ++x)
      if ((row[x] >> 24) != 0xFF) return false;  // not opaque: blending would not be linear
  }
  return true;
}

int Level(uint32_t pixel, int channel) { return static_cast<int>(pixel >> (8 * channel) & 0xFF); }
uint32_t Clamped(int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); }

uint32_t Rounded(double v) { return Clamped(static_cast<int>(std::lround(v))); }

}  // namespace

TintLayers FitTintLayers(const TintRender& render, const TintLookOf& look, const TImageTint& tint, QImage* shown) {
  TintLayers layers;
  layers.look = look(tint);
  *shown = render(tint);
  if (shown->isNull()) return layers;
  layers.width = shown->width();
  layers.height = shown->height();
  Point points[3];
  if (!Usable(*shown, layers.width, layers.height) || !ChoosePoints(look, tint, layers.look, points)) return layers;
  QImage y[3];
  for (int i = 0; i < 3; ++i) {
    y[i] = render(Grey(tint, points[i].alpha, points[i].grey));
    if (!Usable(y[i], layers.width, layers.height)) return layers;
  }
  const double a1 = points[0].alpha / 255.0, t1 = points[0].grey / 255.0;
  const double a2 = points[1].alpha / 255.0, t2 = points[1].grey / 255.0, t3 = points[2].grey / 255.0;
  const size_t n = static_cast<size_t>(layers.width) * static_cast<size_t>(layers.height);
  layers.clear.resize(n);
  layers.black.resize(n);
  layers.white.resize(n);
  layers.full.resize(n);
  size_t i = 0;
  for (int row = 0; row < layers.height; ++row) {
    const auto* p1 = reinterpret_cast<const uint32_t*>(y[0].constScanLine(row));
    const auto* p2 = reinterpret_cast<const uint32_t*>(y[1].constScanLine(row));
    const auto* p3 = reinterpret_cast<const uint32_t*>(y[2].constScanLine(row));
    for (int x = 0; x < layers.width; ++x, ++i) {
      uint32_t clear = 0xFF000000u, black = 0xFF000000u, white = 0xFF000000u;
      for (int c = 0; c < kChannels; ++c) {
        const double y1 = Level(p1[x], c), y2 = Level(p2[x], c), y3 = Level(p3[x], c);
        const double f2 = (y3 - y2) / (a2 * (t3 - t2));
        const double f1 = ((y2 - y1) - (a2 * t2 - a1 * t1) * f2) / (a2 - a1);
        const double f0 = y1 - a1 * f1 - a1 * t1 * f2;
        clear |= Rounded(f0) << (8 * c);
        black |= Rounded(f0 + f1) << (8 * c);
        white |= Rounded(f0 + f1 + f2) << (8 * c);
      }
      layers.clear[i] = clear;
      layers.black[i] = black;
      layers.white[i] = white;
    }
  }
  // The fit holds when it gives back what the renderer drew for `tint`.
  layers.linear = true;
  QImage check(layers.width, layers.height, shown->format());
  ComposeTintLayers(layers, tint, check, {0, 0});
  for (int row = 0; row < layers.height && layers.linear; ++row) {
    const auto* want = reinterpret_cast<const uint32_t*>(shown->constScanLine(row));
    const auto* got = reinterpret_cast<const uint32_t*>(check.constScanLine(row));
    for (int x = 0; x < layers.width; ++x)
      for (int c = 0; c < kChannels; ++c)
        if (std::abs(Level(want[x], c) - Level(got[x], c)) > kMaxTintLayerError) layers.linear = false;
  }
  return layers;
}

namespace {

// The pixels at alpha 255 of `colour`: between black and white, by channel.
void FillFull(TintLayers& layers, UiColor colour) {
  int t[kChannels];
  for (int c = 0; c < kChannels; ++c) t[c] = Level(colour, c);
  for (size_t i = 0; i < layers.full.size(); ++i) {
    const uint32_t black = layers.black[i], white = layers.white[i];
    uint32_t pixel = 0xFF000000u;
    for (int c = 0; c < kChannels; ++c) {
      const int b = Level(black, c);
      pixel |= Clamped((b * 255 + (Level(white, c) - b) * t[c] + 127) / 255) << (8 * c);
    }
    layers.full[i] = pixel;
  }
  layers.full_colour = colour;
  layers.full_valid = true;
}

}  // namespace

void ComposeTintLayers(TintLayers& layers, const TImageTint& tint, QImage& dst, QPoint at) {
  const UiColor colour = tint.color & 0x00FFFFFFu;
  if (!layers.full_valid || layers.full_colour != colour) FillFull(layers, colour);
  const int a = std::clamp(tint.alpha, 0, 255);
  const uint32_t weight = static_cast<uint32_t>(a + (a >> 7));  // 0..256
  const size_t width = static_cast<size_t>(layers.width);
  for (int row = 0; row < layers.height; ++row) {
    auto* out = reinterpret_cast<uint32_t*>(dst.scanLine(at.y() + row)) + at.x();
    const size_t start = static_cast<size_t>(row) * width;
    const uint32_t* from = layers.clear.data() + start;
    const uint32_t* to = layers.full.data() + start;
    if (weight == 0 || weight == 256) {
      std::memcpy(out, weight == 0 ? from : to, width * sizeof(uint32_t));
      continue;
    }
    // Blue and red, then green and alpha, two channels at once in 16 bits each.
    for (size_t x = 0; x < width; ++x) {
      const uint32_t p = from[x], q = to[x];
      const uint32_t rb = ((p & 0x00FF00FFu) * (256 - weight) + (q & 0x00FF00FFu) * weight + 0x00800080u) >> 8;
      const uint32_t ag = ((p >> 8 & 0x00FF00FFu) * (256 - weight) + (q >> 8 & 0x00FF00FFu) * weight + 0x00800080u);
      out[x] = (rb & 0x00FF00FFu) | (ag & 0xFF00FF00u);
    }
  }
}

void PrefetchTintLayers(const TintLayers& layers, QImage& dst, QPoint at) {
  constexpr size_t kLine = 64;
  for (const std::vector<uint32_t>* picture : {&layers.clear, &layers.full}) {
    const auto* p = reinterpret_cast<const char*>(picture->data());
    const auto* end = p + picture->size() * sizeof(uint32_t);
    for (; p < end; p += kLine) __builtin_prefetch(p);
  }
  const size_t row_bytes = static_cast<size_t>(layers.width) * sizeof(uint32_t);
  for (int row = 0; row < layers.height; ++row) {
    const uchar* p = dst.scanLine(at.y() + row) + static_cast<size_t>(at.x()) * sizeof(uint32_t);
    for (size_t b = 0; b < row_bytes; b += kLine) __builtin_prefetch(p + b, 1);
    __builtin_prefetch(p + row_bytes - 1, 1);
  }
}

}  // namespace trx::ui::qt

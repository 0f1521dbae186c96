#include "ui/qt/qt_renderer.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainterPath>
#include <QStaticText>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ui/core/recent_lookups.h"

namespace trx::ui::qt {
namespace {

QString ToQString(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

struct TransparentHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Loaded images by path, the masked variants by mask colour; shared by
// every window. Looking an image up allocates nothing.
struct LoadedImage {
  QImage plain;
  std::unordered_map<UiColor, QImage> masked;
};
std::unordered_map<std::string, LoadedImage, TransparentHash, std::equal_to<>>& ImageCache() {
  static std::unordered_map<std::string, LoadedImage, TransparentHash, std::equal_to<>> cache;
  return cache;
}

// Whether every pixel is opaque: such an image (a window's background) is
// kept without alpha, and Qt copies it instead of blending it.
bool Opaque(const QImage& img) {
  if (!img.hasAlphaChannel()) return true;
  const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < argb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    for (int x = 0; x < argb.width(); ++x)
      if (qAlpha(line[x]) != 255) return false;
  }
  return true;
}

QImage Masked(QImage img, UiColor mask) {
  // Pixels of the mask colour (ignoring alpha) become transparent.
  img = img.convertToFormat(QImage::Format_ARGB32);
  const QRgb key_rgb = mask & 0x00FFFFFFu;
  for (int y = 0; y < img.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if ((line[x] & 0x00FFFFFFu) == key_rgb) line[x] = 0;
  }
  return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The last look-ups of LoadImage by path and mask (0x1'00000000 | mask;
// 0: no mask), pointing into the cache of images.
RecentLookups<uint64_t, const QImage*>& RecentImages() {
  static RecentLookups<uint64_t, const QImage*> recent;
  return recent;
}

const QImage* LoadImageUncached(const std::string& path, bool has_mask, UiColor mask) {
  auto it = ImageCache().find(path);
  if (it == ImageCache().end()) {
    QImage img(ToQString(path));
    if (!img.isNull()) img = img.convertToFormat(Opaque(img) ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    it = ImageCache().emplace(path, LoadedImage{std::move(img), {}}).first;
  }
  LoadedImage& loaded = it->second;
  if (loaded.plain.isNull()) return nullptr;
  if (!has_mask) return &loaded.plain;
  auto m = loaded.masked.find(mask);
  if (m == loaded.masked.end()) m = loaded.masked.emplace(mask, Masked(loaded.plain, mask)).first;
  return &m->second;
}

const QImage* LoadImage(const std::string& path, bool has_mask, UiColor mask) {
  const uint64_t extra = has_mask ? (uint64_t{1} << 32 | mask) : 0;
  if (const QImage* const* recent = RecentImages().Find(path, extra)) return *recent;
  const QImage* img = LoadImageUncached(path, has_mask, mask);
  RecentImages().Put(path, extra, img);
  return img;
}

// A picture that was painted into keeps Qt's paint engine (with its
// rasteriser's buffers) for as long as it lives: a cached picture is kept
// as a copy of its pixels instead.
QImage Settled(const QImage& painted) { return painted.copy(); }

// `out`: an image of its own (painted in place).
QImage Tinted(QImage out, const TImageTint& tint) {
  {
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);  // only where the image has pixels
    QColor c = QtRenderer::ToQColor(tint.color | 0xFF000000u);
    c.setAlpha(std::clamp(tint.alpha, 0, 255));
    p.fillRect(out.rect(), c);
  }
  return Settled(out);
}

// Tinted parts of images by image, part, colour and alpha. An animated
// preview shows few distinct tints per frame (one colour for all keys while
// breathing, one per column in a wave), so most keys reuse an image made
// for another key or an earlier frame instead of allocating and painting a
// new one.
struct TintKey {
  qint64 image;
  int x, y, w, h;
  UiColor color;
  int alpha;
  friend bool operator==(const TintKey&, const TintKey&) = default;
};
struct TintKeyHash {
  size_t operator()(const TintKey& k) const {
    size_t h = std::hash<qint64>{}(k.image);
    for (const uint64_t v : {static_cast<uint64_t>(static_cast<uint32_t>(k.x)) << 32 | static_cast<uint32_t>(k.y),
                             static_cast<uint64_t>(static_cast<uint32_t>(k.w)) << 32 | static_cast<uint32_t>(k.h),
                             static_cast<uint64_t>(k.color) << 32 | static_cast<uint32_t>(k.alpha)})
      h = (h ^ std::hash<uint64_t>{}(v)) * 0x9E3779B97F4A7C15ull;
    return h;
  }
};
// A full keyboard of distinct tints fits a few times over; past that (in
// pictures or in bytes: a key's source picture may be much larger than the
// key) the cache starts again rather than growing with every colour ever
// shown.
constexpr size_t kMaxTintedImages = 1024;
constexpr qsizetype kMaxTintedBytes = 512 * 1024;
struct TintedImages {
  std::unordered_map<TintKey, QImage, TintKeyHash> images;
  qsizetype bytes = 0;
  void clear() {
    images.clear();
    bytes = 0;
  }
};
TintedImages& TintCache() {
  static TintedImages cache;
  return cache;
}

const QImage& TintedPart(const QImage& img, const QRect& src, const TImageTint& tint) {
  const TintKey key{img.cacheKey(), src.x(), src.y(), src.width(), src.height(), tint.color & 0x00FFFFFFu,
                    std::clamp(tint.alpha, 0, 255)};
  TintedImages& cache = TintCache();
  auto it = cache.images.find(key);
  if (it != cache.images.end()) return it->second;
  if (cache.images.size() >= kMaxTintedImages || cache.bytes >= kMaxTintedBytes) cache.clear();
  QImage tinted = Tinted(img.copy(src), tint);
  cache.bytes += tinted.sizeInBytes();
  return cache.images.emplace(key, std::move(tinted)).first->second;
}

// Fonts by description (building a QFont resolves its families each
// time), each with its laid-out single-line texts: a repaint of a label
// neither builds a font nor shapes its text again.
// A laid-out line with its pictures: drawn once per colour, position
// fraction and pixel ratio into an image, then copied (one blit instead of
// blending every glyph, for the captions an animated preview repaints).
struct RenderedText {
  UiColor color;
  int fx, fy;  // position fraction, 1/64 pixel
  qreal dpr;
  QImage image;
  QRect ink;  // the pixels that are not transparent (device pixels; empty: none)
};
struct TextEntry {
  QStaticText laid_out;
  QSizeF size;  // the laid-out line's size, kept rather than asked of Qt per paint
  std::vector<RenderedText> images;
};
constexpr size_t kMaxImagesPerText = 8;
constexpr int kTextImageMargin = 2;  // glyphs may reach past the layout box
struct FontEntry {
  TFontInfo info;
  QFont font;
  std::unordered_map<std::string, TextEntry, TransparentHash, std::equal_to<>> texts;
};
constexpr size_t kMaxFonts = 64;
constexpr size_t kMaxTextsPerFont = 2048;

// The last look-ups of captions (below); they point into the caches of
// fonts and texts, so dropping those forgets them.
struct CachedLine {
  FontEntry* font;
  TextEntry* text;
};
RecentLookups<TFontInfo, CachedLine>& RecentLines() {
  static RecentLookups<TFontInfo, CachedLine> recent;
  return recent;
}

FontEntry& CachedFontEntry(const TFontInfo& font) {
  static std::vector<std::unique_ptr<FontEntry>> fonts;
  for (const auto& entry : fonts)
    if (entry->info == font) return *entry;
  if (fonts.size() >= kMaxFonts) {
    fonts.clear();
    RecentLines().Forget();
  }
  fonts.push_back(std::make_unique<FontEntry>(FontEntry{font, QtRenderer::ToQFont(font), {}}));
  return *fonts.back();
}

const QFont& CachedFont(const TFontInfo& font) { return CachedFontEntry(font).font; }

TextEntry& CachedText(FontEntry& entry, std::string_view text) {
  auto it = entry.texts.find(text);
  if (it != entry.texts.end()) return it->second;
  if (entry.texts.size() >= kMaxTextsPerFont) {
    entry.texts.clear();
    RecentLines().Forget();
  }
  QStaticText laid_out(ToQString(text));
  laid_out.setTextFormat(Qt::PlainText);
  laid_out.setPerformanceHint(QStaticText::AggressiveCaching);
  laid_out.prepare(QTransform(), entry.font);
  const QSizeF size = laid_out.size();
  return entry.texts.emplace(std::string(text), TextEntry{std::move(laid_out), size, {}}).first->second;
}

// The font and laid-out line of a caption: a control repaints the same
// caption from the same string every frame, so most paints of an animated
// preview find it among the recent look-ups without hashing the text or
// walking the fonts.
CachedLine CachedTextLine(const TFontInfo& font, std::string_view text) {
  if (const CachedLine* recent = RecentLines().Find(text, font)) return *recent;
  FontEntry& entry = CachedFontEntry(font);
  const CachedLine line{&entry, &CachedText(entry, text)};  // may forget the recent look-ups: put after
  RecentLines().Put(text, font, line);
  return line;
}

// The line drawn at fraction (fx, fy) of a pixel inside a transparent image
// with a margin, at the pixel ratio.
const RenderedText& RenderedTextImage(const FontEntry& font, TextEntry& text, UiColor color, qreal fx, qreal fy, qreal dpr) {
  const int qx = static_cast<int>(fx * 64), qy = static_cast<int>(fy * 64);
  for (const RenderedText& r : text.images)
    if (r.color == color && r.fx == qx && r.fy == qy && r.dpr == dpr) return r;
  if (text.images.size() >= kMaxImagesPerText) text.images.clear();
  const QSizeF size = text.size;
  const QSize logical(static_cast<int>(std::ceil(size.width())) + 2 * kTextImageMargin + 1,
                      static_cast<int>(std::ceil(size.height())) + 2 * kTextImageMargin + 1);
  QImage image(logical * dpr, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(dpr);
  image.fill(Qt::transparent);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(font.font);
    p.setPen(QtRenderer::ToQColor(color));
    p.drawStaticText(QPointF(kTextImageMargin + qx / 64.0, kTextImageMargin + qy / 64.0), text.laid_out);
  }
  text.images.push_back({color, qx, qy, dpr, Settled(image), {}});
  RenderedText& rendered = text.images.back();
  for (int y = 0; y < rendered.image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rendered.image.constScanLine(y));
    for (int x = 0; x < rendered.image.width(); ++x)
      if (qAlpha(line[x]) != 0) rendered.ink |= QRect(x, y, 1, 1);
  }
  return rendered;
}

// Whether the point lies inside the rounded rectangle rc (radii rx, ry).
bool PointInRounded(double x, double y, const UiRect& rc, int rx, int ry) {
  if (x < rc.left || x > rc.right || y < rc.top || y > rc.bottom) return false;
  if (rx <= 0 || ry <= 0) return true;
  const double cx = x < rc.left + rx ? rc.left + rx : x > rc.right - rx ? rc.right - rx : x;
  const double cy = y < rc.top + ry ? rc.top + ry : y > rc.bottom - ry ? rc.bottom - ry : y;
  const double dx = (x - cx) / rx, dy = (y - cy) / ry;
  return dx * dx + dy * dy <= 1.0;
}

// Whether `inner` lies wholly inside the rounded rectangle: the shape is
// convex, so its four corners decide.
bool InsideRounded(const UiRect& inner, const UiRect& rc, int rx, int ry) {
  return PointInRounded(inner.left, inner.top, rc, rx, ry) && PointInRounded(inner.right, inner.top, rc, rx, ry) &&
         PointInRounded(inner.left, inner.bottom, rc, rx, ry) && PointInRounded(inner.right, inner.bottom, rc, rx, ry);
}

// Mixes v into the hash h (the caches below hash a handful of integers).
size_t HashMix(size_t h, uint64_t v) {
  h = (h ^ v) * 0x9E3779B97F4A7C15ull;
  return h ^ (h >> 29);
}

// A rounded rectangle filled in one colour, drawn once at the device pixel
// ratio and reused: keys and buttons repaint often with the same shape.
const QImage& RoundRectImage(int w, int h, int rx, int ry, UiColor color, qreal dpr) {
  struct Key {
    int w, h, rx, ry;
    UiColor color;
    qreal dpr;
    bool operator==(const Key&) const = default;
  };
  struct Hash {
    size_t operator()(const Key& k) const {
      size_t v = HashMix(0, static_cast<uint64_t>(static_cast<uint32_t>(k.w)) << 32 | static_cast<uint32_t>(k.h));
      v = HashMix(v, static_cast<uint64_t>(static_cast<uint32_t>(k.rx)) << 32 | static_cast<uint32_t>(k.ry));
      return HashMix(v, static_cast<uint64_t>(k.color) << 32 | static_cast<uint32_t>(k.dpr * 64));
    }
  };
  static std::unordered_map<Key, QImage, Hash> cache;
  const Key key{w, h, rx, ry, color, dpr};
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  if (cache.size() >= 256) cache.clear();
  QImage img(QSize(w, h) * dpr, QImage::Format_ARGB32_Premultiplied);
  img.setDevicePixelRatio(dpr);
  img.fill(Qt::transparent);
  {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QtRenderer::ToQColor(color));
    p.drawRoundedRect(QRectF(0, 0, w, h), rx, ry);
  }
  return cache.emplace(key, Settled(img)).first->second;
}

// Rounded shapes up to this area (keys, buttons) come from cached images.
constexpr int kMaxCachedShapeArea = 160 * 48;
bool Cacheable(const UiRect& rc) { return rc.Width() * rc.Height() <= kMaxCachedShapeArea; }

// A key's picture: its rounded background `fill` (0: none) with part `src`
// of img, tinted, scaled into `target` (relative to a rounded rectangle of
// w x h, radii rx, ry) over it, all cut to that rounded shape with
// antialiased edges: what the control's background and image look like
// under its rounded clip, made once per look and blitted on every paint.
// Keys of one size and image showing one tint (a breathing keyboard, a
// column of a wave) share a picture.
struct MaskKey {
  qint64 image;  // the image as loaded, before tinting
  int sx, sy, sw, sh;
  UiColor tint;  // colour and alpha; alpha -1: no tint
  int alpha;
  int tx, ty, tw, th;
  int w, h, rx, ry;
  UiColor fill;
  qreal dpr;
  bool operator==(const MaskKey&) const = default;
};
struct MaskKeyHash {
  size_t operator()(const MaskKey& k) const {
    size_t h = HashMix(0, static_cast<uint64_t>(k.image));
    for (const int v : {k.sx, k.sy, k.sw, k.sh, k.alpha, k.tx, k.ty, k.tw, k.th, k.w, k.h, k.rx, k.ry})
      h = HashMix(h, static_cast<uint32_t>(v));
    h = HashMix(h, static_cast<uint64_t>(k.tint) << 32 | k.fill);
    return HashMix(h, static_cast<uint64_t>(k.dpr * 64));
  }
};
// A few keyboards of distinct tints; past that the cache starts again
// rather than growing with every colour ever shown.
constexpr size_t kMaxMaskedImages = 2048;

const QImage& MaskedImage(const QImage& img, const QRect& src, const TImageTint& tint, const UiRect& target,
                          const UiRect& shape, int rx, int ry, UiColor fill, qreal dpr) {
  static std::unordered_map<MaskKey, QImage, MaskKeyHash> cache;
  const MaskKey key{img.cacheKey(),
                    src.x(),
                    src.y(),
                    src.width(),
                    src.height(),
                    tint.enabled ? tint.color & 0x00FFFFFFu : 0,
                    tint.enabled ? std::clamp(tint.alpha, 0, 255) : -1,
                    target.left - shape.left,
                    target.top - shape.top,
                    target.Width(),
                    target.Height(),
                    shape.Width(),
                    shape.Height(),
                    rx,
                    ry,
                    fill,
                    dpr};
  // The last pictures found, by hash: a frame asks for the same few
  // pictures for a hundred keys, and this spares most of them the walk of
  // the map's buckets.
  struct Recent {
    uint64_t epoch = 0;
    MaskKey key{};
    const QImage* image = nullptr;
  };
  static std::array<Recent, 64> recent;
  static uint64_t epoch = 1;
  Recent& slot = recent[MaskKeyHash{}(key) % recent.size()];
  if (slot.epoch == epoch && slot.key == key) return *slot.image;
  auto it = cache.find(key);
  if (it != cache.end()) {
    slot = {epoch, key, &it->second};
    return it->second;
  }
  if (cache.size() >= kMaxMaskedImages) {
    cache.clear();
    ++epoch;
  }
  const QImage* part = &img;
  QRect part_src = src;
  if (tint.enabled) {
    part = &TintedPart(img, src, tint);
    part_src = part->rect();
  }
  QImage out(QSize(shape.Width(), shape.Height()) * dpr, QImage::Format_ARGB32_Premultiplied);
  out.setDevicePixelRatio(dpr);
  out.fill(Qt::transparent);
  {
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(QRectF(key.tx, key.ty, key.tw, key.th), *part, part_src);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.drawImage(QPointF(0, 0), RoundRectImage(shape.Width(), shape.Height(), rx, ry, 0xFF000000u, dpr));
    if (fill != 0) {  // the background under the image, in the same shape
      p.setCompositionMode(QPainter::CompositionMode_DestinationOver);
      p.drawImage(QPointF(0, 0), RoundRectImage(shape.Width(), shape.Height(), rx, ry, fill, dpr));
    }
  }
  const QImage& made = cache.emplace(key, Settled(out)).first->second;
  slot = {epoch, key, &made};
  return made;
}

// True when `clip` stays clear of the four rounded corners of rc (radii rx,
// ry): then the rounded shape and the plain rectangle cover the same pixels
// inside the clip, and the cheap rectangle can be used.
bool ClearOfCorners(const UiRect& clip, const UiRect& rc, int rx, int ry) {
  const UiRect inner = clip.Intersect(rc);
  if (inner.IsEmpty()) return true;
  const bool in_middle_rows = inner.top >= rc.top + ry && inner.bottom <= rc.bottom - ry;
  const bool in_middle_columns = inner.left >= rc.left + rx && inner.right <= rc.right - rx;
  return in_middle_rows || in_middle_columns;
}

// Draws part `src` of img into `dst`, stretched or tiled.
void DrawPart(QPainter& p, const QRectF& dst, const QImage& img, const QRect& src, bool xtiled, bool ytiled) {
  if (dst.width() <= 0 || dst.height() <= 0 || src.width() <= 0 || src.height() <= 0) return;
  if (!xtiled && !ytiled) {
    p.drawImage(dst, img, src);
    return;
  }
  const QImage part = img.copy(src);
  const qreal step_x = xtiled ? part.width() : dst.width();
  const qreal step_y = ytiled ? part.height() : dst.height();
  p.save();
  p.setClipRect(dst, Qt::IntersectClip);
  for (qreal y = dst.top(); y < dst.bottom(); y += step_y)
    for (qreal x = dst.left(); x < dst.right(); x += step_x)
      p.drawImage(QRectF(x, y, step_x, step_y), part, part.rect());
  p.restore();
}

int QtAlignment(unsigned style) {
  int flags = 0;
  if (style & DT_CENTER) flags |= Qt::AlignHCenter;
  else if (style & DT_RIGHT) flags |= Qt::AlignRight;
  else flags |= Qt::AlignLeft;
  if (style & DT_VCENTER) flags |= Qt::AlignVCenter;
  else if (style & DT_BOTTOM) flags |= Qt::AlignBottom;
  else flags |= Qt::AlignTop;
  if ((style & DT_WORDBREAK) && !(style & DT_SINGLELINE)) flags |= Qt::TextWordWrap;
  else flags |= Qt::TextSingleLine;
  return flags;
}

}  // namespace

QtRenderer::QtRenderer(QPainter& painter) : QtRenderer(painter, kUnknownClip) {}

QtRenderer::QtRenderer(QPainter& painter, const UiRect& clip)
    : p_(painter), dpr_(painter.device() != nullptr ? painter.device()->devicePixelRatio() : 1.0) {
  clips_.push_back(clip);
  p_.setRenderHint(QPainter::Antialiasing, true);
  p_.setRenderHint(QPainter::SmoothPixmapTransform, true);
  p_.setRenderHint(QPainter::TextAntialiasing, true);
}

QColor QtRenderer::ToQColor(UiColor argb) { return QColor::fromRgba(argb); }

QRect QtRenderer::ToQRect(const UiRect& rc) { return QRect(rc.left, rc.top, rc.Width(), rc.Height()); }

QFont QtRenderer::ToQFont(const TFontInfo& font) {
  QFont f;
  if (!font.name.empty()) f.setFamilies({ToQString(font.name), QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans")});
  f.setPixelSize(font.size > 0 ? font.size : 12);
  f.setBold(font.bold);
  f.setUnderline(font.underline);
  f.setItalic(font.italic);
  return f;
}


bool QtRenderer::InsidePendingClip(const UiRect& rc) const {
  if (!pending_.active) return true;
  return InsideRounded(rc, pending_.rc, pending_.rx, pending_.ry);
}

void QtRenderer::DrawPendingFill() {
  if (held_color_ != 0) {
    p_.fillRect(ToQRect(held_rc_), ToQColor(held_color_));
    held_color_ = 0;
  }
  if (pending_fill_ == 0) return;
  const UiColor fill = pending_fill_;
  pending_fill_ = 0;
  p_.drawImage(QPointF(pending_.rc.left, pending_.rc.top),
               RoundRectImage(pending_.rc.Width(), pending_.rc.Height(), pending_.rx, pending_.ry, fill, dpr_));
}

void QtRenderer::ApplyPendingClip() {
  DrawPendingFill();
  if (!pending_.active) return;
  pending_.active = false;
  p_.save();
  saved_.back() = true;
  QPainterPath path;
  path.addRoundedRect(QRectF(ToQRect(pending_.rc)), pending_.rx, pending_.ry);
  p_.setClipPath(path, Qt::IntersectClip);
}

void QtRenderer::FillRect(const UiRect& rc, UiColor color) {
  if (rc.IsEmpty() || (color >> 24) == 0) return;
  DrawPendingFill();
  if (pending_.active && rc == pending_.rc) {
    // The rounded clip's own background: the rounded shape itself.
    FillRoundRect(rc, pending_.rx, pending_.ry, color);
    return;
  }
  if (!InsidePendingClip(rc)) ApplyPendingClip();
  if (!pending_.active && p_.compositionMode() == QPainter::CompositionMode_SourceOver) {
    held_rc_ = rc;  // drawn before anything else but an opaque image over it
    held_color_ = color;
    return;
  }
  p_.fillRect(ToQRect(rc), ToQColor(color));
}

bool QtRenderer::HidesHeldFill(const QImage& img, const UiRect& target, bool plain, const TImageDesc& desc,
                               const TImageTint& tint) const {
  if (held_color_ == 0 || !plain || tint.enabled || desc.fade < 255 || img.hasAlphaChannel()) return false;
  if (pending_.active || p_.opacity() < 1.0) return false;
  const UiRect shown = clips_.back().Intersect(held_rc_);
  return shown.IsEmpty() || target.Intersect(shown) == shown;
}

void QtRenderer::FillRoundRect(const UiRect& rc, int rx, int ry, UiColor color) {
  if (rc.IsEmpty() || (color >> 24) == 0) return;
  DrawPendingFill();
  const bool same_shape = pending_.active && rc == pending_.rc && rx == pending_.rx && ry == pending_.ry;
  if (!same_shape && !InsidePendingClip(rc)) ApplyPendingClip();
  if (ClearOfCorners(clips_.back(), rc, rx, ry)) {
    p_.fillRect(ToQRect(rc), ToQColor(color));
    return;
  }
  if (same_shape && Cacheable(rc)) {
    pending_fill_ = color;  // drawn with the image that may follow (DrawImage), or before anything else
    return;
  }
  if (Cacheable(rc)) {
    p_.drawImage(QPointF(rc.left, rc.top), RoundRectImage(rc.Width(), rc.Height(), rx, ry, color, dpr_));
    return;
  }
  p_.save();
  p_.setPen(Qt::NoPen);
  p_.setBrush(ToQColor(color));
  p_.drawRoundedRect(ToQRect(rc), rx, ry);
  p_.restore();
}

void QtRenderer::DrawBorder(const UiRect& rc, int size, UiColor color, int rx, int ry) {
  ApplyPendingClip();
  if (rc.IsEmpty() || size <= 0 || (color >> 24) == 0) return;
  // Nothing of the border shows when the painted area lies inside it,
  // clear of the (possibly rounded) corners.
  const UiRect inner = clips_.back().Intersect(rc);
  const UiRect inside{rc.left + size, rc.top + size, rc.right - size, rc.bottom - size};
  if (inner.IsEmpty() || (inner.Intersect(inside) == inner && ClearOfCorners(inner, rc, rx, ry))) return;
  p_.save();
  QPen pen(ToQColor(color));
  pen.setWidth(size);
  pen.setJoinStyle(Qt::MiterJoin);
  p_.setPen(pen);
  p_.setBrush(Qt::NoBrush);
  // The pen is centred on the path: move it half a pen inwards.
  const qreal half = size / 2.0;
  const QRectF r = QRectF(ToQRect(rc)).adjusted(half, half, -half, -half);
  if (rx > 0 || ry > 0) p_.drawRoundedRect(r, rx, ry);
  else p_.drawRect(r);
  p_.restore();
}

void QtRenderer::DrawLine(UiPoint from, UiPoint to, int width, UiColor color) {
  ApplyPendingClip();
  p_.save();
  QPen pen(ToQColor(color));
  pen.setWidth(std::max(1, width));
  p_.setPen(pen);
  p_.drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
  p_.restore();
}

void QtRenderer::FillGradient(const UiRect& rc, UiColor from, UiColor to, bool vertical) {
  ApplyPendingClip();
  if (rc.IsEmpty()) return;
  const QRect r = ToQRect(rc);
  QLinearGradient g(r.topLeft(), vertical ? r.bottomLeft() : r.topRight());
  g.setColorAt(0, ToQColor(from));
  g.setColorAt(1, ToQColor(to));
  p_.fillRect(r, g);
}

void QtRenderer::FillEllipse(const UiRect& rc, UiColor color) {
  ApplyPendingClip();
  p_.save();
  p_.setPen(Qt::NoPen);
  p_.setBrush(ToQColor(color));
  p_.drawEllipse(ToQRect(rc));
  p_.restore();
}

void QtRenderer::FillPie(const UiRect& rc, double start_deg, double sweep_deg, UiColor color) {
  ApplyPendingClip();
  p_.save();
  p_.setPen(Qt::NoPen);
  p_.setBrush(ToQColor(color));
  // Qt counts angles counter-clockwise in sixteenths of a degree.
  p_.drawPie(ToQRect(rc), static_cast<int>(-start_deg * 16), static_cast<int>(-sweep_deg * 16));
  p_.restore();
}

bool QtRenderer::DrawImage(const UiRect& dest, const TImageDesc& desc, const TImageTint& tint) {
  const QImage* loaded = LoadImage(desc.path, desc.hasMask, desc.mask);
  if (loaded == nullptr) return false;
  QRect src = desc.source.IsEmpty() ? loaded->rect() : ToQRect(desc.source).intersected(loaded->rect());
  if (src.isEmpty()) return false;
  UiRect target = dest;
  if (desc.hasDest) {
    target = {dest.left + desc.dest.left, dest.top + desc.dest.top, dest.left + desc.dest.right,
              dest.top + desc.dest.bottom};
  }
  if (target.IsEmpty()) return true;
  const UiRect& c = desc.corner;
  const bool plain = c.left == 0 && c.top == 0 && c.right == 0 && c.bottom == 0 && !desc.xtiled && !desc.ytiled;
  if (HidesHeldFill(*loaded, target, plain, desc, tint)) held_color_ = 0;
  if (held_color_ != 0) DrawPendingFill();  // keeps the order of what is drawn
  if (!InsidePendingClip(target)) {
    if (plain && desc.fade >= 255 && target.Intersect(pending_.rc) == target && Cacheable(pending_.rc)) {
      // An image under a rounded clip (a key of a preview): the clipped
      // picture is cached, so no clip path is rasterised per paint.
      // The held-back background goes into the same picture.
      const UiColor fill = pending_fill_;
      pending_fill_ = 0;
      p_.drawImage(QPointF(pending_.rc.left, pending_.rc.top),
                   MaskedImage(*loaded, src, tint, target, pending_.rc, pending_.rx, pending_.ry, fill, dpr_));
      return true;
    }
    ApplyPendingClip();
  }
  DrawPendingFill();
  const QImage* img = loaded;
  if (tint.enabled) {
    img = &TintedPart(*loaded, src, tint);
    src = img->rect();
  }
  const bool faded = desc.fade < 255;
  if (faded) {
    p_.save();
    p_.setOpacity(p_.opacity() * std::clamp(desc.fade, 0, 255) / 255.0);
  }
  const QRectF d(target.left, target.top, target.Width(), target.Height());
  if (c.left == 0 && c.top == 0 && c.right == 0 && c.bottom == 0) {
    DrawPart(p_, d, *img, src, desc.xtiled, desc.ytiled);
  } else {
    // Nine-patch: corners keep their size, edges and centre stretch.
    const int sl = src.left(), st = src.top(), sr = src.right() + 1, sb = src.bottom() + 1;
    const qreal dl = d.left(), dt = d.top(), dr = d.right(), db = d.bottom();
    const int xs[4] = {sl, sl + c.left, sr - c.right, sr};
    const int ys[4] = {st, st + c.top, sb - c.bottom, sb};
    const qreal xd[4] = {dl, dl + c.left, dr - c.right, dr};
    const qreal yd[4] = {dt, dt + c.top, db - c.bottom, db};
    for (int row = 0; row < 3; ++row) {
      for (int col = 0; col < 3; ++col) {
        if (row == 1 && col == 1 && desc.hole) continue;
        const QRect s(xs[col], ys[row], xs[col + 1] - xs[col], ys[row + 1] - ys[row]);
        const QRectF t(xd[col], yd[row], xd[col + 1] - xd[col], yd[row + 1] - yd[row]);
        DrawPart(p_, t, *img, s, desc.xtiled && row == 1 && col == 1, desc.ytiled && row == 1 && col == 1);
      }
    }
  }
  if (faded) p_.restore();
  return true;
}

void QtRenderer::DrawPixels(const UiRect& dest, int width, int height, const UiColor* argb) {
  ApplyPendingClip();
  if (argb == nullptr || width <= 0 || height <= 0 || dest.IsEmpty()) return;
  const QImage img(reinterpret_cast<const uchar*>(argb), width, height, width * 4, QImage::Format_ARGB32);
  p_.drawImage(QRectF(ToQRect(dest)), img, img.rect());
}

void QtRenderer::DrawText(const UiRect& rc, std::string_view text, UiColor color, const TFontInfo& font,
                          unsigned style) {
  DrawPendingFill();
  if (rc.IsEmpty() || text.empty()) return;
  const QRect r = ToQRect(rc);
  const int flags = QtAlignment(style);
  if ((flags & Qt::TextSingleLine) && !(style & DT_END_ELLIPSIS) && text.find('\n') == std::string_view::npos) {
    // A single line is laid out once and placed by its size; text that
    // fits needs no clip and is copied from its rendered picture.
    const CachedLine line = CachedTextLine(font, text);
    FontEntry& entry = *line.font;
    TextEntry& cached = *line.text;
    const QStaticText& laid_out = cached.laid_out;
    const QSizeF size = cached.size;
    qreal x = r.left(), y = r.top();
    if (flags & Qt::AlignHCenter) x += (r.width() - size.width()) / 2;
    else if (flags & Qt::AlignRight) x += r.width() - size.width();
    if (flags & Qt::AlignVCenter) y += (r.height() - size.height()) / 2;
    else if (flags & Qt::AlignBottom) y += r.height() - size.height();
    const bool fits = size.width() <= r.width() && size.height() <= r.height();
    if (fits) {
      // Only the caption's ink decides whether a rounded clip cuts
      // anything: a short key's caption box may reach into its corners
      // while no drawn pixel does.
      const qreal left = std::floor(x), top = std::floor(y);
      const RenderedText& rendered = RenderedTextImage(entry, cached, color, x - left, y - top, dpr_);
      const QPointF at(left - kTextImageMargin, top - kTextImageMargin);
      const QRect& ink = rendered.ink;
      const UiRect ink_box{static_cast<int>(std::floor(at.x() + ink.left() / dpr_)),
                           static_cast<int>(std::floor(at.y() + ink.top() / dpr_)),
                           static_cast<int>(std::ceil(at.x() + (ink.right() + 1) / dpr_)),
                           static_cast<int>(std::ceil(at.y() + (ink.bottom() + 1) / dpr_))};
      if (ink.isEmpty()) return;
      if (!InsidePendingClip(ink_box)) ApplyPendingClip();
      p_.drawImage(at, rendered.image);
      return;
    }
    if (!InsidePendingClip(rc)) ApplyPendingClip();
    p_.save();
    p_.setClipRect(r, Qt::IntersectClip);
    p_.setFont(entry.font);
    p_.setPen(ToQColor(color));
    p_.drawStaticText(QPointF(x, y), laid_out);
    p_.restore();
    return;
  }
  const QFont& f = CachedFont(font);
  ApplyPendingClip();
  p_.save();
  p_.setFont(f);
  p_.setPen(ToQColor(color));
  QString s = ToQString(text);
  if ((style & DT_END_ELLIPSIS) && (flags & Qt::TextSingleLine))
    s = QFontMetrics(f).elidedText(s, Qt::ElideRight, r.width());
  p_.setClipRect(r, Qt::IntersectClip);
  p_.drawText(r, flags, s);
  p_.restore();
}

QString QtRenderer::HtmlToRichText(std::string_view text) {
  QString in = ToQString(text);
  in.replace(QLatin1Char('{'), QLatin1Char('<')).replace(QLatin1Char('}'), QLatin1Char('>'));
  QString out;
  qsizetype i = 0;
  while (i < in.size()) {
    const QChar ch = in[i];
    if (ch == QLatin1Char('<')) {
      const qsizetype end = in.indexOf(QLatin1Char('>'), i);
      if (end < 0) {
        out += QStringLiteral("&lt;");
        ++i;
        continue;
      }
      const QString tag = in.mid(i + 1, end - i - 1).trimmed();
      const QString name = tag.section(QLatin1Char(' '), 0, 0).toLower();
      if (name == u"b" || name == u"/b" || name == u"i" || name == u"/i" || name == u"u" || name == u"/u") {
        out += QLatin1Char('<') + name + QLatin1Char('>');
      } else if (name == u"c") {
        QString colour = tag.section(QLatin1Char(' '), 1, 1).trimmed();
        if (colour.startsWith(QLatin1Char('#')) && colour.size() == 9) colour = QLatin1Char('#') + colour.mid(3);
        out += QStringLiteral("<span style=\"color:%1\">").arg(colour.toHtmlEscaped());
      } else if (name == u"/c") {
        out += QStringLiteral("</span>");
      } else if (name == u"n" || name == u"p") {
        out += QStringLiteral("<br/>");
      } else if (name == u"a") {
        out += QStringLiteral("<u>");
      } else if (name == u"/a") {
        out += QStringLiteral("</u>");
      }  // other tags (fonts, images, selection) are dropped
      i = end + 1;
      continue;
    }
    if (ch == QLatin1Char('&')) out += QStringLiteral("&amp;");
    else if (ch == QLatin1Char('>')) out += QStringLiteral("&gt;");
    else if (ch == QLatin1Char('\n')) out += QStringLiteral("<br/>");
    else out += ch;
    ++i;
  }
  return out;
}

void QtRenderer::DrawHtmlText(const UiRect& rc, std::string_view text, UiColor color, const TFontInfo& font,
                              unsigned style) {
  if (rc.IsEmpty() || text.empty()) return;
  ApplyPendingClip();
  QTextDocument doc;
  doc.setDefaultFont(CachedFont(font));
  doc.setDocumentMargin(0);
  const QColor c = ToQColor(color);
  const char* align = (style & DT_CENTER) ? "center" : (style & DT_RIGHT) ? "right" : "left";
  doc.setHtml(QStringLiteral("<div style=\"color:%1\" align=\"%2\">%3</div>")
                  .arg(c.name(), QLatin1String(align), HtmlToRichText(text)));
  doc.setTextWidth(rc.Width());
  const QRect r = ToQRect(rc);
  qreal y = r.top();
  const qreal h = doc.size().height();
  if (style & DT_VCENTER) y += (r.height() - h) / 2;
  else if (style & DT_BOTTOM) y += r.height() - h;
  p_.save();
  p_.setClipRect(r, Qt::IntersectClip);
  p_.translate(r.left(), y);
  doc.drawContents(&p_);
  p_.restore();
}

UiSize QtRenderer::MeasureText(std::string_view text, const TFontInfo& font, int max_width) {
  const QFontMetrics fm(CachedFont(font));
  const QString s = ToQString(text);
  if (max_width > 0) {
    const QRect r = fm.boundingRect(QRect(0, 0, max_width, 100000), Qt::TextWordWrap, s);
    return {r.width(), r.height()};
  }
  return {fm.horizontalAdvance(s), fm.height()};
}

void QtRenderer::PushClip(const UiRect& rc, int rx, int ry) {
  ApplyPendingClip();  // a nested clip needs the outer one in the painter (and a held-back background drawn)
  ++clip_depth_;
  const UiRect outer = clips_.back();
  const UiRect inner = outer.Intersect(rc);
  clips_.push_back(inner);
  saved_.push_back(false);
  if ((rx > 0 || ry > 0) && !ClearOfCorners(outer, rc, rx, ry)) {
    // Given to the painter only when something drawn needs it: fills of
    // the shape itself, text clear of the corners and images (cut to the
    // shape once, cached) draw the same without a rasterised clip path.
    pending_ = {true, rc, rx, ry};
    return;
  }
  if (inner == outer) return;  // cuts nothing off the area already clipped
  p_.save();
  saved_.back() = true;
  p_.setClipRect(ToQRect(rc), Qt::IntersectClip);
}

void QtRenderer::PopClip() {
  DrawPendingFill();
  if (clip_depth_ == 0) return;
  --clip_depth_;
  pending_.active = false;  // only ever the innermost clip
  clips_.pop_back();
  const bool saved = saved_.back();
  saved_.pop_back();
  if (saved) p_.restore();
}

void QtRenderer::ClearImageCache() {
  TintCache().clear();
  RecentImages().Forget();
  ImageCache().clear();
}

}  // namespace trx::ui::qt

#include "ui/qt/qt_renderer.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainterPath>
#include <QTextDocument>

#include <algorithm>

namespace trx::ui::qt {
namespace {

QString ToQString(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Loaded images by path (and mask colour), shared by every window.
QHash<QString, QImage>& ImageCache() {
  static QHash<QString, QImage> cache;
  return cache;
}

const QImage* LoadImage(const std::string& path, bool has_mask, UiColor mask) {
  const QString key = ToQString(path) + (has_mask ? QStringLiteral("|%1").arg(mask, 8, 16) : QString());
  auto it = ImageCache().find(key);
  if (it != ImageCache().end()) return it->isNull() ? nullptr : &*it;
  QImage img(ToQString(path));
  if (!img.isNull()) {
    img = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (has_mask) {
      // Pixels of the mask colour (ignoring alpha) become transparent.
      img = img.convertToFormat(QImage::Format_ARGB32);
      const QRgb key_rgb = mask & 0x00FFFFFFu;
      for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
          if ((line[x] & 0x00FFFFFFu) == key_rgb) line[x] = 0;
      }
      img = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
  }
  auto inserted = ImageCache().insert(key, img);
  return inserted->isNull() ? nullptr : &*inserted;
}

QImage Tinted(const QImage& src, const TImageTint& tint) {
  QImage out = src.copy();
  QPainter p(&out);
  p.setCompositionMode(QPainter::CompositionMode_SourceAtop);  // only where the image has pixels
  QColor c = QtRenderer::ToQColor(tint.color | 0xFF000000u);
  c.setAlpha(std::clamp(tint.alpha, 0, 255));
  p.fillRect(out.rect(), c);
  return out;
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

QtRenderer::QtRenderer(QPainter& painter) : p_(painter) {
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

void QtRenderer::FillRect(const UiRect& rc, UiColor color) {
  if (rc.IsEmpty() || (color >> 24) == 0) return;
  p_.fillRect(ToQRect(rc), ToQColor(color));
}

void QtRenderer::FillRoundRect(const UiRect& rc, int rx, int ry, UiColor color) {
  if (rc.IsEmpty() || (color >> 24) == 0) return;
  p_.save();
  p_.setPen(Qt::NoPen);
  p_.setBrush(ToQColor(color));
  p_.drawRoundedRect(ToQRect(rc), rx, ry);
  p_.restore();
}

void QtRenderer::DrawBorder(const UiRect& rc, int size, UiColor color, int rx, int ry) {
  if (rc.IsEmpty() || size <= 0 || (color >> 24) == 0) return;
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
  p_.save();
  QPen pen(ToQColor(color));
  pen.setWidth(std::max(1, width));
  p_.setPen(pen);
  p_.drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
  p_.restore();
}

void QtRenderer::FillGradient(const UiRect& rc, UiColor from, UiColor to, bool vertical) {
  if (rc.IsEmpty()) return;
  const QRect r = ToQRect(rc);
  QLinearGradient g(r.topLeft(), vertical ? r.bottomLeft() : r.topRight());
  g.setColorAt(0, ToQColor(from));
  g.setColorAt(1, ToQColor(to));
  p_.fillRect(r, g);
}

void QtRenderer::FillEllipse(const UiRect& rc, UiColor color) {
  p_.save();
  p_.setPen(Qt::NoPen);
  p_.setBrush(ToQColor(color));
  p_.drawEllipse(ToQRect(rc));
  p_.restore();
}

void QtRenderer::FillPie(const UiRect& rc, double start_deg, double sweep_deg, UiColor color) {
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
  QImage img = *loaded;
  if (tint.enabled) {
    img = Tinted(loaded->copy(src), tint);
    src = img.rect();
  }
  UiRect target = dest;
  if (desc.hasDest) {
    target = {dest.left + desc.dest.left, dest.top + desc.dest.top, dest.left + desc.dest.right,
              dest.top + desc.dest.bottom};
  }
  if (target.IsEmpty()) return true;
  p_.save();
  p_.setOpacity(p_.opacity() * std::clamp(desc.fade, 0, 255) / 255.0);
  const QRectF d(target.left, target.top, target.Width(), target.Height());
  const UiRect& c = desc.corner;
  if (c.left == 0 && c.top == 0 && c.right == 0 && c.bottom == 0) {
    DrawPart(p_, d, img, src, desc.xtiled, desc.ytiled);
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
        DrawPart(p_, t, img, s, desc.xtiled && row == 1 && col == 1, desc.ytiled && row == 1 && col == 1);
      }
    }
  }
  p_.restore();
  return true;
}

void QtRenderer::DrawPixels(const UiRect& dest, int width, int height, const UiColor* argb) {
  if (argb == nullptr || width <= 0 || height <= 0 || dest.IsEmpty()) return;
  const QImage img(reinterpret_cast<const uchar*>(argb), width, height, width * 4, QImage::Format_ARGB32);
  p_.drawImage(QRectF(ToQRect(dest)), img, img.rect());
}

void QtRenderer::DrawText(const UiRect& rc, std::string_view text, UiColor color, const TFontInfo& font,
                          unsigned style) {
  if (rc.IsEmpty() || text.empty()) return;
  p_.save();
  const QFont f = ToQFont(font);
  p_.setFont(f);
  p_.setPen(ToQColor(color));
  QString s = ToQString(text);
  const QRect r = ToQRect(rc);
  const int flags = QtAlignment(style);
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
  QTextDocument doc;
  doc.setDefaultFont(ToQFont(font));
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
  const QFontMetrics fm(ToQFont(font));
  const QString s = ToQString(text);
  if (max_width > 0) {
    const QRect r = fm.boundingRect(QRect(0, 0, max_width, 100000), Qt::TextWordWrap, s);
    return {r.width(), r.height()};
  }
  return {fm.horizontalAdvance(s), fm.height()};
}

void QtRenderer::PushClip(const UiRect& rc, int rx, int ry) {
  p_.save();
  ++clip_depth_;
  if (rx > 0 || ry > 0) {
    QPainterPath path;
    path.addRoundedRect(QRectF(ToQRect(rc)), rx, ry);
    p_.setClipPath(path, Qt::IntersectClip);
  } else {
    p_.setClipRect(ToQRect(rc), Qt::IntersectClip);
  }
}

void QtRenderer::PopClip() {
  if (clip_depth_ == 0) return;
  --clip_depth_;
  p_.restore();
}

void QtRenderer::ClearImageCache() { ImageCache().clear(); }

}  // namespace trx::ui::qt

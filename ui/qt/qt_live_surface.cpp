#include "ui/qt/qt_live_surface.h"

#include <QPainter>

#include "ui/core/paint_manager.h"
#include "ui/qt/qt_paint_rects.h"
#include "ui/qt/qt_renderer.h"

namespace trx::ui::qt {

QtLiveSurface::QtLiveSurface(QWindow* parent, std::function<void()> expose)
    : QWindow(parent), store_(this), expose_(std::move(expose)) {
  setSurfaceType(QSurface::RasterSurface);
  setFlags(Qt::Widget | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
  QSurfaceFormat format;
  format.setAlphaBufferSize(0);  // opaque: Qt copies into it without clearing first
  setFormat(format);
}

void QtLiveSurface::ShowOver(const QRect& area) {
  if (area == area_ && isVisible()) return;
  area_ = area;
  setGeometry(area);
  if (!isVisible()) show();
}

void QtLiveSurface::exposeEvent(QExposeEvent*) {
  if (isExposed() && expose_) expose_();
}

void QtLiveSurface::Paint(CPaintManagerUI* pm, const QRegion& region) {
  const QRegion inside = region & area_;
  if (pm == nullptr || inside.isEmpty() || !isExposed()) return;
  const QSize store_size(area_.width(), area_.height() * kSlots);
  if (store_.size() != store_size) store_.resize(store_size);
  // Each frame is painted into the next slot and flushed from there: only
  // its own pixels are shown, so the other slots' older contents never are.
  slot_ = (slot_ + 1) % kSlots;
  const QPoint slot_offset(0, slot_ * area_.height());
  const QRegion local = inside.translated(-area_.topLeft());
  store_.beginPaint(local.translated(slot_offset));
  {
    QPainter painter(store_.paintDevice());
    painter.translate(slot_offset - area_.topLeft());
    for (const QRect& r : PaintRects(inside)) {
      painter.save();
      painter.setClipRect(r);
      const UiRect dirty{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
      {
        QtRenderer renderer(painter, dirty);  // draws what it holds back when it goes
        pm->Paint(renderer, dirty);
      }
      painter.restore();
    }
  }
  store_.endPaint();
  store_.flush(local, this, slot_offset);
}

}  // namespace trx::ui::qt

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
  if (store_.size() != area_.size()) store_.resize(area_.size());
  const std::vector<QRect> rects = PaintRects(inside);
  const QRegion local = inside.translated(-area_.topLeft());
  store_.beginPaint(local);
  {
    QPainter painter(store_.paintDevice());
    painter.translate(-area_.topLeft());
    for (const QRect& r : rects) {
      painter.save();
      painter.setClipRect(r);
      const UiRect dirty{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
      QtRenderer renderer(painter, dirty);
      pm->Paint(renderer, dirty);
      painter.restore();
    }
  }
  store_.endPaint();
  store_.flush(local);
}

}  // namespace trx::ui::qt

#include "ui/qt/qt_live_surface.h"

#include <QPainter>

#include <cstring>

#include "ui/core/control.h"
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
  if (area != area_) layers_.clear();
  area_ = area;
  setGeometry(area);
  if (!isVisible()) show();
}

void QtLiveSurface::exposeEvent(QExposeEvent*) {
  if (isExposed() && expose_) expose_();
}

void QtLiveSurface::Forget(const QRect& rc) {
  if (!rc.intersects(area_)) return;
  for (auto it = layers_.begin(); it != layers_.end();) {
    if (it->second.rect.intersects(rc)) it = layers_.erase(it);
    else ++it;
  }
}

void QtLiveSurface::Forget(CControlUI* control) { layers_.erase(control); }

namespace {

// The control alone under `tint`, as the tree paints its rectangle.
QImage RenderControl(CPaintManagerUI* pm, CControlUI* control, const QRect& rc, const TImageTint& tint,
                     QImage::Format format) {
  QImage image(rc.size(), format);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.translate(-rc.topLeft());
  painter.setClipRect(rc);
  const UiRect dirty{rc.left(), rc.top(), rc.right() + 1, rc.bottom() + 1};
  QtRenderer renderer(painter, dirty);
  pm->PaintWithTint(renderer, dirty, control, tint);
  return image;
}

void CopyInto(const QImage& from, QImage& to, QPoint at) {
  const size_t bytes = static_cast<size_t>(from.width()) * 4;
  for (int y = 0; y < from.height(); ++y)
    std::memcpy(to.scanLine(at.y() + y) + static_cast<size_t>(at.x()) * 4, from.constScanLine(y), bytes);
}

}  // namespace

QtLiveSurface::Tinted QtLiveSurface::FindOrFit(CPaintManagerUI* pm, CControlUI* control, const QRect& rc,
                                                QImage& store, QPoint at) {
  const TImageTint tint = control->GetTint();
  const UiColor look = control->TintLook(tint);
  Layered& layered = layers_[control];
  if (layered.rect != rc) layered = {rc, {}};
  for (TintLayers& layers : layered.looks) {
    if (layers.look != look) continue;
    if (!layers.linear) return {};
    return {&layers, tint, true};
  }
  if (layered.looks.size() >= kMaxLooks) layered.looks.erase(layered.looks.begin());
  // Controls that overlap show each other's pixels, which their layers
  // would freeze: both are left to the tree.
  bool overlaps = false;
  for (auto& [other, other_layered] : layers_) {
    if (other == control || !other_layered.rect.intersects(rc)) continue;
    overlaps = true;
    for (TintLayers& l : other_layered.looks) l.linear = false;
  }
  if (overlaps) {
    TintLayers refused;
    refused.look = look;
    layered.looks.push_back(std::move(refused));
    return {};
  }
  // First frame of this look here: fitted from renders of the control alone;
  // this frame shows the render under its own tint.
  QImage shown;
  TintLayers fitted = FitTintLayers(
      [&](const TImageTint& t) { return RenderControl(pm, control, rc, t, store.format()); },
      [control](const TImageTint& t) { return control->TintLook(t); }, tint, &shown);
  layered.looks.push_back(std::move(fitted));
  if (shown.size() != rc.size() || shown.format() != store.format()) return {};
  CopyInto(shown, store, at);
  return {nullptr, tint, true};
}

void QtLiveSurface::Paint(CPaintManagerUI* pm, const QRegion& region, const std::vector<CControlUI*>& tinted) {
  QRegion inside = region & area_;
  if (pm == nullptr || !isExposed()) return;
  // Tinted controls the tree paints anyway, or that reach out of the area,
  // are left to the tree.
  std::vector<std::pair<CControlUI*, QRect>> keys;
  for (CControlUI* c : tinted) {
    if (!c->IsVisible()) continue;
    const UiRect& pos = c->GetPos();
    const QRect rc(pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top);
    if (rc.isEmpty()) continue;
    if (!area_.contains(rc) || inside.intersects(rc)) {
      inside += rc & area_;
      continue;
    }
    keys.emplace_back(c, rc);
  }
  QRegion flushed = inside;
  for (const auto& k : keys) flushed += k.second;
  if (flushed.isEmpty()) return;
  const QSize store_size(area_.width(), area_.height() * kSlots);
  if (store_.size() != store_size) store_.resize(store_size);
  // Each frame is painted into the next slot and flushed from there: only
  // its own pixels are shown, so the other slots' older contents never are.
  slot_ = (slot_ + 1) % kSlots;
  const QPoint slot_offset(0, slot_ * area_.height());
  const QRegion local = flushed.translated(-area_.topLeft());
  store_.beginPaint(local.translated(slot_offset));
  QPaintDevice* device = store_.paintDevice();
  QImage* image = device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
  const bool layers_usable = image != nullptr && image->devicePixelRatio() == 1.0 && image->depth() == 32;
  std::vector<std::pair<Tinted, QPoint>> composed;
  for (const auto& [control, rc] : keys) {
    const QPoint at = rc.topLeft() - area_.topLeft() + slot_offset;
    const Tinted t = layers_usable ? FindOrFit(pm, control, rc, *image, at) : Tinted{};
    if (!t.drawn) inside += rc;
    else if (t.layers != nullptr) composed.emplace_back(t, at);
  }
  // The layers were last read a frame ago: each key's are fetched while the
  // one before is drawn.
  for (size_t i = 0; i < composed.size(); ++i) {
    if (i + 1 < composed.size()) PrefetchTintLayers(*composed[i + 1].first.layers, *image, composed[i + 1].second);
    ComposeTintLayers(*composed[i].first.layers, composed[i].first.tint, *image, composed[i].second);
  }
  if (!inside.isEmpty()) {
    QPainter painter(device);
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

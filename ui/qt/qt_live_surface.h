#pragma once
// QtLiveSurface: a native child window of its own for an area of a window
// that is repainted many times a second (an animated lighting preview).
// The control tree is painted into the surface's own opaque backing store
// and only the changed rectangles are flushed: Qt neither clears the
// translucent window's region nor runs its widget repaint for them. The
// surface takes no input (clicks, hovers and the wheel reach the window
// under it) and never takes the focus.
//
// Coordinates are the owning window's client coordinates (device
// independent pixels). UI thread only.

#include <QBackingStore>
#include <QRegion>
#include <QWindow>

#include <functional>
#include <unordered_map>
#include <vector>

#include "ui/qt/qt_tint_layers.h"

namespace trx::ui {
class CControlUI;
class CPaintManagerUI;
}

namespace trx::ui::qt {

class QtLiveSurface : public QWindow {
 public:
  // `expose`: asked to repaint the whole area (first show, exposure).
  QtLiveSurface(QWindow* parent, std::function<void()> expose);

  // Places the surface over `area` and shows it.
  void ShowOver(const QRect& area);
  QRect Area() const { return area_; }
  bool Showing() const { return isVisible() && !area_.isEmpty(); }
  // Paints the part of `region` inside the area from pm's tree, and the
  // `tinted` controls (only their tint changed since they were last drawn)
  // from their tint layers where they follow them; flushes both. Each
  // control is named once.
  void Paint(CPaintManagerUI* pm, const QRegion& region, const std::vector<CControlUI*>& tinted = {});
  // What the tree draws in `rc` (or the control) changed: its layers go.
  void Forget(const QRect& rc);
  void Forget(CControlUI* control);
  void ForgetAll() { layers_.clear(); }

 protected:
  void exposeEvent(QExposeEvent* event) override;

 private:
  // Before painting over pixels the X server may still be copying, Qt
  // waits for it (a round trip). The store holds kSlots copies of the area
  // one below the other and frames take turns, so that wait comes once
  // every kSlots frames.
  static constexpr int kSlots = 4;
  // A control's layers, one per look it has shown at this rectangle.
  struct Layered {
    QRect rect;
    std::vector<TintLayers> looks;
  };
  static constexpr size_t kMaxLooks = 3;
  // A tinted control: its layers to compose, or drawn already (the render
  // of its first frame of a look), or neither (the tree paints it).
  struct Tinted {
    TintLayers* layers = nullptr;
    TImageTint tint;
    bool drawn = false;
  };
  Tinted FindOrFit(CPaintManagerUI* pm, CControlUI* control, const QRect& rc, QImage& store, QPoint at);

  QBackingStore store_;
  int slot_ = 0;
  QRect area_;
  std::function<void()> expose_;
  std::unordered_map<CControlUI*, Layered> layers_;
};

}  // namespace trx::ui::qt

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

namespace trx::ui {
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
  // Paints the part of `region` inside the area from pm's tree and flushes it.
  void Paint(CPaintManagerUI* pm, const QRegion& region);

 protected:
  void exposeEvent(QExposeEvent* event) override;

 private:
  // Before painting over pixels the X server may still be copying, Qt
  // waits for it (a round trip). The store holds kSlots copies of the area
  // one below the other and frames take turns, so that wait comes once
  // every kSlots frames.
  static constexpr int kSlots = 4;
  QBackingStore store_;
  int slot_ = 0;
  QRect area_;
  std::function<void()> expose_;
};

}  // namespace trx::ui::qt

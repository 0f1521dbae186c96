#pragma once
// QtWindow: the top-level QWidget behind one library window. It mirrors the
// library window's state (geometry, visibility, top-most, enabled), paints
// the attached paint manager's tree through QtRenderer, and turns Qt input
// into window messages (WM_MOUSEMOVE, WM_LBUTTONDOWN ..., WM_KEYDOWN,
// WM_CHAR) sent to the library window, which passes what it leaves
// unhandled to the paint manager. A press in the caption area (WM_NCHITTEST
// answering HTCAPTION) drags the window instead.
//
// It is also the paint manager's IPaintHost: repaints, tooltips, cursor
// shapes, combo drop-downs (QtComboPopup) and the edit overlay (a QLineEdit
// over a focused edit, committing on Enter or when the focus leaves).
//
// The library window owns a QtNativeWindow proxy; the widget itself is
// deleted later by Qt's loop, so a window destroyed from inside one of the
// widget's own event handlers is safe.
//
// UI thread only.

#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include <vector>

#include "ui/core/paint_host.h"
#include "ui/core/paint_manager.h"
#include "ui/window/window_backend.h"
#include "ui/window/window_wnd.h"

namespace trx::ui::qt {

class QtComboPopup;
class QtLiveSurface;

class QtWindow : public QWidget, public IPaintHost {
 public:
  explicit QtWindow(CWindowWnd* owner);
  ~QtWindow() override;

  void AttachPaintManager(CPaintManagerUI* pm);
  CPaintManagerUI* PaintManager() const { return pm_; }
  // The library window is going away: stop talking to it.
  void Detach();
  HWND Handle() const { return hwnd_; }

  // Paints pm's tree into a new image of the given client size at the
  // given device pixel ratio (screenshots, tests).
  static QImage RenderTree(CPaintManagerUI* pm, QSize size, qreal device_pixel_ratio = 1.0);

  // IPaintHost
  void Invalidate(const UiRect& rc) override;
  // Inside the live surface the key is redrawn from its tint layers.
  void InvalidateTint(CControlUI* control, const UiRect& rc) override;
  void SetCapture() override;
  void ReleaseCapture() override;
  bool OpenDropDown(CComboUI* combo) override;
  bool BeginEdit(CEditUI* edit) override;
  void EndEdit(CEditUI* edit) override;
  void OnEditTextSet(CEditUI* edit) override;
  UiPoint GetCursorPos() override;
  void ShowToolTip(const UiRect& control_rect, std::string_view text) override;
  void HideToolTip() override;
  void SetCursor(CursorShape shape) override;
  void OnControlRemoved(CControlUI* control) override;
  // On xcb the live area gets a QtLiveSurface of its own, unless a child
  // widget (the edit overlay) or a rounded corner lies in it.
  void SetLiveArea(const UiRect& rc) override;

  // Geometry set by the library (not echoed back as a user move).
  void ApplyGeometry(const QRect& rc);
  // Makes the window transient for its owner's window; once, before the
  // first show.
  void PrepareFirstShow();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  LRESULT Send(UINT msg, WPARAM wparam, LPARAM lparam);
  bool Alive() const { return hwnd_ != nullptr && pm_ != nullptr; }
  void FinishEdit(bool move_focus_next, bool backwards);
  void ReportGeometry();
  // A point in the window as a screen point of the library's rectangle.
  LPARAM LibraryScreenPoint(const QPoint& local) const;
  void PostFlush();
  void FlushUpdates();  // hands the collected invalidations to Qt, joined
  // The live surface's part (and the tint changes) now, the rest through Qt.
  void Repaint(QRegion region, const std::vector<CControlUI*>& tinted = {});
  bool LiveAreaUsable(const QRect& area) const;
  void HideLive();  // the window repaints what the surface showed

  HWND hwnd_ = nullptr;
  HWND owner_parent_ = nullptr;
  bool prepared_ = false;
  bool popup_ = false;
  CPaintManagerUI* pm_ = nullptr;
  bool applying_geometry_ = false;
  bool dragging_ = false;
  QPoint drag_offset_;
  QPointer<QLineEdit> editor_;
  CEditUI* editing_ = nullptr;
  QPointer<QtComboPopup> popup_list_;
  std::vector<QRect> pending_updates_;
  std::vector<CControlUI*> pending_tints_;  // controls whose tint alone changed, inside the live surface
  bool flush_posted_ = false;
  bool window_init_posted_ = false;
  QPointer<QtLiveSurface> live_;
  // The back buffer of small paints (device pixels, from the painted
  // rectangles' corner); painted parts are copied to the window.
  QImage buffer_;
  static constexpr qint64 kMaxKeptBufferBytes = 512 * 1024;
};

// The INativeWindow a library window owns; forwards to the widget and
// hands it to Qt for deletion when the library window goes.
class QtNativeWindow : public INativeWindow {
 public:
  explicit QtNativeWindow(CWindowWnd* owner);
  ~QtNativeWindow() override;
  QtWindow* Widget() const { return widget_; }

  void SetVisible(bool visible, bool activate) override;
  void SetGeometry(const UiRect& rc) override;
  void SetTopMost(bool top_most) override;
  void SetTitle(std::string_view title) override;
  void SetEnabled(bool enabled) override;
  void SetMinimized(bool minimized) override;
  void Activate() override;
  void Invalidate() override;
  void AttachPaintManager(CPaintManagerUI* pm) override;
  IPaintHost* PaintHost() override { return widget_; }

 private:
  QPointer<QtWindow> widget_;
};

}  // namespace trx::ui::qt

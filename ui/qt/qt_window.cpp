#include "ui/qt/qt_window.h"

#include <QCloseEvent>
#include <QCursor>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpressionValidator>
#include <QToolTip>
#include <QWheelEvent>

#include <cstdlib>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "ui/core/combo.h"
#include "ui/core/edit.h"
#include "ui/qt/qt_combo_popup.h"
#include "ui/qt/qt_input.h"
#include "ui/qt/qt_live_surface.h"
#include "ui/qt/qt_paint_rects.h"
#include "ui/qt/qt_renderer.h"
#include "ui/qt/qt_scratch_image.h"
#include "platform/single_instance.h"
#include "ui/window/win_api.h"

namespace trx::ui::qt {
namespace {

QRect ToQRect(const UiRect& rc) { return QRect(rc.left, rc.top, rc.Width(), rc.Height()); }

// The widget of a WS_CHILD window's parent, or null for top-level windows.
QWidget* ParentWidgetFor(const CWindowWnd* owner) {
  if ((owner->GetStyle() & WS_CHILD) == 0) return nullptr;
  CWindowWnd* parent = CWindowWnd::FromHandle(owner->GetParent());
  auto* native = parent ? dynamic_cast<QtNativeWindow*>(parent->Native()) : nullptr;
  return native ? native->Widget() : nullptr;
}

Qt::WindowFlags FlagsFor(const CWindowWnd* owner) {
  // A child window is a plain widget inside its parent's window (hosted by
  // a CWndUI); its geometry is in the parent's client coordinates.
  if (ParentWidgetFor(owner) != nullptr) return Qt::Widget;
  Qt::WindowFlags flags = Qt::FramelessWindowHint;  // layouts draw their own caption
  const DWORD ex = owner->GetExStyle();
  // Tool windows that stay on top (menus, the skin chooser) close when the
  // user clicks elsewhere: Qt popups.
  if ((ex & WS_EX_TOOLWINDOW) && (ex & WS_EX_TOPMOST)) return flags | Qt::Popup;
  flags |= (ex & WS_EX_TOOLWINDOW) ? Qt::Tool : Qt::Window;
  if (ex & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
  return flags;
}

// Raises and activates a window. On Wayland a client may only take the
// focus with an activation token: the one a later copy of the program
// passed on (single_instance.h) is handed to Qt, which reads it from
// XDG_ACTIVATION_TOKEN when the window asks for activation.
void RaiseAndActivate(QWidget* widget) {
  const std::string token = TakeActivationToken();
  if (!token.empty() && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
    qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(token));
  widget->raise();
  widget->activateWindow();
}

// The layout's round corner is the size of the corner ellipse.
QPainterPath WindowShape(QSize size, UiSize round) {
  QPainterPath path;
  path.addRoundedRect(QRectF(0, 0, size.width(), size.height()), round.cx / 2.0, round.cy / 2.0);
  return path;
}

// Whether r reaches into one of the window's rounded corners.
bool TouchesCorner(const QRect& r, QSize size, UiSize round) {
  const int rx = (round.cx + 1) / 2, ry = (round.cy + 1) / 2;
  const bool middle_rows = r.top() >= ry && r.bottom() < size.height() - ry;
  const bool middle_columns = r.left() >= rx && r.right() < size.width() - rx;
  return !middle_rows && !middle_columns;
}

}  // namespace

QtWindow::QtWindow(CWindowWnd* owner)
    : QWidget(ParentWidgetFor(owner), FlagsFor(owner)), hwnd_(owner->GetHWND()) {
  popup_ = (windowFlags() & Qt::Popup) == Qt::Popup;
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  owner_parent_ = owner->GetParent();
}

void QtWindow::PrepareFirstShow() {
  if (prepared_) return;
  prepared_ = true;
  if (!isWindow()) return;  // a child lives inside its parent's window
  // Done at the first show, after the layout set translucency: creating the
  // native window earlier would fix its format without the alpha channel.
  CWindowWnd* parent = CWindowWnd::FromHandle(owner_parent_);
  auto* parent_native = parent ? dynamic_cast<QtNativeWindow*>(parent->Native()) : nullptr;
  if (parent_native && parent_native->Widget()) {
    winId();
    parent_native->Widget()->winId();
    windowHandle()->setTransientParent(parent_native->Widget()->windowHandle());
  } else if (popup_ && QGuiApplication::focusWindow() != nullptr) {
    // A popup without an owner (the tray menu) opens against the window in
    // use: Wayland places popups relative to a parent surface only.
    winId();
    windowHandle()->setTransientParent(QGuiApplication::focusWindow());
  }
}

QtWindow::~QtWindow() {
  if (popup_list_) popup_list_->close();
  delete live_.data();
}

void QtWindow::Detach() {
  if (editing_ != nullptr && editor_) editor_->hide();
  editing_ = nullptr;
  if (popup_list_) {
    popup_list_->Forget();
    popup_list_->close();
  }
  pm_ = nullptr;
  hwnd_ = nullptr;
}

void QtWindow::AttachPaintManager(CPaintManagerUI* pm) {
  if (pm == nullptr) {
    if (popup_list_) {
      popup_list_->Forget();
      popup_list_->close();
    }
    editing_ = nullptr;
    if (editor_) editor_->hide();
  }
  pm_ = pm;
  if (pm_ != nullptr) {
    pm_->SetWindowInitByHost(true);  // sent after the first paint event (paintEvent)
    const UiSize round = pm_->GetRoundCorner();
    if (round.cx > 0 || round.cy > 0) {
      setAttribute(Qt::WA_TranslucentBackground, true);
      // Qt clears a translucent window's update region itself, and paintEvent
      // copies every updated pixel: no background fill of its own first.
      setAttribute(Qt::WA_OpaquePaintEvent, true);
    }
    const QSize sz = size();
    pm_->SetClientSize({sz.width(), sz.height()});
  }
  update();
}

LRESULT QtWindow::Send(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (hwnd_ == nullptr) return 0;
  return SendMessage(hwnd_, msg, wparam, lparam);
}

QImage QtWindow::RenderTree(CPaintManagerUI* pm, QSize size, qreal device_pixel_ratio) {
  QImage image(size * device_pixel_ratio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(device_pixel_ratio);
  image.fill(Qt::transparent);
  if (pm == nullptr) return image;
  pm->SetClientSize({size.width(), size.height()});
  QPainter painter(&image);
  QtRenderer renderer(painter);
  pm->Paint(renderer, {0, 0, size.width(), size.height()});
  return image;
}

void QtWindow::paintEvent(QPaintEvent* event) {
  if (pm_ == nullptr) {
    QPainter painter(this);
    return;
  }
  // The tree is painted into a back buffer and the changed part copied to
  // the window. Painting into a plain image keeps every clip a simple
  // rectangle; painting straight into the window would intersect each clip
  // with the update's (possibly many-rectangle) region.
  // Scattered small updates (the keys of an animated preview) are painted
  // rectangle by rectangle, so only the changed controls and what lies
  // under them are drawn, not everything inside their bounding box.
  const qreal dpr = devicePixelRatioF();
  const std::vector<QRect> painted = PaintRects(event->region());
  // The buffer covers the painted rectangles' bounds (the whole window at a
  // fractional pixel ratio, where a part would not start on a pixel). A
  // small one is kept for the next paint; a large one (a page switch, an
  // exposure) is mapped for this paint only.
  QRect bounds;
  for (const QRect& r : painted) bounds |= r;
  if (dpr != std::floor(dpr)) bounds = rect();
  const QSize device_size = bounds.size() * dpr;
  const bool small = static_cast<qint64>(device_size.width()) * device_size.height() * 4 <= kMaxKeptBufferBytes;
  std::optional<ScratchImage> scratch;
  QImage* buffer = &buffer_;
  if (!small) {
    scratch.emplace(device_size, QImage::Format_ARGB32_Premultiplied);
    if (!scratch->Image().isNull()) buffer = &scratch->Image();
  }
  if (buffer == &buffer_ && (buffer_.width() < device_size.width() || buffer_.height() < device_size.height() ||
                             buffer_.devicePixelRatio() != dpr)) {
    QSize grown = buffer_.devicePixelRatio() == dpr ? device_size.expandedTo(buffer_.size()) : device_size;
    if (static_cast<qint64>(grown.width()) * grown.height() * 4 > kMaxKeptBufferBytes) grown = device_size;
    buffer_ = QImage(grown, QImage::Format_ARGB32_Premultiplied);
  }
  buffer->setDevicePixelRatio(dpr);
  if (!bounds.isEmpty()) {
    QPainter painter(buffer);
    painter.translate(-bounds.topLeft());
    for (const QRect& r : painted) {
      if (pm_ == nullptr) return;  // the window was let go
      painter.save();
      painter.setClipRect(r);
      painter.setCompositionMode(QPainter::CompositionMode_Source);
      painter.fillRect(r, Qt::transparent);
      painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
      // Only updates reaching into a rounded window corner need the
      // (expensive) shaped clip.
      const UiSize round = pm_->GetRoundCorner();
      if ((round.cx > 0 || round.cy > 0) && TouchesCorner(r, size(), round))
        painter.setClipPath(WindowShape(size(), round), Qt::IntersectClip);
      const UiRect dirty{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
      {
        QtRenderer renderer(painter, dirty);  // draws what it holds back when it goes
        pm_->Paint(renderer, dirty);
      }
      painter.restore();
    }
  }
  // The window's own updates under the live surface (exposure, a repaint
  // of the whole window) show on the surface too.
  if (live_ && live_->Showing() && event->region().intersects(live_->Area())) live_->Paint(pm_, event->region());
  if (!pm_->IsWindowInitSent() && !window_init_posted_) {
    // After this paint event, not inside it: a handler may open a modal
    // dialog, whose loop inside a paint event kept Qt repainting at full
    // speed until the dialog closed.
    window_init_posted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          window_init_posted_ = false;
          if (pm_ != nullptr) pm_->SendWindowInit();
        },
        Qt::QueuedConnection);
  }
  // Drawn over what the window holds, as the tree would have been: a
  // translucent window's update region has been cleared by Qt, so its
  // pixels land unchanged.
  QPainter painter(this);
  // Over a translucent window's cleared region a copy shows the same as a
  // blend, and costs a plain copy of the pixels.
  if (testAttribute(Qt::WA_TranslucentBackground)) painter.setCompositionMode(QPainter::CompositionMode_Source);
  const QRect device_rect(QPoint(0, 0), device_size);
  for (const QRect& r : painted) {
    // The part as an image of its own over the buffer's pixels (no copy),
    // drawn at its place: a plain blit.
    const QRect d = QRect(QPoint(qRound((r.x() - bounds.x()) * dpr), qRound((r.y() - bounds.y()) * dpr)),
                          QSize(qRound(r.width() * dpr), qRound(r.height() * dpr)))
                        .intersected(device_rect);
    if (d.isEmpty()) continue;
    QImage part(buffer->constScanLine(d.y()) + static_cast<qsizetype>(d.x()) * 4, d.width(), d.height(),
                buffer->bytesPerLine(), buffer->format());
    part.setDevicePixelRatio(dpr);
    painter.drawImage(QPointF(bounds.x() + d.x() / dpr, bounds.y() + d.y() / dpr), part);
  }
}

// The hit test takes screen coordinates as the library counts them: its
// window rectangle's corner plus the point in the window. The desktop's
// global position is not used: on Wayland a window does not know where it
// is, so global positions do not match the library's rectangle and a press
// on a control below the caption could test as the caption.
LPARAM QtWindow::LibraryScreenPoint(const QPoint& local) const {
  UiRect rc{};
  if (CWindowWnd* owner = CWindowWnd::FromHandle(hwnd_)) rc = owner->GetWindowRect();
  return MakeLParam(rc.left + local.x(), rc.top + local.y());
}

void QtWindow::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (popup_ && !rect().contains(p)) {
    // A press outside a popup (menu, drop-down, chooser) closes it, as
    // Qt's own popups do; the press is not a click inside the window.
    QWidget::mousePressEvent(event);
    return;
  }
  if (!Alive()) return;
  const QPoint g = event->globalPosition().toPoint();
  const auto state = KeyStateFromQt(event->buttons(), event->modifiers());
  if (event->button() == Qt::LeftButton) {
    if (!popup_ && Send(WM_NCHITTEST, 0, LibraryScreenPoint(p)) == HTCAPTION) {
      // Caption: let the window manager move it, or move it ourselves.
      if (windowHandle() == nullptr || !windowHandle()->startSystemMove()) {
        dragging_ = true;
        drag_offset_ = g - frameGeometry().topLeft();
      }
      return;
    }
    Send(WM_LBUTTONDOWN, state, MakePointLParam(p.x(), p.y()));
  } else if (event->button() == Qt::RightButton) {
    Send(WM_RBUTTONDOWN, state, MakePointLParam(p.x(), p.y()));
  }
}

void QtWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (dragging_ && event->button() == Qt::LeftButton) {
    dragging_ = false;
    return;
  }
  if (!Alive()) return;
  const QPoint p = event->position().toPoint();
  const auto state = KeyStateFromQt(event->buttons(), event->modifiers());
  if (event->button() == Qt::LeftButton) Send(WM_LBUTTONUP, state, MakePointLParam(p.x(), p.y()));
  else if (event->button() == Qt::RightButton) Send(WM_RBUTTONUP, state, MakePointLParam(p.x(), p.y()));
}

void QtWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!Alive() || event->button() != Qt::LeftButton) return;
  const QPoint p = event->position().toPoint();
  Send(WM_LBUTTONDBLCLK, KeyStateFromQt(event->buttons(), event->modifiers()), MakePointLParam(p.x(), p.y()));
}

void QtWindow::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) {
    move(event->globalPosition().toPoint() - drag_offset_);
    return;
  }
  if (!Alive()) return;
  const QPoint p = event->position().toPoint();
  Send(WM_MOUSEMOVE, KeyStateFromQt(event->buttons(), event->modifiers()), MakePointLParam(p.x(), p.y()));
}

void QtWindow::wheelEvent(QWheelEvent* event) {
  if (!Alive()) return;
  const QPoint p = event->position().toPoint();
  const int delta = event->angleDelta().y();
  if (delta == 0) return;
  const WPARAM wparam = (static_cast<WPARAM>(static_cast<std::uint16_t>(static_cast<std::int16_t>(delta))) << 16) |
                        KeyStateFromQt(event->buttons(), event->modifiers());
  Send(WM_MOUSEWHEEL, wparam, MakePointLParam(p.x(), p.y()));
}

void QtWindow::leaveEvent(QEvent*) {
  if (Alive()) Send(WM_MOUSELEAVE, 0, 0);
}

void QtWindow::keyPressEvent(QKeyEvent* event) {
  if (!Alive()) return;
  const std::uint32_t vk = VirtualKeyFromQt(event->key());
  if (vk == VK_TAB) {
    pm_->SetNextTabControl(!(event->modifiers() & Qt::ShiftModifier) && event->key() != Qt::Key_Backtab);
    return;
  }
  // With Alt held the key is a system key, as the desktop reports it.
  const bool alt = (event->modifiers() & Qt::AltModifier) != 0;
  if (vk != 0) Send(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 0);
  if (!Alive()) return;
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return;
  for (const char32_t cp : event->text().toUcs4()) {
    if (cp < 0x20 || cp == 0x7F) continue;
    Send(WM_CHAR, cp, 0);
    if (!Alive()) return;
  }
}

void QtWindow::keyReleaseEvent(QKeyEvent* event) {
  if (!Alive()) return;
  if (const std::uint32_t vk = VirtualKeyFromQt(event->key()); vk != 0) Send(WM_KEYUP, vk, 0);
}

void QtWindow::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  if (!Alive()) return;
  // Focus moving into our own edit overlay is not a loss for the window.
  if (editor_ && QApplication::focusWidget() == editor_) return;
  Send(WM_KILLFOCUS, 0, 0);
}

bool QtWindow::focusNextPrevChild(bool) { return false; }  // Tab belongs to the layout's tab order

void QtWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (hwnd_ == nullptr) return;
  CWindowWnd* owner = CWindowWnd::FromHandle(hwnd_);
  if (owner == nullptr) return;
  if (event->type() == QEvent::ActivationChange) {
    owner->OnNativeActivate(isActiveWindow());
  } else if (event->type() == QEvent::WindowStateChange && isMinimized() != owner->IsMinimized()) {
    // Minimised or restored by the desktop (taskbar, window menu).
    owner->OnNativeMinimized(isMinimized());
  }
}

void QtWindow::closeEvent(QCloseEvent* event) {
  if (hwnd_ == nullptr) {
    event->accept();
    return;
  }
  if (popup_) {
    // Qt closes popups on a click elsewhere; the library window follows.
    event->accept();
    PostMessage(hwnd_, WM_CLOSE, 0, 0);
    return;
  }
  // The library decides (a window may refuse or just hide).
  event->ignore();
  Send(WM_SYSCOMMAND, SC_CLOSE, 0);
}

void QtWindow::ReportGeometry() {
  if (applying_geometry_ || hwnd_ == nullptr) return;
  const QRect g = geometry();
  if (CWindowWnd* owner = CWindowWnd::FromHandle(hwnd_))
    owner->OnNativeGeometry({g.left(), g.top(), g.left() + g.width(), g.top() + g.height()});
}

void QtWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  ReportGeometry();
}

void QtWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ReportGeometry();
  if (pm_ != nullptr) pm_->SetClientSize({width(), height()});
}

void QtWindow::ApplyGeometry(const QRect& rc) {
  applying_geometry_ = true;
  setGeometry(rc);
  applying_geometry_ = false;
  if (pm_ != nullptr) pm_->SetClientSize({rc.width(), rc.height()});
}

// ---- IPaintHost ----

void QtWindow::Invalidate(const UiRect& rc) {
  // Collected and joined before Qt sees them: an animated preview
  // invalidates a hundred small keys per frame, and Qt would keep them as a
  // hundred-rectangle region, making every later drawing step clip against
  // all of them.
  if (rc.IsEmpty()) return;
  if (live_) live_->Forget(ToQRect(rc));  // what the tree draws there changed
  pending_updates_.push_back(ToQRect(rc));
  PostFlush();
}

void QtWindow::InvalidateTint(CControlUI* control, const UiRect& rc) {
  if (!live_ || !live_->Showing() || !live_->Area().contains(ToQRect(rc))) {
    Invalidate(rc);
    return;
  }
  pending_tints_.push_back(control);
  PostFlush();
}

void QtWindow::PostFlush() {
  if (flush_posted_) return;
  flush_posted_ = true;
  QMetaObject::invokeMethod(this, [this] { FlushUpdates(); }, Qt::QueuedConnection);
}

void QtWindow::FlushUpdates() {
  flush_posted_ = false;
  std::vector<QRect> rects;
  rects.swap(pending_updates_);
  std::vector<CControlUI*> tinted;
  tinted.swap(pending_tints_);
  // A key whose colour and alpha both changed was named twice.
  std::sort(tinted.begin(), tinted.end());
  tinted.erase(std::unique(tinted.begin(), tinted.end()), tinted.end());
  if (!tinted.empty() && !(live_ && live_->Showing())) {
    // The surface went meanwhile: the window paints them.
    for (CControlUI* c : tinted) rects.push_back(ToQRect(c->GetPos()));
    tinted.clear();
  }
  if (rects.size() <= 1) {
    Repaint(rects.empty() ? QRegion() : QRegion(rects.front()), tinted);
    return;
  }
  std::sort(rects.begin(), rects.end(), [](const QRect& a, const QRect& b) {
    return a.top() != b.top() ? a.top() < b.top() : a.left() < b.left();
  });
  QRegion region;
  QRect run;
  for (const QRect& r : rects) {
    if (!run.isNull() && run.top() == r.top() && run.bottom() == r.bottom() && r.left() - run.right() - 1 <= kMaxJoinGap) {
      run.setRight(std::max(run.right(), r.right()));
      continue;
    }
    if (!run.isNull()) region += run;
    run = r;
  }
  region += run;
  Repaint(region, tinted);
}

void QtWindow::Repaint(QRegion region, const std::vector<CControlUI*>& tinted) {
  if (live_ && live_->Showing() && (!tinted.empty() || region.intersects(live_->Area()))) {
    live_->Paint(pm_, region, tinted);
    region -= live_->Area();
    if (region.isEmpty()) return;
  }
  update(region);
}

bool QtWindow::LiveAreaUsable(const QRect& area) const {
  if (area.isEmpty() || pm_ == nullptr || !isWindow() || !isVisible()) return false;
  // Offscreen (tests) and Wayland paint the window as a whole.
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return false;
  const UiSize round = pm_->GetRoundCorner();
  if ((round.cx > 0 || round.cy > 0) && TouchesCorner(area, size(), round)) return false;
  // A native surface would hide the window's own child widgets.
  for (const QObject* child : children()) {
    const auto* widget = qobject_cast<const QWidget*>(child);
    if (widget != nullptr && !widget->isWindow() && widget->isVisible() && widget->geometry().intersects(area))
      return false;
  }
  return true;
}

void QtWindow::SetLiveArea(const UiRect& rc) {
  const QRect area = ToQRect(rc) & rect();
  if (!LiveAreaUsable(area)) {
    HideLive();
    return;
  }
  if (!live_) {
    winId();
    live_ = new QtLiveSurface(windowHandle(), [this] {
      if (live_) live_->Paint(pm_, QRegion(live_->Area()));
    });
  }
  const QRect old = live_->Showing() ? live_->Area() : QRect();
  if (old == area) return;
  if (!old.isEmpty()) update(old);  // the window shows what the surface no longer covers
  live_->ShowOver(area);
}

void QtWindow::HideLive() {
  if (!live_ || !live_->isVisible()) return;
  live_->hide();
  live_->ForgetAll();
  update(live_->Area());  // painted only on the surface meanwhile
}

void QtWindow::SetCapture() {}  // Qt keeps delivering to the pressed widget on its own

void QtWindow::ReleaseCapture() {}

bool QtWindow::OpenDropDown(CComboUI* combo) {
  if (combo == nullptr) return false;
  if (popup_list_) popup_list_->close();
  auto* popup = new QtComboPopup(this, combo);
  popup_list_ = popup;
  popup->show();
  popup->setFocus();
  return true;
}

namespace {

// The overlay's colours follow the edit: its background (the native one
// when the layout names it), its text colour, and a selection that reads
// on both; a text colour too close to the background becomes black or white.
QPalette EditPalette(QPalette pal, CEditUI& edit) {
  UiColor bk = edit.GetNativeBkColor();
  if ((bk >> 24) == 0) bk = edit.GetBkColor();
  const QColor base = (bk >> 24) != 0 ? QtRenderer::ToQColor(bk | 0xFF000000) : QColor(Qt::white);
  QColor text = (edit.GetTextColor() >> 24) != 0 ? QtRenderer::ToQColor(edit.GetTextColor()) : QColor(Qt::black);
  if (std::abs(text.lightness() - base.lightness()) < 96) text = base.lightness() < 128 ? Qt::white : Qt::black;
  pal.setColor(QPalette::Base, base);
  pal.setColor(QPalette::Window, base);
  pal.setColor(QPalette::Text, text);
  pal.setColor(QPalette::WindowText, text);
  pal.setColor(QPalette::Highlight, base.lightness() < 128 ? QColor(0xE8, 0x45, 0x3C) : QColor(0x30, 0x78, 0xD8));
  pal.setColor(QPalette::HighlightedText, Qt::white);
  return pal;
}

}  // namespace

bool QtWindow::BeginEdit(CEditUI* edit) {
  if (edit == nullptr || edit->IsReadOnly()) return false;
  if (!editor_) {
    editor_ = new QLineEdit(this);
    editor_->setFrame(false);
    editor_->installEventFilter(this);
    QObject::connect(editor_, &QLineEdit::textEdited, this, [this](const QString& text) {
      if (editing_ == nullptr) return;
      const std::string filtered = editing_->OnNativeTextChanged(text.toStdString());
      const QString shown = QString::fromStdString(filtered);
      if (shown != text) editor_->setText(shown);
    });
    QObject::connect(editor_, &QLineEdit::editingFinished, this, [this] { FinishEdit(false, false); });
  }
  editing_ = edit;
  const UiRect rc = edit->GetPos();
  editor_->setGeometry(ToQRect(rc).adjusted(2, 2, -2, -2));
  if (pm_ != nullptr) editor_->setFont(QtRenderer::ToQFont(pm_->GetFont(edit->GetFont())));
  editor_->setMaxLength(edit->GetMaxChar() > 0 ? edit->GetMaxChar() : 255);
  editor_->setEchoMode(edit->IsPasswordMode() ? QLineEdit::Password : QLineEdit::Normal);
  editor_->setValidator(edit->IsNumberOnly()
                            ? new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), editor_)
                            : nullptr);
  editor_->setPalette(EditPalette(editor_->palette(), *edit));
  editor_->setText(QString::fromStdString(edit->GetText()));
  editor_->show();
  if (live_ && live_->Showing() && editor_->geometry().intersects(live_->Area())) HideLive();
  editor_->setFocus();
  editor_->selectAll();
  return true;
}

void QtWindow::FinishEdit(bool move_focus_next, bool backwards) {
  CEditUI* edit = editing_;
  if (edit == nullptr) return;
  editing_ = nullptr;
  if (editor_) editor_->hide();
  setFocus();
  edit->OnNativeEditDone();
  if (move_focus_next && pm_ != nullptr) pm_->SetNextTabControl(!backwards);
}

void QtWindow::EndEdit(CEditUI* edit) {
  if (edit == nullptr || edit != editing_) return;
  editing_ = nullptr;
  if (editor_) editor_->hide();
}

void QtWindow::OnEditTextSet(CEditUI* edit) {
  if (edit == nullptr || edit != editing_ || !editor_) return;
  const QString text = QString::fromStdString(edit->GetText());
  if (editor_->text() != text) editor_->setText(text);  // setText does not raise textEdited
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editor_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      FinishEdit(true, key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier));
      return true;
    }
    if (key->key() == Qt::Key_Escape) {
      FinishEdit(false, false);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

UiPoint QtWindow::GetCursorPos() {
  const QPoint p = mapFromGlobal(QCursor::pos());
  return {p.x(), p.y()};
}

void QtWindow::ShowToolTip(const UiRect& control_rect, std::string_view text) {
  QToolTip::showText(QCursor::pos(), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), this,
                     ToQRect(control_rect));
}

void QtWindow::HideToolTip() { QToolTip::hideText(); }

void QtWindow::SetCursor(CursorShape shape) {
  switch (shape) {
    case CursorShape::Hand: setCursor(Qt::PointingHandCursor); break;
    case CursorShape::IBeam: setCursor(Qt::IBeamCursor); break;
    case CursorShape::SizeWE: setCursor(Qt::SizeHorCursor); break;
    case CursorShape::SizeNS: setCursor(Qt::SizeVerCursor); break;
    default: unsetCursor(); break;
  }
}

void QtWindow::OnControlRemoved(CControlUI* control) {
  pending_tints_.erase(std::remove(pending_tints_.begin(), pending_tints_.end(), control), pending_tints_.end());
  if (live_) live_->Forget(control);
  if (control != nullptr && control == static_cast<CControlUI*>(editing_)) {
    editing_ = nullptr;
    if (editor_) editor_->hide();
  }
  if (popup_list_ && static_cast<CControlUI*>(popup_list_->Combo()) == control) {
    popup_list_->Forget();
    popup_list_->close();
  }
}

// ---- QtNativeWindow ----

QtNativeWindow::QtNativeWindow(CWindowWnd* owner) : widget_(new QtWindow(owner)) {}

QtNativeWindow::~QtNativeWindow() {
  if (widget_) {
    widget_->Detach();
    widget_->hide();
    widget_->deleteLater();
  }
}

void QtNativeWindow::SetVisible(bool visible, bool activate) {
  if (!widget_) return;
  if (!visible) {
    widget_->hide();
    return;
  }
  widget_->PrepareFirstShow();
  widget_->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
  widget_->show();
  if (activate) RaiseAndActivate(widget_);
}

void QtNativeWindow::SetGeometry(const UiRect& rc) {
  if (widget_) widget_->ApplyGeometry(QRect(rc.left, rc.top, rc.Width(), rc.Height()));
}

void QtNativeWindow::SetTopMost(bool top_most) {
  if (!widget_ || (widget_->windowFlags() & Qt::Popup) == Qt::Popup) return;
  if (widget_->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == top_most) return;
  const bool was_visible = widget_->isVisible();
  widget_->setWindowFlag(Qt::WindowStaysOnTopHint, top_most);  // hides the widget
  if (was_visible) widget_->show();
}

void QtNativeWindow::SetTitle(std::string_view title) {
  if (widget_) widget_->setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
}

void QtNativeWindow::SetEnabled(bool enabled) {
  if (widget_) widget_->setEnabled(enabled);
}

void QtNativeWindow::SetMinimized(bool minimized) {
  if (!widget_) return;
  if (minimized) {
    widget_->PrepareFirstShow();
    widget_->showMinimized();
  } else if (widget_->isMinimized()) {
    widget_->showNormal();
  }
}

void QtNativeWindow::Activate() {
  if (widget_) RaiseAndActivate(widget_);
}

void QtNativeWindow::Invalidate() {
  if (widget_) widget_->update();
}

void QtNativeWindow::AttachPaintManager(CPaintManagerUI* pm) {
  if (widget_) widget_->AttachPaintManager(pm);
}

}  // namespace trx::ui::qt

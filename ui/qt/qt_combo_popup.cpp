#include "ui/qt/qt_combo_popup.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <QWheelEvent>

#include <algorithm>

#include "ui/core/paint_manager.h"
#include "ui/qt/qt_renderer.h"

namespace trx::ui::qt {
namespace {
constexpr int kDefaultMaxHeight = 300;  // pixels, when the layout sets no drop box size

// The width the widest item's text needs, with the list's padding.
int WidestItem(CComboUI* combo) {
  CPaintManagerUI* pm = combo->GetManager();
  if (pm == nullptr) return 0;
  const TListInfoUI& info = combo->GetListInfo();
  const QFontMetrics metrics(QtRenderer::ToQFont(pm->GetFont(info.font)));
  int widest = 0;
  for (int i = 0; i < combo->GetCount(); ++i) {
    if (CControlUI* item = combo->GetItemAt(i))
      widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(item->GetText())));
  }
  // Text padding on both sides, a little air and room for a scroll bar.
  return widest + info.textPadding.left + std::max(info.textPadding.right, info.textPadding.left) + 16;
}

}  // namespace

QtComboPopup::QtComboPopup(QWidget* host, CComboUI* combo)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), combo_(combo) {
  setAttribute(Qt::WA_DeleteOnClose);
  const UiRect rc = combo->GetPos();
  const UiSize box = combo->GetDropBoxSize();
  content_height_ = std::max(1, combo->GetItemsHeight());
  int width = std::max({rc.Width(), box.cx, WidestItem(combo)});
  const int max_height = box.cy > 0 ? box.cy : kDefaultMaxHeight;
  int height = std::min(content_height_, max_height);
  QPoint at = host->mapToGlobal(QPoint(rc.left, rc.bottom));
  if (QScreen* screen = host->screen()) {
    // Kept inside the work area: opens upwards when there is more room
    // above, gets shorter (and scrolls) when neither side has room, and
    // moves left at the right edge.
    const QRect avail = screen->availableGeometry();
    const QPoint top = host->mapToGlobal(QPoint(rc.left, rc.top));
    const int below = avail.bottom() + 1 - at.y();
    const int above = top.y() - avail.top();
    if (height > below && above > below) {
      height = std::min(height, above);
      at.setY(top.y() - height);
    } else {
      height = std::max(1, std::min(height, below));
    }
    width = std::min(width, avail.width());
    at.setX(std::clamp(at.x(), avail.left(), avail.right() + 1 - width));
  }
  setGeometry(QRect(at, QSize(width, height)));
  // Wayland places a popup relative to its parent surface: name it.
  if (host->window()->windowHandle() != nullptr) {
    winId();
    windowHandle()->setTransientParent(host->window()->windowHandle());
  }
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  hover_ = combo->GetCurSel();  // the keys move on from the current item
  if (hover_ >= 0) ScrollTo(hover_);
}

QtComboPopup::~QtComboPopup() = default;

void QtComboPopup::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (combo_ == nullptr) {
    painter.fillRect(rect(), Qt::white);
    return;
  }
  // The list's own background under the items (a translucent selection
  // colour then mixes with it, not with white); white when it has none.
  const UiColor list_bk = combo_->GetListInfo().bkColor;
  painter.fillRect(rect(), (list_bk >> 24) != 0 ? QtRenderer::ToQColor(list_bk | 0xFF000000) : QColor(Qt::white));
  if (hover_ >= 0) {
    // The hovered item's rows, found through the combo's own hit test.
    int top = -1, bottom = -1;
    for (int y = 0; y < height(); ++y) {
      if (combo_->DropDownItemAt({width() / 2, y}, Area(), scroll_) != hover_) continue;
      if (top < 0) top = y;
      bottom = y + 1;
    }
    // Drawn first: the items paint their text over it.
    const QColor hot = QtRenderer::ToQColor(combo_->GetListInfo().hotBkColor);
    if (top >= 0) painter.fillRect(QRect(1, top, width() - 2, bottom - top), hot);
  }
  {
    QtRenderer renderer(painter);  // draws what it holds back when it goes
    combo_->PaintDropDown(renderer, Area(), scroll_);
  }
  painter.setPen(QColor(0xA0, 0xA0, 0xA0));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void QtComboPopup::mouseReleaseEvent(QMouseEvent* event) {
  if (combo_ == nullptr || event->button() != Qt::LeftButton) return;
  const QPoint p = event->position().toPoint();
  // The release of the press that opened the list lands here too, outside
  // the list; a press elsewhere closes the popup by itself.
  if (!rect().contains(p)) return;
  Choose(combo_->DropDownItemAt({p.x(), p.y()}, Area(), scroll_));
}

void QtComboPopup::mouseMoveEvent(QMouseEvent* event) {
  if (combo_ == nullptr) return;
  const QPoint p = event->position().toPoint();
  const int index = rect().contains(p) ? combo_->DropDownItemAt({p.x(), p.y()}, Area(), scroll_) : -1;
  if (index != hover_) {
    hover_ = index;
    update();
  }
}

void QtComboPopup::leaveEvent(QEvent*) {
  hover_ = -1;
  update();
}

void QtComboPopup::Choose(int index) {
  CComboUI* combo = combo_;
  if (combo == nullptr || index < 0) return;
  close();  // first: the selection handler may open other windows
  combo->SelectItem(index, false, true);
}

void QtComboPopup::ScrollBy(int dy) {
  const int max_scroll = std::max(0, content_height_ - height());
  scroll_ = std::clamp(scroll_ + dy, 0, max_scroll);
  update();
}

void QtComboPopup::wheelEvent(QWheelEvent* event) {
  ScrollBy(-event->angleDelta().y() / 120 * 24);
  // The item now under the pointer is the highlighted one.
  const QPoint p = event->position().toPoint();
  if (combo_ != nullptr && rect().contains(p)) hover_ = combo_->DropDownItemAt({p.x(), p.y()}, Area(), scroll_);
}

void QtComboPopup::ScrollTo(int index) {
  // The item's rows in the whole list, found through the combo's hit test.
  const UiRect all{0, 0, width(), content_height_};
  int top = -1, bottom = -1;
  for (int y = 0; y < content_height_; ++y) {
    if (combo_->DropDownItemAt({width() / 2, y}, all, 0) != index) continue;
    if (top < 0) top = y;
    bottom = y + 1;
  }
  if (top < 0) return;
  if (top < scroll_) ScrollBy(top - scroll_);
  else if (bottom > scroll_ + height()) ScrollBy(bottom - scroll_ - height());
}

void QtComboPopup::keyPressEvent(QKeyEvent* event) {
  if (combo_ == nullptr) return;
  const int count = combo_->GetCount();
  switch (event->key()) {
    case Qt::Key_Escape:
      close();
      return;
    case Qt::Key_Up:
    case Qt::Key_Down: {
      // Moves the highlight only: the combo changes (and its page acts)
      // once an item is chosen, as a click would.
      if (count == 0) return;
      const int from = hover_ >= 0 ? hover_ : combo_->GetCurSel();
      hover_ = event->key() == Qt::Key_Up ? std::max(0, from - 1) : std::clamp(from + 1, 0, count - 1);
      ScrollTo(hover_);
      update();
      return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (hover_ >= 0 && hover_ != combo_->GetCurSel()) Choose(hover_);
      else close();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void QtComboPopup::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    closed_ = true;
    if (combo_ != nullptr) combo_->OnDropDownClosed();
  }
  QWidget::closeEvent(event);
}

}  // namespace trx::ui::qt

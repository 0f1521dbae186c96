#include "ui/qt/qt_tray_icon.h"

#include <QPainter>
#include <QPixmap>

#include "ui/window/messages.h"

namespace trx::ui::qt {
namespace {
QIcon FallbackIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(0x01, 0x99, 0xCB));
  p.setPen(Qt::NoPen);
  p.drawEllipse(2, 2, 28, 28);
  return QIcon(pixmap);
}
}  // namespace

std::unique_ptr<INativeTrayIcon> QtTrayIcon::Create(std::function<void(UINT)> on_mouse, std::string_view icon_path,
                                                    std::string_view tooltip) {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return nullptr;
  std::unique_ptr<QtTrayIcon> tray(new QtTrayIcon);
  QIcon icon;
  if (!icon_path.empty()) icon = QIcon(QString::fromUtf8(icon_path.data(), static_cast<qsizetype>(icon_path.size())));
  if (icon.isNull() || icon.availableSizes().isEmpty()) icon = FallbackIcon();
  tray->icon_ = std::make_unique<QSystemTrayIcon>(icon);
  QObject::connect(tray->icon_.get(), &QSystemTrayIcon::activated,
                   [on_mouse = std::move(on_mouse)](QSystemTrayIcon::ActivationReason reason) {
                     if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                       on_mouse(WM_LBUTTONUP);
                     else if (reason == QSystemTrayIcon::Context)
                       on_mouse(WM_RBUTTONUP);
                   });
  tray->SetToolTip(tooltip);
  tray->icon_->show();
  return tray;
}

QtTrayIcon::~QtTrayIcon() {
  if (icon_) icon_->hide();
}

void QtTrayIcon::SetToolTip(std::string_view tip) {
  icon_->setToolTip(QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size())));
}

void QtTrayIcon::SetVisible(bool visible) { icon_->setVisible(visible); }

}  // namespace trx::ui::qt

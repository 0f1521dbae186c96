#include "ui/qt/qt_tray_icon.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QPainter>
#include <QPixmap>

#include "ui/window/messages.h"

namespace trx::ui::qt {
namespace {

constexpr int kTrayWaitMs = 2000;
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
  tray->ShowWhenTrayExists();
  if (!tray->shown_) {
    // No tray yet (a panel that starts after the program, plain GNOME):
    // look again now and then.
    QtTrayIcon* self = tray.get();
    tray->wait_for_tray_.setInterval(kTrayWaitMs);
    QObject::connect(&tray->wait_for_tray_, &QTimer::timeout, [self] { self->ShowWhenTrayExists(); });
    tray->wait_for_tray_.start();
  }
  return tray;
}

void QtTrayIcon::ShowWhenTrayExists() {
  if (shown_ || !QSystemTrayIcon::isSystemTrayAvailable()) return;
  shown_ = true;
  wait_for_tray_.stop();
  icon_->setVisible(visible_);
}

bool QtTrayIcon::Notify(std::string_view title, std::string_view text) {
  const QString t = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
  const QString body = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  QDBusInterface notifications(QStringLiteral("org.freedesktop.Notifications"),
                               QStringLiteral("/org/freedesktop/Notifications"),
                               QStringLiteral("org.freedesktop.Notifications"), QDBusConnection::sessionBus());
  if (notifications.isValid()) {
    const QDBusMessage reply = notifications.call(
        QStringLiteral("Notify"), QStringLiteral("TRX770"), 0u, QStringLiteral("input-mouse"), t, body,
        QStringList(), QVariantMap(), 5000);
    if (reply.type() == QDBusMessage::ReplyMessage) return true;
  }
  if (!shown_ || !QSystemTrayIcon::supportsMessages()) return false;
  icon_->showMessage(t, body, QSystemTrayIcon::Information, 5000);
  return true;
}

QtTrayIcon::~QtTrayIcon() {
  if (icon_) icon_->hide();
}

void QtTrayIcon::SetToolTip(std::string_view tip) {
  icon_->setToolTip(QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size())));
}

void QtTrayIcon::SetVisible(bool visible) {
  visible_ = visible;
  if (shown_) icon_->setVisible(visible);
}

}  // namespace trx::ui::qt

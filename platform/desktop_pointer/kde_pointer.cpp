#include "platform/desktop_pointer/kde_pointer.h"

#include <QtCore/QCoreApplication>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusInterface>
#include <QtDBus/QDBusMessage>
#include <QtDBus/QDBusReply>
#include <QtDBus/QDBusVariant>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <vector>

#include "platform/ini_file.h"

namespace trx::desktop {

namespace {

constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";
constexpr int kCallTimeoutMs = 2000;
// KGlobalSettings::notifyChange(SettingsChanged, SETTINGS_MOUSE).
constexpr int kSettingsChanged = 3;
constexpr int kSettingsMouse = 0;

QDBusConnection Bus(const std::string& name) { return QDBusConnection(QString::fromStdString(name)); }

// Property `name` of `interface` on `path`; invalid when the call failed.
QVariant GetProperty(const QDBusConnection& bus, const QString& path, const char* interface, const char* name) {
  QDBusMessage call = QDBusMessage::createMethodCall(kKWinService, path, kPropertiesInterface, "Get");
  call << QString(interface) << QString(name);
  QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  return reply.arguments().front().value<QDBusVariant>().variant();
}

bool SetProperty(const QDBusConnection& bus, const QString& path, const char* name, const QVariant& value) {
  QDBusMessage call = QDBusMessage::createMethodCall(kKWinService, path, kPropertiesInterface, "Set");
  call << QString(kKWinDeviceInterface) << QString(name) << QVariant::fromValue(QDBusVariant(value));
  return bus.call(call, QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

// The object paths of the pointers whose acceleration can be set.
std::vector<QString> AccelDevices(const QDBusConnection& bus) {
  std::vector<QString> paths;
  const QVariant names = GetProperty(bus, kKWinInputPath, kKWinManagerInterface, "devicesSysNames");
  for (const QString& sys_name : names.toStringList()) {
    const QString path = QString(kKWinInputPath) + "/" + sys_name;
    if (GetProperty(bus, path, kKWinDeviceInterface, "pointer").toBool() &&
        GetProperty(bus, path, kKWinDeviceInterface, "supportsPointerAcceleration").toBool())
      paths.push_back(path);
  }
  return paths;
}

std::string DefaultKdeGlobals() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + "/kdeglobals";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config/kdeglobals";
}

std::atomic<int> g_connections{0};

// Qt D-Bus wants an application object; the program has one, trx770ctl
// gets a core one here (kept for the process's life).
void EnsureQtCore() {
  static int argc = 1;
  static char name[] = "trx770";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
  (void)app;
}

}  // namespace

CKdePointer::CKdePointer(std::string connection_name, std::string kdeglobals)
    : connection_(std::move(connection_name)), kdeglobals_(std::move(kdeglobals)) {}

CKdePointer::~CKdePointer() { QDBusConnection::disconnectFromBus(QString::fromStdString(connection_)); }

std::unique_ptr<CKdePointer> CKdePointer::Open(const std::string& bus_address, const std::string& kdeglobals) {
  EnsureQtCore();
  const std::string name = "trx770-kde-" + std::to_string(g_connections.fetch_add(1));
  QDBusConnection bus = bus_address.empty()
                            ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, QString::fromStdString(name))
                            : QDBusConnection::connectToBus(QString::fromStdString(bus_address), QString::fromStdString(name));
  std::unique_ptr<CKdePointer> pointer(new CKdePointer(name, kdeglobals.empty() ? DefaultKdeGlobals() : kdeglobals));
  if (!bus.isConnected() || !GetProperty(bus, kKWinInputPath, kKWinManagerInterface, "devicesSysNames").isValid())
    return nullptr;  // the destructor closes the connection
  return pointer;
}

bool CKdePointer::HasPointerSpeed() {
  std::lock_guard<std::mutex> lock(mutex_);
  return !AccelDevices(Bus(connection_)).empty();
}

DesktopResult CKdePointer::SetPointerSpeed(int speed) {
  std::lock_guard<std::mutex> lock(mutex_);
  const QDBusConnection bus = Bus(connection_);
  const std::vector<QString> paths = AccelDevices(bus);
  if (paths.empty()) return DesktopResult::NotAvailable;
  bool all = true;
  for (const QString& path : paths) all &= SetProperty(bus, path, "pointerAcceleration", SpeedToUnit(speed));
  return all ? DesktopResult::Ok : DesktopResult::Failed;
}

DesktopResult CKdePointer::GetPointerSpeed(int* speed) {
  std::lock_guard<std::mutex> lock(mutex_);
  const QDBusConnection bus = Bus(connection_);
  const std::vector<QString> paths = AccelDevices(bus);
  if (paths.empty()) return DesktopResult::NotAvailable;
  const QVariant v = GetProperty(bus, paths.front(), kKWinDeviceInterface, "pointerAcceleration");
  bool ok = false;
  const double unit = v.toDouble(&ok);
  if (!ok) return DesktopResult::Failed;
  *speed = SpeedFromUnit(unit);
  return DesktopResult::Ok;
}

DesktopResult CKdePointer::SetWheelLines(int lines) {
  std::lock_guard<std::mutex> lock(mutex_);
  lines = std::clamp(lines, kWheelLinesMin, kWheelLinesMax);
  if (!WritePrivateProfileString("KDE", "WheelScrollLines", std::to_string(lines), kdeglobals_))
    return DesktopResult::Failed;
  QDBusMessage signal = QDBusMessage::createSignal("/KGlobalSettings", "org.kde.KGlobalSettings", "notifyChange");
  signal << kSettingsChanged << kSettingsMouse;
  if (!Bus(connection_).send(signal)) return DesktopResult::Failed;
  return DesktopResult::Ok;
}

DesktopResult CKdePointer::GetWheelLines(int* lines) {
  std::lock_guard<std::mutex> lock(mutex_);
  const long v = GetPrivateProfileLong("KDE", "WheelScrollLines", kdeglobals_);
  *lines = v >= kWheelLinesMin && v <= kWheelLinesMax ? static_cast<int>(v) : kWheelLinesDefault;  // KDE's default
  return DesktopResult::Ok;
}

}  // namespace trx::desktop

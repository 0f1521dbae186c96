// The KDE backend on a private bus with a stand-in KWin serving the
// input-device properties, and the wheel lines in kdeglobals.

#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QEventLoop>
#include <QtCore/QThread>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusMessage>
#include <QtDBus/QDBusVariant>
#include <QtDBus/QDBusVirtualObject>

#include <condition_variable>
#include <map>
#include <mutex>

#include "platform/desktop_pointer/kde_pointer.h"
#include "tests/platform/private_bus.h"
#include "tests/platform/temp_home.h"

namespace trx::desktop {
namespace {

// KWin's input devices: two pointers (one without acceleration support) and a keyboard.
class StandInKWin : public QDBusVirtualObject {
 public:
  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.interface() != "org.freedesktop.DBus.Properties") return false;
    const QList<QVariant> args = message.arguments();
    const std::string key = (message.path() + "|" + args.value(1).toString()).toStdString();
    std::lock_guard<std::mutex> lock(mutex);
    if (message.member() == "Get") {
      auto it = props.find(key);
      if (it == props.end()) {
        connection.send(message.createErrorReply(QDBusError::UnknownProperty, "no such property"));
        return true;
      }
      connection.send(message.createReply(QVariant::fromValue(QDBusVariant(it->second))));
      return true;
    }
    if (message.member() == "Set") {
      props[key] = args.value(2).value<QDBusVariant>().variant();
      connection.send(message.createReply());
      return true;
    }
    return false;
  }
  QVariant Prop(const std::string& key) {
    std::lock_guard<std::mutex> lock(mutex);
    return props[key];
  }
  void Set(const std::string& key, const QVariant& value) {
    std::lock_guard<std::mutex> lock(mutex);
    props[key] = value;
  }
  std::mutex mutex;  // guards props (the bus thread serves, the test reads)
  std::map<std::string, QVariant> props{
      {"/org/kde/KWin/InputDevice|devicesSysNames", QStringList{"event3", "event4", "event5"}},
      {"/org/kde/KWin/InputDevice/event3|pointer", true},
      {"/org/kde/KWin/InputDevice/event3|supportsPointerAcceleration", true},
      {"/org/kde/KWin/InputDevice/event3|pointerAcceleration", 0.0},
      {"/org/kde/KWin/InputDevice/event4|pointer", true},
      {"/org/kde/KWin/InputDevice/event4|supportsPointerAcceleration", false},
      {"/org/kde/KWin/InputDevice/event4|pointerAcceleration", 0.25},
      {"/org/kde/KWin/InputDevice/event5|pointer", false},
      {"/org/kde/KWin/InputDevice/event5|supportsPointerAcceleration", false},
  };
};

class KdePointerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "kde_pointer_test";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
  }
  void SetUp() override { ASSERT_FALSE(address.empty()) << "dbus-daemon did not start"; }
  void TearDown() override {
    if (server) {
      server->quit();
      server->wait();
    }
  }
  // Serves the stand-in KWin on its own thread (with its own event loop).
  void StartKWin() {
    server.reset(QThread::create([this] {
      QDBusConnection bus = QDBusConnection::connectToBus(QString::fromStdString(address), "kwin");
      bus.registerService("org.kde.KWin");
      bus.registerVirtualObject("/org/kde/KWin/InputDevice", &kwin, QDBusConnection::SubPath);
      {
        std::lock_guard<std::mutex> lock(ready_mutex);
        ready = true;
      }
      ready_cv.notify_all();
      QEventLoop loop;
      loop.exec();  // serves until the thread's quit()
      bus.unregisterObject("/org/kde/KWin/InputDevice");
      QDBusConnection::disconnectFromBus("kwin");
    }));
    kwin.moveToThread(server.get());  // its messages are dispatched there
    server->start();
    std::unique_lock<std::mutex> lock(ready_mutex);
    ready_cv.wait(lock, [this] { return ready; });
  }
  test::PrivateBus bus;
  const std::string address = bus.Address();
  StandInKWin kwin;
  std::unique_ptr<QThread> server;
  std::mutex ready_mutex;  // guards ready
  std::condition_variable ready_cv;
  bool ready = false;
  test::TempHome home;
};

TEST_F(KdePointerTest, SpeedGoesToEveryAcceleratedPointerAndReadsBack) {
  EXPECT_EQ(CKdePointer::Open(address, home.Path("kdeglobals")), nullptr);  // no KWin on the bus yet
  StartKWin();
  auto kde = CKdePointer::Open(address, home.Path("kdeglobals"));
  ASSERT_NE(kde, nullptr);
  EXPECT_TRUE(kde->HasPointerSpeed());
  EXPECT_EQ(kde->SetPointerSpeed(15), DesktopResult::Ok);
  EXPECT_DOUBLE_EQ(kwin.Prop("/org/kde/KWin/InputDevice/event3|pointerAcceleration").toDouble(), 0.5);
  EXPECT_DOUBLE_EQ(kwin.Prop("/org/kde/KWin/InputDevice/event4|pointerAcceleration").toDouble(), 0.25);  // untouched
  EXPECT_EQ(kde->SetPointerSpeed(1), DesktopResult::Ok);
  EXPECT_DOUBLE_EQ(kwin.Prop("/org/kde/KWin/InputDevice/event3|pointerAcceleration").toDouble(), -1.0);
  kwin.Set("/org/kde/KWin/InputDevice/event3|pointerAcceleration", -0.4);
  int speed = 0;
  EXPECT_EQ(kde->GetPointerSpeed(&speed), DesktopResult::Ok);
  EXPECT_EQ(speed, 6);
  // Without an accelerated pointer there is nothing to set.
  kwin.Set("/org/kde/KWin/InputDevice/event3|supportsPointerAcceleration", false);
  EXPECT_FALSE(kde->HasPointerSpeed());
  EXPECT_EQ(kde->SetPointerSpeed(10), DesktopResult::NotAvailable);
}

TEST_F(KdePointerTest, WheelLinesGoToKdeGlobalsKeepingTheRest) {
  StartKWin();
  const std::string file = home.Path("kdeglobals");
  test::TempHome::WriteText(file, "[General]\nColorScheme=BreezeDark\n\n[KDE]\nSingleClick=false\n");
  auto kde = CKdePointer::Open(address, file);
  ASSERT_NE(kde, nullptr);
  int lines = 0;
  EXPECT_EQ(kde->GetWheelLines(&lines), DesktopResult::Ok);
  EXPECT_EQ(lines, 3);  // KDE's default when the key is absent
  EXPECT_EQ(kde->SetWheelLines(7), DesktopResult::Ok);
  EXPECT_EQ(test::TempHome::ReadText(file), "[General]\nColorScheme=BreezeDark\n\n[KDE]\nSingleClick=false\nWheelScrollLines=7\n");
  EXPECT_EQ(kde->GetWheelLines(&lines), DesktopResult::Ok);
  EXPECT_EQ(lines, 7);
}

}  // namespace
}  // namespace trx::desktop

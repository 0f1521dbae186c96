// The D-Bus receiver the KWin script and the GNOME Shell extension talk to,
// on a private bus (a dbus-daemon of the test's own), and the sources that
// need their desktop script.
//
// Not labelled "threaded": the receiver's work happens in GLib's own
// threads, which ThreadSanitizer can't see into (GLib is not instrumented,
// so its internal locking reads as races).

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/foreground/dbus_foreground.h"

namespace trx::foreground {
namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- D-Bus

class DbusReceiver : public ::testing::Test {
 protected:
  void SetUp() override {
    FILE* p = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 --nosyslog 2>/dev/null", "r");
    ASSERT_NE(p, nullptr);
    char line[512] = {};
    if (fgets(line, sizeof line, p) != nullptr) address = line;
    if (fgets(line, sizeof line, p) != nullptr) daemon_pid = std::atoi(line);
    pclose(p);
    while (!address.empty() && address.back() == '\n') address.pop_back();
    ASSERT_FALSE(address.empty()) << "dbus-daemon did not start";
    client = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    ASSERT_NE(client, nullptr);
  }
  void TearDown() override {
    if (client != nullptr) g_object_unref(client);
    if (daemon_pid > 0) kill(daemon_pid, SIGTERM);
  }
  // The test's connection takes the compositor's name, as KWin's has it.
  void ActAsKWin() {
    GVariant* reply = g_dbus_connection_call_sync(client, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                  "org.freedesktop.DBus", "RequestName",
                                                  g_variant_new("(su)", kKWinBusName, 4u), nullptr,
                                                  G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
    ASSERT_NE(reply, nullptr);
    g_variant_unref(reply);
  }
  // What the KWin script and the GNOME extension send; true on a reply.
  bool Report(const char* pid, GDBusConnection* from = nullptr) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(from != nullptr ? from : client, kForegroundBusName, kForegroundObjectPath,
                                                  kForegroundInterface, "ActiveProcess", g_variant_new("(s)", pid),
                                                  nullptr, G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, &error);
    if (error != nullptr) g_error_free(error);
    if (reply == nullptr) return false;
    g_variant_unref(reply);
    return true;
  }
  std::string address;
  int daemon_pid = 0;
  GDBusConnection* client = nullptr;
};

TEST_F(DbusReceiver, TakesTheReportsOfTheDesktopScripts) {
  ActAsKWin();
  CDbusForegroundReceiver receiver(kKWinBusName, address);
  std::string error;
  ASSERT_TRUE(receiver.Start(&error)) << error;
  EXPECT_EQ(receiver.ReportedPid(), -1);
  struct Case {
    const char* sent;
    bool accepted;
    int pid;
  };
  const Case cases[] = {{"1234", true, 1234}, {"0", true, 0}, {"12x", false, 0}, {"-5", false, 0}, {"", false, 0},
                        {"77", true, 77}};
  for (const Case& c : cases) {
    EXPECT_EQ(Report(c.sent), c.accepted) << c.sent;
    EXPECT_EQ(receiver.ReportedPid(), c.pid) << c.sent;
  }
  EXPECT_EQ(receiver.Reports(), 3);

  // One program owns the name: a second receiver is refused.
  CDbusForegroundReceiver second(kKWinBusName, address);
  EXPECT_FALSE(second.Start(&error));
  receiver.Stop();
  EXPECT_FALSE(Report("9"));
  // Once free, the name can be taken again.
  EXPECT_TRUE(second.Start(&error)) << error;
  EXPECT_TRUE(Report("9"));
  EXPECT_EQ(second.ReportedPid(), 9);
}

TEST_F(DbusReceiver, RefusesAReportFromAnyoneButTheCompositorsNameOwner) {
  CDbusForegroundReceiver receiver(kKWinBusName, address);
  std::string error;
  ASSERT_TRUE(receiver.Start(&error)) << error;
  // Nobody owns the name yet: refused.
  EXPECT_FALSE(Report("1234"));
  ActAsKWin();
  GDBusConnection* other = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  EXPECT_FALSE(Report("4321", other));
  EXPECT_EQ(receiver.ReportedPid(), -1);
  EXPECT_EQ(receiver.Refused(), 2);
  EXPECT_TRUE(Report("77"));
  EXPECT_EQ(receiver.ReportedPid(), 77);
  g_object_unref(other);
}

TEST_F(DbusReceiver, WithoutItsDesktopScriptTheSourceSaysWhy) {
  // No KWin and no GNOME Shell answer on this bus.
  ForegroundUnavailable why;
  EXPECT_FALSE(CDbusForegroundSource(ReportingDesktop::Gnome, address).Start(&why));
  EXPECT_STREQ(why.text_id, kReasonGnome);
  char pattern[] = "/tmp/trx770-kwin-XXXXXX";
  const std::string data_home = ::mkdtemp(pattern);
  ::setenv("XDG_DATA_HOME", data_home.c_str(), 1);
  EXPECT_FALSE(CDbusForegroundSource(ReportingDesktop::KWin, address).Start(&why));
  EXPECT_STREQ(why.text_id, kReasonKWin);
  // The script was written for the user all the same.
  EXPECT_TRUE(fs::exists(data_home + "/kwin/scripts/trx770-foreground/contents/code/main.js"));
  EXPECT_TRUE(fs::exists(data_home + "/kwin/scripts/trx770-foreground/metadata.json"));
  ::unsetenv("XDG_DATA_HOME");
  fs::remove_all(data_home);
}

}  // namespace
}  // namespace trx::foreground

// The D-Bus receiver of the KWin script and the GNOME Shell extension on a
// private bus, and the sources that need their desktop script. Not labelled
// "threaded": GLib's own threads are not instrumented for ThreadSanitizer.

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/foreground/dbus_foreground.h"
#include "platform/foreground/gnome_extension.h"
#include "platform/gdbus_link.h"
#include "tests/platform/private_bus.h"
#include "tests/platform/temp_home.h"
#include "tests/support/wait.h"

namespace trx::foreground {
namespace {

namespace fs = std::filesystem;

class DbusReceiver : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(address.empty()) << "dbus-daemon did not start";
    client = Connect();
    ASSERT_NE(client, nullptr);
  }
  void TearDown() override { if (client != nullptr) g_object_unref(client); }
  GDBusConnection* Connect() { return gdbus::OpenBusConnection(address, nullptr); }
  // The test's connection takes the compositor's (or the shell's) name.
  void ActAs(const char* bus_name = kKWinBusName) {
    ASSERT_EQ(gdbus::RequestName(client, bus_name, 2000, nullptr), gdbus::NameRequest::Owned);
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
  test::PrivateBus bus;
  const std::string address = bus.Address();
  GDBusConnection* client = nullptr;
};

TEST_F(DbusReceiver, TakesTheReportsOfTheDesktopScripts) {
  CDbusForegroundReceiver receiver(kKWinBusName, address);
  std::string error;
  ASSERT_TRUE(receiver.Start(&error)) << error;
  // Only the owner of the compositor's name is heard (nobody yet, then another connection).
  EXPECT_FALSE(Report("1234"));
  ActAs();
  GDBusConnection* other = Connect();
  ASSERT_NE(other, nullptr);
  EXPECT_FALSE(Report("4321", other));
  g_object_unref(other);
  EXPECT_EQ(receiver.ReportedPid(), -1);
  EXPECT_EQ(receiver.Refused(), 2);
  // Sent, accepted, the pid taken.
  const std::tuple<const char*, bool, int> cases[] = {{"1234", true, 1234}, {"0", true, 0}, {"12x", false, 0},
                                                      {"-5", false, 0},     {"", false, 0},  {"77", true, 77}};
  for (const auto& [sent, accepted, pid] : cases) {
    EXPECT_EQ(Report(sent), accepted) << sent;
    EXPECT_EQ(receiver.ReportedPid(), pid) << sent;
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

TEST_F(DbusReceiver, WithoutItsDesktopScriptTheSourceSaysWhy) {
  // No KWin and no GNOME Shell answer on this bus.
  ForegroundUnavailable why;
  EXPECT_FALSE(CDbusForegroundSource(ReportingDesktop::Gnome, address).Start(&why));
  EXPECT_STREQ(why.text_id, kReasonGnomeShell);
  test::TempHome tmp;
  const std::string data_home = tmp.root();
  ::setenv("XDG_DATA_HOME", data_home.c_str(), 1);
  EXPECT_FALSE(CDbusForegroundSource(ReportingDesktop::KWin, address).Start(&why));
  EXPECT_STREQ(why.text_id, kReasonKWin);
  // The script was written for the user all the same.
  EXPECT_TRUE(fs::exists(data_home + "/kwin/scripts/trx770-foreground/contents/code/main.js"));
  EXPECT_TRUE(fs::exists(data_home + "/kwin/scripts/trx770-foreground/metadata.json"));
  ::unsetenv("XDG_DATA_HOME");
}

TEST(GnomeExtension, TheFormFollowsTheShellAndTheStateIsNamedTruthfully) {
  const std::pair<const char*, GnomeExtensionForm> forms[] = {
      {"42.9", GnomeExtensionForm::None},      {"43.9", GnomeExtensionForm::Script43},
      {"44.1", GnomeExtensionForm::Script43},  {"45.beta", GnomeExtensionForm::Module45},
      {"49.0", GnomeExtensionForm::Module45},  {"", GnomeExtensionForm::None},
      {"x", GnomeExtensionForm::None}};
  for (const auto& [version, form] : forms) EXPECT_EQ(GnomeExtensionFormFor(GnomeShellMajor(version)), form) << version;

  const std::pair<GnomeExtensionSeen, const char*> cases[] = {
      {{43, true, 1, false}, nullptr},                  // enabled
      {{43, true, 2, false}, kReasonGnome},             // installed, not enabled
      {{46, true, 6, false}, kReasonGnome},             // initialized
      {{43, true, 3, false}, kReasonGnomeFailed},
      {{43, true, 4, false}, kReasonGnomeNeeds45},      // only the 45 form, none for 43 written
      {{50, true, 4, false}, kReasonGnomeOutOfDate},
      {{43, true, 4, true}, kReasonGnomeLogin},         // the 43 form waits for the next login
      {{43, false, 0, true}, kReasonGnomeLogin},
      {{43, false, 0, false}, kReasonGnomeMissing},
      {{43, true, 99, false}, kReasonGnomeMissing},
  };
  for (const auto& [seen, expected] : cases) {
    const char* reason = GnomeExtensionReason(seen);
    EXPECT_STREQ(reason != nullptr ? reason : "runs", expected != nullptr ? expected : "runs")
        << seen.shell_major << " " << seen.known << " " << seen.state << " " << seen.copy_waiting;
  }

  // Each form written once; the other form replaces it.
  test::TempHome tmp;
  const std::string data_home = tmp.root();
  const std::string script = GnomeExtensionFolder(data_home) + "/extension.js";
  EXPECT_EQ(InstallGnomeExtension(data_home, GnomeExtensionForm::None), GnomeInstallResult::NoForm);
  EXPECT_EQ(InstallGnomeExtension(data_home, GnomeExtensionForm::Script43), GnomeInstallResult::Written);
  EXPECT_NE(test::TempHome::ReadText(script).find("function init()"), std::string::npos);
  EXPECT_NE(test::TempHome::ReadText(GnomeExtensionFolder(data_home) + "/metadata.json").find("\"43\""), std::string::npos);
  EXPECT_EQ(InstallGnomeExtension(data_home, GnomeExtensionForm::Script43), GnomeInstallResult::Unchanged);
  EXPECT_EQ(InstallGnomeExtension(data_home, GnomeExtensionForm::Module45), GnomeInstallResult::Written);
  EXPECT_NE(test::TempHome::ReadText(script).find("export default class"), std::string::npos);
}

// GNOME Shell's extension interface, served on the test's connection by a thread of its own.
class FakeGnomeShell {
 public:
  FakeGnomeShell(GDBusConnection* bus, const char* version) : bus_(bus), version_(version) {
    node_ = g_dbus_node_info_new_for_xml(
        "<node><interface name='org.gnome.Shell.Extensions'>"
        "<method name='GetExtensionInfo'><arg type='s' direction='in'/><arg type='a{sv}' direction='out'/></method>"
        "<property name='ShellVersion' type='s' access='read'/>"
        "<signal name='ExtensionStateChanged'><arg type='s'/><arg type='a{sv}'/></signal>"
        "</interface></node>",
        nullptr);
    registration_ = gdbus::WithLoopContext(loop_, [this] {
      return g_dbus_connection_register_object(bus_, "/org/gnome/Shell", node_->interfaces[0], &kVTable, this, nullptr,
                                               nullptr);
    });
    thread_ = gdbus::RunLoop(loop_);
  }
  ~FakeGnomeShell() {
    gdbus::QuitLoop(loop_);
    thread_.join();
    g_dbus_connection_unregister_object(bus_, registration_);
    gdbus::FreeLoop(loop_);
    g_dbus_node_info_unref(node_);
  }
  // state 0: the shell does not know the extension.
  void SetState(int state, const std::string& path) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      state_ = state;
      path_ = path;
    }
    g_dbus_connection_emit_signal(bus_, nullptr, "/org/gnome/Shell", "org.gnome.Shell.Extensions", "ExtensionStateChanged",
                                  g_variant_new("(s@a{sv})", kGnomeExtensionUuid, Info()), nullptr);
  }

 private:
  GVariant* Info() {
    std::lock_guard<std::mutex> lock(mutex_);
    GVariantBuilder b;
    g_variant_builder_init(&b, G_VARIANT_TYPE("a{sv}"));
    if (state_ != 0) {
      g_variant_builder_add(&b, "{sv}", "state", g_variant_new_double(state_));
      g_variant_builder_add(&b, "{sv}", "path", g_variant_new_string(path_.c_str()));
    }
    return g_variant_builder_end(&b);
  }
  static void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant*,
                     GDBusMethodInvocation* invocation, gpointer self) {
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(@a{sv})", static_cast<FakeGnomeShell*>(self)->Info()));
  }
  static GVariant* OnGet(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GError**, gpointer self) {
    return g_variant_new_string(static_cast<FakeGnomeShell*>(self)->version_.c_str());
  }
  static constexpr GDBusInterfaceVTable kVTable = {OnCall, OnGet, nullptr, {}};

  GDBusConnection* bus_;
  std::string version_;
  GDBusNodeInfo* node_ = nullptr;
  gdbus::Loop loop_ = gdbus::NewLoop();
  guint registration_ = 0;
  std::thread thread_;
  std::mutex mutex_;  // guards state_, path_; a leaf
  int state_ = 0;
  std::string path_;
};

TEST_F(DbusReceiver, OnGnome43TheRightFormIsWrittenAndAnExtensionEnabledLaterIsFollowed) {
  ActAs(kGnomeShellBusName);
  FakeGnomeShell shell(client, "43.9");
  test::TempHome tmp;
  const std::string data_home = tmp.root();
  ::setenv("XDG_DATA_HOME", data_home.c_str(), 1);
  const std::string folder = GnomeExtensionFolder(data_home);

  CDbusForegroundSource source(ReportingDesktop::Gnome, address);
  ForegroundUnavailable why;
  ASSERT_FALSE(source.Start(&why));
  // The shell has not seen the extension: the form for 43 waits for a login.
  EXPECT_STREQ(why.text_id, kReasonGnomeLogin) << why.detail;
  EXPECT_NE(test::TempHome::ReadText(folder + "/extension.js").find("function init()"), std::string::npos);
  ASSERT_TRUE(source.CanStartLater());

  CEvent stop(CEvent::Reset::Manual);
  std::mutex mutex;  // guards reasons; a leaf
  std::vector<std::string> reasons;
  std::atomic<int> started{-1};
  std::thread watch([&] {
    started = source.StartWhenAvailable(stop, [&](const ForegroundUnavailable& off) {
      std::lock_guard<std::mutex> lock(mutex);
      reasons.push_back(off.text_id);
    }) ? 1 : 0;
  });
  // After the login: loaded, not enabled; then the user enables it.
  shell.SetState(static_cast<int>(GnomeExtensionState::Disabled), folder);
  EXPECT_TRUE(test::Eventually([&] {
    std::lock_guard<std::mutex> lock(mutex);
    return !reasons.empty();
  }));
  shell.SetState(static_cast<int>(GnomeExtensionState::Enabled), folder);
  EXPECT_TRUE(test::Eventually([&] { return started.load() >= 0; }));
  stop.Set();
  watch.join();
  EXPECT_EQ(started.load(), 1);
  ASSERT_EQ(reasons.size(), 1u);
  EXPECT_EQ(reasons[0], kReasonGnome);
  // Reports from the shell now count.
  EXPECT_TRUE(Report("0"));
  EXPECT_EQ(source.Current().status, ForegroundStatus::None);
  source.Stop();
  ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace trx::foreground

#include "platform/foreground/dbus_foreground.h"

#include <gio/gio.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>

#include "platform/atomic_file.h"
#include "platform/debug_log.h"
#include "platform/gdbus_link.h"
#include "platform/foreground/kwin_script_text.h"

namespace trx::foreground {
namespace {

constexpr const char* kIntrospection =
    "<node><interface name='org.trx770.Foreground'>"
    "<method name='ActiveProcess'><arg type='s' name='pid' direction='in'/></method>"
    "</interface></node>";
constexpr int kCallTimeoutMs = 2000;

void OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method, GVariant* parameters,
                  GDBusMethodInvocation* invocation, gpointer user_data) {
  auto* receiver = static_cast<CDbusForegroundReceiver*>(user_data);
  if (g_strcmp0(method, "ActiveProcess") != 0) {
    g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.UnknownMethod", "unknown method");
    return;
  }
  if (!receiver->FromReporter(g_dbus_method_invocation_get_sender(invocation))) {
    receiver->CountRefusal();
    g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.AccessDenied",
                                               "only the desktop's own script reports the program in front");
    return;
  }
  const gchar* text = nullptr;
  g_variant_get(parameters, "(&s)", &text);
  const std::string_view value(text);
  int pid = 0;
  const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), pid);
  if (ec != std::errc() || end != value.data() + value.size() || pid < 0) {
    g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.InvalidArgs", "not a pid");
    return;
  }
  receiver->Report(pid);
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

const GDBusInterfaceVTable kVTable = {OnMethodCall, nullptr, nullptr, {}};

// A synchronous call; the reply (to be unreffed) or null with *error.
GVariant* Call(GDBusConnection* bus, const char* name, const char* path, const char* interface, const char* method,
               GVariant* args, const char* reply_type, std::string* error) {
  GError* e = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(bus, name, path, interface, method, args,
                                                reply_type != nullptr ? G_VARIANT_TYPE(reply_type) : nullptr,
                                                G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, &e);
  if (reply == nullptr && error != nullptr) *error = gdbus::TakeError(e);
  else if (e != nullptr) g_error_free(e);
  return reply;
}

}  // namespace

struct CDbusForegroundReceiver::GState {
  gdbus::Loop main;
  GDBusConnection* bus = nullptr;
  GDBusNodeInfo* node = nullptr;
  guint registration = 0;
};

CDbusForegroundReceiver::CDbusForegroundReceiver(std::string reporter, std::string bus_address)
    : reporter_(std::move(reporter)), address_(std::move(bus_address)) {}

bool CDbusForegroundReceiver::FromReporter(const char* sender) const {
  if (sender == nullptr || !g_) return false;
  // Asked at each report (they come at focus changes only), so a new
  // owner after a compositor restart is followed and a name that was
  // given up is no longer trusted.
  GVariant* reply = Call(g_->bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                         "GetNameOwner", g_variant_new("(s)", reporter_.c_str()), "(s)", nullptr);
  if (reply == nullptr) return false;
  const gchar* owner = nullptr;
  g_variant_get(reply, "(&s)", &owner);
  const bool same = g_strcmp0(owner, sender) == 0;
  g_variant_unref(reply);
  return same;
}

CDbusForegroundReceiver::~CDbusForegroundReceiver() { Stop(); }

void* CDbusForegroundReceiver::Connection() const { return g_ ? g_->bus : nullptr; }

void CDbusForegroundReceiver::Report(int pid) {
  pid_ = pid;
  ++reports_;
  changes_.Changed();
}

bool CDbusForegroundReceiver::Start(std::string* error) {
  if (g_) return true;
  auto g = std::make_unique<GState>();
  g->bus = gdbus::OpenBusConnection(address_, error);
  if (g->bus == nullptr) return false;
  g->node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
  g->main = gdbus::NewLoop();
  GError* e = nullptr;
  g->registration = gdbus::WithLoopContext(g->main, [&] {
    return g_dbus_connection_register_object(g->bus, kForegroundObjectPath, g->node->interfaces[0], &kVTable, this,
                                             nullptr, &e);
  });
  g_ = std::move(g);
  if (g_->registration == 0) {
    if (error != nullptr) *error = gdbus::TakeError(e);
    Stop();
    return false;
  }
  std::string call_error;
  const gdbus::NameRequest name = gdbus::RequestName(g_->bus, kForegroundBusName, kCallTimeoutMs, &call_error);
  if (name != gdbus::NameRequest::Owned) {
    if (error != nullptr) *error = name == gdbus::NameRequest::Taken ? "another process has the bus name" : call_error;
    Stop();
    return false;
  }
  loop_thread_ = gdbus::RunLoop(g_->main);
  return true;
}

void CDbusForegroundReceiver::Stop() {
  if (!g_) return;
  if (loop_thread_.joinable()) {
    gdbus::QuitLoop(g_->main);
    loop_thread_.join();
  }
  if (g_->registration != 0) g_dbus_connection_unregister_object(g_->bus, g_->registration);
  g_dbus_connection_close_sync(g_->bus, nullptr, nullptr);
  g_object_unref(g_->bus);
  // Calls already queued for the context hold references; FreeLoop lets them go.
  gdbus::FreeLoop(g_->main);
  g_dbus_node_info_unref(g_->node);
  g_.reset();
  pid_ = -1;
}

// ---------------------------------------------------------------- sources

std::string InstallKWinScript(const std::string& data_home) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(data_home) / "kwin" / "scripts" / kKWinScriptName;
  std::error_code ec;
  fs::create_directories(folder / "contents" / "code", ec);
  if (ec) return {};
  const std::string main_js = (folder / "contents" / "code" / "main.js").string();
  auto write = [](const std::string& path, std::string_view text) { return WriteFileAtomic(path, text.data(), text.size()); };
  if (!write((folder / "metadata.json").string(), kKWinScriptMetadata) || !write(main_js, kKWinScriptMain)) return {};
  return main_js;
}

CDbusForegroundSource::CDbusForegroundSource(ReportingDesktop desktop, std::string bus_address, std::string proc_root)
    : desktop_(desktop),
      proc_root_(std::move(proc_root)),
      receiver_(desktop == ReportingDesktop::KWin ? kKWinBusName : kGnomeShellBusName, std::move(bus_address)) {}

CDbusForegroundSource::~CDbusForegroundSource() { Stop(); }

bool CDbusForegroundSource::Start(ForegroundUnavailable* why) {
  if (started_) return true;
  std::string error;
  if (!receiver_.Start(&error)) {
    if (why != nullptr) *why = {kReasonBus, error};
    return false;
  }
  const bool ready = desktop_ == ReportingDesktop::KWin ? LoadKWinScript(&error) : GnomeExtensionEnabled(&error);
  if (!ready) {
    receiver_.Stop();
    if (why != nullptr) *why = {desktop_ == ReportingDesktop::KWin ? kReasonKWin : kReasonGnome, error};
    return false;
  }
  started_ = true;
  return true;
}

void CDbusForegroundSource::Stop() {
  if (!started_) return;
  if (desktop_ == ReportingDesktop::KWin) UnloadKWinScript();
  receiver_.Stop();
  started_ = false;
}

ForegroundResult CDbusForegroundSource::Current() {
  if (!started_) return {ForegroundStatus::Unknown, {}, "not started"};
  const int pid = receiver_.ReportedPid();
  if (pid < 0) return {ForegroundStatus::Unknown, {}, "no report from the desktop yet"};
  if (pid == 0) return {ForegroundStatus::None, {}, {}};
  return ResultForPid(pid, proc_root_);
}

bool CDbusForegroundSource::LoadKWinScript(std::string* error) {
  auto* bus = static_cast<GDBusConnection*>(receiver_.Connection());
  const char* data_home = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  const std::string base = data_home != nullptr && *data_home != '\0' ? data_home
                                                                      : std::string(home != nullptr ? home : "") + "/.local/share";
  const std::string main_js = InstallKWinScript(base);
  if (main_js.empty()) {
    *error = "the KWin script could not be written under " + base;
    return false;
  }
  // A copy left loaded by an earlier run would report twice (or an older
  // version): load afresh.
  UnloadKWinScript();
  GVariant* reply = Call(bus, "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "loadScript",
                         g_variant_new("(ss)", main_js.c_str(), kKWinScriptName), "(i)", error);
  if (reply == nullptr) return false;
  gint32 id = -1;
  g_variant_get(reply, "(i)", &id);
  g_variant_unref(reply);
  if (id < 0) {
    *error = "KWin refused the script";
    return false;
  }
  reply = Call(bus, "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "start", nullptr, nullptr, error);
  if (reply == nullptr) return false;
  g_variant_unref(reply);
  return true;
}

void CDbusForegroundSource::UnloadKWinScript() {
  auto* bus = static_cast<GDBusConnection*>(receiver_.Connection());
  if (bus == nullptr) return;
  if (GVariant* reply = Call(bus, "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "unloadScript",
                             g_variant_new("(s)", kKWinScriptName), nullptr, nullptr))
    g_variant_unref(reply);
}

bool CDbusForegroundSource::GnomeExtensionEnabled(std::string* error) {
  auto* bus = static_cast<GDBusConnection*>(receiver_.Connection());
  GVariant* reply = Call(bus, "org.gnome.Shell.Extensions", "/org/gnome/Shell/Extensions", "org.gnome.Shell.Extensions",
                         "GetExtensionInfo", g_variant_new("(s)", kGnomeExtensionUuid), "(a{sv})", error);
  if (reply == nullptr) return false;
  GVariant* info = g_variant_get_child_value(reply, 0);
  double state = 0;
  const bool found = g_variant_lookup(info, "state", "d", &state);
  g_variant_unref(info);
  g_variant_unref(reply);
  // ExtensionState: 1 ENABLED (GNOME 45+ also calls it ACTIVE).
  if (!found || state != 1.0) {
    *error = std::string("the GNOME Shell extension ") + kGnomeExtensionUuid + (found ? " is not enabled" : " is not installed");
    return false;
  }
  return true;
}

}  // namespace trx::foreground

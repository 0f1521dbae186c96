#include "platform/foreground/dbus_foreground.h"

#include <gio/gio.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>

#include "platform/atomic_file.h"
#include "platform/debug_log.h"
#include "platform/foreground/gnome_extension.h"
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
  guint owner_watch = 0;
  guint extension_watch = 0;
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
  desktop_changes_.Changed();
}

bool CDbusForegroundReceiver::Start(std::string* error) {
  if (g_) return true;
  auto g = std::make_unique<GState>();
  g->bus = gdbus::OpenBusConnection(address_, error);
  if (g->bus == nullptr) return false;
  g->node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
  g->main = gdbus::NewLoop();
  GError* e = nullptr;
  // Method calls and signals are dispatched in the context current when
  // registering and subscribing: the loop thread's own.
  g->registration = gdbus::WithLoopContext(g->main, [&] {
    // The desktop's script appearing later: a new owner of the reporter's
    // name, GNOME Shell's extension state.
    auto changed = [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant*, gpointer self) {
      static_cast<CDbusForegroundReceiver*>(self)->DesktopChanged();
    };
    g->owner_watch = g_dbus_connection_signal_subscribe(g->bus, "org.freedesktop.DBus", "org.freedesktop.DBus",
                                                        "NameOwnerChanged", "/org/freedesktop/DBus", reporter_.c_str(),
                                                        G_DBUS_SIGNAL_FLAGS_NONE, changed, this, nullptr);
    if (reporter_ == kGnomeShellBusName)
      // Any sender: a shell started again has a new unique name, and a
      // signal from anyone else only makes the state be asked again.
      g->extension_watch = g_dbus_connection_signal_subscribe(g->bus, nullptr, "org.gnome.Shell.Extensions",
                                                              "ExtensionStateChanged", "/org/gnome/Shell",
                                                              kGnomeExtensionUuid, G_DBUS_SIGNAL_FLAGS_NONE, changed,
                                                              this, nullptr);
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
  if (g_->owner_watch != 0) g_dbus_connection_signal_unsubscribe(g_->bus, g_->owner_watch);
  if (g_->extension_watch != 0) g_dbus_connection_signal_unsubscribe(g_->bus, g_->extension_watch);
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
  desktop_seen_ = receiver_.DesktopGeneration();
  ForegroundUnavailable off;
  if (!DesktopReady(&off)) {
    // The receiver stays: the script may be enabled or loaded later.
    watching_ = true;
    if (why != nullptr) *why = off;
    return false;
  }
  started_ = true;
  return true;
}

bool CDbusForegroundSource::StartWhenAvailable(CEvent& stop,
                                               const std::function<void(const ForegroundUnavailable&)>& still_off) {
  if (started_) return true;
  if (!watching_) return false;
  std::string last;
  // A compositor that has just taken its name serves its objects a moment
  // later (KWin's /Scripting, GNOME Shell's extension interface): after a
  // change, look again soon a few times before the slow cadence.
  int quick = 0;
  auto recheck_ms = [&] { return quick > 0 ? kDesktopStartingRecheckMs : kDesktopRecheckMs; };
  while (true) {
    const uint64_t before = desktop_seen_;
    if (receiver_.WaitForDesktop(desktop_seen_, stop, recheck_ms())) return false;
    desktop_seen_ = receiver_.DesktopGeneration();
    quick = desktop_seen_ != before ? kDesktopStartingRechecks : std::max(quick - 1, 0);
    ForegroundUnavailable off;
    if (DesktopReady(&off)) {
      DebugLineF("program links: the %s script answers now", Name());
      watching_ = false;
      started_ = true;
      return true;
    }
    if (off.text_id != last && still_off) still_off(off);
    last = off.text_id;
  }
}

void CDbusForegroundSource::Stop() {
  if (started_ && desktop_ == ReportingDesktop::KWin) UnloadKWinScript();
  receiver_.Stop();
  started_ = false;
  watching_ = false;
}

bool CDbusForegroundSource::DesktopReady(ForegroundUnavailable* off) {
  if (desktop_ == ReportingDesktop::Gnome) return GnomeExtensionRuns(off);
  std::string error;
  if (LoadKWinScript(&error)) return true;
  *off = {kReasonKWin, error};
  return false;
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
  const std::string base = UserDataHome();
  const std::string main_js = InstallKWinScript(base);
  if (main_js.empty()) {
    *error = "the KWin script could not be written under " + base;
    return false;
  }
  // A copy left loaded by an earlier run would report twice (or an older
  // version): load afresh.
  UnloadKWinScript();
  GVariant* reply = Call(bus, "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "loadScript",
                         g_variant_new("(ss)", main_js.c_str(), kKWinLoadedName), "(i)", error);
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
  // Also the package's own id, under which earlier versions loaded it.
  for (const char* name : {kKWinLoadedName, kKWinScriptName})
    if (GVariant* reply = Call(bus, "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "unloadScript",
                               g_variant_new("(s)", name), nullptr, nullptr))
      g_variant_unref(reply);
}

bool CDbusForegroundSource::GnomeExtensionRuns(ForegroundUnavailable* off) {
  auto* bus = static_cast<GDBusConnection*>(receiver_.Connection());
  // The shell itself, not "org.gnome.Shell.Extensions" (the Extensions
  // app, which runs only while it is open).
  std::string error;
  GVariant* reply = Call(bus, kGnomeShellBusName, "/org/gnome/Shell", "org.freedesktop.DBus.Properties", "Get",
                         g_variant_new("(ss)", "org.gnome.Shell.Extensions", "ShellVersion"), "(v)", &error);
  if (reply == nullptr) {
    *off = {kReasonGnomeShell, error};
    return false;
  }
  GVariant* boxed = nullptr;
  g_variant_get(reply, "(v)", &boxed);
  const std::string version = g_variant_is_of_type(boxed, G_VARIANT_TYPE_STRING) ? g_variant_get_string(boxed, nullptr) : "";
  g_variant_unref(boxed);
  g_variant_unref(reply);

  reply = Call(bus, kGnomeShellBusName, "/org/gnome/Shell", "org.gnome.Shell.Extensions", "GetExtensionInfo",
               g_variant_new("(s)", kGnomeExtensionUuid), "(a{sv})", &error);
  if (reply == nullptr) {
    *off = {kReasonGnomeShell, error};
    return false;
  }
  GnomeExtensionSeen seen;
  seen.shell_major = GnomeShellMajor(version);
  GVariant* info = g_variant_get_child_value(reply, 0);
  double state = 0;
  seen.known = g_variant_lookup(info, "state", "d", &state);
  seen.state = static_cast<int>(state);
  const gchar* path = nullptr;
  const gchar* failure = nullptr;
  std::string loaded_from = g_variant_lookup(info, "path", "&s", &path) ? path : "";
  std::string shell_error = g_variant_lookup(info, "error", "&s", &failure) ? failure : "";
  g_variant_unref(info);
  g_variant_unref(reply);
  if (GnomeExtensionReason(seen) == nullptr) return true;

  // Not running: put the form this shell loads in the user's folder.
  const std::string data_home = UserDataHome();
  const GnomeInstallResult install = InstallGnomeExtension(data_home, GnomeExtensionFormFor(seen.shell_major));
  const bool on_disk = install == GnomeInstallResult::Written || install == GnomeInstallResult::Unchanged;
  const bool ours_loaded = seen.known && loaded_from == GnomeExtensionFolder(data_home);
  seen.copy_waiting = on_disk && (ours_loaded ? install == GnomeInstallResult::Written
                                              : !seen.known || seen.state == static_cast<int>(GnomeExtensionState::OutOfDate));
  off->text_id = GnomeExtensionReason(seen);
  off->detail = "GNOME Shell " + version + ", extension " + (seen.known ? "state " + std::to_string(seen.state) : "unknown") +
                (loaded_from.empty() ? "" : " in " + loaded_from) + (shell_error.empty() ? "" : ": " + shell_error) +
                (install == GnomeInstallResult::Written  ? "; the form for this shell was written to the user's folder"
                 : install == GnomeInstallResult::Failed ? "; the user's extension folder could not be written"
                                                         : "");
  return false;
}

std::string UserDataHome() {
  const char* data_home = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  return data_home != nullptr && *data_home != '\0' ? data_home : std::string(home != nullptr ? home : "") + "/.local/share";
}

}  // namespace trx::foreground

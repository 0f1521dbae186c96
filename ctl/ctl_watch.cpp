#include "ctl/ctl_watch.h"

#include <gio/gio.h>
#include <glib-unix.h>

#include <csignal>
#include <string_view>

#include "platform/gdbus_link.h"
#include "bus/bus_names.h"
#include "ctl/bus_client.h"
#include "ctl/json_writer.h"

namespace trx::ctl {
namespace {

struct WatchState {
  bool json = false;
  std::ostream* out = nullptr;
  GMainLoop* loop = nullptr;
  int events = 0;
  int max_events = 0;
};

// One signal as its line.
void Print(WatchState& w, std::string_view member, GVariant* parameters) {
  const char* event = nullptr;
  const gchar* kind = "";
  const gchar* family = "";
  const gchar* name = "";
  const gchar* reason = "";
  if (member == "DeviceAdded" && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(so)"))) {
    g_variant_get(parameters, "(&s&o)", &kind, nullptr);
    event = "device-added";
  } else if (member == "DeviceRemoved" && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(so)"))) {
    g_variant_get(parameters, "(&s&o)", &kind, nullptr);
    event = "device-removed";
  } else if (member == "SettingsChanged" && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(s)"))) {
    g_variant_get(parameters, "(&s)", &kind);
    event = "settings-changed";
  } else if (member == "ProfileChanged" && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ssss)"))) {
    g_variant_get(parameters, "(&s&s&s&s)", &kind, &family, &name, &reason);
    event = "profile-changed";
  } else {
    return;  // a signal added in a later version
  }
  std::ostream& out = *w.out;
  const std::string_view e(event);
  if (w.json) {
    out << "{\"schema_version\": " << kJsonSchemaVersion << ", \"event\": \"" << e
        << "\", \"kind\": " << JsonWriter::Escape(kind);
    if (e == "profile-changed")
      out << ", \"family\": " << JsonWriter::Escape(family) << ", \"name\": " << JsonWriter::Escape(name)
          << ", \"reason\": " << JsonWriter::Escape(reason);
    out << "}\n";
  } else if (e == "profile-changed") {
    out << "profile in effect: " << kind << " " << family << " '" << name << "' (" << reason << ")\n";
  } else {
    out << (e == "device-added" ? "device added: " : e == "device-removed" ? "device removed: " : "settings changed: ")
        << kind << "\n";
  }
  out.flush();
  if (w.max_events > 0 && ++w.events >= w.max_events) g_main_loop_quit(w.loop);
}

void OnSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* member, GVariant* parameters,
              gpointer data) {
  Print(*static_cast<WatchState*>(data), member, parameters);
}

gboolean Quit(gpointer loop) {
  g_main_loop_quit(static_cast<GMainLoop*>(loop));
  return G_SOURCE_REMOVE;
}

}  // namespace

ExitCode RunWatch(bool json, const WatchOptions& options, std::ostream& out, std::ostream& err) {
  const std::string address = options.bus_address.empty() ? SessionBusAddress() : options.bus_address;
  if (address.empty()) {
    err << "trx770ctl: there is no session bus to watch\n";
    return ExitCode::NoDevice;
  }
  GMainContext* context = g_main_context_new();
  g_main_context_push_thread_default(context);
  std::string error;
  GDBusConnection* bus = gdbus::OpenBusConnection(address, &error);
  if (bus == nullptr) {
    err << "trx770ctl: the session bus could not be reached: " << error << "\n";
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    return ExitCode::NoDevice;
  }
  WatchState w;
  w.json = json;
  w.out = &out;
  w.max_events = options.max_events;
  w.loop = g_main_loop_new(context, FALSE);
  const guint subscription =
      g_dbus_connection_signal_subscribe(bus, bus::kBusName, bus::kManagerInterface, nullptr, bus::kManagerPath,
                                         nullptr, G_DBUS_SIGNAL_FLAGS_NONE, OnSignal, &w, nullptr);
  // The match rule is in place once the bus has answered a call made after it.
  if (GVariant* reply = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                    "org.freedesktop.DBus", "GetId", nullptr, nullptr,
                                                    G_DBUS_CALL_FLAGS_NONE, 1000, nullptr, nullptr))
    g_variant_unref(reply);
  GSource* interrupt = g_unix_signal_source_new(SIGINT);
  g_source_set_callback(interrupt, Quit, w.loop, nullptr);
  g_source_attach(interrupt, context);
  GSource* terminate = g_unix_signal_source_new(SIGTERM);
  g_source_set_callback(terminate, Quit, w.loop, nullptr);
  g_source_attach(terminate, context);
  GSource* timeout = nullptr;
  if (options.timeout_ms > 0) {
    timeout = g_timeout_source_new(static_cast<guint>(options.timeout_ms));
    g_source_set_callback(timeout, Quit, w.loop, nullptr);
    g_source_attach(timeout, context);
  }
  if (options.subscribed) options.subscribed();
  g_main_loop_run(w.loop);

  g_dbus_connection_signal_unsubscribe(bus, subscription);
  for (GSource* s : {interrupt, terminate, timeout}) {
    if (s == nullptr) continue;
    g_source_destroy(s);
    g_source_unref(s);
  }
  g_dbus_connection_close_sync(bus, nullptr, nullptr);
  g_object_unref(bus);
  while (g_main_context_iteration(context, FALSE)) {
  }
  g_main_loop_unref(w.loop);
  g_main_context_pop_thread_default(context);
  g_main_context_unref(context);
  return ExitCode::Ok;
}

}  // namespace trx::ctl

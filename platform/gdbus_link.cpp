#include "platform/gdbus_link.h"

namespace trx::gdbus {
namespace {

constexpr guint32 kRequestNameDoNotQueue = 4;
constexpr guint32 kRequestNamePrimaryOwner = 1;

}  // namespace

std::string TakeError(GError* error) {
  std::string text = error != nullptr ? error->message : "unknown error";
  if (error != nullptr) g_error_free(error);
  return text;
}

GDBusConnection* OpenBusConnection(const std::string& address, std::string* error) {
  std::string where = address;
  GError* e = nullptr;
  if (where.empty()) {
    gchar* session = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &e);
    if (session == nullptr) {
      if (error != nullptr) *error = TakeError(e);
      else g_clear_error(&e);
      return nullptr;
    }
    where = session;
    g_free(session);
  }
  GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
      where.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &e);
  if (bus == nullptr) {
    if (error != nullptr) *error = TakeError(e);
    else g_clear_error(&e);
    return nullptr;
  }
  g_dbus_connection_set_exit_on_close(bus, FALSE);
  return bus;
}

NameRequest RequestName(GDBusConnection* bus, const char* name, int timeout_ms, std::string* error) {
  GError* e = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(
      bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
      g_variant_new("(su)", name, kRequestNameDoNotQueue), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NO_AUTO_START,
      timeout_ms, nullptr, &e);
  if (reply == nullptr) {
    if (error != nullptr) *error = TakeError(e);
    else g_clear_error(&e);
    return NameRequest::Failed;
  }
  guint32 answer = 0;
  g_variant_get(reply, "(u)", &answer);
  g_variant_unref(reply);
  return answer == kRequestNamePrimaryOwner ? NameRequest::Owned : NameRequest::Taken;
}

Loop NewLoop() {
  Loop l;
  l.context = g_main_context_new();
  l.loop = g_main_loop_new(l.context, FALSE);
  return l;
}

std::thread RunLoop(const Loop& l) {
  return std::thread([l] {
    g_main_context_push_thread_default(l.context);
    g_main_loop_run(l.loop);
    g_main_context_pop_thread_default(l.context);
  });
}

void QuitLoop(const Loop& l) {
  GSource* quit = g_idle_source_new();
  g_source_set_callback(
      quit,
      [](gpointer loop) -> gboolean {
        g_main_loop_quit(static_cast<GMainLoop*>(loop));
        return G_SOURCE_REMOVE;
      },
      l.loop, nullptr);
  g_source_attach(quit, l.context);
  g_source_unref(quit);
}

void FreeLoop(Loop& l) {
  while (g_main_context_iteration(l.context, FALSE)) {
  }
  g_main_loop_unref(l.loop);
  g_main_context_unref(l.context);
  l = {};
}

}  // namespace trx::gdbus

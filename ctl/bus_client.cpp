#include "ctl/bus_client.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "platform/gdbus_link.h"
#include "bus/bus_names.h"

namespace trx::ctl {
namespace {

constexpr int kLookupTimeoutMs = 1000;
constexpr int kCommandTimeoutMs = 10 * 60 * 1000;  // a macro or routine upload takes seconds, not minutes

// The index of the FILE argument of a command line, or 0.
size_t FileArgument(const std::vector<std::string>& w) {
  if (w.size() < 2) return 0;
  const std::string& c = w[0];
  const std::string& sub = w[1];
  if ((c == "macro" || c == "routine") && sub == "import") return 3;
  if (c == "macro" && sub == "export") return 4;
  if (c == "routine" && sub == "export") return 3;
  if (c == "profile" && sub == "import") return 4;
  if (c == "profile" && sub == "export") return 5;
  if (c == "light" && sub == "key-colours") return 3;
  if ((c == "backup" || c == "restore") && sub != "--list") return 2;
  return 0;
}

}  // namespace

std::vector<std::string> WithAbsoluteFile(std::vector<std::string> words) {
  const size_t at = FileArgument(words);
  if (at == 0 || at >= words.size() || words[at].empty()) return words;
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(words[at], ec);
  if (!ec) words[at] = absolute.string();
  return words;
}

std::string SessionBusAddress() {
  if (const char* off = std::getenv("TRX770_NO_BUS"); off != nullptr && *off != '\0') return {};
  if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address != nullptr && *address != '\0')
    return address;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || *runtime == '\0') return {};
  const std::string socket = std::string(runtime) + "/bus";
  struct stat st {};
  if (::stat(socket.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode)) return {};
  return "unix:path=" + socket;
}

CBusClient::~CBusClient() {
  if (bus_ != nullptr) {
    auto* bus = static_cast<GDBusConnection*>(bus_);
    g_dbus_connection_close_sync(bus, nullptr, nullptr);
    g_object_unref(bus);
  }
}

bool CBusClient::Connect(const std::string& address_in) {
  const std::string address = address_in.empty() ? SessionBusAddress() : address_in;
  if (address.empty()) return false;
  GDBusConnection* bus = gdbus::OpenBusConnection(address, nullptr);
  if (bus == nullptr) return false;
  GError* e = nullptr;
  bus_ = bus;
  GVariant* reply = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                "org.freedesktop.DBus", "NameHasOwner",
                                                g_variant_new("(s)", bus::kBusName), G_VARIANT_TYPE("(b)"),
                                                G_DBUS_CALL_FLAGS_NO_AUTO_START, kLookupTimeoutMs, nullptr, &e);
  if (reply == nullptr) {
    g_clear_error(&e);
    return false;
  }
  gboolean owned = FALSE;
  g_variant_get(reply, "(b)", &owned);
  g_variant_unref(reply);
  return owned != FALSE;
}

ExitCode CBusClient::Run(const std::vector<std::string>& words, bool json, std::ostream& out, std::ostream& err) {
  auto* bus = static_cast<GDBusConnection*>(bus_);
  GVariantBuilder list;
  g_variant_builder_init(&list, G_VARIANT_TYPE("as"));
  for (const std::string& w : WithAbsoluteFile(words)) g_variant_builder_add(&list, "s", w.c_str());
  GVariantBuilder options;
  g_variant_builder_init(&options, G_VARIANT_TYPE("a{sv}"));
  g_variant_builder_add(&options, "{sv}", "json", g_variant_new_boolean(json ? TRUE : FALSE));
  GError* e = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(
      bus, bus::kBusName, bus::kManagerPath, bus::kManagerInterface, "Run", g_variant_new("(asa{sv})", &list, &options),
      G_VARIANT_TYPE("(iss)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, kCommandTimeoutMs, nullptr, &e);
  if (reply == nullptr) {
    if (e != nullptr) g_dbus_error_strip_remote_error(e);
    err << "trx770ctl: the running trx770 did not carry out the command: " << (e != nullptr ? e->message : "no reply")
        << "\n";
    g_clear_error(&e);
    return ExitCode::DeviceError;
  }
  gint32 code = 0;
  const gchar* text = nullptr;
  const gchar* reasons = nullptr;
  g_variant_get(reply, "(i&s&s)", &code, &text, &reasons);
  out << text;
  err << reasons;
  g_variant_unref(reply);
  return static_cast<ExitCode>(code);
}

}  // namespace trx::ctl

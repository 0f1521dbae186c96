#include "bus/bus_service.h"

#include <gio/gio.h>

#include <array>
#include <set>
#include <string_view>

#include "bus/bus_names.h"
#include "platform/debug_log.h"
#include "platform/gdbus_link.h"

namespace trx::bus {
namespace {

constexpr int kCallTimeoutMs = 2000;

const char* KindWord(DeviceKind kind) { return kind == DeviceKind::MousePad ? "pad" : DeviceKindName(kind); }

std::string DevicePath(DeviceKind kind) { return std::string(kDevicePathPrefix) + KindWord(kind); }

// One typed method: its interface, name, arguments (D-Bus type and name)
// and the tool's words it stands for. In `words`, "$k" is the device
// word and "$0" ... the arguments in order; "?N:--flag" adds --flag when
// boolean argument N is true; "*N" adds each entry of the a{ss} argument N
// as "--key" "value"; "+N" adds argument N when it is not empty or 0.
struct TypedMethod {
  bool profiles;  // org.trx770.Profiles1, else Device1
  const char* name;
  std::vector<std::pair<const char*, const char*>> args;  // type, name
  std::vector<const char*> words;
};

const std::vector<TypedMethod>& TypedMethods() {
  static const std::vector<TypedMethod> methods = {
      {false, "Dump", {}, {"dump", "$k"}},
      {false, "SetOnboardProfile", {{"u", "profile"}}, {"onboard", "$k", "$0"}},
      {false, "SetDpi", {{"u", "level"}, {"u", "dpi"}}, {"dpi", "$k", "$0", "$1"}},
      {false, "SetDpiColour", {{"u", "level"}, {"s", "colour"}}, {"dpi-colour", "$k", "$0", "$1"}},
      {false, "SetReportRate", {{"u", "hz"}}, {"rate", "$k", "$0"}},
      {false, "ShowLighting", {}, {"light", "show", "$k"}},
      {false, "SetLighting", {{"a{ss}", "changes"}}, {"light", "set", "$k", "*0"}},
      {false, "CopyLightingToAll", {}, {"light", "copy-to-all", "$k"}},
      {false, "SetKeyColours", {{"s", "file"}}, {"light", "key-colours", "$k", "$0"}},
      {false, "ListButtons", {{"u", "onboard"}}, {"button", "list", "$k", "+0"}},
      {false, "SetButton", {{"s", "button"}, {"s", "function"}}, {"button", "set", "$k", "$0", "$1"}},
      {false, "DefaultButton", {{"s", "button"}}, {"button", "default", "$k", "$0"}},
      {false, "ListMacros", {}, {"macro", "list", "$k"}},
      {false, "ShowMacro", {{"s", "name"}}, {"macro", "show", "$k", "$0"}},
      {false, "NewMacro", {}, {"macro", "new", "$k"}},
      {false, "ImportMacro", {{"s", "file"}}, {"macro", "import", "$k", "$0"}},
      {false, "ExportMacro", {{"s", "name"}, {"s", "file"}}, {"macro", "export", "$k", "$0", "$1"}},
      {false, "DeleteMacro", {{"s", "name"}}, {"macro", "delete", "$k", "$0"}},
      {false, "UploadMacros", {}, {"macro", "upload", "$k"}},
      {false, "ShowRoutine", {{"u", "routine"}}, {"routine", "show", "$0"}},
      {false, "ImportRoutine", {{"u", "routine"}, {"s", "file"}}, {"routine", "import", "$0", "$1"}},
      {false, "ExportRoutine", {{"u", "routine"}, {"s", "file"}, {"b", "force"}},
       {"routine", "export", "$0", "$1", "?2:--force"}},
      {false, "ResetRoutine", {{"u", "routine"}}, {"routine", "reset", "$0"}},
      {false, "UploadRoutines", {}, {"routine", "upload"}},
      {false, "ReadRoutines", {}, {"routine", "read"}},
      {true, "ListProfiles", {{"s", "family"}}, {"profile", "list", "$k", "+0"}},
      {true, "SelectProfile", {{"s", "family"}, {"s", "name"}}, {"profile", "select", "$k", "$0", "$1"}},
      {true, "AddProfile", {{"s", "family"}}, {"profile", "add", "$k", "$0"}},
      {true, "CopyProfile", {{"s", "family"}, {"s", "name"}}, {"profile", "copy", "$k", "$0", "$1"}},
      {true, "RenameProfile", {{"s", "family"}, {"s", "name"}, {"s", "new_name"}},
       {"profile", "rename", "$k", "$0", "$1", "$2"}},
      {true, "DeleteProfile", {{"s", "family"}, {"s", "name"}}, {"profile", "delete", "$k", "$0", "$1"}},
      {true, "ImportProfile", {{"s", "family"}, {"s", "file"}}, {"profile", "import", "$k", "$0", "$1"}},
      {true, "ExportProfile", {{"s", "family"}, {"s", "name"}, {"s", "file"}},
       {"profile", "export", "$k", "$0", "$1", "$2"}},
      {true, "ResetProfile", {{"s", "family"}}, {"profile", "reset", "$k", "$0"}},
  };
  return methods;
}

std::string ArgText(GVariant* arg) {
  if (g_variant_is_of_type(arg, G_VARIANT_TYPE_STRING)) return g_variant_get_string(arg, nullptr);
  if (g_variant_is_of_type(arg, G_VARIANT_TYPE_UINT32)) return std::to_string(g_variant_get_uint32(arg));
  return {};
}

// The tool's words for a typed call (its arguments already type-checked by
// GDBus against the introspection data).
std::vector<std::string> WordsOf(const TypedMethod& m, DeviceKind kind, GVariant* parameters) {
  std::vector<std::string> words;
  for (std::string_view w : m.words) {
    if (w == "$k") {
      words.emplace_back(KindWord(kind));
      continue;
    }
    if (w.size() < 2 || (w[0] != '$' && w[0] != '?' && w[0] != '*' && w[0] != '+')) {
      words.emplace_back(w);
      continue;
    }
    GVariant* arg = g_variant_get_child_value(parameters, static_cast<gsize>(w[1] - '0'));
    if (w[0] == '$') {
      words.push_back(ArgText(arg));
    } else if (w[0] == '+') {
      std::string text = ArgText(arg);
      if (!text.empty() && text != "0") {
        if (g_variant_is_of_type(arg, G_VARIANT_TYPE_UINT32)) words.emplace_back("--onboard");
        words.push_back(std::move(text));
      }
    } else if (w[0] == '?') {
      if (g_variant_get_boolean(arg)) words.emplace_back(w.substr(3));
    } else {
      GVariantIter iter;
      g_variant_iter_init(&iter, arg);
      const gchar* key = nullptr;
      const gchar* value = nullptr;
      while (g_variant_iter_next(&iter, "{&s&s}", &key, &value)) {
        words.push_back(std::string("--") + key);
        words.emplace_back(value);
      }
    }
    g_variant_unref(arg);
  }
  return words;
}

std::string InterfaceXml(bool profiles) {
  std::string xml = std::string("<interface name='") + (profiles ? kProfilesInterface : kDeviceInterface) + "'>";
  if (!profiles) xml += "<property name='Kind' type='s' access='read'/>";
  for (const TypedMethod& m : TypedMethods()) {
    if (m.profiles != profiles) continue;
    xml += std::string("<method name='") + m.name + "'>";
    for (const auto& [type, name] : m.args)
      xml += std::string("<arg type='") + type + "' name='" + name + "' direction='in'/>";
    xml += "<arg type='s' name='result' direction='out'/></method>";
  }
  return xml + "</interface>";
}

std::string IntrospectionXml() {
  return std::string("<node><interface name='") + kManagerInterface +
         "'>"
         "<method name='Run'><arg type='as' name='words' direction='in'/>"
         "<arg type='a{sv}' name='options' direction='in'/>"
         "<arg type='i' name='exit_code' direction='out'/><arg type='s' name='output' direction='out'/>"
         "<arg type='s' name='reasons' direction='out'/></method>"
         "<property name='Version' type='u' access='read'/>"
         "<property name='Devices' type='as' access='read'/>"
         "<signal name='DeviceAdded'><arg type='s' name='kind'/><arg type='o' name='device'/></signal>"
         "<signal name='DeviceRemoved'><arg type='s' name='kind'/><arg type='o' name='device'/></signal>"
         "<signal name='SettingsChanged'><arg type='s' name='kind'/></signal>"
         "<signal name='ProfileChanged'><arg type='s' name='kind'/><arg type='s' name='family'/>"
         "<arg type='s' name='name'/><arg type='s' name='reason'/></signal>"
         "</interface>" +
         InterfaceXml(false) + InterfaceXml(true) + "</node>";
}

// The last non-empty line of the reasons, without the tool's name.
std::string ReasonOf(const std::string& err) {
  size_t end = err.find_last_not_of("\r\n");
  if (end == std::string::npos) return "failed";
  const size_t begin = err.rfind('\n', end);
  const std::string line = err.substr(begin == std::string::npos ? 0 : begin + 1, end + 1 - (begin == std::string::npos ? 0 : begin + 1));
  return std::string(ReasonOfLine(line));
}

}  // namespace

struct CBusService::GState {
  CBusService* service = nullptr;
  gdbus::Loop main;
  GDBusConnection* bus = nullptr;
  GDBusNodeInfo* node = nullptr;
  guint manager = 0;
  struct DeviceObject {
    CBusService* service = nullptr;
    DeviceKind kind = DeviceKind::Mouse;
    guint device = 0;
    guint profiles = 0;
  };
  std::array<DeviceObject, 3> devices{};  // by kind 1-3
  std::set<std::string> present;         // kind words (bus thread)

  DeviceObject& Of(DeviceKind kind) { return devices[static_cast<size_t>(kind) - 1]; }

  static void OnManagerCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                            GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
    auto* self = static_cast<GState*>(data);
    if (g_strcmp0(method, "Run") != 0) {
      g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.UnknownMethod",
                                                 "unknown method");
      return;
    }
    Job job;
    GVariant* list = g_variant_get_child_value(parameters, 0);
    GVariant* options = g_variant_get_child_value(parameters, 1);
    gsize n = 0;
    const gchar** words = g_variant_get_strv(list, &n);
    for (gsize i = 0; i < n; ++i) job.words.emplace_back(words[i]);
    g_free(words);
    gboolean json = FALSE;
    g_variant_lookup(options, "json", "b", &json);
    job.json = json != FALSE;
    g_variant_unref(list);
    g_variant_unref(options);
    job.invocation = invocation;
    self->service->Enqueue(std::move(job));
  }

  static void OnDeviceCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                           GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
    auto* object = static_cast<DeviceObject*>(data);
    for (const TypedMethod& m : TypedMethods()) {
      if (g_strcmp0(m.name, method) != 0) continue;
      Job job;
      job.words = WordsOf(m, object->kind, parameters);
      job.json = true;
      job.typed = true;
      job.invocation = invocation;
      object->service->Enqueue(std::move(job));
      return;
    }
    g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.UnknownMethod",
                                               "unknown method");
  }

  static GVariant* GetManagerProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                      const gchar* property, GError** error, gpointer data) {
    auto* self = static_cast<GState*>(data);
    if (g_strcmp0(property, "Version") == 0) return g_variant_new_uint32(kApiVersion);
    if (g_strcmp0(property, "Devices") == 0) return self->DevicesVariant();
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "no property %s", property);
    return nullptr;
  }

  static GVariant* GetDeviceProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                     const gchar* property, GError** error, gpointer data) {
    auto* object = static_cast<DeviceObject*>(data);
    if (g_strcmp0(property, "Kind") == 0) return g_variant_new_string(KindWord(object->kind));
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "no property %s", property);
    return nullptr;
  }

  GVariant* DevicesVariant() const {
    GVariantBuilder b;
    g_variant_builder_init(&b, G_VARIANT_TYPE("as"));
    for (const char* k : {"mouse", "keyboard", "pad"})
      if (present.count(k) != 0) g_variant_builder_add(&b, "s", k);
    return g_variant_builder_end(&b);
  }

  void Emit(const char* signal, GVariant* args) {
    GError* e = nullptr;
    if (!g_dbus_connection_emit_signal(bus, nullptr, kManagerPath, kManagerInterface, signal, args, &e))
      DebugLineF("bus signal %s not sent: %s", signal, gdbus::TakeError(e).c_str());
  }

  void DevicesChanged() {
    GVariantBuilder changed;
    g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&changed, "{sv}", "Devices", DevicesVariant());
    GError* e = nullptr;
    if (!g_dbus_connection_emit_signal(bus, nullptr, kManagerPath, "org.freedesktop.DBus.Properties",
                                       "PropertiesChanged",
                                       g_variant_new("(sa{sv}as)", kManagerInterface, &changed, nullptr), &e))
      g_clear_error(&e);
  }

  // Bus thread.
  void AddDevice(DeviceKind kind) {
    DeviceObject& o = Of(kind);
    if (o.device == 0) {
      static const GDBusInterfaceVTable kDeviceVTable = {OnDeviceCall, GetDeviceProperty, nullptr, {}};
      const std::string path = DevicePath(kind);
      GError* e = nullptr;
      o.device = g_dbus_connection_register_object(bus, path.c_str(), node->interfaces[1], &kDeviceVTable, &o,
                                                   nullptr, &e);
      if (o.device == 0) DebugLineF("bus object %s not served: %s", path.c_str(), gdbus::TakeError(e).c_str());
      o.profiles = g_dbus_connection_register_object(bus, path.c_str(), node->interfaces[2], &kDeviceVTable, &o,
                                                     nullptr, &e);
      if (o.profiles == 0) g_clear_error(&e);
    }
    if (present.insert(KindWord(kind)).second) {
      Emit("DeviceAdded", g_variant_new("(so)", KindWord(kind), DevicePath(kind).c_str()));
      DevicesChanged();
    }
  }

  void RemoveDevice(DeviceKind kind) {
    DeviceObject& o = Of(kind);
    if (o.device != 0) g_dbus_connection_unregister_object(bus, o.device);
    if (o.profiles != 0) g_dbus_connection_unregister_object(bus, o.profiles);
    o.device = o.profiles = 0;
    if (present.erase(KindWord(kind)) != 0) {
      Emit("DeviceRemoved", g_variant_new("(so)", KindWord(kind), DevicePath(kind).c_str()));
      DevicesChanged();
    }
  }
};

CBusService::CBusService(RunCommandFn run, std::string bus_address)
    : run_(std::move(run)), address_(std::move(bus_address)) {}

CBusService::~CBusService() { Stop(); }

bool CBusService::Start(std::string* error) {
  if (g_) return true;
  auto g = std::make_unique<GState>();
  g->service = this;
  for (DeviceKind kind : {DeviceKind::Keyboard, DeviceKind::Mouse, DeviceKind::MousePad})
    g->Of(kind) = {this, kind, 0, 0};
  g->bus = gdbus::OpenBusConnection(address_, error);
  if (g->bus == nullptr) return false;
  GError* e = nullptr;
  g->node = g_dbus_node_info_new_for_xml(IntrospectionXml().c_str(), &e);
  if (g->node == nullptr) {
    if (error != nullptr) *error = gdbus::TakeError(e);
    g_object_unref(g->bus);
    return false;
  }
  g->main = gdbus::NewLoop();
  static const GDBusInterfaceVTable kManagerVTable = {GState::OnManagerCall, GState::GetManagerProperty, nullptr, {}};
  // Calls are dispatched in the context current when an object is
  // registered: the bus thread's own.
  g->manager = gdbus::WithLoopContext(g->main, [&] {
    return g_dbus_connection_register_object(g->bus, kManagerPath, g->node->interfaces[0], &kManagerVTable, g.get(),
                                             nullptr, &e);
  });
  g_ = std::move(g);
  if (g_->manager == 0) {
    if (error != nullptr) *error = gdbus::TakeError(e);
    Stop();
    return false;
  }
  std::string call_error;
  const gdbus::NameRequest name = gdbus::RequestName(g_->bus, kBusName, kCallTimeoutMs, &call_error);
  if (name != gdbus::NameRequest::Owned) {
    if (error != nullptr)
      *error = name == gdbus::NameRequest::Taken ? std::string("another process owns ") + kBusName : call_error;
    Stop();
    return false;
  }
  {
    std::lock_guard<std::mutex> guard(jobs_mutex_);
    stopping_ = false;
  }
  command_thread_ = std::thread([this] { CommandLoop(); });
  loop_thread_ = gdbus::RunLoop(g_->main);
  return true;
}

void CBusService::Stop() {
  if (!g_) return;
  {
    std::lock_guard<std::mutex> guard(jobs_mutex_);
    stopping_ = true;
  }
  jobs_cv_.notify_all();
  if (command_thread_.joinable()) command_thread_.join();
  if (loop_thread_.joinable()) {
    gdbus::QuitLoop(g_->main);
    loop_thread_.join();
  }
  std::unique_ptr<GState> g;
  {
    std::lock_guard<std::mutex> guard(state_mutex_);
    g.swap(g_);
  }
  Release(std::move(g));
}

void CBusService::Release(std::unique_ptr<GState> g) {
  for (auto& o : g->devices) {
    if (o.device != 0) g_dbus_connection_unregister_object(g->bus, o.device);
    if (o.profiles != 0) g_dbus_connection_unregister_object(g->bus, o.profiles);
  }
  if (g->manager != 0) g_dbus_connection_unregister_object(g->bus, g->manager);
  g_dbus_connection_close_sync(g->bus, nullptr, nullptr);
  g_object_unref(g->bus);
  // Calls already queued for the context hold references; FreeLoop lets them go.
  gdbus::FreeLoop(g->main);
  g_dbus_node_info_unref(g->node);
}

void CBusService::Post(std::function<void()> fn) {
  std::lock_guard<std::mutex> guard(state_mutex_);
  if (!g_) return;
  // Always through a source: g_main_context_invoke would run it on the
  // caller's thread whenever the bus thread is not inside its loop.
  GSource* source = g_idle_source_new();
  g_source_set_callback(
      source,
      [](gpointer data) -> gboolean {
        (*static_cast<std::function<void()>*>(data))();
        return G_SOURCE_REMOVE;
      },
      new std::function<void()>(std::move(fn)), [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
  g_source_attach(source, g_->main.context);
  g_source_unref(source);
}

void CBusService::DeviceAdded(DeviceKind kind) {
  Post([this, kind] {
    if (g_) g_->AddDevice(kind);
  });
}

void CBusService::DeviceRemoved(DeviceKind kind) {
  Post([this, kind] {
    if (g_) g_->RemoveDevice(kind);
  });
}

void CBusService::SettingsChanged(DeviceKind kind) {
  Post([this, kind] {
    if (g_) g_->Emit("SettingsChanged", g_variant_new("(s)", KindWord(kind)));
  });
}

void CBusService::ProfileChanged(DeviceKind kind, const std::string& family, const std::string& name,
                                 const std::string& reason) {
  Post([this, kind, family, name, reason] {
    if (g_) g_->Emit("ProfileChanged", g_variant_new("(ssss)", KindWord(kind), family.c_str(), name.c_str(), reason.c_str()));
  });
}

void CBusService::Enqueue(Job job) {
  {
    std::lock_guard<std::mutex> guard(jobs_mutex_);
    if (!stopping_) {
      jobs_.push_back(std::move(job));
      jobs_cv_.notify_one();
      return;
    }
  }
  g_dbus_method_invocation_return_dbus_error(static_cast<GDBusMethodInvocation*>(job.invocation),
                                             ErrorNameOfExit(1), "trx770 is quitting");
}

void CBusService::CommandLoop() {
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(jobs_mutex_);
      jobs_cv_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (stopping_) break;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    const CommandOutput r = run_(job.words, job.json);
    auto* invocation = static_cast<GDBusMethodInvocation*>(job.invocation);
    if (!job.typed) {
      g_dbus_method_invocation_return_value(invocation,
                                            g_variant_new("(iss)", r.exit_code, r.out.c_str(), r.err.c_str()));
    } else if (r.exit_code == 0) {
      g_dbus_method_invocation_return_value(invocation, g_variant_new("(s)", r.out.c_str()));
    } else {
      const char* name = ErrorNameOfExit(r.exit_code);
      g_dbus_method_invocation_return_dbus_error(invocation, name != nullptr ? name : ErrorNameOfExit(1),
                                                 ReasonOf(r.err).c_str());
    }
  }
  // What was still queued gets an answer, not a timeout.
  std::deque<Job> left;
  {
    std::lock_guard<std::mutex> guard(jobs_mutex_);
    left.swap(jobs_);
  }
  for (Job& job : left)
    g_dbus_method_invocation_return_dbus_error(static_cast<GDBusMethodInvocation*>(job.invocation),
                                               ErrorNameOfExit(1), "trx770 is quitting");
}

}  // namespace trx::bus

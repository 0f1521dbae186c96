#include "platform/desktop_pointer/gsettings_pointer.h"

#include <gio/gio.h>

namespace trx::desktop {

std::unique_ptr<CGSettingsPointer> CGSettingsPointer::Open() {
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();  // not owned
  if (source == nullptr) return nullptr;
  GSettingsSchema* schema = g_settings_schema_source_lookup(source, kGnomeMouseSchema, TRUE);
  if (schema == nullptr) return nullptr;
  const bool has_key = g_settings_schema_has_key(schema, kGnomeSpeedKey);
  GSettings* settings = has_key ? g_settings_new_full(schema, nullptr, nullptr) : nullptr;
  g_settings_schema_unref(schema);
  if (settings == nullptr) return nullptr;
  return std::unique_ptr<CGSettingsPointer>(new CGSettingsPointer(settings));
}

CGSettingsPointer::~CGSettingsPointer() { g_object_unref(settings_); }

DesktopResult CGSettingsPointer::SetPointerSpeed(int speed) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!g_settings_set_double(settings_, kGnomeSpeedKey, SpeedToUnit(speed))) return DesktopResult::Failed;
  g_settings_sync();  // written through to the backend before we report it done
  return DesktopResult::Ok;
}

DesktopResult CGSettingsPointer::GetPointerSpeed(int* speed) {
  std::lock_guard<std::mutex> lock(mutex_);
  *speed = SpeedFromUnit(g_settings_get_double(settings_, kGnomeSpeedKey));
  return DesktopResult::Ok;
}

}  // namespace trx::desktop

#pragma once
// Pointer speed on GNOME and the other GSettings desktops: the key "speed"
// (-1 .. 1) of the schema "org.gnome.desktop.peripherals.mouse", through
// GIO's GSettings API (the session's settings backend, dconf on a desktop;
// GSETTINGS_BACKEND=memory in tests). These desktops have no wheel-lines
// setting: SetWheelLines reports NotAvailable.
//
// Open() returns null when the schema (gsettings-desktop-schemas) is not
// installed. Thread safety: calls are serialised by an internal mutex.

#include <memory>
#include <mutex>

#include "platform/desktop_pointer/desktop_pointer.h"

typedef struct _GSettings GSettings;

namespace trx::desktop {

inline constexpr const char* kGnomeMouseSchema = "org.gnome.desktop.peripherals.mouse";
inline constexpr const char* kGnomeSpeedKey = "speed";

class CGSettingsPointer : public IDesktopPointer {
 public:
  static std::unique_ptr<CGSettingsPointer> Open();
  ~CGSettingsPointer() override;

  const char* Name() const override { return "gsettings"; }
  bool HasPointerSpeed() override { return true; }
  bool HasWheelLines() override { return false; }
  DesktopResult SetPointerSpeed(int speed) override;
  DesktopResult GetPointerSpeed(int* speed) override;
  DesktopResult SetWheelLines(int) override { return DesktopResult::NotAvailable; }
  DesktopResult GetWheelLines(int*) override { return DesktopResult::NotAvailable; }

 private:
  explicit CGSettingsPointer(GSettings* settings) : settings_(settings) {}
  std::mutex mutex_;         // guards settings_ calls; a leaf lock
  GSettings* settings_;      // owned
};

}  // namespace trx::desktop

#pragma once
// Pointer speed and wheel lines on KDE Plasma:
//
//   pointer speed  KWin's input devices over D-Bus (service org.kde.KWin,
//                  object /org/kde/KWin/InputDevice, property
//                  "devicesSysNames"; per device the object
//                  /org/kde/KWin/InputDevice/<sysName>, interface
//                  org.kde.KWin.InputDevice): "pointerAcceleration"
//                  (-1 .. 1) is set on every device whose "pointer" and
//                  "supportsPointerAcceleration" are true. KWin applies it
//                  at once (on Wayland and X11 alike).
//   wheel lines    "WheelScrollLines" in the group [KDE] of kdeglobals
//                  (the user's configuration folder), then the
//                  org.kde.KGlobalSettings "notifyChange" signal
//                  (SettingsChanged, mouse) on /KGlobalSettings so running
//                  programs reload it.
//
// The speed mapping is desktop_pointer.h's. Open() returns null when no
// KWin answers on the session bus.
//
// Thread safety: any thread; calls are serialised by an internal mutex.
// Uses a private Qt D-Bus connection of its own (blocking calls, no event
// loop needed), so it may be used from a worker thread. QtCore/QtDBus only.

#include <memory>
#include <mutex>
#include <string>

#include "platform/desktop_pointer/desktop_pointer.h"

namespace trx::desktop {

inline constexpr const char* kKWinService = "org.kde.KWin";
inline constexpr const char* kKWinInputPath = "/org/kde/KWin/InputDevice";
inline constexpr const char* kKWinDeviceInterface = "org.kde.KWin.InputDevice";
inline constexpr const char* kKWinManagerInterface = "org.kde.KWin.InputDeviceManager";

class CKdePointer : public IDesktopPointer {
 public:
  // `bus_address`: a D-Bus address (tests), empty for the session bus.
  // `kdeglobals`: the file, empty for $XDG_CONFIG_HOME/kdeglobals (or
  // ~/.config/kdeglobals).
  static std::unique_ptr<CKdePointer> Open(const std::string& bus_address = {}, const std::string& kdeglobals = {});
  ~CKdePointer() override;

  const char* Name() const override { return "kde"; }
  bool HasPointerSpeed() override;
  bool HasWheelLines() override { return true; }
  DesktopResult SetPointerSpeed(int speed) override;
  DesktopResult GetPointerSpeed(int* speed) override;
  DesktopResult SetWheelLines(int lines) override;
  DesktopResult GetWheelLines(int* lines) override;

 private:
  CKdePointer(std::string connection_name, std::string kdeglobals);

  std::mutex mutex_;              // serialises the calls; a leaf lock
  const std::string connection_;  // the private Qt D-Bus connection's name
  const std::string kdeglobals_;
};

}  // namespace trx::desktop

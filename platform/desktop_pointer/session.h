#pragma once
// Chooses the pointer-settings backend of the running session:
//
//   XDG_CURRENT_DESKTOP names a GSettings desktop (GNOME, Unity, Budgie,
//   Pantheon, ...) and the GNOME mouse schema is installed   -> gsettings
//   otherwise an X11 session (DISPLAY set, WAYLAND_DISPLAY not) -> x11
//   otherwise (KDE Plasma on Wayland, other Wayland compositors,
//   no session)                                               -> none
//
// KDE Plasma on X11 takes the x11 backend: KWin itself applies libinput
// there from its own settings at the next login.
//
// Call once at start-up, on any thread.

#include <memory>
#include <string>

#include "platform/desktop_pointer/desktop_pointer.h"

namespace trx::desktop {

struct SessionInfo {
  std::string current_desktop;  // XDG_CURRENT_DESKTOP
  bool x11 = false;             // DISPLAY set
  bool wayland = false;         // WAYLAND_DISPLAY set
};

SessionInfo SessionFromEnvironment();
// True when the desktop list (":"-separated, any case) holds a desktop
// that keeps its pointer settings in GSettings.
bool IsGSettingsDesktop(const std::string& current_desktop);
// The backend for `session`; never null (CNoDesktopPointer at worst).
std::unique_ptr<IDesktopPointer> OpenDesktopPointer(const SessionInfo& session);

}  // namespace trx::desktop

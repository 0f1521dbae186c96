#pragma once
// Chooses the pointer-settings backend of the running session:
//
//   XDG_CURRENT_DESKTOP names KDE and KWin answers (the caller passes the
//   KDE opener, kde_pointer.h, which needs Qt D-Bus)         -> kde
//   XDG_CURRENT_DESKTOP names a GSettings desktop (GNOME, Unity, Budgie,
//   Pantheon, ...) and the GNOME mouse schema is installed   -> gsettings
//   otherwise an X11 session (DISPLAY set, WAYLAND_DISPLAY not) -> x11
//   otherwise (KDE Plasma on Wayland, other Wayland compositors,
//   no session)                                               -> none
//
// Without the KDE opener (or without KWin) KDE Plasma on X11 takes the x11
// backend, and on Wayland none.
//
// Call once at start-up, on any thread.

#include <functional>
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
bool IsKdeDesktop(const std::string& current_desktop);
// Opens the KDE backend; null when KWin does not answer.
using KdeOpener = std::function<std::unique_ptr<IDesktopPointer>()>;
// The backend for `session`; never null (CNoDesktopPointer at worst).
std::unique_ptr<IDesktopPointer> OpenDesktopPointer(const SessionInfo& session, const KdeOpener& kde = nullptr);

}  // namespace trx::desktop

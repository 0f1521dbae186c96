#pragma once
// Chooses the foreground backend of the running session:
//
//   WAYLAND_DISPLAY set:
//     SWAYSOCK set                         -> sway (sway IPC)
//     XDG_CURRENT_DESKTOP names KDE        -> kwin (KWin script over D-Bus)
//     XDG_CURRENT_DESKTOP names GNOME      -> gnome (Shell extension over D-Bus)
//     otherwise                            -> none: this Wayland desktop does
//                                             not tell (kReasonWayland)
//   DISPLAY set                            -> x11
//   neither                                -> none (kReasonNoSession)
//
// On Wayland the X11 backend is never used: _NET_ACTIVE_WINDOW there only
// knows the X clients run through Xwayland.
//
// Thread: any; call once at start-up.

#include <memory>
#include <string>

#include "platform/foreground/foreground_source.h"

namespace trx::foreground {

struct ForegroundSession {
  std::string current_desktop;  // XDG_CURRENT_DESKTOP
  std::string display;          // DISPLAY
  std::string wayland_display;  // WAYLAND_DISPLAY
  std::string sway_socket;      // SWAYSOCK
};

ForegroundSession ForegroundSessionFromEnvironment();
// The backend's name for the session ("x11", "kwin", "gnome", "sway", "none").
const char* ForegroundBackendFor(const ForegroundSession& session);
// The backend, not started; never null.
std::unique_ptr<IForegroundSource> CreateForegroundSource(const ForegroundSession& session);

}  // namespace trx::foreground

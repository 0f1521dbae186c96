#include "platform/desktop_pointer/session.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "platform/desktop_pointer/gsettings_pointer.h"
#include "platform/desktop_pointer/x11_pointer.h"

namespace trx::desktop {

namespace {
std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : "";
}
}  // namespace

SessionInfo SessionFromEnvironment() {
  SessionInfo s;
  s.current_desktop = Env("XDG_CURRENT_DESKTOP");
  s.x11 = !Env("DISPLAY").empty();
  s.wayland = !Env("WAYLAND_DISPLAY").empty();
  return s;
}

namespace {
// True when the ":"-separated list names one of `desktops` (any case).
template <size_t N>
bool Names(const std::string& current_desktop, const char* const (&desktops)[N]) {
  std::stringstream list(current_desktop);
  std::string item;
  while (std::getline(list, item, ':')) {
    std::transform(item.begin(), item.end(), item.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* d : desktops)
      if (item == d) return true;
  }
  return false;
}
}  // namespace

bool IsGSettingsDesktop(const std::string& current_desktop) {
  static constexpr const char* kDesktops[] = {"gnome", "unity", "budgie", "pantheon", "gnome-classic", "gnome-flashback"};
  return Names(current_desktop, kDesktops);
}

bool IsKdeDesktop(const std::string& current_desktop) {
  static constexpr const char* kDesktops[] = {"kde", "plasma"};
  return Names(current_desktop, kDesktops);
}

std::unique_ptr<IDesktopPointer> OpenDesktopPointer(const SessionInfo& session, const KdeOpener& kde) {
  if (kde && IsKdeDesktop(session.current_desktop))
    if (auto k = kde()) return k;
  if (IsGSettingsDesktop(session.current_desktop))
    if (auto g = CGSettingsPointer::Open()) return g;
  if (session.x11 && !session.wayland)
    if (auto x = CX11Pointer::Open()) return x;
  return std::make_unique<CNoDesktopPointer>();
}

}  // namespace trx::desktop

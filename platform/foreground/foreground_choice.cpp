#include "platform/foreground/foreground_choice.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/foreground/dbus_foreground.h"
#include "platform/foreground/sway_foreground.h"
#include "platform/foreground/x11_foreground.h"

namespace trx::foreground {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// True when the ":"-separated list names `desktop`, in any case.
bool NamesDesktop(const std::string& list, std::string_view desktop) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    const std::string_view entry(list.data() + start, end - start);
    if (entry.size() == desktop.size() &&
        std::equal(entry.begin(), entry.end(), desktop.begin(),
                   [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); }))
      return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

ForegroundSession ForegroundSessionFromEnvironment() {
  return {Env("XDG_CURRENT_DESKTOP"), Env("DISPLAY"), Env("WAYLAND_DISPLAY"), Env("SWAYSOCK")};
}

const char* ForegroundBackendFor(const ForegroundSession& s) {
  if (!s.wayland_display.empty()) {
    if (!s.sway_socket.empty()) return "sway";
    if (NamesDesktop(s.current_desktop, "KDE")) return "kwin";
    if (NamesDesktop(s.current_desktop, "GNOME")) return "gnome";
    return "none";
  }
  return s.display.empty() ? "none" : "x11";
}

std::unique_ptr<IForegroundSource> CreateForegroundSource(const ForegroundSession& s) {
  const std::string backend = ForegroundBackendFor(s);
  if (backend == "x11") return std::make_unique<CX11ForegroundSource>(s.display);
  if (backend == "sway") return std::make_unique<CSwayForegroundSource>(s.sway_socket);
  if (backend == "kwin") return std::make_unique<CDbusForegroundSource>(ReportingDesktop::KWin);
  if (backend == "gnome") return std::make_unique<CDbusForegroundSource>(ReportingDesktop::Gnome);
  if (!s.wayland_display.empty())
    return std::make_unique<CNoForegroundSource>(
        ForegroundUnavailable{kReasonWayland, "the Wayland desktop \"" + s.current_desktop + "\" does not tell which program is in front"});
  return std::make_unique<CNoForegroundSource>(ForegroundUnavailable{kReasonNoSession, "no desktop session"});
}

}  // namespace trx::foreground

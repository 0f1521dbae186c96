#pragma once
// "Start with the session": the XDG autostart entry
// "$XDG_CONFIG_HOME/autostart/trx770.desktop" ($XDG_CONFIG_HOME defaults
// to "$HOME/.config"), which desktop sessions run at log-in.
//
// The entry starts the executable that wrote it (its absolute path, quoted
// as desktop entries want) and names it in TryExec, so an entry left behind
// by an uninstalled program is skipped by the session.
//
// Thread safety: any thread; the environment is read on every call.

#include <string>

namespace trx {

inline constexpr const char* kAutostartFileName = "trx770.desktop";

std::string AutostartEntryPath();
// True when the entry exists and is not switched off ("Hidden=true" or
// "X-GNOME-Autostart-enabled=false").
bool IsAutostartEnabled();
// Writes or removes the entry. True when the file is as asked afterwards.
bool SetAutostartEnabled(bool enabled, const std::string& executable);
// The entry's text for an executable.
std::string AutostartEntryText(const std::string& executable);
// The running executable's absolute path ("" when unknown).
std::string CurrentExecutable();

}  // namespace trx

#pragma once
// From a process id to the program the user knows, read from /proc (or a
// fake tree with the same layout, for tests):
//
// - the executable: the target of /proc/PID/exe (" (deleted)" dropped);
// - a Wine loader (wine, wine64, wine-preloader, wine64-preloader, also
//   Proton's builds of them): the Windows program it runs, the first
//   argument of /proc/PID/cmdline ending in ".exe" (any case), as a Linux
//   path where the prefix tells where the drive lies:
//     "Z:\\home\\u\\game.exe"  -> <prefix>/dosdevices/z: + "/home/u/game.exe"
//     "C:\\Games\\game.exe"    -> <prefix>/dosdevices/c: + "/Games/game.exe"
//     "game.exe", "/x/a.exe"  -> joined to /proc/PID/cwd / taken as it is
//   The prefix is WINEPREFIX from /proc/PID/environ, else HOME/.wine. A
//   drive that can't be resolved keeps the Windows path with '/' for '\\'
//   ("C:/Games/game.exe"), so the program is still told apart by name.
//
// So a game linked by picking its ".exe" in the file chooser matches the
// Wine process that runs it, and the program shown is "game.exe", not
// "wine64-preloader".
//
// Thread: any. Reads files only; never executes or opens the program.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foreground/foreground_source.h"

namespace trx::foreground {

inline constexpr const char* kProcRoot = "/proc";

// The program of `pid`; empty when /proc/PID/exe can't be read (another
// user's process, a process that ended).
std::optional<ForegroundProgram> ProgramOfProcess(int pid, const std::string& proc_root = kProcRoot);

// True for the file names of Wine's loaders.
bool IsWineLoader(std::string_view executable_path);
// The part after the last '/' (the whole path when there is none).
std::string FileNameOf(std::string_view path);
// The Windows program of a Wine process from its arguments, environment
// ("NAME=value" entries) and working folder; empty when no argument names
// an ".exe".
std::string WineProgramPath(const std::vector<std::string>& args, const std::vector<std::string>& environ,
                            const std::string& cwd);

// Answers a backend's pid: the program, or Unknown with the reason.
ForegroundResult ResultForPid(int pid, const std::string& proc_root = kProcRoot);

}  // namespace trx::foreground

#pragma once
// The user's folders: the Documents folder and the program's data folder
// inside it.
//
// Documents is the XDG documents directory: XDG_DOCUMENTS_DIR from
// "$XDG_CONFIG_HOME/user-dirs.dirs" ($XDG_CONFIG_HOME defaults to
// "$HOME/.config"), where "$HOME" in the value is expanded and a relative
// value is taken relative to $HOME; without that entry, "$HOME/Documents".
// $HOME falls back to the password database when unset. The environment is
// read on every call, so tests can point HOME / XDG_CONFIG_HOME at a
// temporary folder.
//
// Every function creates the folders on the way when they are missing and
// returns the path with a trailing '/'. When a folder can't be created the
// path is still returned; the file operations on it then fail and report.
//
// Thread safety: any thread (reads the environment; don't change it
// concurrently).

#include <string>

namespace trx {

inline constexpr const char* kDataFolderName = "Dirari DovevO1";
inline constexpr const char* kMainIniName = "main.ini";

std::string HomeFolder();        // no trailing '/'; not created
std::string DocumentsFolder();   // ".../Documents/"
std::string UserDataFolder();    // ".../Documents/Dirari DovevO1/"
// UserDataFolder() + "main.ini" (the skin and language choices).
std::string MainIniPath();

// Creates `path` and its missing parents (mode 0777 less the umask).
// True when it exists as a folder afterwards.
bool EnsureFolder(const std::string& path);

}  // namespace trx

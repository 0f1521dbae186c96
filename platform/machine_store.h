#pragma once
// The machine-wide value store: the program's stand-in for string values
// under HKEY_LOCAL_MACHINE. One INI file holds every key as a section named
// by the key path ("SOFTWARE\\Gaming Mouse") with its values as entries.
//
// The file is "/etc/xdg/TRX770/machine.ini" unless the environment variable
// TRX770_MACHINE_STORE names another file, or SetMachineStorePath overrides
// both (tests).
//
// Semantics kept from the registry use of the program:
// - a read fails when the file, the key or the value is missing;
// - a write opens an EXISTING key only (the key is not created when it is
//   missing: an installer creates it) and fails, without any other effect,
//   when the file can't be written (no rights: ordinary users can't write
//   under /etc). The caller may ignore the failure: it is expected.
//
// Thread safety: any thread (the INI functions serialise file access).

#include <string>
#include <string_view>

namespace trx {

// The key the program's values live under and the language value's name.
inline constexpr const char* kMachineKeyPath = "SOFTWARE\\Gaming Mouse";
inline constexpr const char* kMachineLanguageValue = "LANGUAGE";
inline constexpr const char* kMachineStoreDefaultPath = "/etc/xdg/TRX770/machine.ini";

// The file in use (override, environment, default in that order).
std::string MachineStorePath();
// An empty path removes the override.
void SetMachineStorePath(const std::string& path);

// True and the value in `out` when key and value exist.
bool ReadMachineValue(std::string_view key_path, std::string_view name, std::string& out);
// True when the value was written into the existing key.
bool WriteMachineValue(std::string_view key_path, std::string_view name, std::string_view value);
// Creates the key (an installer's job; tests and packaging). True when it
// exists afterwards.
bool CreateMachineKey(std::string_view key_path);

}  // namespace trx

#pragma once
// Profile names. A name is shown in the profile combo, stored in the INI
// index and used as the profile's file name, so a name must survive all
// three: it is refused when it is empty, "." or "..", holds a path
// separator or a control character (or another character Windows refuses
// in file names, so the file can move to such a system), starts or ends
// with a blank (the INI index would drop it), is longer than the index
// keeps (259 characters), or makes a file name longer than the file system
// takes (255 bytes with the extension). No name can leave the profile
// folder.
//
// Thread safety: any thread (pure functions).

#include <string>

namespace trx {

// The longest name in bytes: 255-byte file names less the longest
// extension (".config").
inline constexpr size_t kMaxProfileNameBytes = 255 - 7;

// Empty when `name` can be a profile name, else the reason in English.
std::string ProfileNameProblem(const std::string& name);

// ASCII case-insensitive equality, as profile names are compared.
bool SameProfileName(const std::string& a, const std::string& b);

}  // namespace trx

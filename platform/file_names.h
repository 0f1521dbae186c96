#pragma once
// Names the user gives that become file names in the user's folders (a
// macro, a profile). Such a name is shown in a list, stored in an INI index
// and used as the file's base name, so it must survive all three: it is
// refused when it is empty, "." or "..", holds a path separator or a control
// character (or another character Windows refuses in file names, so the
// file can move to such a system), starts or ends with a blank (the INI
// index would drop it), is longer than the index keeps (259 characters),
// or makes a file name longer than the file system takes. No accepted name
// can leave its folder.
//
// Thread safety: any thread (pure functions).

#include <cstddef>
#include <string>

namespace trx {

// Empty when `name` can be a base name of at most `max_bytes` bytes, else
// the reason in English.
std::string FileNameProblem(const std::string& name, size_t max_bytes);

// ASCII case-insensitive equality, as these names are compared.
bool SameNameIgnoringCase(const std::string& a, const std::string& b);

}  // namespace trx

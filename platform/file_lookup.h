#pragma once
// File names whose extension differs only in letter case name one file, as
// they do on the file system the profile formats come from: "x.PRO" and
// "x.pro", "msdengdefault.Led" and "msdengdefault.led".
//
// Lookups find an existing file whatever the case of its extension (the
// exact name first; among several other candidates the one that sorts
// first by byte value). The stem before the last '.' must match exactly.
// Writers use the case they are given and then drop the other spellings, so
// that a later lookup can never find a stale twin.
//
// Thread safety: any thread; each call looks at the folder as it is now.

#include <string>

namespace trx {

// The full path of an existing regular file in `folder` (with or without a
// trailing '/') named `name` up to the case of its extension. Empty when
// there is none.
std::string FindFileIgnoringExtensionCase(const std::string& folder, const std::string& name);

// The same for a full path: the existing file's path, or `path` itself when
// no spelling exists.
std::string ResolveExtensionCase(const std::string& path);

// Removes every file beside `path` that differs from it only in the case of
// its extension (never `path` itself). Returns the number removed.
int RemoveExtensionCaseTwins(const std::string& path);

}  // namespace trx

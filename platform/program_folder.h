#pragma once
// The program folder: where the executable lies and the files that ship
// beside it (default profiles, skin/). It is, in order of precedence:
//   1. the folder set with SetProgramFolderOverride (tests),
//   2. the environment variable TRX770_PROGRAM_DIR (installed layouts that
//      keep the data apart from the binary),
//   3. the folder of /proc/self/exe.
// The result always ends with '/'.
//
// Thread safety: any thread; the override is guarded.

#include <string>

namespace trx {

std::string ProgramFolder();
// An empty string removes the override.
void SetProgramFolderOverride(const std::string& folder);

}  // namespace trx

#pragma once
// The program folder: the folder holding the files that ship with the
// program (skin/, the default profiles). It is, in order of precedence:
//   1. the folder set with SetProgramFolderOverride (tests),
//   2. the environment variable TRX770_PROGRAM_DIR,
//   3. the folder of the executable (/proc/self/exe), when it holds
//      "skin/res.xml": the build tree and flat copies,
//   4. the installed data folder beside the executable's, by default
//      "<exe folder>/../share/trx770/" (/usr/bin → /usr/share/trx770,
//      /opt/trx770/bin → /opt/trx770/share/trx770), when it holds
//      "skin/res.xml",
//   5. the folder of the executable.
// The result always ends with '/'.
//
// Thread safety: any thread; the override is guarded.

#include <string>

namespace trx {

// The installed data folder relative to the programs' folder (set at build
// time from the install directories; "../share/trx770" by default).
const char* InstalledDataRelative();

std::string ProgramFolder();
// Steps 3 to 5 only: the folder that came with the executable, whatever the
// override and the environment say.
std::string ExecutableProgramFolder();
// An empty string removes the override.
void SetProgramFolderOverride(const std::string& folder);

// Steps 3 to 5 for a given executable folder and data folder relative to
// it; lexically normalised, ending with '/'.
std::string ResolveProgramFolder(const std::string& exe_folder, const std::string& data_relative);

}  // namespace trx

#pragma once
// The GNOME Shell extension that reports the program in front, and what
// its state means for the program links.
//
// Two forms ship: GNOME 43 and 44 load extension.js as a script (the old
// `imports`, `function init()`), GNOME 45 onwards as an ES module (`export
// default class`); neither loads the other's. The program writes the form
// the running shell loads to the user's extensions folder
// ($XDG_DATA_HOME/gnome-shell/extensions/trx770-foreground@trx770.org/),
// which GNOME Shell prefers over a copy installed for the whole system.
// The shell reads that folder only when it starts: new files take effect
// at the next login.
//
// GNOME Shell describes an extension with GetExtensionInfo (org.gnome.Shell,
// /org/gnome/Shell, org.gnome.Shell.Extensions): an empty dictionary for an
// extension it does not know, else "state" (a double) among others.
//
// Pure functions and files; any thread.

#include <string>
#include <string_view>

namespace trx::foreground {

// GNOME Shell's ExtensionState values (the same numbers in 43 and 45+;
// 45 renames ENABLED/DISABLED to ACTIVE/INACTIVE).
enum class GnomeExtensionState : int {
  Enabled = 1,
  Disabled = 2,
  Error = 3,
  OutOfDate = 4,
  Downloading = 5,
  Initialized = 6,
  Disabling = 7,
  Enabling = 8,
  Uninstalled = 99,
};

enum class GnomeExtensionForm { None, Script43, Module45 };

// The major version of a ShellVersion string ("43.9" -> 43, "45.beta" ->
// 45); 0 when it does not start with a number.
int GnomeShellMajor(std::string_view version);
// The form a shell of that major version loads: 43-44 Script43, 45 and
// later Module45, older (or unknown, 0) None.
GnomeExtensionForm GnomeExtensionFormFor(int shell_major);

enum class GnomeInstallResult { Unchanged, Written, Failed, NoForm };
// Writes `form`'s metadata.json and extension.js under
// `data_home`/gnome-shell/extensions/<uuid>/ unless both are there with
// the same bytes already. Each file is replaced atomically.
GnomeInstallResult InstallGnomeExtension(const std::string& data_home, GnomeExtensionForm form);
// `data_home`/gnome-shell/extensions/<uuid>, no trailing '/'.
std::string GnomeExtensionFolder(const std::string& data_home);

// What the shell and the user's folder said.
struct GnomeExtensionSeen {
  int shell_major = 0;          // 0: the shell did not tell its version
  bool known = false;           // the shell knows the extension
  int state = 0;                // its "state" when known
  bool copy_waiting = false;    // a copy for this shell is in the user's folder but not the one running
};
// The language text id of the reason links are off (kReasonGnome...), or
// null when the extension runs.
const char* GnomeExtensionReason(const GnomeExtensionSeen& seen);

}  // namespace trx::foreground

#pragma once
// The tool's exit codes and the one table that maps each layer's result
// enum onto them. Every command returns through these, so a result means
// the same exit status whichever command met it.
//
// Thread: any (pure functions).

#include <ostream>

#include "backup/device_backup.h"
#include "device/commands.h"
#include "device/device_ids.h"
#include "macro/macro_library.h"
#include "platform/desktop_pointer/desktop_pointer.h"
#include "profile/profile_operations.h"
#include "routine/routine_files.h"
#include "services/device_session.h"
#include "services/mouse_record_edit.h"
#include "settings/onboard_profile.h"

namespace trx::ctl {

enum class ExitCode : int {
  Ok = 0,
  DeviceError = 1,   // a device command failed
  Usage = 2,         // a bad option, command or argument
  NoDevice = 3,      // no device of the family (or of the one named)
  NoAccess = 4,      // present, but its node can't be opened (udev rule)
  Busy = 5,          // present, but another program (trx770) holds it
  NotAvailable = 6,  // the running desktop has no such setting
  Refused = 7,       // macro library: the 50 limit, capacity, a bad or unknown name;
                     // button: the only left-click button, an unknown macro;
                     // profile: a bad, taken or unknown name, the last profile,
                     // a file to import with a wrong header, kind or size;
                     // backup: a damaged file, another device's, FILE exists
  FileError = 8,     // macro library, profiles: a file could not be read or written
};

ExitCode ExitOf(OpenResult r);
ExitCode ExitOf(macro::MacroResult r);
ExitCode ExitOf(routine::RoutineResult r);
ExitCode ExitOf(ProfileOpResult r);
ExitCode ExitOf(CommandResult r);
ExitCode ExitOf(OnboardSwitchResult r);
ExitCode ExitOf(RecordEditResult r);
ExitCode ExitOf(backup::DeviceBackupResult r);
ExitCode ExitOf(backup::RestoreResult r);
ExitCode ExitOf(desktop::DesktopResult r);

// A failed open: its one-line reason on `err`, its exit code returned.
ExitCode RefuseOpen(DeviceKind kind, const OpenReport& report, std::ostream& err);

}  // namespace trx::ctl

#include "ctl/exit_codes.h"

namespace trx::ctl {

ExitCode ExitOf(OpenResult r) {
  switch (r) {
    case OpenResult::Opened: return ExitCode::Ok;
    case OpenResult::NotPresent: return ExitCode::NoDevice;
    case OpenResult::NoAccess: return ExitCode::NoAccess;
    case OpenResult::InUse: return ExitCode::Busy;
    case OpenResult::Failed: break;
  }
  return ExitCode::DeviceError;
}

ExitCode ExitOf(macro::MacroResult r) {
  using macro::MacroResult;
  switch (r) {
    case MacroResult::Ok: return ExitCode::Ok;
    case MacroResult::FileError: return ExitCode::FileError;
    case MacroResult::DeviceError: return ExitCode::DeviceError;
    default: return ExitCode::Refused;
  }
}

ExitCode ExitOf(routine::RoutineResult r) {
  using routine::RoutineResult;
  switch (r) {
    case RoutineResult::Ok: return ExitCode::Ok;
    case RoutineResult::FileError: return ExitCode::FileError;
    case RoutineResult::DeviceError:
    case RoutineResult::BadMemory: return ExitCode::DeviceError;
    default: return ExitCode::Refused;
  }
}

ExitCode ExitOf(ProfileOpResult r) {
  switch (r) {
    case ProfileOpResult::Ok: return ExitCode::Ok;
    case ProfileOpResult::FileMissing:
    case ProfileOpResult::FileBad:
    case ProfileOpResult::WriteFailed: return ExitCode::FileError;
    case ProfileOpResult::DeviceFailed: return ExitCode::DeviceError;
    case ProfileOpResult::NoSuchFamily: return ExitCode::Usage;
    default: return ExitCode::Refused;
  }
}

ExitCode ExitOf(CommandResult r) { return r == CommandResult::Ok ? ExitCode::Ok : ExitCode::DeviceError; }

ExitCode ExitOf(OnboardSwitchResult r) {
  switch (r) {
    case OnboardSwitchResult::Done:
    case OnboardSwitchResult::AlreadyActive: return ExitCode::Ok;
    default: return ExitCode::DeviceError;
  }
}

ExitCode ExitOf(RecordEditResult r) {
  switch (r) {
    case RecordEditResult::Done: return ExitCode::Ok;
    case RecordEditResult::Refused: return ExitCode::Usage;  // the edit itself was refused: nothing sent
    default: return ExitCode::DeviceError;
  }
}

ExitCode ExitOf(backup::DeviceBackupResult r) {
  return r == backup::DeviceBackupResult::Ok ? ExitCode::Ok : ExitCode::DeviceError;
}

ExitCode ExitOf(backup::RestoreResult r) {
  using backup::RestoreResult;
  switch (r) {
    case RestoreResult::Ok: return ExitCode::Ok;
    case RestoreResult::OtherKind:
    case RestoreResult::OtherProduct:
    case RestoreResult::OtherSizes: return ExitCode::Refused;  // another device's backup: nothing written
    default: return ExitCode::DeviceError;
  }
}

ExitCode ExitOf(desktop::DesktopResult r) {
  switch (r) {
    case desktop::DesktopResult::Ok: return ExitCode::Ok;
    case desktop::DesktopResult::NotAvailable: return ExitCode::NotAvailable;
    case desktop::DesktopResult::Failed: break;
  }
  return ExitCode::DeviceError;
}

ExitCode RefuseOpen(DeviceKind kind, const OpenReport& report, std::ostream& err) {
  err << "trx770ctl: " << DescribeOpenFailure(kind, report) << "\n";
  return ExitOf(report.result);
}

}  // namespace trx::ctl

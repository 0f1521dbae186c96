#include "ctl/ctl_backup.h"

#include <filesystem>

#include "backup/backup_store.h"
#include "backup/device_backup.h"
#include "ctl/exit_codes.h"
#include "ctl/json_writer.h"
#include "device/commands.h"
#include "device/device_ids.h"
#include "services/device_session.h"

namespace trx::ctl {
namespace {

constexpr const char* kBackupUsage =
    "\nusage: backup DEVICE FILE [--force] | backup --list [DEVICE] | restore DEVICE FILE\n";

const char* KindWord(DeviceKind kind) { return DeviceKindName(kind); }


void RegionsJson(JsonWriter& j, const char* key, const std::vector<std::string>& names) {
  j.BeginArray(key);
  for (const std::string& n : names) j.String({}, n);
  j.EndArray();
}

std::string Joined(const std::vector<std::string>& names) {
  std::string s;
  for (const std::string& n : names) s += (s.empty() ? "" : ", ") + n;
  return s;
}

ExitCode List(const std::vector<std::string>& w, bool json, std::ostream& out, std::ostream& err) {
  std::string prefix;
  if (w.size() == 3) {
    const auto kind = ParseDeviceKind(w[2]);
    if (!kind) {
      err << "trx770ctl: unknown device '" << w[2] << "' (mouse, keyboard or pad)\n";
      return ExitCode::Usage;
    }
    prefix = std::string(DeviceKindName(*kind)) + "-";
  }
  JsonWriter j(out);
  if (json) j.BeginObject().String("folder", backup::BackupStoreFolder()).BeginArray("backups");
  else out << "backups in " << backup::BackupStoreFolder() << ":\n";
  int shown = 0;
  for (const backup::StoredBackup& b : backup::ListStoredBackups()) {
    if (b.key.rfind(prefix, 0) != 0) continue;
    ++shown;
    if (json) {
      j.BeginObject().String("device", b.key).String("path", b.path).Int("size", static_cast<long long>(b.size));
      j.Bool("valid", b.valid);
      if (b.valid) j.String("created", backup::FormatBackupTime(b.created));
      j.EndObject();
    } else {
      out << b.key << "\t" << (b.valid ? backup::FormatBackupTime(b.created) : "(damaged)") << "\t" << b.path << "\n";
    }
  }
  if (json) {
    j.EndArray().EndObject();
    j.Finish();
  } else if (shown == 0) {
    out << "(none)\n";
  }
  return ExitCode::Ok;
}

ExitCode Backup(DeviceKind kind, const std::string& file, bool force, bool json, const OpenChannel& open,
                std::ostream& out, std::ostream& err) {
  std::error_code ec;
  if (!force && std::filesystem::exists(file, ec)) {
    err << "trx770ctl: '" << file << "' exists already; add --force to replace it\n";
    return ExitCode::Refused;
  }
  OpenReport report;
  CDeviceChannel* channel = open(kind, report);
  if (channel == nullptr) return RefuseOpen(kind, report, err);
  std::array<uint8_t, backup::kBackupInfoSize> info{};
  const CommandResult rc = ReadDeviceInformation(*channel, info.data());
  if (rc != kResultOk) {
    err << "trx770ctl: reading the " << KindWord(kind) << " failed: " << CommandResultName(rc) << "\n";
    return ExitOf(rc);
  }
  backup::BackupImage image;
  const backup::DeviceBackupReport r =
      backup::ReadDeviceBackup(*channel, backup::LibraryMacroMemory(kind, info.data()), image);
  if (r.result == backup::DeviceBackupResult::BlockTooLarge) {
    err << "trx770ctl: the keyboard reports a key block above 512 bytes; nothing was saved\n";
    return ExitOf(r.result);
  }
  if (r.result != backup::DeviceBackupResult::Ok) {
    err << "trx770ctl: reading the " << KindWord(kind) << "'s " << r.region
        << " failed: " << CommandResultName(r.device_result) << "; nothing was saved\n";
    return ExitOf(r.result);
  }
  if (!backup::SaveBackupFile(file, image)) {
    err << "trx770ctl: '" << file << "' could not be written\n";
    return ExitCode::FileError;
  }
  size_t bytes = 0;
  for (const backup::BackupRegion& region : image.regions) bytes += region.data.size();
  if (json) {
    JsonWriter j(out);
    j.BeginObject().String("kind", KindWord(kind)).String("file", file);
    j.String("created", backup::FormatBackupTime(image.created));
    j.BeginArray("regions");
    for (const backup::BackupRegion& region : image.regions)
      j.BeginObject()
          .String("name", backup::RegionName(region))
          .Int("address", region.address)
          .Int("length", static_cast<long long>(region.data.size()))
          .Bool("from_device", (region.flags & backup::kRegionFromDevice) != 0)
          .EndObject();
    j.EndArray().Int("bytes", static_cast<long long>(bytes)).EndObject();
    j.Finish();
  } else {
    out << KindWord(kind) << ": " << image.regions.size() << " regions, " << bytes << " bytes saved to " << file
        << "\n";
  }
  return ExitCode::Ok;
}

ExitCode Restore(DeviceKind kind, const std::string& file, bool json, const OpenChannel& open, std::ostream& out,
                 std::ostream& err) {
  backup::BackupImage image;
  backup::BackupReadResult why = backup::BackupReadResult::Ok;
  switch (backup::LoadBackupFile(file, image, why)) {
    case backup::LoadResult::Ok: break;
    case backup::LoadResult::FileError:
      err << "trx770ctl: '" << file << "' could not be read\n";
      return ExitCode::FileError;
    case backup::LoadResult::NotRegular:
      err << "trx770ctl: '" << file << "' is not a regular file\n";
      return ExitCode::FileError;
    case backup::LoadResult::Refused:
      err << "trx770ctl: '" << file << "': " << backup::BackupReadResultName(why) << "; nothing was written\n";
      return ExitCode::Refused;
  }
  if (image.kind != kind) {
    err << "trx770ctl: '" << file << "' is a backup of the " << KindWord(image.kind) << ", not of the "
        << KindWord(kind) << "; nothing was written\n";
    return ExitCode::Refused;
  }
  OpenReport report;
  CDeviceChannel* channel = open(kind, report);
  if (channel == nullptr) return RefuseOpen(kind, report, err);
  const backup::RestoreReport r = backup::RestoreDeviceBackup(*channel, image);
  using backup::RestoreResult;
  if (json) {
    JsonWriter j(out);
    j.BeginObject().String("kind", KindWord(kind)).String("file", file);
    j.String("created", backup::FormatBackupTime(image.created));
    j.Bool("restored", r.result == RestoreResult::Ok).String("result", backup::RestoreResultName(r.result));
    if (!r.region.empty()) j.String("failed_region", r.region);
    RegionsJson(j, "written", r.written);
    RegionsJson(j, "differing", r.differing);
    j.Bool("information_differs", r.information_differs).Bool("macro_memory_written", r.macro_memory_written);
    j.EndObject();
    j.Finish();
  }
  if (r.result != RestoreResult::Ok) {
    err << "trx770ctl: " << KindWord(kind) << ": " << backup::RestoreResultName(r.result);
    if (!r.region.empty()) err << " (" << r.region << ": " << CommandResultName(r.device_result) << ")";
    if (!r.differing.empty()) err << ": " << Joined(r.differing);
    err << "\n";
    return ExitOf(r.result);
  }
  if (!json) {
    out << KindWord(kind) << ": restored " << r.written.size() << " regions from " << file << " ("
        << backup::FormatBackupTime(image.created) << "); the device reads back as the backup\n";
    if (r.macro_memory_written) out << "the macro memory was written; the device can't show it back to be checked\n";
    if (r.information_differs) out << "note: the device information differs from the backup's\n";
  }
  return ExitCode::Ok;
}

}  // namespace

ExitCode RunBackupCommand(const std::vector<std::string>& w, bool json, const OpenChannel& open, std::ostream& out,
                          std::ostream& err) {
  const bool restore = w[0] == "restore";
  if (!restore && w.size() >= 2 && w[1] == "--list") {
    if (w.size() > 3) {
      err << "trx770ctl: wrong number of arguments for 'backup --list'" << kBackupUsage;
      return ExitCode::Usage;
    }
    return List(w, json, out, err);
  }
  const bool force = !restore && w.size() == 4 && w[3] == "--force";
  if (w.size() != (force ? 4u : 3u)) {
    err << "trx770ctl: wrong number of arguments for '" << w[0] << "'" << kBackupUsage;
    return ExitCode::Usage;
  }
  const auto kind = ParseDeviceKind(w[1]);
  if (!kind) {
    err << "trx770ctl: unknown device '" << w[1] << "' (mouse, keyboard or pad)\n";
    return ExitCode::Usage;
  }
  return restore ? Restore(*kind, w[2], json, open, out, err) : Backup(*kind, w[2], force, json, open, out, err);
}

}  // namespace trx::ctl

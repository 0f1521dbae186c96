#include "backup/backup_store.h"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "backup/device_backup.h"
#include "device/commands.h"
#include "macro/macro_upload.h"
#include "platform/atomic_file.h"
#include "platform/debug_log.h"

namespace trx::backup {
namespace fs = std::filesystem;
namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : "";
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string TimeName(int64_t created) {
  const std::time_t t = static_cast<std::time_t>(created);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char b[32];
  std::strftime(b, sizeof b, "%Y%m%d-%H%M%S", &tm);
  return b;
}

void Prune(const std::string& key) {
  std::vector<StoredBackup> all = ListStoredBackups(key);
  if (all.size() <= kMaxStoredBackups) return;
  for (size_t i = 0; i + kMaxStoredBackups < all.size(); ++i) {
    std::error_code ec;
    fs::remove(all[i].path, ec);
  }
}

}  // namespace

std::string BackupStoreFolder() {
  std::string state = Env("XDG_STATE_HOME");
  if (state.empty() || state[0] != '/') state = Env("HOME") + "/.local/state";
  return state + "/trx770/backups/";
}

std::string DeviceBackupKey(DeviceKind kind, uint16_t product_id, const uint8_t* info) {
  const uLong crc = crc32(crc32(0L, Z_NULL, 0), info, static_cast<uInt>(kBackupInfoSize));
  char b[64];
  std::snprintf(b, sizeof b, "%s-%04x-%08lx", DeviceKindName(kind), product_id, crc & 0xFFFFFFFFul);
  return b;
}

std::string DeviceBackupKey(const BackupImage& image) {
  return DeviceBackupKey(image.kind, image.product_id, image.info.data());
}

std::vector<StoredBackup> ListStoredBackups(const std::string& key) {
  std::vector<StoredBackup> out;
  const std::string root = BackupStoreFolder();
  std::error_code ec;
  std::vector<std::string> keys;
  if (!key.empty()) {
    keys.push_back(key);
  } else {
    for (const auto& entry : fs::directory_iterator(root, ec))
      if (entry.is_directory(ec)) keys.push_back(entry.path().filename());
    std::sort(keys.begin(), keys.end());
  }
  for (const std::string& k : keys) {
    std::vector<StoredBackup> here;
    for (const auto& entry : fs::directory_iterator(root + k, ec)) {
      const std::string path = entry.path();
      if (!entry.is_regular_file(ec) || !EndsWith(path, kBackupExtension)) continue;
      StoredBackup b;
      b.key = k;
      b.path = path;
      b.size = entry.file_size(ec);
      BackupImage image;
      BackupReadResult why = BackupReadResult::Ok;
      if (LoadBackupFile(path, image, why) == LoadResult::Ok) {
        b.valid = true;
        b.created = image.created;
      }
      here.push_back(std::move(b));
    }
    std::sort(here.begin(), here.end(), [](const StoredBackup& a, const StoredBackup& b) {
      return a.created != b.created ? a.created < b.created : a.path < b.path;
    });
    out.insert(out.end(), here.begin(), here.end());
  }
  return out;
}

bool HasStoredBackup(const std::string& key) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(BackupStoreFolder() + key, ec))
    if (entry.is_regular_file(ec) && EndsWith(entry.path(), kBackupExtension)) return true;
  return false;
}

StoreResult SaveToStore(const BackupImage& image, std::string& path) {
  const std::string key = DeviceBackupKey(image);
  const std::string folder = BackupStoreFolder() + key + "/";
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) return StoreResult::FolderError;
  const std::string stem = folder + TimeName(image.created);
  path = stem + kBackupExtension;
  for (int n = 2; fs::exists(path, ec); ++n) path = stem + "-" + std::to_string(n) + kBackupExtension;
  if (!SaveBackupFile(path, image)) return StoreResult::WriteError;
  Prune(key);
  return StoreResult::Saved;
}

LoadResult LoadBackupFile(const std::string& path, BackupImage& image, BackupReadResult& why) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return LoadResult::FileError;
  if (!S_ISREG(st.st_mode)) return LoadResult::NotRegular;
  if (static_cast<uint64_t>(st.st_size) > kMaxBackupFileSize) {
    why = BackupReadResult::TooLarge;
    return LoadResult::Refused;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return LoadResult::FileError;
  std::vector<uint8_t> bytes(kMaxBackupFileSize + 1);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return LoadResult::FileError;
  bytes.resize(static_cast<size_t>(in.gcount()));
  why = DecodeBackup(bytes.data(), bytes.size(), image);
  return why == BackupReadResult::Ok ? LoadResult::Ok : LoadResult::Refused;
}

bool SaveBackupFile(const std::string& path, const BackupImage& image) {
  const std::vector<uint8_t> bytes = EncodeBackup(image);
  return WriteFileAtomic(path, bytes.data(), bytes.size());
}

std::string FormatBackupTime(int64_t created) {
  const std::time_t t = static_cast<std::time_t>(created);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char b[40];
  std::strftime(b, sizeof b, "%Y-%m-%d %H:%M:%S UTC", &tm);
  return b;
}

std::vector<uint8_t> LibraryMacroMemory(DeviceKind kind, const uint8_t* info) {
  std::vector<uint8_t> image;
  if (kind == DeviceKind::MousePad) return image;
  const macro::MacroImageReport r = macro::BuildLibraryImage(macro::MacroStoreFor(kind), MacroCapacityOf(info), image);
  if (r.result != macro::MacroResult::Ok) image.clear();
  return image;
}

AutoBackupOutcome RunAutomaticBackup(CDeviceChannel& channel, std::string* path) {
  std::lock_guard<std::recursive_mutex> hold(channel.lock);
  std::array<uint8_t, kBackupInfoSize> info{};
  const CommandResult rc = ReadDeviceInformation(channel, info.data());
  const char* kind = DeviceKindName(channel.kind);
  if (rc != kResultOk) {
    DebugLineF("automatic backup of the %s: device information not read (%s)", kind, CommandResultName(rc));
    return AutoBackupOutcome::ReadFailed;
  }
  const std::string key = DeviceBackupKey(channel.kind, channel.transport.attributes.product_id, info.data());
  if (HasStoredBackup(key)) return AutoBackupOutcome::AlreadyBackedUp;
  BackupImage image;
  const DeviceBackupReport read = ReadDeviceBackup(channel, LibraryMacroMemory(channel.kind, info.data()), image);
  if (read.result != DeviceBackupResult::Ok) {
    DebugLineF("automatic backup of the %s failed at %s (%s)", kind, read.region.c_str(),
               CommandResultName(read.device_result));
    return AutoBackupOutcome::ReadFailed;
  }
  std::string saved;
  if (SaveToStore(image, saved) != StoreResult::Saved) {
    DebugLineF("automatic backup of the %s could not be saved under %s", kind, BackupStoreFolder().c_str());
    return AutoBackupOutcome::SaveFailed;
  }
  DebugLineF("automatic backup of the %s saved to %s", kind, saved.c_str());
  if (path != nullptr) *path = saved;
  return AutoBackupOutcome::Saved;
}

void InstallAutomaticBackup(CDeviceChannel& channel) {
  channel.SetBeforeFirstWrite([](CDeviceChannel& c) { RunAutomaticBackup(c); });
}

}  // namespace trx::backup

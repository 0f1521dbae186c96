#pragma once
// Where backups are kept on this computer, and the automatic backup before
// the first write to a device.
//
// The store: "$XDG_STATE_HOME/trx770/backups/" ("~/.local/state/..." when
// the variable is unset or not absolute), one folder per device, named by
// its key "<kind>-<product id, 4 hex digits>-<CRC-32 of the device
// information, 8 hex digits>", holding "YYYYMMDD-HHMMSS.trxbak" files (UTC
// creation time; "-2", "-3" ... when a second is taken). Each save keeps the
// newest kMaxStoredBackups of its folder and deletes the older ones.
//
// The automatic backup (InstallAutomaticBackup) is the channel's
// before-first-write hook (device/device_channel.h): the first write of each
// connection reads the device information; when the store holds no backup
// for that key, the whole device is read (ReadDeviceBackup, with the macro
// library's image as the macro memory) and saved, and the debug output
// names the file ("automatic backup of the mouse saved to PATH"). A device
// that can't be read is not backed up and the write goes on; the next
// connection tries again.
//
// Thread: any. Files are written atomically (platform/atomic_file.h).

#include <cstdint>
#include <string>
#include <vector>

#include "backup/backup_format.h"
#include "device/device_channel.h"

namespace trx::backup {

inline constexpr size_t kMaxStoredBackups = 10;
inline constexpr const char* kBackupExtension = ".trxbak";

// The store folder, with a trailing '/'.
std::string BackupStoreFolder();
std::string DeviceBackupKey(DeviceKind kind, uint16_t product_id, const uint8_t* info /*33 bytes*/);
std::string DeviceBackupKey(const BackupImage& image);

struct StoredBackup {
  std::string key;
  std::string path;
  int64_t created = 0;  // from the file's header; 0 when it does not read
  uint64_t size = 0;
  bool valid = false;   // the file decodes (DecodeBackup)
};
// The store's backups, of one device key or (empty key) of all, oldest
// first within a key, keys in name order.
std::vector<StoredBackup> ListStoredBackups(const std::string& key = {});
bool HasStoredBackup(const std::string& key);

enum class StoreResult { Saved, FolderError, WriteError };
// Saves `image` into its device's folder, then keeps the newest ten.
StoreResult SaveToStore(const BackupImage& image, std::string& path);

// Reads and decodes a backup file: a regular file of at most
// kMaxBackupFileSize bytes. FileError when it can't be read.
enum class LoadResult { Ok, FileError, NotRegular, Refused };
LoadResult LoadBackupFile(const std::string& path, BackupImage& image, BackupReadResult& why);

// Writes `image` to `path` atomically. False when it could not be written.
bool SaveBackupFile(const std::string& path, const BackupImage& image);

// "2026-12-09 18:15:30 UTC".
std::string FormatBackupTime(int64_t created);

// The macro memory a device of `kind` gets from this computer's macro
// library (the image an upload writes); empty when the library is empty,
// does not fit `info`'s capacity, or the kind has none.
std::vector<uint8_t> LibraryMacroMemory(DeviceKind kind, const uint8_t* info);

enum class AutoBackupOutcome { Saved, AlreadyBackedUp, ReadFailed, SaveFailed };
// The hook's work on `channel` (which the caller holds); `path` gets the
// saved file.
AutoBackupOutcome RunAutomaticBackup(CDeviceChannel& channel, std::string* path = nullptr);
// Makes RunAutomaticBackup the channel's before-first-write hook.
void InstallAutomaticBackup(CDeviceChannel& channel);

}  // namespace trx::backup

#pragma once
// The backup file: everything one device holds, byte-exact and versioned.
// docs/backup-format.md describes the same layout for people; this header
// is its codec. Little-endian throughout.
//
//   offset      size    field
//   0           8       magic "TRX770BK"
//   8           2       format version (kBackupFormatVersion)
//   10          1       device kind: 1 keyboard, 2 mouse, 3 mouse pad
//   11          1       number of regions r (1 .. kMaxBackupRegions)
//   12          2       vendor id
//   14          2       product id
//   16          2       key block size of the device (0: none, the pad)
//   18          2       reserved, zero
//   20          8       creation time, seconds since 1970-01-01 UTC
//   28          33      device information (command 3)
//   61          3       reserved, zero
//   64          16 r    region table, one entry per region:
//                         +0  1  region type (RegionType)
//                         +1  1  index (record or key block number, else 0)
//                         +2  1  flags (kRegionFromDevice, kRegionRestored)
//                         +3  1  reserved, zero
//                         +4  4  device address
//                         +8  4  length in bytes
//                         +12 4  CRC-32 of the region's bytes
//   64 + 16 r   ...     the regions' bytes, back to back in table order
//   end - 4     4       CRC-32 of every byte before it
//
// Which regions a device has, with their addresses and lengths, is fixed
// by its kind and header (ExpectedRegion); the reader refuses anything
// else, so a file that decodes can be written to a device of the same kind
// without further checks of its layout.
//
// Pure functions; any thread.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/device_channel.h"

namespace trx::backup {

inline constexpr char kBackupMagic[8] = {'T', 'R', 'X', '7', '7', '0', 'B', 'K'};
inline constexpr uint16_t kBackupFormatVersion = 1;
inline constexpr size_t kBackupHeaderSize = 64;
inline constexpr size_t kRegionEntrySize = 16;
inline constexpr size_t kBackupTrailerSize = 4;
inline constexpr size_t kMaxBackupRegions = 32;
// No device of the family holds more; larger files are refused unread.
inline constexpr size_t kMaxBackupFileSize = 1u << 20;
inline constexpr size_t kBackupInfoSize = 33;
inline constexpr size_t kSettingsRecordBytes = 56;  // of each 64-byte slot
inline constexpr uint16_t kSettingsRecordStride = 64;
inline constexpr int kBackupRecordCount = 5;
inline constexpr int kBackupKeyBlockCount = 5;
inline constexpr uint16_t kKeyBlockAddressStride = 126;
inline constexpr size_t kRoutineMemoryMax = 3072;
inline constexpr size_t kRoutineHeaderSize = 16;
inline constexpr size_t kMacroUnitInfoByte = 6;     // device information: macro memory / 128
inline constexpr size_t kMacroMemoryUnit = 128;
inline constexpr size_t kKeyboardBlockInfoByte = 5; // device information: block size / 3
inline constexpr size_t kMaxKeyBlockSize = 512;

enum class RegionType : uint8_t {
  Settings = 1,       // settings record k: command 5 / 6, 56 bytes at k x 64
  KeyBlock = 2,       // key block k: command 8 / 9, block size bytes at k x 126
  MainBlock = 3,      // factory key assignments: command 7 (read only)
  RoutineMemory = 4,  // mouse: command 22 / 23, the image its header names
  MacroMemory = 5,    // command 21; not readable: the library's image
};

inline constexpr uint8_t kRegionFromDevice = 0x01;  // the bytes were read from the device
inline constexpr uint8_t kRegionRestored = 0x02;    // a restore writes them back

struct BackupRegion {
  RegionType type = RegionType::Settings;
  uint8_t index = 0;
  uint8_t flags = 0;
  uint32_t address = 0;
  std::vector<uint8_t> data;
  bool operator==(const BackupRegion&) const = default;
};

struct BackupImage {
  DeviceKind kind = DeviceKind::Mouse;
  uint16_t vendor_id = 0;
  uint16_t product_id = 0;
  uint16_t block_size = 0;
  int64_t created = 0;  // seconds since 1970 UTC
  std::array<uint8_t, kBackupInfoSize> info{};
  std::vector<BackupRegion> regions;
  bool operator==(const BackupImage&) const = default;
};

// "settings record 3", "key block 1", "main block", "routine memory",
// "macro memory" (records and blocks numbered from 1, as trx770ctl does).
std::string RegionName(RegionType type, int index);
std::string RegionName(const BackupRegion& region);

// The key block size a device of `kind` with this information has: the
// mouse 512, the keyboard information byte 5 x 3, the pad 0.
uint16_t BlockSizeFor(DeviceKind kind, const uint8_t* info);
// The macro memory size (information byte 6 x 128).
size_t MacroCapacityOf(const uint8_t* info);

// The file bytes of `image` (regions in the order given).
std::vector<uint8_t> EncodeBackup(const BackupImage& image);

enum class BackupReadResult {
  Ok,
  TooLarge,      // above kMaxBackupFileSize
  Truncated,     // shorter than its header and table say
  BadMagic,      // not a backup file
  NewerVersion,  // made by a later format version: not understood
  BadChecksum,   // a CRC does not match (damaged)
  BadLayout,     // fields or regions that no device of the kind has
};
const char* BackupReadResultName(BackupReadResult result);

// Reads and checks a whole file: size, magic, version, the file CRC, the
// header and every region (type, index, address, length and CRC as
// ExpectedRegion gives them, no region twice, the required ones present).
// `out` is filled only on Ok.
BackupReadResult DecodeBackup(const uint8_t* data, size_t size, BackupImage& out);

// The address and length region (type, index) has on a device of this
// kind, block size and information; false when it has no such region.
// Routine and macro memory give their largest length (the actual one is
// the data's).
bool ExpectedRegion(DeviceKind kind, uint16_t block_size, const uint8_t* info, RegionType type, int index,
                    uint32_t& address, uint32_t& max_length);

}  // namespace trx::backup

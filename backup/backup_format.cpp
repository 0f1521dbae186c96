#include "backup/backup_format.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace trx::backup {
namespace {

// Header field offsets (backup_format.h).
constexpr size_t kOffVersion = 8;
constexpr size_t kOffKind = 10;
constexpr size_t kOffRegionCount = 11;
constexpr size_t kOffVendor = 12;
constexpr size_t kOffProduct = 14;
constexpr size_t kOffBlockSize = 16;
constexpr size_t kOffReserved1 = 18;
constexpr size_t kOffCreated = 20;
constexpr size_t kOffInfo = 28;
constexpr size_t kOffReserved2 = 61;

uint32_t Crc(const uint8_t* data, size_t n) {
  return static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), data, static_cast<uInt>(n)));
}

void Put(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint64_t Get(const uint8_t* at, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | at[i];
  return v;
}

bool AllZero(const uint8_t* at, size_t n) {
  return std::all_of(at, at + n, [](uint8_t b) { return b == 0; });
}

uint8_t FlagsOf(RegionType type) {
  switch (type) {
    case RegionType::MainBlock: return kRegionFromDevice;
    case RegionType::MacroMemory: return kRegionRestored;
    default: return kRegionFromDevice | kRegionRestored;
  }
}

bool KnownKind(uint8_t k) { return k >= 1 && k <= 3; }

}  // namespace

std::string RegionName(RegionType type, int index) {
  switch (type) {
    case RegionType::Settings: return "settings record " + std::to_string(index + 1);
    case RegionType::KeyBlock: return "key block " + std::to_string(index + 1);
    case RegionType::MainBlock: return "main block";
    case RegionType::RoutineMemory: return "routine memory";
    case RegionType::MacroMemory: return "macro memory";
  }
  return "unknown region";
}

std::string RegionName(const BackupRegion& region) { return RegionName(region.type, region.index); }

uint16_t BlockSizeFor(DeviceKind kind, const uint8_t* info) {
  switch (kind) {
    case DeviceKind::Mouse: return kMaxKeyBlockSize;
    case DeviceKind::Keyboard: return static_cast<uint16_t>(info[kKeyboardBlockInfoByte] * 3);
    case DeviceKind::MousePad: return 0;
  }
  return 0;
}

size_t MacroCapacityOf(const uint8_t* info) { return static_cast<size_t>(info[kMacroUnitInfoByte]) * kMacroMemoryUnit; }

bool ExpectedRegion(DeviceKind kind, uint16_t block_size, const uint8_t* info, RegionType type, int index,
                    uint32_t& address, uint32_t& max_length) {
  const bool keys = kind != DeviceKind::MousePad && block_size > 0 && block_size <= kMaxKeyBlockSize;
  const bool indexed = type == RegionType::Settings || type == RegionType::KeyBlock;
  if (indexed ? (index < 0 || index >= kBackupRecordCount) : index != 0) return false;
  switch (type) {
    case RegionType::Settings:
      address = static_cast<uint32_t>(index) * kSettingsRecordStride;
      max_length = kSettingsRecordBytes;
      return true;
    case RegionType::KeyBlock:
      address = static_cast<uint32_t>(index) * kKeyBlockAddressStride;
      max_length = block_size;
      return keys;
    case RegionType::MainBlock:
      address = 0;
      max_length = block_size;
      return keys;
    case RegionType::RoutineMemory:
      address = 0;
      max_length = kRoutineMemoryMax;
      return kind == DeviceKind::Mouse;
    case RegionType::MacroMemory:
      address = 0;
      max_length = static_cast<uint32_t>(MacroCapacityOf(info));
      return kind != DeviceKind::MousePad && max_length > 0;
  }
  return false;
}

std::vector<uint8_t> EncodeBackup(const BackupImage& image) {
  std::vector<uint8_t> out(kBackupMagic, kBackupMagic + sizeof kBackupMagic);
  Put(out, kBackupFormatVersion, 2);
  Put(out, static_cast<uint8_t>(image.kind), 1);
  Put(out, image.regions.size(), 1);
  Put(out, image.vendor_id, 2);
  Put(out, image.product_id, 2);
  Put(out, image.block_size, 2);
  Put(out, 0, 2);
  Put(out, static_cast<uint64_t>(image.created), 8);
  out.insert(out.end(), image.info.begin(), image.info.end());
  Put(out, 0, 3);
  for (const BackupRegion& r : image.regions) {
    Put(out, static_cast<uint8_t>(r.type), 1);
    Put(out, r.index, 1);
    Put(out, r.flags, 1);
    Put(out, 0, 1);
    Put(out, r.address, 4);
    Put(out, r.data.size(), 4);
    Put(out, Crc(r.data.data(), r.data.size()), 4);
  }
  for (const BackupRegion& r : image.regions) out.insert(out.end(), r.data.begin(), r.data.end());
  Put(out, Crc(out.data(), out.size()), 4);
  return out;
}

const char* BackupReadResultName(BackupReadResult result) {
  switch (result) {
    case BackupReadResult::Ok: return "a valid backup";
    case BackupReadResult::TooLarge: return "the file is too large to be a backup";
    case BackupReadResult::Truncated: return "the backup is cut short";
    case BackupReadResult::BadMagic: return "not a TRX770 backup file";
    case BackupReadResult::NewerVersion: return "the backup was made by a newer version of this program";
    case BackupReadResult::BadChecksum: return "the backup is damaged (checksum mismatch)";
    case BackupReadResult::BadLayout: return "the backup holds regions this device does not have";
  }
  return "unknown result";
}

BackupReadResult DecodeBackup(const uint8_t* data, size_t size, BackupImage& out) {
  if (size > kMaxBackupFileSize) return BackupReadResult::TooLarge;
  if (size < sizeof kBackupMagic) return BackupReadResult::Truncated;
  if (std::memcmp(data, kBackupMagic, sizeof kBackupMagic) != 0) return BackupReadResult::BadMagic;
  if (size < kOffVersion + 2) return BackupReadResult::Truncated;
  const uint64_t version = Get(data + kOffVersion, 2);
  if (version > kBackupFormatVersion) return BackupReadResult::NewerVersion;
  if (size < kBackupHeaderSize + kBackupTrailerSize) return BackupReadResult::Truncated;
  const size_t regions = data[kOffRegionCount];
  const size_t table_end = kBackupHeaderSize + regions * kRegionEntrySize;
  if (size < table_end + kBackupTrailerSize) return BackupReadResult::Truncated;
  size_t body = 0;
  for (size_t i = 0; i < regions; ++i) body += Get(data + kBackupHeaderSize + i * kRegionEntrySize + 8, 4);
  if (size < table_end + body + kBackupTrailerSize) return BackupReadResult::Truncated;
  if (Get(data + size - kBackupTrailerSize, 4) != Crc(data, size - kBackupTrailerSize))
    return BackupReadResult::BadChecksum;
  if (size != table_end + body + kBackupTrailerSize) return BackupReadResult::BadLayout;

  BackupImage image;
  if (version == 0 || !KnownKind(data[kOffKind]) || regions == 0 || regions > kMaxBackupRegions ||
      !AllZero(data + kOffReserved1, 2) || !AllZero(data + kOffReserved2, 3))
    return BackupReadResult::BadLayout;
  image.kind = static_cast<DeviceKind>(data[kOffKind]);
  image.vendor_id = static_cast<uint16_t>(Get(data + kOffVendor, 2));
  image.product_id = static_cast<uint16_t>(Get(data + kOffProduct, 2));
  image.block_size = static_cast<uint16_t>(Get(data + kOffBlockSize, 2));
  image.created = static_cast<int64_t>(Get(data + kOffCreated, 8));
  std::memcpy(image.info.data(), data + kOffInfo, kBackupInfoSize);
  if (image.block_size != BlockSizeFor(image.kind, image.info.data())) return BackupReadResult::BadLayout;

  size_t at = table_end;
  for (size_t i = 0; i < regions; ++i) {
    const uint8_t* e = data + kBackupHeaderSize + i * kRegionEntrySize;
    BackupRegion r;
    r.type = static_cast<RegionType>(e[0]);
    r.index = e[1];
    r.flags = e[2];
    r.address = static_cast<uint32_t>(Get(e + 4, 4));
    const size_t length = Get(e + 8, 4);
    uint32_t address = 0, max_length = 0;
    if (e[3] != 0 || !ExpectedRegion(image.kind, image.block_size, image.info.data(), r.type, r.index, address,
                                     max_length))
      return BackupReadResult::BadLayout;
    const bool whole = r.type == RegionType::Settings || r.type == RegionType::KeyBlock ||
                       r.type == RegionType::MainBlock;
    const size_t min_length = r.type == RegionType::RoutineMemory ? kRoutineHeaderSize : whole ? max_length : 1;
    if (r.address != address || length < min_length || length > max_length || r.flags != FlagsOf(r.type))
      return BackupReadResult::BadLayout;
    for (const BackupRegion& seen : image.regions)
      if (seen.type == r.type && seen.index == r.index) return BackupReadResult::BadLayout;
    if (Get(e + 12, 4) != Crc(data + at, length)) return BackupReadResult::BadChecksum;
    r.data.assign(data + at, data + at + length);
    at += length;
    image.regions.push_back(std::move(r));
  }
  // Every region the device always has must be there.
  auto has = [&](RegionType type, int index) {
    return std::any_of(image.regions.begin(), image.regions.end(),
                       [&](const BackupRegion& r) { return r.type == type && r.index == index; });
  };
  for (int k = 0; k < kBackupRecordCount; ++k) {
    if (!has(RegionType::Settings, k)) return BackupReadResult::BadLayout;
    if (image.kind != DeviceKind::MousePad && !has(RegionType::KeyBlock, k)) return BackupReadResult::BadLayout;
  }
  if (image.kind != DeviceKind::MousePad && !has(RegionType::MainBlock, 0)) return BackupReadResult::BadLayout;
  if (image.kind == DeviceKind::Mouse && !has(RegionType::RoutineMemory, 0)) return BackupReadResult::BadLayout;
  out = std::move(image);
  return BackupReadResult::Ok;
}

}  // namespace trx::backup

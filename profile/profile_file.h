#pragma once
// Profile files: a 16-byte header followed by one slice of the
// configuration image, little-endian.
//
//   offset  size  field
//   0       2     magic 0x55AA (bytes AA 55)
//   2       2     reserved, 0
//   4       2     device kind: 1 keyboard, 2 mouse, 3 mouse pad
//   6       10    reserved, 0
//   16      n     data (size by file type, profile_families.h)
//
// Only the magic is examined on reading: the kind, the reserved fields and
// the file's length are not.
//
// Thread safety: any thread.

#include <cstddef>
#include <cstdint>
#include <string>

#include "device/device_channel.h"

namespace trx {

inline constexpr size_t kProfileHeaderSize = 16;
inline constexpr uint16_t kProfileMagic = 0x55AA;

// ReadProfileFile results.
enum class ProfileReadResult : int {
  Ok = 0,
  Missing = 1,    // missing or can't be opened
  BadMagic = -1,  // no 0x55AA at the start
};
// WriteProfileFile results.
enum class ProfileWriteResult : int { Ok = 0, Failed = 1 };

// Short names of the same values.
inline constexpr ProfileReadResult kProfileReadOk = ProfileReadResult::Ok;
inline constexpr ProfileReadResult kProfileMissing = ProfileReadResult::Missing;
inline constexpr ProfileReadResult kProfileBadMagic = ProfileReadResult::BadMagic;
inline constexpr ProfileWriteResult kProfileWriteOk = ProfileWriteResult::Ok;
inline constexpr ProfileWriteResult kProfileWriteFailed = ProfileWriteResult::Failed;

// Debug lines of the profile code.
inline constexpr const char* kDebugFileOpenFailed = "文件打开失败";
inline constexpr const char* kDebugProfileMissing = "配置文件丢失";
inline constexpr const char* kDebugProfileBadFormat = "配置文件格式错误";

// Reads the file at `path` (its extension in any letter case, see
// platform/file_lookup.h). On kProfileReadOk up to `size` data bytes are in
// `data`; a short file leaves the rest of `data` as the caller filled it.
// `data` is untouched on the other results.
ProfileReadResult ReadProfileFile(const std::string& path, size_t size, uint8_t* data);

// Writes the header with `kind` and `size` bytes of `data`, replacing the
// file atomically (a failure leaves the old file whole; a file that already
// holds exactly these bytes is not rewritten), then removes any
// twin of the file whose extension differs only in case. On failure writes
// the debug line "文件打开失败" and returns kProfileWriteFailed.
ProfileWriteResult WriteProfileFile(const std::string& path, DeviceKind kind, size_t size, const uint8_t* data);

}  // namespace trx

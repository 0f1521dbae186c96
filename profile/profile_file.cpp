#include "profile/profile_file.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/debug_log.h"
#include "platform/file_lookup.h"

namespace trx {

ProfileReadResult ReadProfileFile(const std::string& path, size_t size, uint8_t* data) {
  std::string found = ResolveExtensionCase(path);
  struct stat st;
  if (::stat(found.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return kProfileMissing;
  FILE* f = std::fopen(found.c_str(), "rb");
  if (!f) return kProfileMissing;
  uint8_t header[kProfileHeaderSize] = {};
  size_t got = std::fread(header, 1, sizeof header, f);
  uint16_t magic = static_cast<uint16_t>(header[0] | header[1] << 8);
  if (got < 2 || magic != kProfileMagic) {
    std::fclose(f);
    return kProfileBadMagic;
  }
  if (got == sizeof header && size > 0) std::fread(data, 1, size, f);  // a short file leaves the rest
  std::fclose(f);
  return kProfileReadOk;
}

ProfileWriteResult WriteProfileFile(const std::string& path, DeviceKind kind, size_t size, const uint8_t* data) {
  std::vector<uint8_t> bytes(kProfileHeaderSize + size, 0);
  bytes[0] = kProfileMagic & 0xFF;
  bytes[1] = kProfileMagic >> 8;
  bytes[4] = static_cast<uint8_t>(kind);
  if (size > 0) std::memcpy(bytes.data() + kProfileHeaderSize, data, size);
  // A file that already holds these bytes is left alone (no rewrite, no flush).
  std::vector<uint8_t> stored;
  if (ReadWholeFile(path, stored) && stored == bytes) {
    RemoveExtensionCaseTwins(path);
    return kProfileWriteOk;
  }
  if (!WriteFileAtomic(path, bytes.data(), bytes.size())) {
    DebugLine(kDebugFileOpenFailed);
    return kProfileWriteFailed;
  }
  RemoveExtensionCaseTwins(path);
  return kProfileWriteOk;
}

}  // namespace trx

// Fuzzes the profile file reader and the copy of its data into the image.
//
// Checked on every input, for each file type's size:
// - result 0 exactly when the file starts with AA 55, else -1 with the
//   buffer untouched;
// - on 0 the buffer holds the file's data bytes and, past them, what the
//   caller had put there;
// - applying the data to the image and building the file data back gives
//   the same bytes for the mouse key and keyboard key families.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "profile/profile_data.h"
#include "profile/profile_file.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

const std::string& ScratchFile() {
  static const std::string path = [] {
    char folder[] = "/tmp/trx770-fuzz-XXXXXX";
    Check(::mkdtemp(folder) != nullptr);
    return std::string(folder) + "/fuzz.config";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = ScratchFile();
  Check(trx::WriteFileAtomic(path, data, size));
  const bool magic = size >= 2 && data[0] == 0xAA && data[1] == 0x55;

  trx::ConfigImages images;
  for (trx::DeviceKind kind : {trx::DeviceKind::Mouse, trx::DeviceKind::Keyboard, trx::DeviceKind::MousePad}) {
    for (const trx::ProfileFamilyInfo* info : trx::FamiliesOf(kind)) {
      std::vector<uint8_t> buffer(info->data_size, 0xC3);
      const trx::ProfileReadResult rc = trx::ReadProfileFile(path, buffer.size(), buffer.data());
      if (!magic) {
        Check(rc == trx::kProfileBadMagic);
        Check(buffer == std::vector<uint8_t>(info->data_size, 0xC3));
        continue;
      }
      Check(rc == trx::kProfileReadOk);
      size_t have = size >= trx::kProfileHeaderSize ? size - trx::kProfileHeaderSize : 0;
      size_t copied = have < buffer.size() ? have : buffer.size();
      Check(std::memcmp(buffer.data(), data + trx::kProfileHeaderSize, copied) == 0 || copied == 0);
      for (size_t i = copied; i < buffer.size(); ++i) Check(buffer[i] == 0xC3);

      trx::ApplyProfileData(images, *info, buffer.data());
      std::vector<uint8_t> rebuilt = trx::BuildProfileData(images, *info);
      Check(rebuilt.size() == info->data_size);
      if (info->family == trx::ProfileFamily::Key) Check(rebuilt == buffer);
    }
  }
  return 0;
}

// Fuzzes the check of a profile file to import, for every family.
//
// Checked on every input: the file is accepted exactly when it starts with
// AA 55, names the family's device kind and has the family's size, and the
// data handed on are then the bytes after the header.

#include "fuzz/fuzz_scratch.h"
#include "profile/profile_file.h"
#include "profile/profile_operations.h"

using trx::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = trx::fuzz::Scratch() + "import.config";
  trx::fuzz::WriteInput(path, data, size);
  for (trx::DeviceKind kind : {trx::DeviceKind::Mouse, trx::DeviceKind::Keyboard, trx::DeviceKind::MousePad}) {
    for (const trx::ProfileFamilyInfo* info : trx::FamiliesOf(kind)) {
      std::vector<uint8_t> out;
      std::string detail;
      const trx::ProfileOpResult r = trx::CheckImportFile(*info, path, out, detail);
      const bool good = size == trx::kProfileHeaderSize + info->data_size && data[0] == 0xAA && data[1] == 0x55 &&
                        data[4] == static_cast<uint8_t>(kind) && data[5] == 0;
      Check((r == trx::ProfileOpResult::Ok) == good);
      if (good) Check(out == std::vector<uint8_t>(data + trx::kProfileHeaderSize, data + size));
      else Check(!detail.empty());
    }
  }
  return 0;
}

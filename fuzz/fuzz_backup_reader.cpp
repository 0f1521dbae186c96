// Fuzzes the backup file reader.
//
// Checked on every input: a file the reader accepts is encoded again into
// exactly the same bytes, and every region it holds lies where the device
// kind has it.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "backup/backup_format.h"

namespace {
void Check(bool ok) {
  if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  trx::backup::BackupImage image;
  if (trx::backup::DecodeBackup(data, size, image) != trx::backup::BackupReadResult::Ok) return 0;
  const std::vector<uint8_t> again = trx::backup::EncodeBackup(image);
  Check(again.size() == size);
  Check(std::equal(again.begin(), again.end(), data));
  for (const trx::backup::BackupRegion& r : image.regions) {
    uint32_t address = 0, max_length = 0;
    Check(trx::backup::ExpectedRegion(image.kind, image.block_size, image.info.data(), r.type, r.index, address,
                                      max_length));
    Check(r.address == address && r.data.size() <= max_length);
  }
  return 0;
}

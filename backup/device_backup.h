#pragma once
// Backing up and restoring a whole device over its channel. Plain
// functions over a CDeviceChannel: each holds the channel lock for its
// whole run, so no other thread's command lands between its frames, and
// each runs unchanged as one operation of whoever orders the device's work.
//
// Read (ReadDeviceBackup): Begin transfer; device information; (keyboard:
// block size := information byte 5 x 3, above 512 refused); main block;
// settings record k (56 bytes at k x 64) and key block k for k = 0..4;
// mouse: routine memory header (16 bytes), then the image its second word
// names when the first is 0x55AA and the length lies in 16..3072 (else the
// 16 bytes as they are); End transfer. The pad has records only. The macro
// memory can't be read: `macro_memory` (the image the macro library
// uploads, possibly empty) is stored as the macro memory region.
//
// Restore (RestoreDeviceBackup): nothing is written before the file is
// found to fit: the device information is read, and kind, product id and
// key block size must be the file's. Then, region by region in the file's
// order, each between Begin and End transfer: settings records (one frame
// each), key blocks 1..5, routine memory, macro memory. Then everything is
// read again as above and compared with the file; the report names each
// region that differs. The main block can't be written and the macro
// memory can't be read back: they are not compared.
//
// Progress: ReadSteps / RestoreSteps steps, reported after each.
// A stop request ends the run between regions with End transfer sent.
//
// Thread: any; the caller's thread blocks for the whole run.

#include <string>
#include <vector>

#include "backup/backup_format.h"
#include "device/commands.h"
#include "platform/progress_reporter.h"

namespace trx::backup {

enum class DeviceBackupResult {
  Ok,
  DeviceError,    // a command failed; `device_result` and `region` say which
  BlockTooLarge,  // keyboard information gives a key block above 512 bytes
  Stopped,        // the program is stopping
};

struct DeviceBackupReport {
  DeviceBackupResult result = DeviceBackupResult::Ok;
  CommandResult device_result = CommandResult::Ok;  // the failing command's result (device/commands.h)
  std::string region;     // the region being read when it failed
};

int ReadSteps(DeviceKind kind);
DeviceBackupReport ReadDeviceBackup(CDeviceChannel& channel, const std::vector<uint8_t>& macro_memory,
                                    BackupImage& out, IProgressReporter* progress = nullptr);

enum class RestoreResult {
  Ok,           // written and read back equal
  OtherKind,    // the file is another kind's: nothing written
  OtherProduct, // another product id: nothing written
  OtherSizes,   // key block or macro memory sizes do not fit: nothing written
  ReadFailed,   // the device information could not be read: nothing written
  WriteFailed,  // a write failed (`region`, `device_result`); earlier regions are written
  ReadBackFailed,
  Differs,      // read back, but `differing` regions are not as in the file
  Stopped,
};
const char* RestoreResultName(RestoreResult result);

struct RestoreReport {
  RestoreResult result = RestoreResult::Ok;
  CommandResult device_result = CommandResult::Ok;
  std::string region;                  // the region a write failed in
  std::vector<std::string> written;    // regions written, in order
  std::vector<std::string> differing;  // regions the read back found different
  bool information_differs = false;    // same kind and sizes, other information bytes
  bool macro_memory_written = false;   // written, but the device can't show it back
};

int RestoreSteps(const BackupImage& image);
RestoreReport RestoreDeviceBackup(CDeviceChannel& channel, const BackupImage& image,
                                  IProgressReporter* progress = nullptr);

}  // namespace trx::backup

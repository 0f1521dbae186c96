#pragma once
// trx770ctl backup / restore: everything a device holds, to a file and back
// (backup/device_backup.h, the file format in docs/backup-format.md).
//
//   backup DEVICE FILE [--force]  reads the whole device and writes FILE
//                                 atomically (an existing FILE only with --force)
//   backup --list [DEVICE]        the automatic backups kept on this computer
//   restore DEVICE FILE           checks FILE (magic, version, checksums,
//                                 layout; then kind, product id and sizes
//                                 against the device) before anything is
//                                 written, writes it region by region, reads
//                                 the device back and names every region
//                                 that differs
//
// Exit status: Refused for a damaged file or one of another device (nothing
// written), FileError when FILE can't be read or written, DeviceError when
// a command failed or the read back differs.
//
// Thread: the tool's one thread.

#include <ostream>
#include <string>
#include <vector>

#include "ctl/ctl_app.h"
#include "ctl/ctl_macro.h"

namespace trx::ctl {

// `words` = "backup" or "restore" and its arguments.
ExitCode RunBackupCommand(const std::vector<std::string>& words, bool json, const OpenChannel& open, std::ostream& out,
                          std::ostream& err);

}  // namespace trx::ctl

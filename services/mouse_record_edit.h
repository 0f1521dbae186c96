#pragma once
// Editing the mouse's active onboard settings record from outside the
// window (the command-line tool): read what the mouse holds, change bytes
// of the active record, send it back. The image and the profile files are
// not touched.
//
//   EditActiveMouseRecord: ReadDeviceSnapshot (device information, the five
//   records, the active index); `edit` changes the active record's bytes
//   0-33 (it may refuse: nothing is sent then); then the send:
//     Frames3     the timed apply's three frames (bytes 0-13, 15-18,
//                 20-55; bytes 14 and 19 stay the mouse's)
//     WholeRecord bytes 0-33 in one frame at address 0, as a device
//                 profile selection sends it (the only way the report
//                 rate, byte 14, reaches the mouse)
//
// Thread: the thread that owns the channel.

#include <cstdint>
#include <functional>
#include <string>

#include "device/commands.h"

namespace trx {

enum class RecordSend { Frames3, WholeRecord };

enum class RecordEditResult : int {
  Done = 0,
  ReadFailed = -1,      // detail: the failing command result
  NoActiveRecord = -2,  // the active index is not 0-4
  Refused = -3,         // the edit refused; nothing sent
  WriteFailed = -4,     // detail: the failing command result
};

// `edit` gets the device information (33 bytes) and the active record
// (34 bytes); it returns false with `reason` set to refuse.
using RecordEdit = std::function<bool(const uint8_t* info, uint8_t* record, std::string& reason)>;

struct RecordEditOutcome {
  RecordEditResult result = RecordEditResult::Done;
  CommandResult detail = CommandResult::Ok;  // command result of a failed read or write
  int active = -1;       // the active onboard profile 0-4
  std::string reason;    // set by a refusing edit
};

RecordEditOutcome EditActiveMouseRecord(CDeviceChannel& mouse, RecordSend send, const RecordEdit& edit);

}  // namespace trx

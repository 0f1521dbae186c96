#pragma once
// Sending a device's current record, as the apply timer does every 100 ms
// for each device whose settings-pending flag is set.
//
// Thread: any; normally the UI thread. Holds the channel lock for the whole
// send, takes the image mutex only to copy the record.

#include "device/commands.h"

namespace trx {

// Mouse: a zeroed 56-byte buffer takes the 34 current-record bytes, and
// three Write settings bytes frames go out: address 0 with bytes 0-13,
// address 15 with bytes 15-18, address 20 with bytes 20-55 (so the device's
// bytes 34-55 are written as 0). Bytes 14 (report rate) and 19 (current DPI
// level) are never sent this way.
// Keyboard and mouse pad: their 21-byte current lighting record in a zeroed
// 56-byte buffer, one frame at address 0.
// All frames are sent even when one fails; returns Ok when all were
// accepted, else the first failure's command result.
CommandResult SendCurrentRecord(CDeviceChannel& channel);

// The mouse's whole current record, bytes 0-33, in one Write settings bytes
// frame at address 0, as a device profile selection sends it: the way a
// report rate (byte 14) reaches the mouse at once. The record is copied
// under the image mutex, so edits still waiting for the timed send go out
// with it. Returns the command result.
CommandResult SendMouseRecordWhole(CDeviceChannel& mouse);

// The mouse's three frames above for a given 34-byte record (the
// command-line tool edits the device's record without the image).
CommandResult SendMouseRecord(CDeviceChannel& mouse, const uint8_t* record /*34 bytes*/);

}  // namespace trx

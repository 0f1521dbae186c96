#pragma once
// A read-only snapshot of what a device holds: its information, its five
// onboard settings records and the active onboard profile; and the mouse
// record decoded for people (DPI levels and colours, report rate, lighting).
// Nothing is written to the configuration image or to profile files.
//
// Thread: the thread that owns the channel.

#include <array>
#include <cstdint>
#include <string>

#include "device/commands.h"
#include "device/device_channel.h"

namespace trx {

inline constexpr size_t kSnapshotRecordBytes = 56;

struct DeviceSnapshot {
  DeviceKind kind = DeviceKind::Mouse;
  std::array<uint8_t, 33> info{};
  std::array<std::array<uint8_t, kSnapshotRecordBytes>, 5> records{};
  int active_profile = -1;  // 0-4 as the device reports it (may be out of range)
  int block_size = 0;       // bytes of one key block (keyboard: from the information; pad: 0)
};

// Begin transfer; device information (33 bytes); settings record k
// (56 bytes at k x 64) for k = 0..4; the active index (1 byte at 0); End
// transfer. Returns the first failing command result (device/commands.h),
// or Ok. End transfer is sent even after a failure once Begin succeeded.
CommandResult ReadDeviceSnapshot(CDeviceChannel& channel, DeviceSnapshot& out);

// The mouse settings record by name.
struct MouseRecordView {
  int light_mode = 0;
  int brightness = 0;
  int speed = 0;
  int direction = 0;
  bool colour_cycle = false;
  std::array<uint8_t, 3> light_colour{};
  int report_rate_index = 0;
  int report_rate_hz = 0;  // 0: an index the mouse does not offer
  std::array<int, 4> dpi_positions{};
  std::array<int, 4> dpi{};  // base + position x step
  int current_dpi_level = 0; // record byte 19 as stored: 0 for level 1 (the window shows byte + 1)
  std::array<std::array<uint8_t, 3>, 4> dpi_colours{};
};

// Report rates by the record's index (the performance page's choices).
inline constexpr int kReportRatesHz[] = {125, 250, 500, 1000};

MouseRecordView DecodeMouseRecord(const uint8_t* info, const uint8_t* record);

}  // namespace trx

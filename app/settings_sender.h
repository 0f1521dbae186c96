#pragma once
// The settings send of the main window's 100 ms timer: every device whose
// settings-pending flag is set gets its current settings record written
// with Write settings bytes, so that any number of changes within one tick
// give one send per device.
//
//   device    record        frames (address: bytes of a 56-byte zero block
//                           holding the current record at its start)
//   keyboard  21 bytes      0: bytes 0-55
//   mouse     34 bytes      0: bytes 0-13, 15: bytes 15-18, 20: bytes 20-55
//                           (bytes 14, report rate, and 19, the active DPI
//                           level, are left to the device)
//   pad       21 bytes      0: bytes 0-55
//
// Order: keyboard, mouse, pad. A flag is cleared before its record is
// copied, so a change made while a send runs gets the next tick.
//
// The frames themselves are SendCurrentRecord's (settings/record_apply.h).
//
// Threads: flags may be set from any thread; Send runs on the UI thread.

#include <atomic>

#include "device/device_channel.h"

namespace trx::app {

class PendingSettings {
 public:
  void Mark(DeviceKind kind) { Flag(kind).store(1); }
  bool IsPending(DeviceKind kind) const { return const_cast<PendingSettings*>(this)->Flag(kind).load() != 0; }
  // Clears the flag; true when it was set.
  bool Take(DeviceKind kind) { return Flag(kind).exchange(0) != 0; }

 private:
  std::atomic<int>& Flag(DeviceKind kind) {
    return kind == DeviceKind::Keyboard ? keyboard_ : kind == DeviceKind::Mouse ? mouse_ : pad_;
  }
  std::atomic<int> keyboard_{0};
  std::atomic<int> mouse_{0};
  std::atomic<int> pad_{0};
};

// Sends what is pending; returns the number of devices sent to. A failed
// frame is logged with its result code (the device may be gone; its next
// change sends again).
int SendPendingSettings(PendingSettings& pending, CDeviceChannel& keyboard, CDeviceChannel& mouse,
                        CDeviceChannel& pad);

}  // namespace trx::app

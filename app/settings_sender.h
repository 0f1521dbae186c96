#pragma once
// The settings send of the main window's 100 ms timer (running only while a
// flag is set or an OpenRGB change waits): every device whose
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
// Each send is an operation on the device's queue (device/device_queue.h):
// the tick queues one per device with its flag set, unless one is queued
// already; the operation clears the flag and copies the record only when it
// runs, with the channel held, so a change made while a send runs gets the
// next tick and a record read by a connect read is never overwritten by an
// older copy. A flag set while the device is not connected and read is
// dropped at the tick: the connect read decides what the image holds.
//
// The frames themselves are SendCurrentRecord's (settings/record_apply.h).
//
// Threads: flags may be set from any thread; SendPendingRecord runs on the
// device's queue thread.

#include <atomic>

#include "device/commands.h"

namespace trx::app {

class PendingSettings {
 public:
  void Mark(DeviceKind kind) { Flag(kind).store(1); }
  bool IsPending(DeviceKind kind) const { return const_cast<PendingSettings*>(this)->Flag(kind).load() != 0; }
  // Clears the flag; true when it was set.
  bool Take(DeviceKind kind) { return Flag(kind).exchange(0) != 0; }
  // A send is queued for the device and has not run yet: set by the tick
  // (true when it was set already), cleared by the send as it starts.
  bool MarkQueued(DeviceKind kind) { return Queued(kind).exchange(true); }
  void ClearQueued(DeviceKind kind) { Queued(kind).store(false); }

 private:
  std::atomic<int>& Flag(DeviceKind kind) {
    return kind == DeviceKind::Keyboard ? keyboard_ : kind == DeviceKind::Mouse ? mouse_ : pad_;
  }
  std::atomic<bool>& Queued(DeviceKind kind) { return queued_[static_cast<int>(kind) % 3]; }
  std::atomic<int> keyboard_{0};
  std::atomic<int> mouse_{0};
  std::atomic<int> pad_{0};
  std::atomic<bool> queued_[3] = {false, false, false};
};

// The queued send: clears the flag and, when it was set, writes the
// channel's current record. Ok when sent or nothing was pending, else the
// failed frame's result (logged; the device may be gone, its next change
// sends again). Queue thread, channel held.
CommandResult SendPendingRecord(PendingSettings& pending, CDeviceChannel& channel);

}  // namespace trx::app

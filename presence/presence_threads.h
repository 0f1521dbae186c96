#pragma once
// The presence threads: three detection threads (one per device channel)
// that notice a device arriving or leaving, and two synchronisation threads
// that listen to the mouse's and the keyboard's consumer-control interface
// for changes made with the device's own buttons.
//
// Each routine runs until its stop event (manual-reset, owned by the main
// window) is set, then writes its exit debug line and returns 0. Every
// sleep is a wait on the stop event, so shutdown is prompt; a
// synchronisation thread blocked in a report read notices it within 500 ms.
//
// Detection cycle (per device), repeated after a 1 ms wait on the stop
// event:
//   1. take the channel lock for the device work of the cycle;
//   2. connected: probe the device path (or take the device as gone when
//      its open node reported the removal); gone → clear `connected` and
//      `follows_synchronised_lighting`, apply the removal rule; present →
//      the "same mode" option shown exactly when another device of the
//      lighting group is connected;
//   3. not connected: enumerate; for each path whose "vid_" is the
//      channel's vendor id, open it shared for reading and writing; the
//      first whose attributes and top-level collection match is the device
//      (`connected` set, the connect sequence runs); any other is closed;
//   4. after the first scan only, a connected device posts the instance
//      message (at most once per thread); a device arriving later asks the
//      host to show the window instead;
//   5. release the lock and wait (presence_wait.h): where the backend
//      reports changes, until a hidraw node appears, goes or changes its
//      access, another thread connects or loses a device, or the open node
//      hangs up; a removal is thus acted on as soon as the kernel reports
//      it, and nothing runs while nothing changes. Without such reports:
//      100 ms while connected, 1000 ms otherwise.
// An enumeration failure ends the thread.
//
// Control changes wait for the UI thread (IPresenceHost), which may itself
// be waiting for a channel lock, so they are made after the cycle has
// released its channel lock. The removal rules read the other channels'
// flags; the decision and its control changes run under one process-wide
// mutex, so two devices leaving at once still leave exactly one of the
// threads seeing "no device left". Lock order: channel lock, then
// ImageMutex(); the removal mutex is taken with no channel lock held.
//
// Synchronisation cycle: enumerate; open (read only, shared) the first path
// with the device's vendor and product id in the path and the consumer
// collection (usage page 0x0C, usage 1); then read reports until the stop
// event is set or the device goes: a read that reports nothing within
// 500 ms probes the path, or, where the node reports its own hang-up, the
// read waits up to a minute. Usage 0x401 sends the profile-changed message,
// 0x402 the read-all message, 0x403 (mouse only) requests a lighting
// refresh; any other usage is ignored. After losing the device sleep
// 1000 ms; when it was not found, wait as a detection thread does while
// absent.

#include <memory>

#include "device/hid_backend.h"
#include "platform/event.h"
#include "presence/presence_host.h"

namespace trx {

struct PresenceThreadParam {
  IPresenceHost* host = nullptr;
  CEvent* stop = nullptr;  // manual-reset; the thread resets it when it starts
  // Backend of the synchronisation threads' own transport; null: the
  // process-wide default. Detection threads use their channel's transport.
  std::shared_ptr<IHidBackend> backend;
};

// Cadence, milliseconds.
inline constexpr int kPresenceCycleWaitMs = 1;
inline constexpr int kPresenceConnectedSleepMs = 100;
inline constexpr int kPresenceAbsentSleepMs = 1000;
inline constexpr int kSyncReadTimeoutMs = 500;
inline constexpr int kSyncHangUpReadTimeoutMs = 60000;
inline constexpr int kSyncGoneSleepMs = 1000;
inline constexpr int kKeyboardConnectPauseMs = 100;

int KeyboardDetectionThread(PresenceThreadParam param);
int MouseDetectionThread(PresenceThreadParam param);
int MousePadDetectionThread(PresenceThreadParam param);
int MouseSyncThread(PresenceThreadParam param);
int KeyboardSyncThread(PresenceThreadParam param);

// True when the product id is one the keyboard detection accepts
// (0x8611, 0x6556, 0x7200).
bool IsKeyboardProductId(uint16_t product_id);

}  // namespace trx

#pragma once
// The read messages (kMsgMouseReadAll ... kMsgKeyboardCaptureKeys): the
// read routine of the message's device, then what the user sees (the read
// outcome's message, the refresh of the device's pages).
//
// In the program the two halves run apart: the read as an operation on the
// device's queue (device/device_queue.h), the rest on the UI thread when it
// is done. HandlePresenceMessage runs both on the calling thread (tests,
// tools without a window).

#include <cstdint>

#include "presence/device_reads.h"
#include "presence/presence_host.h"

namespace trx {

// The device a read message reads; false for any other message.
bool PresenceMessageDevice(uint32_t message, DeviceKind* kind);
// The message that reads everything `kind` holds again.
uint32_t ReadAllMessageOf(DeviceKind kind);
// The read of `message` (one of the seven). Device I/O only: the caller's
// thread talks to the device.
ReadOutcome RunPresenceRead(IPresenceHost& host, uint32_t message);
// The outcome's message and the refresh of the device's pages (nothing for
// the key capture).
void ShowPresenceRead(IPresenceHost& host, uint32_t message, ReadOutcome outcome);

// Both halves; true when the message is one of the seven, else false.
bool HandlePresenceMessage(IPresenceHost& host, uint32_t message);

}  // namespace trx

#pragma once
// The device read routines: whole reads at connect or on the device's
// notification, the current-record re-reads, and the keyboard key block
// capture. They run on the calling thread (a detection thread during a
// connect, the UI thread for the read messages) and take the device's
// channel lock for the whole routine, so no other thread's command lands
// between their frames; the channel lock is recursive, so a detection
// thread already holding it may call them.
//
// Image and files. Replies land in local buffers; each piece that was read
// is copied into the configuration image under ImageMutex() (lock order:
// channel lock, then the image mutex). A command that fails leaves its part
// of the image as it was and the routine goes on with the next one. The
// profile file is written only when every command of the routine
// succeeded: a device that vanishes halfway (its commands then fail at
// once) leaves the profile files as they were, never a file mixing the
// device's new bytes with stale ones.
//
// Results: kReadComplete when every command succeeded; kReadIncomplete when
// at least one failed (nothing saved); kReadSaveFailed when the reads
// succeeded but a profile file could not be written;
// kReadKeyboardBlockTooLarge (keyboard only) when the device information
// gives a key block above 512 bytes: no block was read and the caller must
// show its text (ShowReadOutcome) once it holds no lock.

#include "presence/presence_host.h"

namespace trx {

// (ReadOutcome is declared in presence/presence_events.h.)

// Largest keyboard key block: device information byte 5 times 3.
inline constexpr int kKeyboardMaxBlockSize = 512;
inline constexpr int kKeyboardBlockUnit = 3;

// Begin; device information; main block; for k = 0..4 settings record k
// (56 bytes at k * 64) then key block k; the active onboard profile p
// (1 byte at address 0); End. The current record becomes record p with
// byte 0 = p (kept as it was when p is not 0-4). Saves the selected device
// profile.
ReadOutcome ReadMouseDevice(IPresenceHost& host);

// Stores the current record into its slot, reads the active profile p
// (1 byte at address 0) and record p (56 bytes at p * 64), stores it with
// byte 0 = p and makes it current. Saves the selected light and device
// profiles.
ReadOutcome ResyncMouseRecord(IPresenceHost& host);

// Begin; device information; the five lighting records (56 bytes at
// 0, 64, ..., 256); p (1 byte at 0); End. Record p with byte 0 = p becomes
// the current record (21 bytes). Saves the selected pad light profile.
ReadOutcome ReadMousePadDevice(IPresenceHost& host);

// As ResyncMouseRecord for the pad's lighting records (21-byte current
// record). Saves the selected pad light profile.
ReadOutcome ResyncMousePadRecord(IPresenceHost& host);

// Begin; device information; block size check (byte 5 x 3 <= 512, else
// End and kReadKeyboardBlockTooLarge); the channel's block size := byte 5
// x 3; main block; key block 0; lighting record 0 with byte 0 = 0 becomes
// the current record; End. Saves the selected keyboard key profile.
ReadOutcome ReadKeyboardDevice(IPresenceHost& host);

// As ResyncMouseRecord for the keyboard's lighting records. Saves the
// selected keyboard light profile.
ReadOutcome ResyncKeyboardRecord(IPresenceHost& host);

// Reads the keyboard's main block (no Begin/End) and writes it as the
// keyboard key profile file of the program folder named for the layout
// variant ("kbkeydefault.pro", "kbkey15default.pro", "kbkey16default.pro").
// Nothing is written when the read failed.
ReadOutcome CaptureKeyboardKeyBlock(IPresenceHost& host);

// The language text the user must see about an outcome (platform/text_ids.h):
// text::kCannotBeDone for kReadKeyboardBlockTooLarge, nullptr otherwise.
// Thread: any.
const char* TextIdOf(ReadOutcome outcome);
// Shows TextIdOf(outcome), if any. Call holding no lock.
void ShowReadOutcome(IPresenceHost& host, ReadOutcome outcome);

}  // namespace trx

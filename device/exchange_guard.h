#pragma once
// A thread that must never talk to a device (the UI thread) says so once;
// from then on an exchange started on it is a programming error: it is
// written to the debug log, and in builds with assertions (the test builds)
// the process aborts, so a test that reaches a device from the UI thread
// fails at the offending call.
//
// Thread safety: the setting is per thread.

namespace trx {

// Marks (or unmarks) the calling thread as one that never exchanges frames.
void ForbidDeviceExchangesOnThisThread(bool forbid = true);
// True when the calling thread was marked.
bool DeviceExchangesForbiddenHere();
// Called by every exchange: reports a marked thread (see above).
void CheckExchangeThread();

}  // namespace trx

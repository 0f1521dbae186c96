#pragma once
// The main window's handling of the read messages (kMsgMouseReadAll ...
// kMsgKeyboardCaptureKeys): the read routine, then the refresh of the
// device's pages.
//
// Thread: the UI thread (the main window's message handler).

#include <cstdint>

#include "presence/presence_host.h"

namespace trx {

// Runs the read for `message` and refreshes the pages. Returns true when
// the message is one of the seven read messages (handled), else false.
bool HandlePresenceMessage(IPresenceHost& host, uint32_t message);

}  // namespace trx

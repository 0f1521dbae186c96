#pragma once
// Window messages, timer and names the presence code and the main window
// share: the numbers the threads send or post, the controls they change and
// the debug lines they end with. Defined here once; the main window's
// message table uses these names.

#include <cstdint>

namespace trx {

// Read requests, handled on the UI thread by HandlePresenceMessage
// (presence/presence_handlers.h).
inline constexpr uint32_t kMsgMouseReadAll = 0x0901;          // mouse sync thread, usage 0x402
inline constexpr uint32_t kMsgMouseProfileChanged = 0x0902;   // mouse sync thread, usage 0x401
inline constexpr uint32_t kMsgPadReadAll = 0x0A01;            // pad reset action, 1 s after the reset
inline constexpr uint32_t kMsgPadProfileChanged = 0x0A02;     // no sender; handled for any sender
inline constexpr uint32_t kMsgKeyboardReadAll = 0x0B01;       // keyboard sync thread, usage 0x402
inline constexpr uint32_t kMsgKeyboardProfileChanged = 0x0B02;// keyboard sync thread, usage 0x401
inline constexpr uint32_t kMsgKeyboardCaptureKeys = 0x0B03;   // no sender; handled for any sender
// Posted by the mouse detection thread when the mouse goes and no other
// device is connected: the main window shows "message_text_20" and hides.
inline constexpr uint32_t kMsgAllDevicesGone = 0x0C05;

// Consumer usages the devices send on their notification interface.
inline constexpr uint16_t kUsageOnboardProfileChanged = 0x401;
inline constexpr uint16_t kUsageDeviceSettingsChanged = 0x402;
inline constexpr uint16_t kUsageLightingChanged = 0x403;

// The repaint timer a detection thread starts after a connect.
inline constexpr int kRepaintTimerId = 7;
inline constexpr int kRepaintTimerAfterConnectMs = 100;

}  // namespace trx

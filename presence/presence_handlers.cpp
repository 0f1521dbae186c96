#include "presence/presence_handlers.h"

#include "presence/presence_messages.h"

namespace trx {

bool PresenceMessageDevice(uint32_t message, DeviceKind* kind) {
  switch (message) {
    case kMsgMouseReadAll:
    case kMsgMouseProfileChanged: *kind = DeviceKind::Mouse; return true;
    case kMsgPadReadAll:
    case kMsgPadProfileChanged: *kind = DeviceKind::MousePad; return true;
    case kMsgKeyboardReadAll:
    case kMsgKeyboardProfileChanged:
    case kMsgKeyboardCaptureKeys: *kind = DeviceKind::Keyboard; return true;
    default: return false;
  }
}

uint32_t ReadAllMessageOf(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::Mouse: return kMsgMouseReadAll;
    case DeviceKind::Keyboard: return kMsgKeyboardReadAll;
    case DeviceKind::MousePad: break;
  }
  return kMsgPadReadAll;
}

ReadOutcome RunPresenceRead(IPresenceHost& host, uint32_t message) {
  switch (message) {
    case kMsgMouseReadAll: return ReadMouseDevice(host);
    case kMsgMouseProfileChanged: return ResyncMouseRecord(host);
    case kMsgPadReadAll: return ReadMousePadDevice(host);
    case kMsgPadProfileChanged: return ResyncMousePadRecord(host);
    case kMsgKeyboardReadAll: return ReadKeyboardDevice(host);
    case kMsgKeyboardProfileChanged: return ResyncKeyboardRecord(host);
    case kMsgKeyboardCaptureKeys: CaptureKeyboardKeyBlock(host); break;
    default: break;
  }
  return ReadOutcome::kReadComplete;
}

void ShowPresenceRead(IPresenceHost& host, uint32_t message, ReadOutcome outcome) {
  DeviceKind kind = DeviceKind::Mouse;
  if (message == kMsgKeyboardCaptureKeys || !PresenceMessageDevice(message, &kind)) return;
  ShowReadOutcome(host, outcome);
  host.OnDeviceRead(kind);
}

bool HandlePresenceMessage(IPresenceHost& host, uint32_t message) {
  DeviceKind kind = DeviceKind::Mouse;
  if (!PresenceMessageDevice(message, &kind)) return false;
  ShowPresenceRead(host, message, RunPresenceRead(host, message));
  return true;
}

}  // namespace trx

#include "presence/presence_handlers.h"

#include "presence/device_reads.h"
#include "presence/presence_messages.h"

namespace trx {

bool HandlePresenceMessage(IPresenceHost& host, uint32_t message) {
  ReadOutcome outcome = ReadOutcome::kReadComplete;
  DeviceKind refresh = DeviceKind::Mouse;
  switch (message) {
    case kMsgMouseReadAll: outcome = ReadMouseDevice(host); break;
    case kMsgMouseProfileChanged: outcome = ResyncMouseRecord(host); break;
    case kMsgPadReadAll:
      outcome = ReadMousePadDevice(host);
      refresh = DeviceKind::MousePad;
      break;
    case kMsgPadProfileChanged:
      outcome = ResyncMousePadRecord(host);
      refresh = DeviceKind::MousePad;
      break;
    case kMsgKeyboardReadAll:
      outcome = ReadKeyboardDevice(host);
      refresh = DeviceKind::Keyboard;
      break;
    case kMsgKeyboardProfileChanged:
      outcome = ResyncKeyboardRecord(host);
      refresh = DeviceKind::Keyboard;
      break;
    case kMsgKeyboardCaptureKeys:
      CaptureKeyboardKeyBlock(host);
      return true;
    default:
      return false;
  }
  ShowReadOutcome(host, outcome);
  host.OnDeviceRead(refresh);
  return true;
}

}  // namespace trx

#include "device/exchange_guard.h"

#include <cassert>

#include "platform/debug_log.h"

namespace trx {
namespace {

thread_local bool t_forbidden = false;

}  // namespace

void ForbidDeviceExchangesOnThisThread(bool forbid) { t_forbidden = forbid; }

bool DeviceExchangesForbiddenHere() { return t_forbidden; }

void CheckExchangeThread() {
  if (!t_forbidden) return;
  DebugLine("device exchange on a thread that must not reach a device (the UI thread)");
  assert(!"device exchange on the UI thread: submit it to the device's queue");
}

}  // namespace trx

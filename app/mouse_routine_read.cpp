#include "app/mouse_routine_read.h"

#include "platform/debug_log.h"
#include "routine/routine_device.h"

namespace trx::app {

void ReadMouseRoutinesOnConnect(CDeviceChannel& mouse, const routine::RoutineEdits& edits) {
  if (edits.Unsaved()) {
    DebugLine("routine read skipped: the routine files hold edits not yet on the mouse");
    return;
  }
  const routine::RoutineReadReport r = routine::ReadRoutinesFromMouse(mouse, routine::RoutineStoreFor());
  if (r.result != routine::RoutineResult::Ok) DebugLineF("routine read: %s", routine::RoutineResultName(r.result));
}

}  // namespace trx::app

#include "presence/presence_events.h"

namespace trx {

RemovalPlan PlanRemoval(DeviceKind gone, bool mouse, bool keyboard, bool pad) {
  RemovalPlan plan;
  plan.gone = gone;
  switch (gone) {
    case DeviceKind::Mouse:
      if (keyboard) {
        plan.select = DeviceKind::Keyboard;
        plan.show_selected = true;
      } else if (pad) {
        plan.select = DeviceKind::MousePad;
      } else {
        plan.all_gone_notice = true;
      }
      break;
    case DeviceKind::Keyboard:
      if (mouse) plan.select = DeviceKind::Mouse;
      else if (pad) plan.select = DeviceKind::MousePad;
      else plan.hide_window = true;
      break;
    case DeviceKind::MousePad:
      if (keyboard) plan.select = DeviceKind::Keyboard;
      else if (mouse) plan.select = DeviceKind::Mouse;
      else plan.hide_window = true;
      break;
  }
  return plan;
}

}  // namespace trx

#include "platform/desktop_pointer/desktop_pointer.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace trx::desktop {

double SpeedToUnit(int speed) {
  speed = std::clamp(speed, kPointerSpeedMin, kPointerSpeedMax);
  const int from_default = speed - kPointerSpeedDefault;
  return from_default < 0 ? from_default / double(kPointerSpeedDefault - kPointerSpeedMin)
                          : from_default / double(kPointerSpeedMax - kPointerSpeedDefault);
}

int SpeedFromUnit(double unit) {
  if (!std::isfinite(unit)) return kPointerSpeedDefault;
  unit = std::clamp(unit, -1.0, 1.0);
  const double span = unit < 0 ? kPointerSpeedDefault - kPointerSpeedMin : kPointerSpeedMax - kPointerSpeedDefault;
  const int speed = kPointerSpeedDefault + static_cast<int>(std::lround(unit * span));
  return std::clamp(speed, kPointerSpeedMin, kPointerSpeedMax);
}

DesktopPointerState ReadDesktopPointerState(IDesktopPointer& pointer) {
  DesktopPointerState s;
  s.has_speed = pointer.HasPointerSpeed();
  s.has_lines = pointer.HasWheelLines();
  s.speed_read = s.has_speed && pointer.GetPointerSpeed(&s.speed) == DesktopResult::Ok;
  s.lines_read = s.has_lines && pointer.GetWheelLines(&s.lines) == DesktopResult::Ok;
  s.name = pointer.Name();
  return s;
}

namespace {
CNoDesktopPointer g_none;
std::atomic<IDesktopPointer*> g_pointer{nullptr};
}  // namespace

void SetDesktopPointer(IDesktopPointer* pointer) { g_pointer.store(pointer); }
IDesktopPointer& DesktopPointer() {
  IDesktopPointer* p = g_pointer.load();
  return p != nullptr ? *p : g_none;
}

}  // namespace trx::desktop

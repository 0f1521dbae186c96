#pragma once
// The computer-side pointer settings: pointer speed and wheel scroll lines,
// kept by the desktop session rather than by the mouse. One backend per
// desktop, chosen at run time from the session (session.h):
//
//   backend    pointer speed                         wheel lines
//   gsettings  org.gnome.desktop.peripherals.mouse   not available
//              "speed" (-1 .. 1), GIO GSettings
//   x11        XInput2 property "libinput Accel      not available (X11 has
//              Speed" (-1 .. 1) on every pointer     no such setting)
//   none       not available                         not available
//
// The program's speed is 1 .. 20 (10 the desktop default); every desktop
// scale above is -1 .. 1 with 0 the default, so one mapping serves them all:
//
//   speed 1 .. 10   ->  (speed - 10) / 9    (1 -> -1, 10 -> 0)
//   speed 10 .. 20  ->  (speed - 10) / 10   (20 -> 1)
//
// and back, rounded to the nearest speed and clamped to 1 .. 20.
//
// Results are named codes; a backend never reports success for a setting
// the desktop does not have.
//
// Thread safety: every backend method may be called from any thread; each
// backend serialises its own calls. A call may wait on the desktop (an X
// round trip, a settings write, a D-Bus reply), so the UI thread calls
// none of them: the window reads the availability and the current values
// once on a worker (ReadDesktopPointerState) and applies go through
// CDesktopApplier.

#include <memory>
#include <string>

namespace trx::desktop {

enum class DesktopResult : int {
  Ok = 0,
  NotAvailable = -1,  // the running desktop has no such setting
  Failed = -2,        // the desktop has it, but the read or write failed
};

inline constexpr int kPointerSpeedMin = 1;
inline constexpr int kPointerSpeedMax = 20;
inline constexpr int kPointerSpeedDefault = 10;
inline constexpr int kWheelLinesMin = 1;
inline constexpr int kWheelLinesMax = 100;
inline constexpr int kWheelLinesDefault = 3;

// 1 .. 20 (clamped first) to the desktops' -1 .. 1 scale, and back.
double SpeedToUnit(int speed);
int SpeedFromUnit(double unit);

class IDesktopPointer {
 public:
  virtual ~IDesktopPointer() = default;
  // "gsettings", "x11", "none".
  virtual const char* Name() const = 0;
  virtual bool HasPointerSpeed() = 0;
  virtual bool HasWheelLines() = 0;
  // speed 1 .. 20 (clamped).
  virtual DesktopResult SetPointerSpeed(int speed) = 0;
  virtual DesktopResult GetPointerSpeed(int* speed) = 0;
  // lines 1 .. 100 (clamped).
  virtual DesktopResult SetWheelLines(int lines) = 0;
  virtual DesktopResult GetWheelLines(int* lines) = 0;
};

// A desktop with neither setting.
class CNoDesktopPointer : public IDesktopPointer {
 public:
  const char* Name() const override { return "none"; }
  bool HasPointerSpeed() override { return false; }
  bool HasWheelLines() override { return false; }
  DesktopResult SetPointerSpeed(int) override { return DesktopResult::NotAvailable; }
  DesktopResult GetPointerSpeed(int*) override { return DesktopResult::NotAvailable; }
  DesktopResult SetWheelLines(int) override { return DesktopResult::NotAvailable; }
  DesktopResult GetWheelLines(int*) override { return DesktopResult::NotAvailable; }
};

// What the desktop has and its current values, read once at start.
struct DesktopPointerState {
  std::string name;           // the backend's Name()
  bool has_speed = false;
  bool has_lines = false;
  bool speed_read = false;    // `speed` holds the desktop's own (1 .. 20)
  int speed = kPointerSpeedDefault;
  bool lines_read = false;    // `lines` holds the desktop's own (1 .. 100)
  int lines = kWheelLinesDefault;
};
// Asks the backend (may wait on the desktop: not on the UI thread).
DesktopPointerState ReadDesktopPointerState(IDesktopPointer& pointer);

// The process-wide backend the pages use: installed once at start-up
// (before the window exists); until then, and after SetDesktopPointer
// (nullptr), a CNoDesktopPointer.
void SetDesktopPointer(IDesktopPointer* pointer);
IDesktopPointer& DesktopPointer();

}  // namespace trx::desktop

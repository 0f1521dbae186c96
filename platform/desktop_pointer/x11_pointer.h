#pragma once
// Pointer speed on a plain X11 session: the libinput driver's device
// property "libinput Accel Speed" (one 32-bit float, -1 .. 1), set on every
// slave pointer device that has it, through XInput2. X11 has no wheel-lines
// setting: SetWheelLines reports NotAvailable.
//
// A server without libinput pointers (Xvfb, the evdev driver) has no such
// property: HasPointerSpeed() is false and Set/Get report NotAvailable.
//
// Thread safety: the backend has its own display connection; calls are
// serialised by an internal mutex.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/desktop_pointer/desktop_pointer.h"

typedef struct _XDisplay Display;

namespace trx::desktop {

inline constexpr const char* kLibinputAccelSpeed = "libinput Accel Speed";

class CX11Pointer : public IDesktopPointer {
 public:
  // Null when the display can't be opened or has no XInput 2.
  static std::unique_ptr<CX11Pointer> Open(const char* display_name = nullptr);
  ~CX11Pointer() override;

  const char* Name() const override { return "x11"; }
  bool HasPointerSpeed() override;
  bool HasWheelLines() override { return false; }
  DesktopResult SetPointerSpeed(int speed) override;
  DesktopResult GetPointerSpeed(int* speed) override;
  DesktopResult SetWheelLines(int) override { return DesktopResult::NotAvailable; }
  DesktopResult GetWheelLines(int*) override { return DesktopResult::NotAvailable; }

 private:
  explicit CX11Pointer(Display* display) : display_(display) {}
  // The slave pointers carrying the property (mutex_ held).
  std::vector<int> AccelDevices();

  std::mutex mutex_;    // guards display_ use; a leaf lock
  Display* display_;    // owned
};

}  // namespace trx::desktop

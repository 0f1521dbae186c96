#include "platform/desktop_pointer/x11_pointer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <cstring>

namespace trx::desktop {

namespace {

// The property may vanish between the query and the change (a device
// unplugged): an X error must not end the program.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

struct ErrorGuard {
  ErrorGuard() : previous(XSetErrorHandler(IgnoreXError)) {}
  ~ErrorGuard() { XSetErrorHandler(previous); }
  int (*previous)(Display*, XErrorEvent*);
};

}  // namespace

std::unique_ptr<CX11Pointer> CX11Pointer::Open(const char* display_name) {
  Display* display = XOpenDisplay(display_name);
  if (display == nullptr) return nullptr;
  int opcode = 0, event = 0, error = 0;
  int major = 2, minor = 0;
  if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error) ||
      XIQueryVersion(display, &major, &minor) != Success) {
    XCloseDisplay(display);
    return nullptr;
  }
  return std::unique_ptr<CX11Pointer>(new CX11Pointer(display));
}

CX11Pointer::~CX11Pointer() { XCloseDisplay(display_); }

std::vector<int> CX11Pointer::AccelDevices() {
  std::vector<int> ids;
  const Atom accel = XInternAtom(display_, kLibinputAccelSpeed, True);
  if (accel == None) return ids;  // no device ever had it
  int count = 0;
  XIDeviceInfo* devices = XIQueryDevice(display_, XIAllDevices, &count);
  for (int i = 0; i < count; ++i) {
    if (devices[i].use != XISlavePointer || !devices[i].enabled) continue;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XIGetProperty(display_, devices[i].deviceid, accel, 0, 1, False, AnyPropertyType, &type, &format, &items,
                      &after, &data) == Success &&
        format == 32 && items == 1)
      ids.push_back(devices[i].deviceid);
    if (data != nullptr) XFree(data);
  }
  if (devices != nullptr) XIFreeDeviceInfo(devices);
  return ids;
}

bool CX11Pointer::HasPointerSpeed() {
  std::lock_guard<std::mutex> lock(mutex_);
  ErrorGuard guard;
  return !AccelDevices().empty();
}

DesktopResult CX11Pointer::SetPointerSpeed(int speed) {
  std::lock_guard<std::mutex> lock(mutex_);
  ErrorGuard guard;
  const std::vector<int> ids = AccelDevices();
  if (ids.empty()) return DesktopResult::NotAvailable;
  const Atom accel = XInternAtom(display_, kLibinputAccelSpeed, True);
  const Atom float_type = XInternAtom(display_, "FLOAT", False);
  const float value = static_cast<float>(SpeedToUnit(speed));
  // XInput2 passes format-32 items as 4 bytes each (unlike core properties).
  unsigned char item[sizeof(float)];
  static_assert(sizeof(float) == 4);
  std::memcpy(item, &value, sizeof value);
  for (int id : ids) XIChangeProperty(display_, id, accel, float_type, 32, PropModeReplace, item, 1);
  XSync(display_, False);
  return DesktopResult::Ok;
}

DesktopResult CX11Pointer::GetPointerSpeed(int* speed) {
  std::lock_guard<std::mutex> lock(mutex_);
  ErrorGuard guard;
  const std::vector<int> ids = AccelDevices();
  if (ids.empty()) return DesktopResult::NotAvailable;
  const Atom accel = XInternAtom(display_, kLibinputAccelSpeed, True);
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  DesktopResult result = DesktopResult::Failed;
  if (XIGetProperty(display_, ids.front(), accel, 0, 1, False, AnyPropertyType, &type, &format, &items, &after,
                    &data) == Success &&
      format == 32 && items == 1 && data != nullptr) {
    float value = 0;
    std::memcpy(&value, data, sizeof value);
    *speed = SpeedFromUnit(value);
    result = DesktopResult::Ok;
  }
  if (data != nullptr) XFree(data);
  return result;
}

}  // namespace trx::desktop

#pragma once
// A desktop backend opened on its first use instead of at start-up: opening
// the KDE backend asks KWin over D-Bus, which must not hold up the UI
// thread. The first call (the window's start-up read on its worker, or an
// apply) runs `open`; every call then goes to the backend it returned
// (a CNoDesktopPointer when it returned null).
//
// Thread safety: any thread; the open happens once, under mutex_, and the
// opened backend serialises its own calls.

#include <functional>
#include <memory>
#include <mutex>

#include "platform/desktop_pointer/desktop_pointer.h"

namespace trx::desktop {

class CDeferredDesktopPointer : public IDesktopPointer {
 public:
  using Opener = std::function<std::unique_ptr<IDesktopPointer>()>;
  explicit CDeferredDesktopPointer(Opener open) : open_(std::move(open)) {}

  // "pending" until opened.
  const char* Name() const override;
  bool HasPointerSpeed() override { return Backend().HasPointerSpeed(); }
  bool HasWheelLines() override { return Backend().HasWheelLines(); }
  DesktopResult SetPointerSpeed(int speed) override { return Backend().SetPointerSpeed(speed); }
  DesktopResult GetPointerSpeed(int* speed) override { return Backend().GetPointerSpeed(speed); }
  DesktopResult SetWheelLines(int lines) override { return Backend().SetWheelLines(lines); }
  DesktopResult GetWheelLines(int* lines) override { return Backend().GetWheelLines(lines); }

 private:
  IDesktopPointer& Backend();

  mutable std::mutex mutex_;  // guards open_ and backend_; held across the open; a leaf
  Opener open_;
  std::unique_ptr<IDesktopPointer> backend_;
};

}  // namespace trx::desktop

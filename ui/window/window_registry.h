#pragma once
// Process-wide table of live windows. Every window gets a handle of its own
// when it is created; the handle is a number that is never reused, so a
// handle kept by a worker thread after its window is gone is simply invalid
// (posting to it fails) instead of reaching a new window.
//
// Thread safety: every function may be called from any thread. Lookup()
// returns a raw pointer; only the UI thread may use it, because windows are
// destroyed on the UI thread only.

#include "ui/window/win_types.h"

namespace trx::ui {

// What the message machinery delivers to: one window procedure per handle.
class IMessageTarget {
 public:
  virtual ~IMessageTarget() = default;
  // Called on the UI thread for every message dispatched to the handle.
  virtual LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) = 0;
};

namespace window_registry {

// Issues a new handle for target. Never returns null.
HWND Register(IMessageTarget* target);
// Forgets the handle; later lookups fail. Unknown handles are ignored.
void Unregister(HWND hwnd);
// True while the handle's window exists.
bool IsAlive(HWND hwnd);
// The target behind a live handle, or null. UI thread only (see above).
IMessageTarget* Lookup(HWND hwnd);
// Number of live windows (for tests and diagnostics).
int LiveCount();

}  // namespace window_registry
}  // namespace trx::ui

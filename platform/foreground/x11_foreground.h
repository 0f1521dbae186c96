#pragma once
// The program in front on an X11 session: the window manager names the
// active window in the root window's _NET_ACTIVE_WINDOW, and the window its
// process in _NET_WM_PID.
//
// Start opens a connection of its own and a watcher thread that sleeps in
// poll() on it (and on a stop event) and wakes only for PropertyNotify of
// the root window, or of the active window while that still lacks
// _NET_WM_PID; the X server is never polled. Current answers from the pid
// the watcher last saw, resolved through /proc at the time of the call.
//
// It speaks XCB, whose errors come back with the reply they belong to, so a
// window that vanishes between a notification and the read costs nothing
// and no process-wide Xlib error handler is involved.
//
// Threads: Start/Stop on one thread; Current on any. The connection is
// used only by the watcher after Start returns.

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "platform/event.h"
#include "platform/foreground/foreground_source.h"
#include "platform/foreground/process_identity.h"

namespace trx::foreground {

class CX11ForegroundSource : public IForegroundSource {
 public:
  // display_name empty: $DISPLAY.
  explicit CX11ForegroundSource(std::string display_name = {}, std::string proc_root = kProcRoot);
  ~CX11ForegroundSource() override;

  const char* Name() const override { return "x11"; }
  bool Start(ForegroundUnavailable* why) override;
  void Stop() override;
  ForegroundResult Current() override;
  bool WaitForChange(CEvent& stop, int timeout_ms) override { return changes_.Wait(stop, timeout_ms); }
  uint64_t ChangesHeard() override { return changes_.Generation(); }
  void Poke() override { changes_.Changed(); }
  bool WaitForChangeSince(uint64_t seen, CEvent& stop, int timeout_ms) override {
    return changes_.WaitSince(seen, stop, timeout_ms);
  }
  bool HearsChanges() const override { return true; }

  // How many times the watcher read the active window (tests: no polling).
  int Reads() const { return reads_.load(); }

 private:
  struct XState;
  void Watch();
  void ReadActive();

  std::string display_name_;
  std::string proc_root_;
  std::unique_ptr<XState> x_;
  CEvent stop_{CEvent::Reset::Manual};
  std::thread watcher_;
  // The active window's pid: 0 none, -1 a window without _NET_WM_PID.
  std::atomic<int> pid_{0};
  std::atomic<bool> running_{false};
  std::atomic<int> reads_{0};
  CForegroundChanges changes_;
};

}  // namespace trx::foreground

#pragma once
// The program whose window is in front, on the Linux desktops.
//
// One backend per kind of session, chosen at run time (foreground_choice.h):
//   X11             _NET_ACTIVE_WINDOW and its _NET_WM_PID, followed through
//                   PropertyNotify on the root window (x11_foreground.h)
//   KDE Wayland     a KWin script reports the active window's pid over D-Bus
//   GNOME Wayland   a GNOME Shell extension does the same (dbus_foreground.h)
//   sway, wlroots   the sway IPC socket: get_tree, the focused node's pid
// A pid becomes a program through /proc (process_identity.h): the
// executable's path, or for a Wine or Proton process the Windows program it
// runs.
//
// Threads: Start on any one thread (it may wait on the desktop: the window
// runs it on a one-shot thread), Stop only after Start returned (the window
// joins that thread first, then stops on the UI thread); Current on any
// thread, also concurrently with itself.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/event.h"

namespace trx::foreground {

// Language text ids of the one-line reasons a session can't be followed.
inline constexpr const char* kReasonNoSession = "link_reason_no_session";
inline constexpr const char* kReasonWayland = "link_reason_wayland";
inline constexpr const char* kReasonX11 = "link_reason_x11";
inline constexpr const char* kReasonKWin = "link_reason_kwin";
inline constexpr const char* kReasonGnome = "link_reason_gnome";  // installed, not enabled
inline constexpr const char* kReasonGnomeShell = "link_reason_gnome_shell";  // GNOME Shell does not answer
inline constexpr const char* kReasonGnomeMissing = "link_reason_gnome_missing";
inline constexpr const char* kReasonGnomeLogin = "link_reason_gnome_login";
inline constexpr const char* kReasonGnomeNeeds45 = "link_reason_gnome_needs_45";
inline constexpr const char* kReasonGnomeOutOfDate = "link_reason_gnome_out_of_date";
inline constexpr const char* kReasonGnomeFailed = "link_reason_gnome_failed";
inline constexpr const char* kReasonSway = "link_reason_sway";
inline constexpr const char* kReasonBus = "link_reason_bus";

struct ForegroundProgram {
  int pid = 0;
  std::string path;          // the executable ("/usr/bin/foo", a Wine program's ".exe")
  std::string display_name;  // its file name
};

enum class ForegroundStatus {
  Program,    // `program` is in front
  None,       // nothing is in front (the desktop, an empty workspace)
  Unknown,    // something is in front but can't be inspected (`detail` says why)
};

struct ForegroundResult {
  ForegroundStatus status = ForegroundStatus::Unknown;
  ForegroundProgram program;
  std::string detail;
};

// Why Start failed: a language text id (kReason...) and a detail for the
// debug output.
struct ForegroundUnavailable {
  const char* text_id = kReasonNoSession;
  std::string detail;
};

class IForegroundSource {
 public:
  virtual ~IForegroundSource() = default;
  // "x11", "kwin", "gnome", "sway", "none".
  virtual const char* Name() const = 0;
  // Connects and starts following the session. False (and *why) when this
  // session can't tell which program is in front.
  virtual bool Start(ForegroundUnavailable* why) = 0;
  // Stops following; Current then answers Unknown. Idempotent.
  virtual void Stop() = 0;
  // The program in front now. Never blocks for long (at most one local
  // socket round trip).
  virtual ForegroundResult Current() = 0;
  // Waits at most timeout_ms for the program in front to change (or
  // `stop`); true when `stop` is set. A source that hears of changes
  // (the desktop scripts' reports) returns early at one, so the program
  // links follow within a few milliseconds; the others only wait.
  // Any thread; several may wait at once.
  virtual bool WaitForChange(CEvent& stop, int timeout_ms) { return stop.Wait(timeout_ms); }
  // The changes heard so far (0 for a source that hears none), and a wait
  // that a change heard since that count ends at once: a caller that takes
  // the count before reading Current() misses no change made meanwhile.
  virtual uint64_t ChangesHeard() { return 0; }
  virtual bool WaitForChangeSince(uint64_t seen, CEvent& stop, int timeout_ms) {
    (void)seen;
    return WaitForChange(stop, timeout_ms);
  }
  // After a failed Start: true when this session may still come to tell
  // (the desktop's script enabled, or its compositor started, later).
  // Ask on the thread that called Start.
  virtual bool CanStartLater() const { return false; }
  // Only when CanStartLater: watches the desktop until the source has
  // started (true) or `stop` is set (false). `still_off` gets each new
  // reason meanwhile, on this thread. Stop must not run until it returned.
  virtual bool StartWhenAvailable(CEvent& stop, const std::function<void(const ForegroundUnavailable&)>& still_off) {
    (void)stop;
    (void)still_off;
    return false;
  }
  // True when WaitForChange returns at every change of the program in front
  // (its waiters then need no short cycle of their own).
  virtual bool HearsChanges() const { return false; }
  // Ends the waits of WaitForChange(Since) as a change would, so that their
  // callers look again (a device has been connected and read). Any thread.
  virtual void Poke() {}
};

// What a source that hears of changes uses for WaitForChange: Changed()
// wakes every waiter. A waiter sleeps in one poll() on the stop event and
// an event of its own that Changed() sets, so it wakes for nothing else.
class CForegroundChanges {
 public:
  void Changed();
  bool Wait(CEvent& stop, int timeout_ms) { return WaitSince(Generation(), stop, timeout_ms); }
  // The count of changes so far.
  uint64_t Generation();
  // As Wait, but a change since Generation() returned `seen` ends it at
  // once: none made in between is missed.
  bool WaitSince(uint64_t seen, CEvent& stop, int timeout_ms);

 private:
  std::mutex mutex_;  // guards generation_ and waiters_; a leaf
  uint64_t generation_ = 0;
  std::vector<CEvent*> waiters_;
};

// A session no backend can follow: Start fails with the reason given.
class CNoForegroundSource : public IForegroundSource {
 public:
  explicit CNoForegroundSource(ForegroundUnavailable why) : why_(std::move(why)) {}
  const char* Name() const override { return "none"; }
  bool Start(ForegroundUnavailable* why) override {
    if (why != nullptr) *why = why_;
    return false;
  }
  void Stop() override {}
  ForegroundResult Current() override { return {ForegroundStatus::Unknown, {}, why_.detail}; }

 private:
  ForegroundUnavailable why_;
};

}  // namespace trx::foreground

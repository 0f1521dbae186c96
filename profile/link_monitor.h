#pragma once
// The program-link monitors: one thread per profile family that is acted
// on (mouse device, mouse key, keyboard light, keyboard key, mouse-pad
// light; the mouse light family's links are stored but never acted on).
//
// Cycle, every 2000 ms (plus 100 ms after a selection); with a source that
// hears of every change and nothing to retry, at each change and otherwise
// once a minute:
//   1. The program in front from the foreground source. One that can't be
//      inspected writes the debug line "文件名字访问失败" and counts as no
//      linked program in front: the cycle never compares with a path it did
//      not read itself.
//   2. Only when the program in front changed since the last cycle (the
//      first cycle counts as a change), or the last attempt did not get
//      through (the device not connected and read yet, or its Select
//      failed), the family's files are read: n = its profile count, u =
//      "select" (the user's choice, 0 when absent).
//   3. Then the first profile i < n linked to the program in front is
//      selected; with none, u. The selector selects only when that differs
//      from the profile in effect (profile/effective_profile.h), so a start
//      never selects again what the user has; a selection is followed by a
//      100 ms pause.
//   4. A program link's select never writes "select": the INI file keeps
//      naming the user's choice, and a choice the user makes while a linked
//      program is in front stays until the program in front changes.
// The thread ends, writing the family's exit line, when its stop event is
// set (every pause is a wait on it) or the selector reports the window or
// the combo gone.
//
// Thread: the routine runs on its own worker thread; the stop event is
// reset by whoever starts it (app/worker_threads.h), never by the routine,
// so a stop set before it ran is not lost.

#include <string>

#include "platform/event.h"
#include "platform/foreground/foreground_source.h"
#include "profile/profile_families.h"

namespace trx {

// A cycle ends early when the source hears of a change
// (IForegroundSource::WaitForChange: X11, the desktop scripts' reports).
inline constexpr int kLinkCycleMs = 2000;
// A source that hears of changes, and nothing to retry but a select that
// waits for its device (the device's connect read pokes the source).
inline constexpr int kLinkQuietCycleMs = 60000;
inline constexpr int kLinkSettleMs = 100;
inline constexpr const char* kDebugForegroundUnreadable = "文件名字访问失败";

enum class LinkSelectResult : int {
  Selected = 1,         // the profile was selected (the family's Select ran and succeeded)
  AlreadySelected = 0,  // it is the profile in effect: nothing done
  Gone = -1,            // the window or the family's combo is gone
  NotReady = 2,         // the device is not connected and read: asked again next cycle
  Failed = 3,           // the device refused the Select: asked again next cycle
};

// Selects a profile of a family for a program link (the family's Select
// through the device's queue, without writing "select"; the combo and the
// link controls follow on success), only when it is not the profile in
// effect already.
// Thread: called on the monitor threads; implementations make it safe there.
class IProfileSelector {
 public:
  virtual ~IProfileSelector() = default;
  virtual LinkSelectResult SelectLinkedProfile(const ProfileFamilyInfo& family, int index) = 0;
};

// The families with a monitor, in the worker table's order (keyboard
// light, keyboard key, mouse device, mouse key, mouse-pad light).
inline constexpr int kLinkMonitorCount = 5;
const ProfileFamilyInfo& LinkMonitorFamily(int i);
// False for the mouse light family (stored, never acted on).
bool HasLinkMonitor(DeviceKind kind, ProfileFamily family);
// The exit debug line of a family's monitor; null for a family without one.
const char* LinkMonitorExitLine(DeviceKind kind, ProfileFamily family);

// What a monitor remembers between cycles.
struct LinkMonitorState {
  bool seen = false;      // a cycle has run
  std::string front;      // the program in front then ("" for none)
  bool pending = false;   // its selection has not got through yet
};

struct LinkMonitorParam {
  const ProfileFamilyInfo* family = nullptr;
  // Null: every cycle counts as a change of the program in front.
  LinkMonitorState* state = nullptr;
  foreground::IForegroundSource* source = nullptr;
  IProfileSelector* selector = nullptr;
  CEvent* stop = nullptr;  // manual-reset
};

// What one cycle chose: the profile index it asked for (the linked one or
// u) and the selector's answer; index and linked only when it acted.
struct LinkCycleResult {
  int index = 0;
  bool linked = false;  // a linked program was in front
  LinkSelectResult select = LinkSelectResult::AlreadySelected;
  bool acted = false;  // step 3 ran (a change, or a retry)
};

// The wait after a cycle: a short cycle while the source can't tell of
// changes or a select is to be retried; with a source that hears changes,
// the quiet cycle when nothing waits, or only a select waiting for its
// device (not connected and read yet: its connect pokes the source,
// IForegroundSource::Poke, which ends the wait as a change does).
int LinkCycleWaitMs(bool hears_changes, bool pending, LinkSelectResult last);

// One cycle, steps 1-4 (without the pause between cycles; the 100 ms pause after a
// selection included). Any thread.
LinkCycleResult RunLinkCycle(const LinkMonitorParam& param);
// The thread routine; returns 0.
int LinkMonitorThread(LinkMonitorParam param);

}  // namespace trx

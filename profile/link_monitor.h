#pragma once
// The program-link monitors: one thread per profile family that is acted
// on (mouse device, mouse key, keyboard light, keyboard key, mouse-pad
// light; the mouse light family's links are stored but never acted on).
//
// Cycle, every 2000 ms (plus 100 ms after a selection):
//   1. n = the family's profile count; the program in front from the
//      foreground source. One that can't be inspected writes the debug line
//      "文件名字访问失败" and counts as no linked program in front: the cycle
//      never compares with a path it did not read itself.
//   2. u = "select" of the family (the user's choice), 0 when absent.
//   3. The first profile i < n linked to the program in front is selected;
//      with none, u is selected again. The selector selects only when the
//      item differs from the one shown; a selection is followed by a 100 ms
//      pause.
//   4. "select" is written back as u, so the INI file names the user's
//      choice whatever the thread selected, unless the user chose another
//      profile meanwhile (then "select" names neither u nor the item the
//      thread selected, and is left alone).
// The thread ends, writing the family's exit line, when its stop event is
// set (every pause is a wait on it) or the selector reports the window or
// the combo gone.
//
// Thread: the routine runs on its own worker thread; the stop event is
// reset by whoever starts it (app/worker_threads.h), never by the routine,
// so a stop set before it ran is not lost.

#include "platform/event.h"
#include "platform/foreground/foreground_source.h"
#include "profile/profile_families.h"

namespace trx {

inline constexpr int kLinkCycleMs = 2000;
inline constexpr int kLinkSettleMs = 100;
inline constexpr const char* kDebugForegroundUnreadable = "文件名字访问失败";

enum class LinkSelectResult : int {
  Selected = 1,         // the item was selected (the family's Select ran)
  AlreadySelected = 0,  // it was the selected item: nothing done
  Gone = -1,            // the window or the family's combo is gone
};

// Selects a profile of a family as an item selection in its combo does
// (the family's Select: INI "select", link controls, profile load, device
// writes), only when it is not the selected item already.
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

struct LinkMonitorParam {
  const ProfileFamilyInfo* family = nullptr;
  foreground::IForegroundSource* source = nullptr;
  IProfileSelector* selector = nullptr;
  CEvent* stop = nullptr;  // manual-reset
};

// What one cycle chose: the profile index it asked for (the linked one or
// u) and the selector's answer.
struct LinkCycleResult {
  int index = 0;
  bool linked = false;  // a linked program was in front
  LinkSelectResult select = LinkSelectResult::AlreadySelected;
};

// One cycle, steps 1-4 (without the 2000 ms pause; the 100 ms pause after a
// selection included). Any thread.
LinkCycleResult RunLinkCycle(const LinkMonitorParam& param);
// The thread routine; returns 0.
int LinkMonitorThread(LinkMonitorParam param);

}  // namespace trx

#pragma once
// RoutineEdits: whether the routine files hold edits the mouse has not got.
// The cursor page marks them unsaved on an edit, a reset or an import; a
// complete upload (the cursor page's save or the button save) or a read
// from the mouse marks them saved. While unsaved, the mouse's connect read
// leaves the files alone and the window asks before closing.
//
// One per window, living as long as it (pages reach it through
// pages::IDevices::RoutineEdits); a fresh one starts saved. Any thread:
// the connect read checks it on the mouse's detection thread.

#include <atomic>

namespace trx::routine {

class RoutineEdits {
 public:
  void MarkUnsaved() { unsaved_.store(true); }
  void MarkSaved() { unsaved_.store(false); }
  bool Unsaved() const { return unsaved_.load(); }

 private:
  std::atomic<bool> unsaved_{false};
};

}  // namespace trx::routine

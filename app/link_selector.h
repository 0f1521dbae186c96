#pragma once
// What the program-link monitors hold to select a profile: a proxy that
// forwards to the main window while attached (like PresenceHostProxy), so a
// monitor let go at shutdown reaches nothing freed. The window's select
// (app/linked_select.h) runs the family's Select on the device's queue
// and waits for it on the monitor thread; the combo and the link controls
// follow on the UI thread when it succeeded.
//
// Threads: SelectLinkedProfile on the monitor threads; Attach and Detach on
// the UI thread (Detach waits for a call inside the window, so call it once
// the queues are stopped: a waiting select then returns at once).

#include <functional>
#include <mutex>

#include "profile/link_monitor.h"

namespace trx::app {

class LinkSelectProxy final : public IProfileSelector {
 public:
  using Select = std::function<LinkSelectResult(const ProfileFamilyInfo&, int)>;
  void Attach(Select select);
  void Detach();
  // Gone once detached.
  LinkSelectResult SelectLinkedProfile(const ProfileFamilyInfo& family, int index) override;

 private:
  std::mutex mutex_;  // guards select_; held across a forwarded call
  Select select_;
};

}  // namespace trx::app

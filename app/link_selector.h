#pragma once
// What the program-link monitors hold to select a profile: a proxy that
// forwards to the main window while attached (like PresenceHostProxy), so a
// monitor let go at shutdown reaches nothing freed, and the selection the
// main window runs on the UI thread.
//
// ApplyLinkedSelection is the selection itself: the link controls follow,
// then the profile operations' SelectProfile writes the device from a copy
// of the image (bytes 14 and 19 of the mouse record kept), loads the image,
// writes "select", and hands the result to the page set's select target.
//
// Threads: the proxy's SelectLinkedProfile on the monitor threads; Attach
// and Detach on the UI thread (Detach waits for a call inside the window,
// so call it when sent calls no longer wait: after quit was posted).
// ApplyLinkedSelection on the UI thread.

#include <functional>
#include <mutex>

#include "pages/page_set.h"
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

// UI thread. Selects item `index` of the family's combo (when it is not
// the selected one) and applies it; Gone when the combo is missing.
LinkSelectResult SelectOnUiThread(pages::CPageSet& pages, pages::IDevices& devices, const ProfileFamilyInfo& family,
                                  int index);
// The selection's effects (see above). UI thread.
void ApplyLinkedSelection(pages::CPageSet& pages, pages::IDevices& devices, const ProfileFamilyInfo& family, int index);

}  // namespace trx::app

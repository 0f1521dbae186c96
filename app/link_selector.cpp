#include "app/link_selector.h"

#include <cstring>
#include <vector>

#include "device/commands.h"
#include "pages/profile_bar.h"
#include "pages/profile_link_page.h"
#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "profile/profile_keys.h"
#include "profile/profile_operations.h"
#include "profile/profile_store.h"
#include "settings/config_images.h"
#include "ui/core/combo.h"

namespace trx::app {

void LinkSelectProxy::Attach(Select select) {
  std::lock_guard<std::mutex> lock(mutex_);
  select_ = std::move(select);
}

void LinkSelectProxy::Detach() {
  std::lock_guard<std::mutex> lock(mutex_);
  select_ = nullptr;
}

LinkSelectResult LinkSelectProxy::SelectLinkedProfile(const ProfileFamilyInfo& family, int index) {
  std::lock_guard<std::mutex> lock(mutex_);
  return select_ ? select_(family, index) : LinkSelectResult::Gone;
}

LinkSelectResult SelectOnUiThread(pages::CPageSet& pages, pages::IDevices& devices, const ProfileFamilyInfo& family,
                                  int index) {
  const char* name = pages::CProfileBar::ComboOf(family.kind, family.family);
  auto* combo = name != nullptr ? pages.GetControls().As<ui::CComboUI>(name) : nullptr;
  if (combo == nullptr) return LinkSelectResult::Gone;
  // An index the combo does not hold (an INI file edited by hand) selects
  // nothing, as selecting a missing item does nothing.
  if (combo->GetCurSel() == index || index < 0 || index >= combo->GetCount()) return LinkSelectResult::AlreadySelected;
  combo->SelectItem(index, false, false);
  DebugLineF("program link: %s profile %d selected", combo->GetName().c_str(), index);
  ApplyLinkedSelection(pages, devices, family, index);
  return LinkSelectResult::Selected;
}

void ApplyLinkedSelection(pages::CPageSet& pages, pages::IDevices&, const ProfileFamilyInfo& family, int index) {
  pages.ProfileLinks().ShowLinkOfProfile(family.kind, family.family, index);
  // The profile operations' Select: the device written from a copy of the
  // image, then the image and the INI choice; its result reaches the
  // controls through the page set's select target.
  const ProfileOpResult result = SelectProfile(family.kind, family.family, index, pages.ProfileSelectTarget());
  if (result != ProfileOpResult::Ok)
    DebugLineF("program link: select of profile %d failed (%d)", index, static_cast<int>(result));
}

}  // namespace trx::app

#include "app/link_selector.h"

#include <cstring>
#include <vector>

#include "device/commands.h"
#include "pages/profile_bar.h"
#include "pages/profile_link_page.h"
#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "profile/profile_keys.h"
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

void ApplyLinkedSelection(pages::CPageSet& pages, pages::IDevices& devices, const ProfileFamilyInfo& family, int index) {
  if (!WritePrivateProfileString(family.select_section, kIniKeySelect, std::to_string(index), ProfileIniPath(family.kind)))
    DebugLine("profile choice not written");
  pages.ProfileLinks().ShowLinkOfProfile(family.kind, family.family, index);

  const bool device_family = family.kind == DeviceKind::Mouse && family.family == ProfileFamily::Device;
  uint8_t kept[2] = {};
  if (device_family) {
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    kept[0] = Images().mouse.current[kRecReportRate];
    kept[1] = Images().mouse.current[kRecCurrentDpiLevel];
  }
  if (LoadProfile(family.kind, family.family, index) != 0) return;  // the load wrote its debug line
  std::vector<uint8_t> key_block;
  {
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    if (device_family) {
      Images().mouse.current[kRecReportRate] = kept[0];
      Images().mouse.current[kRecCurrentDpiLevel] = kept[1];
    }
    if (family.family == ProfileFamily::Key || device_family) {
      const uint8_t* block =
          family.kind == DeviceKind::Mouse ? Images().mouse.key_blocks[0] : Images().keyboard.key_block;
      key_block.assign(block, block + kKeyBlockSize);
    }
  }
  if (family.family != ProfileFamily::Key) devices.MarkSettingsPending(family.kind);
  CDeviceChannel& channel = devices.Channel(family.kind);
  if (!key_block.empty() && channel.connected.load() != 0 && WriteKeyBlock(channel, 0, key_block.data()) != 1)
    DebugLine("key block of the linked profile not written");
  if (family.kind == DeviceKind::Mouse) pages.Refresh(DeviceKind::Mouse);
}

}  // namespace trx::app

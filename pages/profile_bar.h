#pragma once
// The profile strip every page shows: the profile combos of each device
// and family, the Manage panel toggles ("…_profile_fun_spread_btn") and
// the rename-edit toggles. It is the list the profile index fills at start
// (IProfileLists), and on a device's arrival it selects the stored
// profiles in the combos (the combos' own handler then applies them).

#include <string_view>

#include "pages/page.h"
#include "profile/init_profiles.h"
#include "ui/core/combo.h"

namespace trx::pages {

class CProfileBar : public CPage, public IProfileLists {
 public:
  using CPage::CPage;
  void Bind(CRouter& router) override;
  void OnDeviceConnected(DeviceKind kind, const ConnectResult& result) override;

  // The combo listing a family's profiles; null for a family the device
  // does not have.
  static const char* ComboOf(DeviceKind kind, ProfileFamily family);

  // IProfileLists
  void AddItem(DeviceKind kind, ProfileFamily family, std::string_view text, int height_px) override;
  int ItemCount(DeviceKind kind, ProfileFamily family) const override;

 private:
  // A name lookup walks the whole control tree, combo items included, so
  // each combo is looked up once (the layout's controls live for the run);
  // filling an index of thousands of profiles would otherwise be quadratic.
  ui::CComboUI* Combo(DeviceKind kind, ProfileFamily family) const;
  mutable ui::CComboUI* combos_[4][3] = {};
};

}  // namespace trx::pages

#pragma once
// The profile strip every page shows: the profile combos of each device
// and family, the Manage panel toggles ("…_profile_fun_spread_btn"), the
// rename-edit toggles and save buttons, and the Manage buttons (add,
// delete, copy, import, export, restore default). It is the list the
// profile index fills at start (IProfileLists), and on a device's arrival
// it selects the stored profiles in the combos, whose handler selects them.
//
// The operations themselves are profile/profile_operations.h; the strip
// asks, shows the messages and refills the combo from the index after each
// one. Select (and restore default) run on the device's queue through
// IDevices::Submit; what they changed comes back to the
// UI thread as a ProfileSelection and is put on the controls there.
//
// UI thread only, except SelectTarget(), whose object any thread may use
// (a program monitor selecting a profile): its results reach the controls
// through the posted kMsgProfileSelected, which the window hands to
// ApplySelections().

#include <atomic>
#include <functional>
#include <mutex>
#include <string_view>
#include <vector>

#include "pages/control_names.h"
#include "pages/page.h"
#include "profile/init_profiles.h"
#include "profile/profile_operations.h"
#include "ui/core/combo.h"

namespace trx::pages {

// Posted to the window when a select made off the UI thread has results
// waiting; the window calls CPageSet::ApplyProfileSelections().
inline constexpr uint32_t kMsgProfileSelected = 0x0C20;

// One family's controls on the strip.
struct ProfileFamilyControls {
  DeviceKind kind;
  ProfileFamily family;
  const char* combo;
  const char* prefix;        // + "add_btn", "sub_btn", "copy_btn", "import_btn", "export_btn", "reset_btn"
  const char* name_edit;     // the rename edit
  const char* save_btn;      // its save button
  const char* rename_panel;  // shown by "…edit_btn"; null: the family has none
  const char* link_check;
  const char* link_edit;
  const char* link_container;
  const char* dialog_ext;    // the file dialogs' extension, without the dot
};

class CProfileBar : public CPage, public IProfileLists {
 public:
  explicit CProfileBar(PageContext& context);
  void Bind(CRouter& router) override;
  ControlBindings Bindings() override;
  void OnWindowInit() override;
  void OnDeviceConnected(DeviceKind kind, const ConnectResult& result) override;

  // The combo listing a family's profiles; null for a family the device
  // does not have.
  static const char* ComboOf(DeviceKind kind, ProfileFamily family);
  static const ProfileFamilyControls* ControlsOf(DeviceKind kind, ProfileFamily family);

  // IProfileLists
  void AddItem(DeviceKind kind, ProfileFamily family, std::string_view text, int height_px) override;
  int ItemCount(DeviceKind kind, ProfileFamily family) const override;

  // Where selects made on any thread report (channels, pending flags,
  // results queued for the UI thread). Lives as long as the page set.
  IProfileSelectTarget& SelectTarget() { return target_; }
  // Puts the queued select results on the controls.
  void ApplySelections();
  // Refills the device's combos from the index files (another program
  // changed them: the session-bus API), each with the index's "select".
  void RefillAll(DeviceKind kind);

  // Set by the page set: refresh the device's pages; show and apply a
  // profile's pointer speed and wheel lines (the performance page).
  std::function<void(DeviceKind)> refresh_pages;
  std::function<void(int speed, int lines)> apply_pointer;

 private:
  class Target : public IProfileSelectTarget {
   public:
    Target(CProfileBar& bar) : bar_(bar) {}
    CDeviceChannel* Channel(DeviceKind kind) override;
    void MarkSettingsPending(DeviceKind kind) override;
    void ProfileSelected(const ProfileSelection& selection) override;

   private:
    CProfileBar& bar_;
  };

  // A family's controls on the strip, by device kind and family.
  struct FamilyUi {
    Handle<ui::CComboUI> combo;
    Handle<> name_edit, rename_panel;  // rename_panel: families with a toggle
    Handle<ui::CCheckBoxUI> link_check;
    Handle<> link_edit, link_container;
  };
  const FamilyUi& Ui(DeviceKind kind, ProfileFamily family) const {
    return families_[static_cast<int>(kind)][static_cast<int>(family)];
  }
  ui::CComboUI* Combo(DeviceKind kind, ProfileFamily family) const { return Ui(kind, family).combo.get(); }
  // Refills the combo from the index and selects `index` without running
  // select (-1: the index's "select").
  void Refill(const ProfileFamilyControls& f, int index = -1);
  int SelectedIndex(const ProfileFamilyControls& f) const;
  // The arrival's selection of profile `index`: runs Select (the stored
  // profile goes back to the device) unless the profile is new (the first
  // run's, filled by the connect read): that one is only shown.
  void ShowArrivalProfile(DeviceKind kind, ProfileFamily family, int index, bool is_new);
  void RunSelect(const ProfileFamilyControls& f, int index);
  void ShowResult(ProfileOpResult result, const std::string& detail);
  // The name the family's combo shows for profile `index` ("" without one).
  std::string ItemName(const ProfileFamilyControls& f, int index);
  void Apply(const ProfileSelection& s);

  void ComboSelected(const ProfileFamilyControls& f);
  void Add(const ProfileFamilyControls& f);
  void Delete(const ProfileFamilyControls& f);
  void Copy(const ProfileFamilyControls& f);
  void Rename(const ProfileFamilyControls& f);
  void Import(const ProfileFamilyControls& f);
  void Export(const ProfileFamilyControls& f);
  void Restore(const ProfileFamilyControls& f);
  void ToggleRename(const char* panel);

  // Bound once: a name lookup walks the whole control tree, combo items
  // included, so filling an index of thousands of profiles through look-ups
  // would be quadratic.
  FamilyUi families_[4][3];
  Handle<> spread_panels_[names::kSpreadToggles.size()];  // the Manage panels
  Target target_{*this};
  bool arriving_ = false;  // OnDeviceConnected is selecting the stored profiles
  std::atomic<ui::HWND> window_{nullptr};
  std::mutex selections_mutex_;  // guards selections_; a leaf lock
  std::vector<ProfileSelection> selections_;
};

}  // namespace trx::pages

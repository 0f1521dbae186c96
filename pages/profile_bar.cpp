#include "platform/text_ids.h"
#include "pages/profile_bar.h"

#include "profile/effective_profile.h"

#include <memory>

#include "pages/control_names.h"
#include "pages/result_texts.h"
#include "pages/router.h"
#include "platform/debug_log.h"
#include "profile/profile_keys.h"
#include "profile/profile_store.h"
#include "ui/core/combo.h"
#include "ui/core/list.h"
#include "ui/core/option.h"
#include "ui/window/file_dialog.h"
#include "ui/window/win_api.h"

namespace trx::pages {
namespace {

constexpr const char* kItemStyle = "listex_item_style";

const ProfileFamilyControls kFamilyControls[] = {
    {DeviceKind::Mouse, ProfileFamily::Device, names::kMsDeviceProfileCombo, "ms_pro_device_",
     "ms_device_profile_name_edit", "ms_device_profile_edit_save_btn", nullptr, "ms_device_profile_link_check",
     "ms_device_profile_link_edit", "ms_device_profile_link_name_hor", "config"},
    {DeviceKind::Mouse, ProfileFamily::Light, names::kMsDengProfileCombo, "ms_pro_deng_",
     "ms_deng_profile_name_edit", "ms_deng_profile_edit_save_btn", "ms_deng_profile_edit",
     "ms_deng_profile_link_check", "ms_deng_profile_link_edit", "ms_deng_profile_link_name_hor", "led"},
    {DeviceKind::Mouse, ProfileFamily::Key, names::kMsKeyProfileCombo, "ms_pro_key_", "ms_key_profile_name_edit",
     "ms_key_profile_edit_save_btn", "ms_key_profile_edit", "ms_key_profile_link_check", "ms_key_profile_link_edit",
     "ms_key_profile_link_name_hor", "pro"},
    {DeviceKind::Keyboard, ProfileFamily::Light, names::kKbDengProfileCombo, "kb_pro_deng_",
     "kb_deng_profile_name_edit", "kb_deng_profile_edit_save_btn", "kb_deng_profile_edit",
     "kb_deng_profile_link_check", "kb_deng_profile_link_edit", "kb_deng_profile_link_name_hor", "led"},
    {DeviceKind::Keyboard, ProfileFamily::Key, names::kKbKeyProfileCombo, "kb_pro_key_", "kb_key_profile_name_edit",
     "kb_key_profile_edit_save_btn", "kb_key_profile_edit", "kb_key_profile_link_check", "kb_key_profile_link_edit",
     "kb_key_profile_link_name_hor", "pro"},
    {DeviceKind::MousePad, ProfileFamily::Light, names::kMpDengProfileCombo, "mp_pro_deng_",
     "mp_deng_profile_name_edit", "mp_deng_profile_edit_save_btn", "mp_deng_profile_edit",
     "mp_deng_profile_link_check", "mp_deng_profile_link_edit", "mp_deng_profile_link_name_hor", "led"},
};

// The file dialogs' filter for an extension: "(*.led) | *.led ||".
std::string Filter(const char* ext) { return std::string("(*.") + ext + ") | *." + ext + " ||"; }

}  // namespace

CProfileBar::CProfileBar(PageContext& context) : CPage(context) {}

const char* CProfileBar::ComboOf(DeviceKind kind, ProfileFamily family) {
  const ProfileFamilyControls* f = ControlsOf(kind, family);
  return f != nullptr ? f->combo : nullptr;
}

const ProfileFamilyControls* CProfileBar::ControlsOf(DeviceKind kind, ProfileFamily family) {
  for (const ProfileFamilyControls& f : kFamilyControls)
    if (f.kind == kind && f.family == family) return &f;
  return nullptr;
}

void CProfileBar::Bind(CRouter& router) {
  for (size_t i = 0; i < names::kSpreadToggles.size(); ++i) {
    router.Add(Table::Click, {names::kSpreadToggles[i].button, Match::Exact, [this, i](ui::TNotifyUI&, const NameSplit&) {
                                spread_panels_[i].Toggle();
                              }});
  }
  for (const names::EditToggle& toggle : names::kRenameEditToggles) {
    const char* edit = toggle.edit;
    router.Add(Table::Click, {toggle.button, Match::Exact, [this, edit](ui::TNotifyUI&, const NameSplit&) {
                                ToggleRename(edit);
                              }});
  }
  using Action = void (CProfileBar::*)(const ProfileFamilyControls&);
  const std::pair<const char*, Action> buttons[] = {
      {"add_btn", &CProfileBar::Add},         {"sub_btn", &CProfileBar::Delete},
      {"copy_btn", &CProfileBar::Copy},       {"import_btn", &CProfileBar::Import},
      {"export_btn", &CProfileBar::Export},   {"reset_btn", &CProfileBar::Restore},
  };
  for (const ProfileFamilyControls& f : kFamilyControls) {
    const ProfileFamilyControls* fp = &f;
    for (const auto& [suffix, action] : buttons) {
      Action a = action;
      router.Add(Table::Click, {std::string(f.prefix) + suffix, Match::Exact,
                                [this, fp, a](ui::TNotifyUI&, const NameSplit&) { (this->*a)(*fp); }});
    }
    router.Add(Table::Click, {f.save_btn, Match::Exact, [this, fp](ui::TNotifyUI&, const NameSplit&) { Rename(*fp); }});
    router.Add(Table::ItemSelect, {f.combo, Match::Exact,
                                   [this, fp](ui::TNotifyUI&, const NameSplit&) { ComboSelected(*fp); }});
  }
}

ControlBindings CProfileBar::Bindings() {
  ControlBindings b;
  for (size_t i = 0; i < names::kSpreadToggles.size(); ++i) b.push_back({names::kSpreadToggles[i].edit, &spread_panels_[i]});
  for (const ProfileFamilyControls& f : kFamilyControls) {
    FamilyUi& u = families_[static_cast<int>(f.kind)][static_cast<int>(f.family)];
    b.insert(b.end(), {{f.combo, &u.combo},
                       {f.name_edit, &u.name_edit},
                       {f.link_check, &u.link_check},
                       {f.link_edit, &u.link_edit},
                       {f.link_container, &u.link_container}});
    if (f.rename_panel != nullptr) b.push_back({f.rename_panel, &u.rename_panel});
  }
  return b;
}

void CProfileBar::OnWindowInit() { window_ = controls().PaintManager().GetPaintWindow(); }

void CProfileBar::OnDeviceConnected(DeviceKind kind, const ConnectResult& result) {
  arriving_ = true;
  struct EndArrival {
    bool& flag;
    ~EndArrival() { flag = false; }
  } end{arriving_};
  switch (kind) {
    case DeviceKind::Mouse:
      ShowArrivalProfile(kind, ProfileFamily::Device, result.device_profile, result.device_profile_new);
      // The light and key combos show the stored choice; it is applied when
      // the user picks (the device profile already carries the mouse's data).
      for (ProfileFamily family : {ProfileFamily::Light, ProfileFamily::Key}) {
        const ProfileFamilyControls* f = ControlsOf(kind, family);
        ui::CComboUI* combo = Combo(kind, family);
        if (combo != nullptr && combo->GetCurSel() < 0 && SelectedIndex(*f) >= 0)
          combo->SelectItem(SelectedIndex(*f), false, false);
      }
      break;
    case DeviceKind::Keyboard:
      ShowArrivalProfile(kind, ProfileFamily::Light, result.light_profile, result.light_profile_new);
      ShowArrivalProfile(kind, ProfileFamily::Key, result.key_profile, result.key_profile_new);
      break;
    case DeviceKind::MousePad:
      ShowArrivalProfile(kind, ProfileFamily::Light, result.light_profile, result.light_profile_new);
      break;
  }
}

void CProfileBar::ShowArrivalProfile(DeviceKind kind, ProfileFamily family, int index, bool is_new) {
  // A stored profile is put back on the device (the selection runs Select).
  // A new profile holds the device's own settings already:
  // it is only shown (no link, and nothing for the desktop).
  if (!is_new) {
    if (ui::CComboUI* combo = Combo(kind, family)) combo->SelectItem(index);
    return;
  }
  ProfileSelection shown;
  shown.kind = kind;
  shown.family = family;
  shown.index = index;
  Apply(shown);
}

void CProfileBar::AddItem(DeviceKind kind, ProfileFamily family, std::string_view text, int height_px) {
  ui::CComboUI* combo = Combo(kind, family);
  if (combo == nullptr) {
    DebugLineF("profile list of the %s missing", DeviceKindName(kind));
    return;
  }
  auto* item = new ui::CListLabelElementUI();
  item->SetText(text);
  item->SetToolTip(text);
  item->SetFixedHeight(height_px);
  if (!item->SetAttribute("style", kItemStyle)) DebugLineF("profile item style %s not applied", kItemStyle);
  combo->Add(item);
}

int CProfileBar::ItemCount(DeviceKind kind, ProfileFamily family) const {
  ui::CComboUI* combo = Combo(kind, family);
  return combo != nullptr ? combo->GetCount() : 0;
}

// ---------------------------------------------------------------- list

void CProfileBar::Refill(const ProfileFamilyControls& f, int index) {
  ui::CComboUI* combo = Combo(f.kind, f.family);
  const ProfileFamilyInfo* info = FindFamily(f.kind, f.family);
  if (combo == nullptr || info == nullptr) return;
  while (combo->GetCount() > 0) combo->RemoveAt(combo->GetCount() - 1);
  for (const std::string& name : ProfileNames(*info)) AddItem(f.kind, f.family, name, kProfileComboItemHeight);
  if (index < 0) index = EffectiveProfileIndex(*info);
  if (index < combo->GetCount()) combo->SelectItem(index, false, false);
}

void CProfileBar::RefillAll(DeviceKind kind) {
  for (const ProfileFamilyControls& f : kFamilyControls)
    if (f.kind == kind) Refill(f);
}

int CProfileBar::SelectedIndex(const ProfileFamilyControls& f) const {
  ui::CComboUI* combo = Combo(f.kind, f.family);
  if (combo == nullptr) return -1;
  if (combo->GetCurSel() >= 0) return combo->GetCurSel();
  // Nothing picked yet in this run (only the device's arrival selects, and
  // not every family): the index's own choice.
  const ProfileFamilyInfo* info = FindFamily(f.kind, f.family);
  const int selected = info != nullptr ? EffectiveProfileIndex(*info) : -1;
  return selected >= 0 && selected < combo->GetCount() ? selected : -1;
}

void CProfileBar::ShowResult(ProfileOpResult result, const std::string& detail) {
  if (result == ProfileOpResult::Ok) return;
  DebugLineF("profile operation: %s%s%s", ProfileOpResultName(result), detail.empty() ? "" : ": ", detail.c_str());
  if (!ShowTextOf(ctx_.dialogs, result) && !detail.empty())
    ctx_.dialogs.ShowMessage(detail);  // names the file or the name and why
}

// ---------------------------------------------------------------- select

CDeviceChannel* CProfileBar::Target::Channel(DeviceKind kind) { return &bar_.ctx_.devices.Channel(kind); }
void CProfileBar::Target::MarkSettingsPending(DeviceKind kind) { bar_.ctx_.devices.MarkSettingsPending(kind); }
void CProfileBar::Target::ProfileSelected(const ProfileSelection& selection) {
  {
    std::lock_guard<std::mutex> guard(bar_.selections_mutex_);
    bar_.selections_.push_back(selection);
  }
  // A worker's select reaches the controls through the window; the
  // device-operation completion applies them as well (whichever comes first).
  if (ui::HWND window = bar_.window_.load()) ui::PostMessage(window, kMsgProfileSelected);
}

void CProfileBar::ApplySelections() {
  std::vector<ProfileSelection> queued;
  {
    std::lock_guard<std::mutex> guard(selections_mutex_);
    queued.swap(selections_);
  }
  for (const ProfileSelection& s : queued) Apply(s);
}

void CProfileBar::Apply(const ProfileSelection& s) {
  const ProfileFamilyControls* f = ControlsOf(s.kind, s.family);
  if (f == nullptr) return;
  if (ui::CComboUI* combo = Combo(s.kind, s.family); combo != nullptr && combo->GetCurSel() != s.index)
    combo->SelectItem(s.index, false, false);  // shown, not selected again
  const FamilyUi& u = Ui(s.kind, s.family);
  // The link of the profile: its program's file name, ticked and shown.
  if (s.linked) {
    const size_t slash = s.linked_program.find_last_of('/');
    if (slash != std::string::npos) {
      u.link_edit.SetText(s.linked_program.substr(slash + 1));
      if (ui::CCheckBoxUI* check = u.link_check.get()) check->SetCheck(true, false);
      u.link_container.Show(true);
    }
  } else if (ui::CCheckBoxUI* check = u.link_check.get()) {
    check->SetCheck(false, false);
  }
  // The device family's name edit has no toggle: it always shows the name.
  if (f->rename_panel == nullptr) {
    ui::CComboUI* combo = u.combo.get();
    ui::CControlUI* item = combo != nullptr ? combo->GetItemAt(s.index) : nullptr;
    if (item != nullptr) u.name_edit.SetText(item->GetText());
  }
  if (s.pointer_speed > 0 && apply_pointer) apply_pointer(s.pointer_speed, s.wheel_lines);
  if (refresh_pages) refresh_pages(s.kind);
}

void CProfileBar::RunSelect(const ProfileFamilyControls& f, int index) {
  if (index < 0) return;
  auto result = std::make_shared<ProfileOpResult>(ProfileOpResult::Ok);
  const DeviceKind kind = f.kind;
  const ProfileFamily family = f.family;
  const ProfileFamilyControls* fp = &f;
  // A device's arrival puts back the profile in effect; only the user's
  // own pick changes the user's choice, and only it shows the progress
  // ring (the arrival's would greet the user as a full ring).
  const SelectBy by = arriving_ ? SelectBy::Link : SelectBy::User;
  const bool ring = !arriving_;
  const bool started = ctx_.devices.Submit(
      kind, Operation(
                "profile select",
                [this, kind, family, index, result, by](OperationContext&) {
                  *result = SelectProfile(kind, family, index, target_, by);
                  return *result == ProfileOpResult::Ok ? OperationResult::Succeeded : OperationResult::Failed;
                },
                [this, fp, result](const OperationOutcome& o) {
                  ApplySelections();
                  if (o.status != OperationStatus::Ran) *result = ProfileOpResult::DeviceFailed;
                  // Ok, or an index the list does not have: the combo stays as it is.
                  if (*result == ProfileOpResult::Ok || *result == ProfileOpResult::NoSuchProfile) return;
                  // The combo shows the profile that is still in effect.
                  if (ui::CComboUI* combo = Combo(fp->kind, fp->family)) {
                    const ProfileFamilyInfo* info = FindFamily(fp->kind, fp->family);
                    const int selected = info != nullptr ? EffectiveProfileIndex(*info) : -1;
                    if (selected >= 0 && selected < combo->GetCount()) combo->SelectItem(selected, false, false);
                  }
                  // A profile file that can't be read is only a debug line, as at
                  // every load; a device that failed is told.
                  if (*result == ProfileOpResult::DeviceFailed) ShowResult(*result, {});
                },
                ring));
  if (!started) DebugLine("profile select not started: the window is closing");
}

void CProfileBar::ComboSelected(const ProfileFamilyControls& f) { RunSelect(f, SelectedIndex(f)); }

// ---------------------------------------------------------------- operations

void CProfileBar::Add(const ProfileFamilyControls& f) {
  ProfileOpOutcome o = AddProfile(f.kind, f.family);
  Refill(f);
  ShowResult(o.result, o.detail);
  if (o.result == ProfileOpResult::Ok) RunSelect(f, o.index);
}

void CProfileBar::Delete(const ProfileFamilyControls& f) {
  if (ItemCount(f.kind, f.family) <= 1) {
    ShowResult(ProfileOpResult::OnlyOneProfile, {});
    return;
  }
  const int index = SelectedIndex(f);
  if (index < 0 || ctx_.dialogs.ShowNamedMessage(text::kConfirmProfileDelete, ItemName(f, index)) != kDialogConfirmed) return;
  ProfileOpOutcome o = DeleteProfile(f.kind, f.family, index);
  Refill(f, o.result == ProfileOpResult::Ok ? o.index : -1);
  ShowResult(o.result, o.detail);
  if (o.result == ProfileOpResult::Ok) RunSelect(f, o.index);
}

void CProfileBar::Copy(const ProfileFamilyControls& f) {
  ProfileOpOutcome o = CopyProfile(f.kind, f.family, SelectedIndex(f));
  Refill(f);
  ShowResult(o.result, o.detail);
  if (o.result == ProfileOpResult::Ok) RunSelect(f, o.index);
}

std::string CProfileBar::ItemName(const ProfileFamilyControls& f, int index) {
  ui::CComboUI* combo = Combo(f.kind, f.family);
  ui::CControlUI* item = combo != nullptr && index >= 0 ? combo->GetItemAt(index) : nullptr;
  return item != nullptr ? item->GetText() : std::string();
}

void CProfileBar::ToggleRename(const char* panel) {
  for (const ProfileFamilyControls& f : kFamilyControls) {
    if (f.rename_panel == nullptr || std::string_view(f.rename_panel) != panel) continue;
    const FamilyUi& u = Ui(f.kind, f.family);
    u.rename_panel.Toggle();
    // The edit starts from the selected profile's name.
    ui::CComboUI* combo = u.combo.get();
    const int index = SelectedIndex(f);
    ui::CControlUI* item = combo != nullptr && index >= 0 ? combo->GetItemAt(index) : nullptr;
    u.name_edit.SetText(item != nullptr ? item->GetText() : std::string());
  }
}

void CProfileBar::Rename(const ProfileFamilyControls& f) {
  ui::CControlUI* edit = Ui(f.kind, f.family).name_edit.get();
  if (edit == nullptr) return;
  const int index = SelectedIndex(f);
  if (index < 0) return;
  ProfileOpOutcome o = RenameProfile(f.kind, f.family, index, edit->GetText());
  ShowResult(o.result, o.detail);
  if (o.result != ProfileOpResult::Ok) return;
  Refill(f, index);
  Ui(f.kind, f.family).rename_panel.Show(false);
}

void CProfileBar::Import(const ProfileFamilyControls& f) {
  if (SelectedIndex(f) < 0) return;
  std::string path;
  if (!ui::ShowOpenFileDialog(controls().PaintManager().GetPaintWindow(), Filter(f.dialog_ext), f.dialog_ext,
                              std::string("*.") + f.dialog_ext, &path))
    return;
  // The file is checked before anything is added: a refused file changes
  // no profile, no index and nothing on the device.
  ProfileOpOutcome o = ImportProfile(f.kind, f.family, path);
  if (o.index >= 0) Refill(f);
  ShowResult(o.result, o.detail);
  if (o.index >= 0 && o.result == ProfileOpResult::Ok) RunSelect(f, o.index);
}

void CProfileBar::Export(const ProfileFamilyControls& f) {
  const int index = SelectedIndex(f);
  if (index < 0) return;
  std::string path;
  const std::string suggested = ItemName(f, index);
  if (!ui::ShowSaveFileDialog(controls().PaintManager().GetPaintWindow(), Filter(f.dialog_ext), f.dialog_ext,
                              suggested.empty() ? std::string("*.") + f.dialog_ext : suggested + "." + f.dialog_ext,
                              &path))
    return;
  ProfileOpOutcome o = ExportProfile(f.kind, f.family, index, path);
  ShowResult(o.result, o.detail);
  if (o.result == ProfileOpResult::Ok) ctx_.dialogs.ShowNamedMessage(names::kTextExported, path);
}

void CProfileBar::Restore(const ProfileFamilyControls& f) {
  auto result = std::make_shared<ProfileOpResult>(ProfileOpResult::Ok);
  const DeviceKind kind = f.kind;
  const ProfileFamily family = f.family;
  const bool started = ctx_.devices.Submit(kind, Operation(
                                                     "profile restore",
                                                     [this, kind, family, result](OperationContext&) {
                                                       *result = RestoreDefaultProfile(kind, family, target_);
                                                       return *result == ProfileOpResult::Ok ? OperationResult::Succeeded
                                                                                             : OperationResult::Failed;
                                                     },
                                                     [this, result](const OperationOutcome& o) {
                                                       ApplySelections();
                                                       if (o.status != OperationStatus::Ran)
                                                         *result = ProfileOpResult::DeviceFailed;
                                                       ShowResult(*result, {});
                                                     },
                                                     true));
  if (!started) DebugLine("profile restore not started: the window is closing");
}

}  // namespace trx::pages

#include "pages/profile_link_page.h"

#include <unistd.h>

#include "pages/profile_bar.h"
#include "pages/router.h"
#include "platform/debug_log.h"
#include "profile/program_links.h"
#include "ui/core/combo.h"
#include "ui/core/option.h"
#include "ui/window/file_dialog.h"

namespace trx::pages {
namespace {

// Any file; the choice is checked with IsLinkableProgram.
constexpr const char* kProgramFilter = "(*) | *||";
// Room for the one-line reason beside the check box, and for the linked
// program's name (the whole path is its tool tip).
constexpr int kReasonWidthPx = 240;
constexpr int kNameWidthPx = 90;

const names::LinkControlNames* LinkOf(DeviceKind kind, ProfileFamily family) {
  for (const names::LinkControlNames& link : names::kLinkControls)
    if (link.kind == kind && link.family == family) return &link;
  return nullptr;
}

}  // namespace

void CProfileLinkPage::Bind(CRouter& router) {
  for (const names::LinkControlNames& link : names::kLinkControls) {
    const names::LinkControlNames* l = &link;
    router.Add(Table::Click, {link.button, Match::Exact, [this, l](ui::TNotifyUI&, const NameSplit&) { LinkButtonClicked(*l); }});
    router.Add(Table::SelectAfterGuard,
               {link.check, Match::Exact, [this, l](ui::TNotifyUI&, const NameSplit&) { LinkCheckChanged(*l); }});
    router.Add(Table::Click, {link.pick, Match::Exact, [this, l](ui::TNotifyUI&, const NameSplit&) { StartWindowPick(*l); }});
  }
  for (const names::UnlinkButton& unlink : names::kUnlinkButtons) {
    const names::UnlinkButton* u = &unlink;
    router.Add(Table::Click, {unlink.button, Match::Exact, [this, u](ui::TNotifyUI&, const NameSplit&) { Unlink(u->kind, u->family); }});
  }
}

ControlBindings CProfileLinkPage::Bindings() {
  ControlBindings b;
  for (size_t i = 0; i < names::kLinkControls.size(); ++i) {
    const names::LinkControlNames& n = names::kLinkControls[i];
    LinkUi& row = links_[i];
    b.insert(b.end(), {{n.check, &row.check},
                       {n.button, &row.button},
                       {n.edit, &row.edit},
                       {n.container, &row.container},
                       {n.pick, &row.pick}});
  }
  for (size_t i = 0; i < names::kUnlinkButtons.size(); ++i) b.push_back({names::kUnlinkButtons[i].button, &unlinks_[i]});
  for (DeviceKind kind : {DeviceKind::Keyboard, DeviceKind::Mouse, DeviceKind::MousePad})
    for (ProfileFamily family : {ProfileFamily::Device, ProfileFamily::Light, ProfileFamily::Key})
      if (const char* combo = CProfileBar::ComboOf(kind, family))
        b.push_back({combo, &combos_[static_cast<size_t>(kind) - 1][static_cast<size_t>(family)]});
  return b;
}

int CProfileLinkPage::SelectedProfile(DeviceKind kind, ProfileFamily family) const {
  const auto k = static_cast<size_t>(kind) - 1;
  const auto f = static_cast<size_t>(family);
  ui::CComboUI* combo = k < 3 && f < 3 ? combos_[k][f].get() : nullptr;
  return combo != nullptr ? combo->GetCurSel() : -1;
}

bool CProfileLinkPage::ChooseProgram(std::string* path) {
  return ui::ShowOpenFileDialog(controls().PaintManager().GetPaintWindow(), kProgramFilter, "", "", path);
}

void CProfileLinkPage::SetCheck(const names::LinkControlNames& link, bool ticked) {
  // Without notification: the check box's own handler is what runs here.
  if (ui::COptionUI* check = Row(link).check.get()) check->Selected(ticked, false);
}

void CProfileLinkPage::SetEditText(const names::LinkControlNames& link, std::string_view text) {
  if (ui::CControlUI* edit = Row(link).edit.get()) {
    edit->SetResourceText(false);
    edit->SetText(text);
  }
}

void CProfileLinkPage::ShowLinked(const names::LinkControlNames& link, const std::string& path) {
  SetEditText(link, LinkedProgramName(path));
  if (ui::CControlUI* edit = Row(link).edit.get()) edit->SetToolTip(path);
  SetCheck(link, true);
  if (ui::CControlUI* container = Row(link).container.get()) {
    container->SetFixedWidth(kNameWidthPx);
    container->SetVisible(true);
  }
}

void CProfileLinkPage::ShowUnlinked(const names::LinkControlNames& link, bool hide_container) {
  SetCheck(link, false);
  SetEditText(link, kUnlinkedProgram);
  if (ui::CControlUI* edit = Row(link).edit.get()) edit->SetToolTip("");
  if (hide_container) Row(link).container.Show(false);
}

void CProfileLinkPage::ShowLinkOfProfile(DeviceKind kind, ProfileFamily family, int index) {
  const names::LinkControlNames* link = LinkOf(kind, family);
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  if (link == nullptr || info == nullptr || !available_) return;
  const ProgramLink stored = ReadProgramLink(*info, index);
  if (!stored.linked) {
    SetCheck(*link, false);
    Row(*link).container.Show(false);
    return;
  }
  // A stored path without a '/' names no program: the controls stay.
  if (!LinkedProgramName(stored.program).empty()) ShowLinked(*link, stored.program);
}

void CProfileLinkPage::LinkCheckChanged(const names::LinkControlNames& link) {
  const ProfileFamilyInfo* info = FindFamily(link.kind, link.family);
  ui::COptionUI* check = Row(link).check.get();
  if (info == nullptr || check == nullptr) return;
  const int s = SelectedProfile(link.kind, link.family);
  if (!available_) return;
  if (!check->IsSelected()) {
    SetEditText(link, kUnlinkedProgram);
    Row(link).container.Show(false);
    if (s >= 0 && !ClearProgramLink(*info, s)) DebugLine("program link not written");
    return;
  }
  std::string path;
  if (!ChooseProgram(&path)) {
    ShowUnlinked(link, true);
    if (s >= 0 && !ClearProgramLink(*info, s)) DebugLine("program link not written");
    return;
  }
  if (FindLinkedProfile(ReadProgramLinks(*info, ProfileCount(*info)), path) >= 0) {
    ctx_.dialogs.ShowMessage(kMessageProgramLinked);
    SetCheck(link, false);
    return;
  }
  if (s < 0) {
    SetCheck(link, false);
    return;
  }
  if (LinkedProgramName(path).empty() || !IsLinkableProgram(path)) {
    ShowUnlinked(link, false);
    if (!ClearProgramLink(*info, s)) DebugLine("program link not written");
    return;
  }
  if (!WriteProgramLink(*info, s, path)) {
    DebugLine("program link not written");
    ShowUnlinked(link, true);
    return;
  }
  ShowLinked(link, path);
}

void CProfileLinkPage::LinkButtonClicked(const names::LinkControlNames& link) {
  if (FindFamily(link.kind, link.family) == nullptr || !available_) return;
  std::string path;
  if (!ChooseProgram(&path)) return;
  const int s = SelectedProfile(link.kind, link.family);
  if (s < 0 || LinkedProgramName(path).empty() || !IsLinkableProgram(path)) return;
  LinkProgram(link, s, path);
}

void CProfileLinkPage::LinkProgram(const names::LinkControlNames& link, int s, const std::string& path) {
  const ProfileFamilyInfo* info = FindFamily(link.kind, link.family);
  // A program linked to another profile too would never select this one
  // (the first link wins): refused as the check box refuses it.
  const int other = FindLinkedProfile(ReadProgramLinks(*info, ProfileCount(*info)), path);
  if (other >= 0 && other != s) {
    ctx_.dialogs.ShowMessage(kMessageProgramLinked);
    return;
  }
  if (!WriteProgramLink(*info, s, path)) {
    DebugLine("program link not written");
    return;
  }
  ShowLinked(link, path);
}

void CProfileLinkPage::StartWindowPick(const names::LinkControlNames& link) {
  const int s = SelectedProfile(link.kind, link.family);
  if (!available_ || source_ == nullptr || s < 0) return;
  if (picking_ != nullptr) EndWindowPick();
  picking_ = &link;
  pick_profile_ = s;
  pick_ticks_ = 0;
  if (ui::CControlUI* edit = Row(link).edit.get()) {
    edit->SetText("profile_link_picking_text");
    edit->SetResourceText(true);
  }
  Row(link).container.Show(true);
  ctx_.window.StartTimer(kTimerLinkPick, kLinkPickPeriodMs, [this] { OnPickTimer(); });
}

void CProfileLinkPage::EndWindowPick() {
  ctx_.window.KillTimer(kTimerLinkPick);
  const names::LinkControlNames* link = picking_;
  picking_ = nullptr;
  if (link == nullptr) return;
  // Back to what the profile holds.
  SetEditText(*link, kUnlinkedProgram);
  const ProgramLink stored = ReadProgramLink(*FindFamily(link->kind, link->family), pick_profile_);
  if (stored.linked && !LinkedProgramName(stored.program).empty()) {
    ShowLinked(*link, stored.program);
  } else {
    ShowUnlinked(*link, true);
  }
}

void CProfileLinkPage::OnPickTimer() {
  if (picking_ == nullptr || source_ == nullptr) {
    ctx_.window.KillTimer(kTimerLinkPick);
    return;
  }
  const foreground::ForegroundResult front = source_->Current();
  // This program is in front while the user clicks: wait for another.
  if (front.status == foreground::ForegroundStatus::Program && front.program.pid != getpid() &&
      !LinkedProgramName(front.program.path).empty()) {
    const names::LinkControlNames* link = picking_;
    const int s = pick_profile_;
    EndWindowPick();
    LinkProgram(*link, s, front.program.path);
    return;
  }
  if (++pick_ticks_ >= kLinkPickTicks) EndWindowPick();
}

void CProfileLinkPage::Unlink(DeviceKind kind, ProfileFamily family) {
  const names::LinkControlNames* link = LinkOf(kind, family);
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  const int s = SelectedProfile(kind, family);
  if (link == nullptr || info == nullptr || s < 0 || !available_) return;
  if (!ClearProgramLink(*info, s)) DebugLine("program link not written");
  ShowUnlinked(*link, true);
}

void CProfileLinkPage::SetLinkingPending() {
  pending_ = true;
  EnableLinkControls(false);
}

void CProfileLinkPage::SetLinkingAvailable() {
  pending_ = false;
  if (!available_) {
    // The desktop's script came later: the reason gives way to the links.
    available_ = true;
    for (const names::LinkControlNames& link : names::kLinkControls) {
      Row(link).pick.Show(true);
      if (ui::CControlUI* check = Row(link).check.get()) check->SetToolTip("");
      ShowUnlinked(link, true);
      ShowLinkOfProfile(link.kind, link.family, SelectedProfile(link.kind, link.family));
    }
    for (const Handle<>& unlink : unlinks_) unlink.Show(true);
  }
  EnableLinkControls(true);
}

void CProfileLinkPage::EnableLinkControls(bool enable) {
  for (const LinkUi& row : links_) {
    row.check.Enable(enable);
    row.button.Enable(enable);
    row.pick.Enable(enable);
  }
}

void CProfileLinkPage::SetLinkingUnavailable(const char* reason_text_id) {
  available_ = false;
  pending_ = false;
  for (const names::LinkControlNames& link : names::kLinkControls) {
    SetCheck(link, false);
    Row(link).check.Enable(false);
    Row(link).button.Enable(false);
    Row(link).pick.Show(false);
    // The reason follows the language: the edit shows the text of its id.
    if (ui::CControlUI* edit = Row(link).edit.get()) {
      edit->SetText(reason_text_id);
      edit->SetResourceText(true);
      edit->SetToolTip(reason_text_id);
    }
    if (ui::CControlUI* container = Row(link).container.get()) {
      container->SetFixedWidth(kReasonWidthPx);
      container->SetVisible(true);
    }
    if (ui::CControlUI* check = Row(link).check.get()) check->SetToolTip(reason_text_id);
  }
  // The reason takes the unlink buttons' room.
  for (const Handle<>& unlink : unlinks_) unlink.Show(false);
}

}  // namespace trx::pages

#pragma once
// The program-link controls of every profile family: the link check box,
// the program chooser button, the read-only edit showing the linked
// program's file name (in a container shown while linked) and the unlink
// buttons of the mouse device and keyboard light families.
//
//   check ticked     the chooser opens; a program already linked to another
//                    profile of the family is refused with message_text_13;
//                    a chosen program links the selected profile; cancel, or
//                    a file that is not a program, leaves it unlinked
//   check cleared    the selected profile is unlinked
//   chooser button   links the selected profile to the chosen program
//   unlink button    the selected profile is unlinked
//   pick button      the next program other than this one to come to the
//                    front within 10 s is linked to the selected profile
//                    (for games whose executable the user can't find; a
//                    Wine game is linked by its Windows executable)
//
// The chooser accepts any executable file and Windows programs (".exe",
// for Wine and Proton). Paths are split at '/' for the name shown.
//
// Where no foreground backend can follow the session, every link control
// is disabled and the name edits show the one-line reason.
//
// UI thread only.

#include <string>
#include <string_view>

#include "pages/control_names.h"
#include "pages/page.h"
#include "platform/foreground/foreground_source.h"

namespace trx::pages {

// The window timer of a window pick, and its cadence.
inline constexpr int kTimerLinkPick = 23;
inline constexpr int kLinkPickPeriodMs = 250;
inline constexpr int kLinkPickTicks = 40;  // 10 s

class CProfileLinkPage : public CPage {
 public:
  using CPage::CPage;
  void Bind(CRouter& router) override;
  ControlBindings Bindings() override;

  // The controls of a family from link flag[index] and linked program[index]
  // (run by the family's Select).
  void ShowLinkOfProfile(DeviceKind kind, ProfileFamily family, int index);
  // No backend: disables the link controls, showing the reason (a
  // language text id) in each family's name edit.
  void SetLinkingUnavailable(const char* reason_text_id);
  // Not yet known (the desktop has not answered): the check boxes, chooser
  // and pick buttons are disabled; the stored links still show.
  void SetLinkingPending();
  // The desktop answered: the controls are enabled again; after
  // SetLinkingUnavailable (the desktop's script came later) the reason
  // gives way to each family's stored link.
  void SetLinkingAvailable();
  bool LinkingAvailable() const { return available_; }
  // False between SetLinkingPending and the desktop's answer.
  bool LinkingKnown() const { return !pending_; }
  // Where a window pick learns the program in front (null: no pick). The
  // source outlives the page.
  void SetForegroundSource(foreground::IForegroundSource* source) { source_ = source; }
  // Starts a window pick for the family's selected profile.
  void StartWindowPick(const names::LinkControlNames& link);
  // kTimerLinkPick: looks at the program in front once.
  void OnPickTimer();
  bool Picking() const { return picking_ != nullptr; }

  void LinkCheckChanged(const names::LinkControlNames& link);
  void LinkButtonClicked(const names::LinkControlNames& link);
  void Unlink(DeviceKind kind, ProfileFamily family);

  // The selected profile of the family's combo; -1 when none.
  int SelectedProfile(DeviceKind kind, ProfileFamily family) const;

 private:
  // The controls of one family's link row (names::kLinkControls).
  struct LinkUi {
    Handle<ui::COptionUI> check;
    Handle<> button, edit, container, pick;
  };
  // The row of `link` (an element of names::kLinkControls).
  const LinkUi& Row(const names::LinkControlNames& link) const {
    return links_[static_cast<size_t>(&link - names::kLinkControls.data())];
  }
  // The chooser; true and *path when the user confirmed.
  bool ChooseProgram(std::string* path);
  void SetCheck(const names::LinkControlNames& link, bool ticked);
  // A file name (not a language text id).
  void SetEditText(const names::LinkControlNames& link, std::string_view text);
  void ShowLinked(const names::LinkControlNames& link, const std::string& path);
  void ShowUnlinked(const names::LinkControlNames& link, bool hide_container);

  // Links profile s to `path` unless another profile has it (message_text_13).
  void LinkProgram(const names::LinkControlNames& link, int s, const std::string& path);
  void EndWindowPick();
  void EnableLinkControls(bool enable);

  bool available_ = true;
  bool pending_ = false;
  foreground::IForegroundSource* source_ = nullptr;
  const names::LinkControlNames* picking_ = nullptr;
  int pick_profile_ = -1;
  int pick_ticks_ = 0;
  LinkUi links_[names::kLinkControls.size()];
  Handle<> unlinks_[names::kUnlinkButtons.size()];
  // The profile combos (CProfileBar::ComboOf) by kind (1-3) and family;
  // unbound where the family has none.
  Handle<ui::CComboUI> combos_[3][3];
};

}  // namespace trx::pages

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

namespace trx::pages {

class CProfileLinkPage : public CPage {
 public:
  using CPage::CPage;
  void Bind(CRouter& router) override;

  // The controls of a family from link flag[index] and linked program[index]
  // (run by the family's Select).
  void ShowLinkOfProfile(DeviceKind kind, ProfileFamily family, int index);
  // No backend: disables the link controls, showing the reason (a
  // language text id) in each family's name edit.
  void SetLinkingUnavailable(const char* reason_text_id);
  bool LinkingAvailable() const { return available_; }

  void LinkCheckChanged(const names::LinkControlNames& link);
  void LinkButtonClicked(const names::LinkControlNames& link);
  void Unlink(DeviceKind kind, ProfileFamily family);

  // The selected profile of the family's combo; -1 when none.
  int SelectedProfile(DeviceKind kind, ProfileFamily family) const;

 private:
  // The chooser; true and *path when the user confirmed.
  bool ChooseProgram(std::string* path);
  void SetCheck(const names::LinkControlNames& link, bool ticked);
  // A file name (not a language text id).
  void SetEditText(const names::LinkControlNames& link, std::string_view text);
  void ShowLinked(const names::LinkControlNames& link, const std::string& path);
  void ShowUnlinked(const names::LinkControlNames& link, bool hide_container);

  bool available_ = true;
};

}  // namespace trx::pages

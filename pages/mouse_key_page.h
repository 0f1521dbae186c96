#pragma once
// CMouseButtonsPage: the mouse key page ("Mouse_key.xml"). The user picks
// one of the seven buttons ("ms_key_0" … "ms_key_6"), chooses a function
// family in "ms_key_fct_combo" and its values on the family's panel
// "ms_tab_function_N"; every change builds the function (keys/) and stores
// it as the button's entry of the active onboard profile's key block. Each
// button's label names its function. "ms_key_butt_prosave" sends the
// macros and the key block to the mouse on the device-operation worker and
// then writes the device profile file; "ms_key_butt_keydefalut" puts the
// factory function back.
//
// The keyboard category captures a key through the window's keyboard hook
// (mode kHookModeMouseSingleKey): every key event reaches OnHookKeyboard
// and the last one wins.
//
// UI thread only (the upload's work runs on the worker and comes back
// through the window).

#include <string>
#include <vector>

#include "keys/function_build.h"
#include "pages/page.h"
#include "platform/input_hooks.h"

namespace trx::pages {

class CMouseButtonsPage : public CPage, public IHookListener {
 public:
  using CPage::CPage;
  void Bind(CRouter& router) override;
  void Refresh(DeviceKind kind) override;

  // After an onboard switch the button-function panel closes.
  void HideFunctionPanel();

  // The page's actions (the router's rows call them; tests may too).
  void ShowAssignment(int button);
  void SelectCategory();
  void CommitAssignment();
  void RestoreDefaultAssignment();
  void RefreshButtonLabels();
  void UploadKeyAssignments();
  void Hover(std::string_view name, bool entered);

  // IHookListener: the key capture.
  void OnHookKeyboard(uint32_t message, uint32_t wparam, const KeyEventRecord& record) override;
  void OnHookMouse(uint32_t, uint32_t) override {}

  int SelectedButton() const { return selected_; }
  KeyAssignment Pending() const { return pending_; }
  bool Uploading() const { return uploading_; }

 private:
  keys::CategoryValues ReadValues() const;
  void PutValues(const keys::ShownFunction& shown);
  void EditChanged(int edit_number);
  void InstallKeyCapture();
  void FillMacroList();
  std::vector<std::string> MacroNames() const;
  int ComboItem(const char* name) const;
  void SelectSilently(const std::string& name, int item) const;
  void UploadDone(int result);

  int selected_ = 0;
  KeyAssignment pending_{};
  int category_item_ = 0;
  bool uploading_ = false;
  // The key the capture took last: a key table row's function.
  KeyAssignment captured_{};
  bool key_captured_ = false;
};

}  // namespace trx::pages

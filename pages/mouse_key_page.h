#pragma once
// CKeyAssignmentPage: the key page of the mouse ("Mouse_key.xml", controls
// "ms_…") or of the keyboard ("keyboard_key.xml", the same controls named
// "kb_…"). On the mouse the user picks
// one of the seven buttons ("ms_key_0" … "ms_key_6"), chooses a function
// family in "ms_key_fct_combo" and its values on the family's panel
// "ms_tab_function_N"; every change builds the function (keys/) and stores
// it as the button's entry of the active onboard profile's key block. Each
// button's label names its function. "ms_key_butt_prosave" sends the
// macros and the key block to the mouse on the device's queue and
// then writes the device profile file; "ms_key_butt_keydefalut" puts the
// factory function back.
//
// The keyboard page mirrors it: a key picked on the keyboard picture
// ("kb_key_N", a click) is entry N of the keyboard's one key block; its
// tooltip (not its keycap legend) names the function; there is no
// left-button guard and no hover; save sends the keyboard's macro library
// and key block (the channel's block size) and writes the ".pro" file.
//
// The keyboard category captures a key through the window's keyboard hook
// (mode kHookModeMouseSingleKey on the mouse page, kHookModeKeyboardSingleKey
// on the keyboard's): every key event reaches OnHookKeyboard and the last
// one wins.
//
// UI thread only (the upload's work runs on the worker and comes back
// through the window).

#include <string>
#include <vector>

#include "keys/function_build.h"
#include "keys/function_tables.h"
#include "pages/page.h"
#include "pages/upload_result.h"
#include "platform/input_hooks.h"

namespace trx::pages {

class CKeyAssignmentPage : public CPage, public IHookListener {
 public:
  CKeyAssignmentPage(PageContext& context, DeviceKind kind);
  void Bind(CRouter& router) override;
  void Refresh(DeviceKind kind) override;
  ControlBindings Bindings() override;

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
  // Functions changed since the last save to the device.
  bool Unsaved() const { return unsaved_; }

 private:
  static constexpr int kValueEditCount = 9;    // "_key_fct_edit_<n>", n: kValueEdits
  static constexpr int kValueComboCount = 10;  // "_key_fct_combo_<n>"
  static constexpr int kMaxButtons = 126;      // the keyboard's keys
  static constexpr int kDpiColourButtons = 6;
  // The page's controls ("ms_..." or "kb_..."); the button pictures and the
  // DPI colour buttons (hover borders) on the mouse page only.
  struct Ui {
    Handle<> function_panel, key_name, profile_save;
    Handle<ui::CComboUI> category;
    Handle<ui::CComboUI> value_combos[kValueComboCount];  // kValueCombos' order
    Handle<> value_edits[kValueEditCount];                // kValueEdits' order
    Handle<> panels[keys::kCategoryCount];
    Handle<> buttons[kMaxButtons];
    Handle<> pictures[kMouseButtonCount];
    Handle<> dpi_colours[kDpiColourButtons];  // "ms_DPIcolor_btn_1" ...
  };
  const Handle<>& Edit(int n) const;
  // The name of a control of this page: "ms_" or "kb_" + suffix.
  std::string N(const char* suffix) const { return prefix_ + suffix; }
  std::string EditName(int n) const;
  std::string ButtonName(int i) const;
  int EntryCount() const;
  // Entries of the edited key block (the mouse's active onboard profile's,
  // the keyboard's one) and of the main block, each under the image lock.
  KeyAssignment Entry(int i) const;
  KeyAssignment Factory(int i) const;
  void Store(int i, KeyAssignment a);
  keys::CategoryValues ReadValues() const;
  void PutValues(const keys::ShownFunction& shown);
  void EditChanged(int edit_number);
  void InstallKeyCapture();
  // The captured key's name in "_edit_21": "Ctrl+C" with modifiers.
  void ShowKeyName(KeyAssignment a, const char* name);
  void FillMacroList();
  std::vector<std::string> MacroNames() const;
  // A value list by its place in kValueCombos.
  const Handle<ui::CComboUI>& Combo(int which) const { return ui_.value_combos[which]; }
  static int ComboItem(const Handle<ui::CComboUI>& combo);
  static void SelectSilently(const Handle<ui::CComboUI>& combo, int item);
  // `surplus`: the actions that must go when the macros did not fit.
  void UploadDone(UploadResult result, uint64_t surplus);

  const DeviceKind kind_;
  const std::string prefix_;
  int selected_ = 0;
  KeyAssignment pending_{};
  int category_item_ = 0;
  bool uploading_ = false;
  // The key the capture took last: a key table row's function.
  KeyAssignment captured_{};
  bool key_captured_ = false;
  // Modifier bits held down during the key capture (pressed, not released).
  uint8_t held_modifiers_ = 0;
  bool unsaved_ = false;
  Ui ui_;
};

class CMouseButtonsPage : public CKeyAssignmentPage {
 public:
  explicit CMouseButtonsPage(PageContext& context) : CKeyAssignmentPage(context, DeviceKind::Mouse) {}
};

class CKeyboardKeysPage : public CKeyAssignmentPage {
 public:
  explicit CKeyboardKeysPage(PageContext& context) : CKeyAssignmentPage(context, DeviceKind::Keyboard) {}
};

}  // namespace trx::pages

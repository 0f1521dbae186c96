#pragma once
// The macro editor pages (mouse "ms_", keyboard "kb_"): the library's
// names, the actions of one macro as list items (pages/macro_items.h),
// the action edit panel, inserting, moving and deleting actions, and
// saving or discarding the edit.
//
// Editing state: the save/cancel bar is visible. It is entered by an action
// click, an insert, a move, a delete or a recording start, and left by save
// or cancel. While in it the name list takes no input, and creating,
// deleting or loading another macro is refused ("message_text_3",
// "message_text_4"); the router's macro-edit guard keeps other tabs away.
// The action lines in the items are the only copy of an unsaved edit.
//
// Recording (the record button): the window's input hooks of the page's
// mode forward every key and mouse event here; the recorder turns them into
// actions appended to the list (the list is not cleared). While it lasts
// the two lists take no input and the list-changing buttons are disabled;
// any removal of the hooks (the button, another selection, the focus
// leaving the program) ends it. Stopping with the record button drops the
// left press of that click, which the hooks recorded before it arrived.
//
// After a move the moved action stays selected, so repeated clicks of
// up/down walk one action through the list.
//
// By keyboard (the action list holding the focus): Up, Down, Home and End
// move the selection, and an action open in the edit panel follows it, so
// the panel always edits the action it shows; Delete removes the selected
// action as the delete button does.
//
// Import copies a chosen ".mac" file into a new macro ("name_N"; refused
// while editing and at the 50 limit, whose message names the number) and
// loads it; export copies the selected macro's file as last saved. After
// create, rename, delete and import the page set's callback
// (SetLibraryChanged) refreshes the key page's macro list and labels.
// Deleting a macro asks "message_text_2" when a button runs it, then
// refuses while editing, then asks "message_text_4"; the delete itself
// (macro/macro_delete.h: library, the device's five onboard blocks, the
// stored key profiles) runs on the device's queue, and only once
// the library changed is the image renumbered; afterwards no macro and no
// action is selected.
//
// The routing rows kept from the start:
//  - The recording options (mouse page) are read when a recording starts:
//    selecting one ends the selection handler.
//  - The mouse-event box ("…_macro_btn_shubiao") ends the selection handler
//    before the macro-edit guard, so ticking it while editing is no refusal.
//  - The insert-panel buttons ("…_macro_inset_…key_btn") leave only their
//    key's panel visible.
//
// UI thread only.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "macro/macro_action.h"
#include "macro/macro_delete.h"
#include "macro/macro_library.h"
#include "macro/macro_recorder.h"
#include "platform/input_hooks.h"
#include "settings/config_images.h"
#include "pages/control_names.h"
#include "pages/page.h"
#include "ui/core/list.h"

namespace trx::pages {

class CMacroEditorPage : public CPage, public IHookListener {
 public:
  // family: "ms_" or "kb_".
  CMacroEditorPage(PageContext& context, std::string family);
  void Bind(CRouter& router) override;
  ControlBindings Bindings() override;
  void OnWindowInit() override;

  // The macro being edited is unsaved (its save/cancel bar is visible).
  bool Editing() const;
  // Saves the edit as the bar's Save does; true when nothing is left
  // unsaved afterwards (a recording in progress or a refused save: false).
  bool SaveEdit();
  // The action lines of the list, top to bottom.
  std::vector<std::string> Lines() const;
  bool Recording() const { return recorder_.Recording(); }
  // Runs after the library's names changed here (create, rename, delete,
  // import): the key page shows the same names in its macro list.
  void SetLibraryChanged(std::function<void()> changed) { library_changed_ = std::move(changed); }

  // IHookListener: the captured input while recording.
  void OnHookKeyboard(uint32_t message, uint32_t wparam, const KeyEventRecord& record) override;
  void OnHookMouse(uint32_t message, uint32_t wparam) override;
  void OnHooksRemoved() override;

 private:
  // The family's controls (names: the family's prefix + suffix).
  static constexpr size_t kListButtonCount = 7;  // disabled while recording or without a macro
  static constexpr size_t kCaptureOptionCount = 5;
  static constexpr size_t kMoveCount = 4;  // the pointer moves' insert buttons
  struct Ui {
    Handle<ui::CListUI> actions, names;
    Handle<> name_edit;
    Handle<ui::CTabLayoutUI> edit_panel;  // none, key, mouse
    Handle<> save_bar, record, remove, top;
    Handle<> list_buttons[kListButtonCount];
    Handle<ui::COptionUI> capture[kCaptureOptionCount];
    Handle<ui::COptionUI> mouse_event_box;
    Handle<> mouse_event_panel, name_panel;
    Handle<ui::CComboUI> key_combo, press_combo, mouse_combo;
    Handle<> key_delay, mouse_delay, distance_row, distance;
    Handle<> move_distance[kMoveCount];  // left, right, up, down
    Handle<> insert_panels[names::kRoutinePanels.size()];
  };
  std::string N(const char* suffix) const { return family_ + suffix; }
  ui::CListUI* ActionList() const { return actions_; }
  ui::CListUI* NameList() const { return ui_.names.get(); }
  int SelectedMacro() const;
  void LoadNames(int select);
  void LoadMacro();
  void FillActions(const std::vector<std::string>& lines);
  void EnterEditing();
  void LeaveEditing();
  void ShowBar();
  void ShowNoMacroState(bool have_macro);

  // Action edits (each does nothing without a selected action).
  bool Selected(macro::MacroAction& action, ui::CControlUI** item) const;
  void OpenAction(int index);
  void KeyChosen();
  void PressChosen();
  void MouseChosen();
  void DelayEdited(const Handle<>& edit);
  void DistanceEdited();
  void Insert(const std::string& button);
  void Move(int how);
  void Delete(bool all);
  void Save();
  void Cancel();
  void Create();
  void Remove();
  void RemoveDone(int index, const macro::MacroDeleteReport& report);
  void Rename();
  void Import();
  void Export();
  void FollowSelection();
  void ShowLibraryRefusal(macro::MacroResult r);
  void LibraryChanged();
  void ShowInsertPanel(const std::string& button);
  macro::AssignmentBlocks AssignmentsOf(ConfigImages& images) const;
  bool EnsureMacroSelected();
  void ToggleRecording();
  void StartRecording();
  void ShowRecordingState(bool recording);
  void Append(const macro::RecordStep& step);

  std::string family_;  // the controls' prefix: "ms_" or "kb_"
  DeviceKind kind_;     // the device the family's macros are for
  bool ForMouse() const { return kind_ == DeviceKind::Mouse; }
  macro::MacroStore store_;
  Ui ui_;
  ui::CListUI* actions_ = nullptr;  // ui_.actions from the window's init
  bool editing_ = false;
  bool removing_ = false;  // a delete is running on the device's queue
  uint32_t hook_mode_;
  macro::CMacroRecorder recorder_{ctx_.window.Clock()};
  bool record_clicks_ = false;  // the "mouse click" option at the start
  int recording_from_ = 0;      // actions in the list when the recording started
  std::function<void()> library_changed_;
  // The delay the newest recorded action's arrival replaced on the action
  // before it (none: it replaced nothing).
  std::optional<uint16_t> replaced_delay_;
};

}  // namespace trx::pages

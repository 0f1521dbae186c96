#include "platform/text_ids.h"
#include "pages/macro_editor_page.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

#include "macro/macro_delete.h"
#include "macro/macro_image.h"
#include "macro/macro_tables.h"
#include "pages/control_names.h"
#include "pages/macro_items.h"
#include "pages/router.h"
#include "platform/debug_log.h"
#include "settings/key_assignment.h"
#include "ui/core/event.h"
#include "ui/window/file_dialog.h"
#include "ui/core/combo.h"
#include "ui/core/edit.h"
#include "ui/core/option.h"

namespace trx::pages {

namespace {
constexpr const char* kInsertInfix = "macro_inset_";
// Import and export: the file dialogs' filter, extension and first name.
constexpr const char* kMacroFileFilter = "(*.mac) | *.mac ||";
constexpr const char* kMacroFileExtension = "mac";
constexpr const char* kMacroFileInitialName = "*.mac";
constexpr const char* kImageTopDisabled = "file='common/unuse.png'";
constexpr const char* kImageTop = "file='common/up_top_over.png'";
constexpr const char* kTextRecordStart = "macro_btn_star_redio_text";
constexpr const char* kTextRecordStop = "macro_btn_stop_redio_text";
constexpr uint32_t kMaxDelayUnits = 65535;
constexpr uint32_t kMaxDistance = 255;
constexpr uint16_t kInsertedDelay = 5;  // 50 ms
// Edit panel pages.
constexpr int kPanelNone = 0;
constexpr int kPanelKey = 1;
constexpr int kPanelMouse = 2;
// Mouse combo rows of the four pointer moves.
constexpr int kRowMoveLeft = 10;
constexpr int kRowMoveRight = 11;
constexpr int kRowMoveUp = 12;
constexpr int kRowMoveDown = 13;
constexpr int kFirstMoveRow = kRowMoveLeft;

// Insert buttons: the button's name after the infix, the mouse table row,
// and for moves the edit holding the distance (after the family).
struct InsertButton {
  const char* button;
  int row;
  const char* distance_edit;
};
constexpr InsertButton kInsertButtons[] = {
    {"leftkeydown_btn", 0, nullptr},      {"leftkeyup_btn", 1, nullptr},
    {"rightkeydown_btn", 2, nullptr},     {"rightkeyup_btn", 3, nullptr},
    {"moudlekeydown_btn", 4, nullptr},    {"moudlekeyup_btn", 5, nullptr},
    {"forwardkeydown_btn", 6, nullptr},   {"forwardkeyup_btn", 7, nullptr},
    {"backkeydown_btn", 8, nullptr},      {"backkeyup_btn", 9, nullptr},
    {"moveleftkey_btn", kRowMoveLeft, "mouse_x_left_edit"},
    {"moverightkey_btn", kRowMoveRight, "mouse_x_right_edit"},
    {"moveupkey_btn", kRowMoveUp, "mouse_y_up_edit"},
    {"movedownkey_btn", kRowMoveDown, "mouse_y_down_edit"},
};

enum MoveHow { kUp, kDown, kTop, kBottom };

// The buttons a recording or an empty library disables.
constexpr const char* kListButtons[] = {"macro_btn_save",   "macro_btn_up",        "macro_btn_down",
                                        "macro_btn_downbottom", "macro_btn_delete", "macro_btn_deleteall",
                                        "macro_btn_cancel"};
constexpr const char* kCaptureOptions[] = {"macro_keyboard_event", "macro_mouse_click", "macro_mouse_roller",
                                           "macro_mouse_move", "macro_check_time"};
enum CaptureOption { kCaptureKeyboard, kCaptureClick, kCaptureRoller, kCaptureMove, kCaptureTime };

// "leftkey_tab" → "leftkey_btn": the button that opens a key's panel.
std::string ButtonOfPanel(const char* panel) {
  std::string name(panel);
  return name.substr(0, name.size() - 3) + "btn";
}

bool IsMove(const macro::MacroAction& a) {
  return a.Kind() == static_cast<uint8_t>(macro::MacroKind::PointerMoveX) ||
         a.Kind() == static_cast<uint8_t>(macro::MacroKind::PointerMoveY);
}

// The text read as strtol reads a decimal number, clamped to 0..limit.
uint32_t ReadClamped(const std::string& text, uint32_t limit, bool* clamped) {
  const long value = std::strtol(text.c_str(), nullptr, 10);
  *clamped = value > static_cast<long>(limit);
  if (value < 0) return 0;
  return *clamped ? limit : static_cast<uint32_t>(value);
}
bool OptionSelected(const Handle<ui::COptionUI>& option) { return option && option.get()->IsSelected(); }
}  // namespace

// The key-assignment blocks of the page's device in the image (used under
// the image lock, image().All): the mouse's five onboard profiles, the
// keyboard's one.
macro::AssignmentBlocks CMacroEditorPage::AssignmentsOf(ConfigImages& images) const {
  macro::AssignmentBlocks b;
  if (ForMouse()) {
    for (size_t k = 0; k < b.blocks.size(); ++k) b.blocks[k] = images.mouse.key_blocks[k];
    b.defaults = images.mouse.main_block;
    b.entries = kMouseButtonCount;
  } else {
    b.blocks[0] = images.keyboard.key_block;
    b.defaults = images.keyboard.main_block;
    b.entries = kKeyAssignmentsPerBlock;
  }
  return b;
}

CMacroEditorPage::CMacroEditorPage(PageContext& context, std::string family)
    : CPage(context),
      family_(std::move(family)),
      kind_(family_ == "ms_" ? DeviceKind::Mouse : DeviceKind::Keyboard),
      store_(macro::MacroStoreFor(kind_)),
      hook_mode_(ForMouse() ? kHookModeMouseMacro : kHookModeKeyboardMacro) {}

void CMacroEditorPage::Bind(CRouter& router) {
  if (ForMouse()) {
    for (const char* option : names::kMacroRecordOptions)
      router.Add(Table::SelectBeforeGuard, {option, Match::Exact, nullptr, Then::End});
  } else {
    // The keyboard page's twins of the recording options, read the same way.
    for (const char* option : kCaptureOptions)
      router.Add(Table::SelectBeforeGuard, {N(option), Match::Exact, nullptr, Then::End});
  }
  router.Add(Table::SelectBeforeGuard,
             {ForMouse() ? names::kMsMacroBtnShubiao : names::kKbMacroBtnShubiao, Match::Exact,
              [this](ui::TNotifyUI&, const NameSplit&) {
                // Ticked: the mouse-event panel stands where the names were.
                const bool mouse = OptionSelected(ui_.mouse_event_box);
                ui_.mouse_event_panel.Show(mouse);
                ui_.name_panel.Show(!mouse);
              },
              Then::End});
  for (const names::RoutineInsert& insert : names::kRoutineInserts) {
    const std::string button = family_ + kInsertInfix + insert.button;
    router.Add(Table::Click, {button, Match::Exact, [this, button](ui::TNotifyUI&, const NameSplit&) {
                                ShowInsertPanel(button);
                                Insert(button);  // nothing for the panel buttons
                              }});
  }
  auto click = [&](const char* suffix, void (CMacroEditorPage::*fn)()) {
    router.Add(Table::Click, {N(suffix), Match::Exact, [this, fn](ui::TNotifyUI&, const NameSplit&) { (this->*fn)(); }});
  };
  auto move = [&](const char* suffix, int how) {
    router.Add(Table::Click, {N(suffix), Match::Exact, [this, how](ui::TNotifyUI&, const NameSplit&) { Move(how); }});
  };
  move("macro_btn_up", kUp);
  move("macro_btn_down", kDown);
  move("macro_btn_uptop", kTop);
  move("macro_btn_downbottom", kBottom);
  router.Add(Table::Click, {N("macro_btn_delete"), Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { Delete(false); }});
  router.Add(Table::Click,
             {N("macro_btn_deleteall"), Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { Delete(true); }});
  click("macro_btn_redio", &CMacroEditorPage::ToggleRecording);
  click("macro_btn_save", &CMacroEditorPage::Save);
  click("macro_btn_cancel", &CMacroEditorPage::Cancel);
  click("macro_btn_name_add", &CMacroEditorPage::Create);
  click("macro_btn_name_sub", &CMacroEditorPage::Remove);
  click("macro_btn_savemacroname", &CMacroEditorPage::Rename);
  click("macro_btn_import", &CMacroEditorPage::Import);
  click("macro_btn_export", &CMacroEditorPage::Export);
  // The action list by keyboard: Delete removes the selected action; the
  // arrows (the list's own) move the selection, and an open action follows.
  const std::string list = ForMouse() ? "ms_Macro_list" : "kb_macro_action";
  router.Add(Table::KeyDown, {list, Match::Exact, [this](ui::TNotifyUI& msg, const NameSplit&) {
                                if (msg.wParam == ui::VK_DELETE) Delete(false);
                              }});
  router.Add(Table::ItemSelect, {list, Match::Exact, [this](ui::TNotifyUI& msg, const NameSplit&) {
                                   if (msg.pSender != actions_ || actions_ == nullptr) return;
                                   FollowSelection();
                                 }});
  router.Add(Table::KillFocus,
             {N("macro_edit_macroname"), Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { Rename(); }});

  router.Add(Table::ItemSelect, {N("MacroName_list"), Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) {
                                   LoadMacro();
                                 }});
  router.Add(Table::ItemSelect,
             {N("macro_combo_keyselect"), Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { KeyChosen(); }});
  router.Add(Table::ItemSelect,
             {N("macro_combo_upordown"), Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { PressChosen(); }});
  router.Add(Table::ItemSelect,
             {N("macro_combo_mouselect"), Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { MouseChosen(); }});
  router.Add(Table::TextChanged, {N("_macro_edit_ActionDelay"), Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) {
                                    DelayEdited(ui_.key_delay);
                                  }});
  router.Add(Table::TextChanged,
             {N("_macro_edit_mou_action_delay"), Match::Exact,
              [this](ui::TNotifyUI&, const NameSplit&) { DelayEdited(ui_.mouse_delay); }});
  router.Add(Table::TextChanged, {N("macro_edit_mou_pointer_skewing"), Match::Exact,
                                  [this](ui::TNotifyUI&, const NameSplit&) { DistanceEdited(); }});
  // The action items are made at run time, so the row names their family
  // ("ms_macro_" of "ms_macro_action"); the keyboard's list carries the
  // items' name itself. Only items of this page's action list count.
  router.Add(Table::ItemClick, {ForMouse() ? N("macro_") : N("macro_action"),
                                ForMouse() ? Match::Prefix : Match::Exact,
                                [this](ui::TNotifyUI& msg, const NameSplit&) {
                                  if (actions_ == nullptr || msg.pSender == nullptr) return;
                                  const int index = actions_->GetItemIndex(msg.pSender);
                                  if (index < 0) return;  // the list itself, or another list's item
                                  OpenAction(index);
                                }});
}

ControlBindings CMacroEditorPage::Bindings() {
  static_assert(std::size(kListButtons) == kListButtonCount && std::size(kCaptureOptions) == kCaptureOptionCount);
  // The keyboard page's action list carries the name its items carry too.
  ControlBindings b{{ForMouse() ? "ms_Macro_list" : "kb_macro_action", &ui_.actions},
                    {N("MacroName_list"), &ui_.names},
                    {N("macro_edit_macroname"), &ui_.name_edit},
                    {N("tab_macro_edit"), &ui_.edit_panel},
                    {N("macro_tab_saveorcancel"), &ui_.save_bar},
                    {N("macro_btn_redio"), &ui_.record},
                    {N("macro_btn_name_sub"), &ui_.remove},
                    {N("macro_btn_uptop"), &ui_.top},
                    {N("macro_btn_shubiao"), &ui_.mouse_event_box},
                    {N("MacroMouseEvent"), &ui_.mouse_event_panel},
                    {N("MacroName"), &ui_.name_panel},
                    {N("macro_combo_keyselect"), &ui_.key_combo},
                    {N("macro_combo_upordown"), &ui_.press_combo},
                    {N("macro_combo_mouselect"), &ui_.mouse_combo},
                    {N("_macro_edit_ActionDelay"), &ui_.key_delay},
                    {N("_macro_edit_mou_action_delay"), &ui_.mouse_delay},
                    {N("macro_tab_mou_pointer_skewing"), &ui_.distance_row},
                    {N("macro_edit_mou_pointer_skewing"), &ui_.distance}};
  for (size_t i = 0; i < kListButtonCount; ++i) b.push_back({N(kListButtons[i]), &ui_.list_buttons[i]});
  for (size_t i = 0; i < kCaptureOptionCount; ++i) b.push_back({N(kCaptureOptions[i]), &ui_.capture[i]});
  for (const InsertButton& insert : kInsertButtons)
    if (insert.distance_edit != nullptr) b.push_back({N(insert.distance_edit), &ui_.move_distance[insert.row - kFirstMoveRow]});
  for (size_t i = 0; i < names::kRoutinePanels.size(); ++i)
    b.push_back({family_ + kInsertInfix + names::kRoutinePanels[i], &ui_.insert_panels[i]});
  return b;
}

void CMacroEditorPage::OnWindowInit() {
  actions_ = ui_.actions.get();
  LoadNames(0);
}

int CMacroEditorPage::SelectedMacro() const {
  ui::CListUI* names = NameList();
  return names != nullptr ? names->GetCurSel() : -1;
}

bool CMacroEditorPage::Editing() const { return editing_; }

bool CMacroEditorPage::SaveEdit() {
  if (editing_) Save();
  return !editing_;
}

std::vector<std::string> CMacroEditorPage::Lines() const {
  std::vector<std::string> lines;
  if (actions_ == nullptr) return lines;
  for (int i = 0; i < actions_->GetCount(); ++i) lines.push_back(actions_->GetItemAt(i)->GetUserData());
  return lines;
}

void CMacroEditorPage::LoadNames(int select) {
  ui::CListUI* list = NameList();
  if (list == nullptr) return;
  list->RemoveAll();
  for (const std::string& name : macro::LoadMacroNames(store_)) {
    auto* item = new ui::CListLabelElementUI();
    item->SetText(name);
    item->SetUserData(name);
    list->Add(item);
  }
  const bool have = list->GetCount() > 0;
  ShowNoMacroState(have);
  if (have) {
    list->SelectItem(std::clamp(select, 0, list->GetCount() - 1), false, false);
    LoadMacro();
  } else {
    FillActions({});
    ui_.name_edit.SetText("");
  }
}

// Controls without a macro: nothing to record into, move or save.
void CMacroEditorPage::ShowNoMacroState(bool have_macro) {
  for (const Handle<>& b : ui_.list_buttons) b.Enable(have_macro);
  for (const Handle<ui::COptionUI>& o : ui_.capture) o.Enable(have_macro);
  ui_.record.Enable(have_macro);
  ui_.remove.Enable(have_macro);
  if (ui::CControlUI* top = ui_.top.get()) top->SetBkImage(have_macro ? kImageTop : kImageTopDisabled);
}

void CMacroEditorPage::LoadMacro() {
  ui::CListUI* names = NameList();
  if (names == nullptr) return;
  if (Editing()) {
    ctx_.dialogs.ShowMessage(text::kConfirmMacroDelete);
    return;
  }
  const int index = names->GetCurSel();
  if (index < 0) return;
  const std::string name = names->GetItemAt(index)->GetUserData();
  FillActions(macro::LoadMacroLines(store_, name));
  ui_.name_edit.SetText(name);
  ui_.edit_panel.SelectPage(kPanelNone);
}

void CMacroEditorPage::FillActions(const std::vector<std::string>& lines) {
  if (actions_ == nullptr) return;
  actions_->RemoveAll();
  for (const std::string& line : lines) {
    macro::MacroAction action;
    if (!macro::ParseActionLine(line, action)) continue;  // a malformed line is not an action
    actions_->Add(MakeActionItem(family_, action));
  }
  actions_->SelectItem(-1, false, false);
}

void CMacroEditorPage::EnterEditing() {
  if (ui::CListUI* names = NameList()) {
    names->SetMouseEnabled(false);
    names->SetKeyboardEnabled(false);
  }
  if (actions_ != nullptr && actions_->GetCount() > 0) ShowBar();
}

void CMacroEditorPage::ShowBar() {
  ui_.save_bar.Show(true);
  editing_ = true;
}

void CMacroEditorPage::LeaveEditing() {
  ui_.save_bar.Show(false);
  editing_ = false;
  ui_.edit_panel.SelectPage(kPanelNone);
  ui_.remove.Enable(true);
  if (ui::CListUI* names = NameList()) {
    names->SetMouseEnabled(true);
    names->SetKeyboardEnabled(true);
  }
}

bool CMacroEditorPage::Selected(macro::MacroAction& action, ui::CControlUI** item) const {
  if (actions_ == nullptr || actions_->GetCurSel() < 0) return false;
  *item = actions_->GetItemAt(actions_->GetCurSel());
  return ItemAction(*item, action);
}

void CMacroEditorPage::OpenAction(int index) {
  if (Recording()) return;  // the list belongs to the recording
  if (actions_->GetCurSel() != index) actions_->SelectItem(index, false, false);
  EnterEditing();
  macro::MacroAction a;
  ui::CControlUI* item = nullptr;
  if (!Selected(a, &item)) return;
  const std::string delay = std::to_string(a.delay);
  // The combos are set without notifying: opening changes nothing.
  auto select = [&](const Handle<ui::CComboUI>& combo, int row) {
    if (ui::CComboUI* c = combo.get()) c->SelectItem(row, false, false);
  };
  if (!a.IsKeyboard()) {
    ui_.edit_panel.SelectPage(kPanelMouse);
    int row = -1;
    if (a.Kind() == static_cast<uint8_t>(macro::MacroKind::PointerMoveX)) {
      row = (a.type & macro::kTypePressedBit) ? kRowMoveLeft : kRowMoveRight;
    } else if (a.Kind() == static_cast<uint8_t>(macro::MacroKind::PointerMoveY)) {
      row = (a.type & macro::kTypePressedBit) ? kRowMoveUp : kRowMoveDown;
    } else {
      for (int r = 0; r < kFirstMoveRow; ++r)
        if (macro::MacroMouseTable[r].code == a.code && macro::MacroMouseTable[r].type == a.type) row = r;
    }
    select(ui_.mouse_combo, row);
    ui_.distance_row.Show(IsMove(a));
    if (IsMove(a)) ui_.distance.SetText(std::to_string(a.code));
    ui_.mouse_delay.SetText(delay);
    return;
  }
  ui_.edit_panel.SelectPage(kPanelKey);
  int row = -1;
  for (size_t r = 0; r < macro::kMacroKeyRows; ++r) {
    const macro::MacroKeyRow& k = macro::MacroKeyTable[r];
    const bool key = a.Kind() == static_cast<uint8_t>(macro::MacroKind::Key);
    if ((key && k.usage != 0 && k.usage == a.code) || (!key && k.usage == 0 && k.modifier_bit == a.code))
      row = static_cast<int>(r);
  }
  select(ui_.key_combo, row);
  select(ui_.press_combo, a.pressed != 0 ? 1 : 0);
  ui_.key_delay.SetText(delay);
}

void CMacroEditorPage::KeyChosen() {
  macro::MacroAction a;
  ui::CControlUI* item = nullptr;
  ui::CComboUI* combo = ui_.key_combo.get();
  if (combo == nullptr || !Selected(a, &item)) return;
  const int row = combo->GetCurSel();
  if (row < 0 || row >= static_cast<int>(macro::kMacroKeyRows)) return;
  macro::MacroAction changed = macro::KeyAction(macro::MacroKeyTable[row], a.pressed != 0);
  changed.delay = a.delay;
  changed.pressed = a.pressed;
  ShowAction(item, changed);
}

void CMacroEditorPage::PressChosen() {
  macro::MacroAction a;
  ui::CControlUI* item = nullptr;
  ui::CComboUI* combo = ui_.press_combo.get();
  if (combo == nullptr || !Selected(a, &item) || combo->GetCurSel() < 0) return;
  const bool pressed = combo->GetCurSel() == 1;
  a.pressed = pressed ? 1 : 0;
  a.type = static_cast<uint8_t>((a.type & macro::kTypeKindMask) | (pressed ? macro::kTypePressedBit : 0));
  ShowAction(item, a);
}

void CMacroEditorPage::MouseChosen() {
  macro::MacroAction a;
  ui::CControlUI* item = nullptr;
  ui::CComboUI* combo = ui_.mouse_combo.get();
  if (combo == nullptr || !Selected(a, &item)) return;
  const int row = combo->GetCurSel();
  if (row < 0 || row > kRowMoveDown) return;
  const macro::MacroMouseRow& r = macro::MacroMouseTable[row];
  if (row >= kFirstMoveRow) {
    a.code = IsMove(a) ? a.code : 0;
    a.type = r.type;
    ui_.distance_row.Show(true);
    ui_.distance.SetText(std::to_string(a.code));
  } else {
    a.type = r.type;
    a.code = r.code;
    a.pressed = (r.type & macro::kTypePressedBit) ? 1 : 0;
    ui_.distance_row.Show(false);
  }
  a.name = r.name;
  ShowAction(item, a);
}

void CMacroEditorPage::DelayEdited(const Handle<>& edit) {
  macro::MacroAction a;
  ui::CControlUI* item = nullptr;
  if (!edit || !Selected(a, &item)) return;
  bool clamped = false;
  const uint32_t value = ReadClamped(edit.get()->GetText(), kMaxDelayUnits, &clamped);
  if (clamped) edit.SetText(std::to_string(value));
  a.delay = static_cast<uint16_t>(value);
  ShowAction(item, a);
}

void CMacroEditorPage::DistanceEdited() {
  macro::MacroAction a;
  ui::CControlUI* item = nullptr;
  if (!ui_.distance || !Selected(a, &item)) return;
  bool clamped = false;
  const uint32_t value = ReadClamped(ui_.distance.get()->GetText(), kMaxDistance, &clamped);
  if (clamped) ui_.distance.SetText(std::to_string(value));
  a.code = static_cast<uint8_t>(value);
  ShowAction(item, a);
}

void CMacroEditorPage::Insert(const std::string& button) {
  if (Recording()) return;  // the list belongs to the recording
  if (actions_ == nullptr || !EnsureMacroSelected()) return;
  const InsertButton* insert = nullptr;
  for (const InsertButton& b : kInsertButtons)
    if (SameName(button, family_ + kInsertInfix + b.button)) insert = &b;
  if (insert == nullptr) return;
  macro::MacroAction a = macro::MouseAction(macro::MacroMouseTable[insert->row]);
  if (insert->distance_edit != nullptr) {
    bool clamped = false;
    ui::CControlUI* edit = ui_.move_distance[insert->row - kFirstMoveRow].get();
    a.code = static_cast<uint8_t>(ReadClamped(edit != nullptr ? edit->GetText() : "", kMaxDistance, &clamped));
  }
  a.delay = kInsertedDelay;
  const int at = std::max(actions_->GetCurSel(), 0);
  actions_->AddAt(MakeActionItem(family_, a), at);
  EnterEditing();
  // The new action stands before the one that was selected, which stays
  // selected (so further inserts follow in order); alone, it is selected.
  actions_->SelectItem(actions_->GetCount() == 1 ? 0 : at + 1, false, false);
}

void CMacroEditorPage::Move(int how) {
  if (Recording()) return;  // the list belongs to the recording
  if (actions_ == nullptr) return;
  const int from = actions_->GetCurSel();
  const int last = actions_->GetCount() - 1;
  if (from < 0) return;
  int to = from;
  switch (how) {
    case kUp: to = from - 1; break;
    case kDown: to = from + 1; break;
    case kTop: to = 0; break;
    case kBottom: to = last; break;
    default: return;
  }
  if (to < 0 || to > last || to == from) return;
  macro::MacroAction a;
  const bool ok = ItemAction(actions_->GetItemAt(from), a);
  if (!ok) return;
  actions_->RemoveAt(from);
  actions_->AddAt(MakeActionItem(family_, a), to);
  actions_->SelectItem(to, false, false);  // the moved action stays selected
  EnterEditing();
}

void CMacroEditorPage::Delete(bool all) {
  if (Recording()) return;  // the list belongs to the recording
  if (actions_ == nullptr) return;
  if (all) {
    if (actions_->GetCount() == 0) return;
    // The bar is shown first: an emptied list must still be saved or cancelled.
    ShowBar();
    EnterEditing();
    actions_->RemoveAll();
    actions_->SelectItem(-1, false, false);
  } else {
    const int at = actions_->GetCurSel();
    if (at < 0) return;
    ShowBar();
    EnterEditing();
    actions_->RemoveAt(at);
    actions_->SelectItem(std::min(at, actions_->GetCount() - 1), false, false);
  }
  ui_.edit_panel.SelectPage(kPanelNone);
}

void CMacroEditorPage::Save() {
  if (Recording()) return;  // the list belongs to the recording
  const int index = SelectedMacro();
  if (index < 0) return;
  const macro::MacroResult r = macro::SaveMacro(store_, index, Lines());
  if (r != macro::MacroResult::Ok) {
    // The edit stays in the list so it can be saved again.
    ctx_.dialogs.ShowMessage(macro::MacroResultName(r));
    return;
  }
  LeaveEditing();
  ui_.name_panel.Show(true);
  ui_.mouse_event_panel.Show(false);
  if (ui::COptionUI* box = ui_.mouse_event_box.get()) box->Selected(false, false);  // matches the panel
}

void CMacroEditorPage::Cancel() {
  if (Recording()) return;  // the list belongs to the recording
  LeaveEditing();
  // The index changed behind the page (another program, trx770ctl): the
  // names shown no longer say which file is which, so nothing is reloaded.
  ui::CListUI* names = NameList();
  if (names == nullptr || static_cast<int>(macro::LoadMacroNames(store_).size()) != names->GetCount()) return;
  LoadMacro();
}

void CMacroEditorPage::Create() {
  if (Editing()) {
    ctx_.dialogs.ShowMessage(names::kTextMacroEditing);
    return;
  }
  std::string name;
  const macro::MacroResult r = macro::CreateMacro(store_, name);
  if (r != macro::MacroResult::Ok) {
    ShowLibraryRefusal(r);
    return;
  }
  LoadNames(static_cast<int>(macro::LoadMacroNames(store_).size()) - 1);
  LibraryChanged();
}

void CMacroEditorPage::ShowLibraryRefusal(macro::MacroResult r) {
  if (r == macro::MacroResult::LimitReached)
    ctx_.dialogs.ShowCountMessage(text::kMacroLimit, macro::kMaxMacros);
  else
    ctx_.dialogs.ShowMessage(macro::MacroResultName(r));
}

void CMacroEditorPage::LibraryChanged() {
  if (library_changed_) library_changed_();
}

void CMacroEditorPage::Remove() {
  const int index = SelectedMacro();
  if (index < 0 || removing_) return;
  // The questions come first, with no lock held (a dialog never waits
  // under the image mutex): whether a button runs the macro is read from a
  // copy.
  bool assigned = false;
  std::array<uint8_t, kKeyBlockSize> defaults{};
  image().All([&](ConfigImages& images) {
    const macro::AssignmentBlocks blocks = AssignmentsOf(images);
    assigned = macro::MacroIsAssigned(blocks, index);
    std::copy(blocks.defaults, blocks.defaults + kKeyBlockSize, defaults.begin());
  });
  if (assigned && ctx_.dialogs.ShowMessage(text::kMacroAssigned) != kDialogConfirmed) return;
  if (Editing()) {
    ctx_.dialogs.ShowMessage(names::kTextMacroEditing);
    return;
  }
  if (ctx_.dialogs.ShowMessage(text::kConfirmMacroDelete) != kDialogConfirmed) return;
  // The library, the five onboard blocks on the device (when connected) and
  // the stored key profiles, on the device-operation worker; the image
  // follows only once the library changed.
  const DeviceKind kind = kind_;
  auto report = std::make_shared<macro::MacroDeleteReport>();
  removing_ = true;
  const bool started = ctx_.devices.Submit(
      kind, Operation(
                "macro delete",
                [store = store_, kind, index, defaults, report](OperationContext& op) {
                  CDeviceChannel& channel = op.Channel();
                  *report = macro::DeleteMacroEverywhere(store, kind, index, channel.connected ? &channel : nullptr,
                                                         defaults.data());
                  return report->result == macro::MacroResult::Ok ? OperationResult::Succeeded : OperationResult::Failed;
                },
                [this, index, report](const OperationOutcome& o) {
                  if (o.status != OperationStatus::Ran) {
                    // The device is still being read: nothing was deleted.
                    removing_ = false;
                    DebugLineF("macro delete not run: %s", OperationStatusName(o.status));
                    return;
                  }
                  RemoveDone(index, *report);
                },
                true));
  if (!started) removing_ = false;
}

void CMacroEditorPage::RemoveDone(int index, const macro::MacroDeleteReport& report) {
  removing_ = false;
  if (report.result == macro::MacroResult::Ok) {
    image().All([&](ConfigImages& images) {
      macro::AssignmentBlocks blocks = AssignmentsOf(images);
      macro::RenumberAfterDelete(blocks, index);
    });
  }
  if (report.result != macro::MacroResult::Ok || !report.left_to_do.empty()) {
    DebugLine("macro delete: " + macro::DescribeMacroDelete(report));
    ctx_.dialogs.ShowText(macro::DescribeMacroDelete(report));
  }
  if (report.result != macro::MacroResult::Ok) return;
  LoadNames(index - 1);
  // Nothing is selected afterwards: no macro, no action.
  if (ui::CListUI* names = NameList()) names->SelectItem(-1, false, false);
  FillActions({});
  if (actions_ != nullptr) actions_->SelectItem(-1, false, false);
  ui_.name_edit.SetText("");
  LibraryChanged();  // the key page's macro list and button labels
}

void CMacroEditorPage::Rename() {
  const int index = SelectedMacro();
  ui::CControlUI* edit = ui_.name_edit.get();
  ui::CListUI* names = NameList();
  if (index < 0 || edit == nullptr || names == nullptr) return;
  const macro::MacroResult r = macro::RenameMacro(store_, index, edit->GetText(), Lines());
  if (r == macro::MacroResult::NameUnchanged) return;
  if (r != macro::MacroResult::Ok) {
    if (r == macro::MacroResult::BadName)  // why the name can't be a file name
      ctx_.dialogs.ShowText("'" + edit->GetText() + "': " + macro::MacroNameProblem(edit->GetText()));
    else
      ctx_.dialogs.ShowMessage(r == macro::MacroResult::DuplicateName || r == macro::MacroResult::FileExists
                                   ? text::kMacroNameTaken
                                   : macro::MacroResultName(r));
    edit->SetText(names->GetItemAt(index)->GetUserData());  // the name stays what the file says
    return;
  }
  ui::CControlUI* item = names->GetItemAt(index);
  item->SetText(edit->GetText());
  item->SetUserData(edit->GetText());
  LibraryChanged();
}

// Import: a new macro ("name_N", with the limit and the editing refusal of
// Create) whose file is a byte copy of the chosen one; it is then loaded.
void CMacroEditorPage::Import() {
  if (Recording()) return;
  if (Editing()) {
    ctx_.dialogs.ShowMessage(names::kTextMacroEditing);
    return;
  }
  // With macros listed, one must be selected (as for export).
  if (ui::CListUI* names = NameList(); names != nullptr && names->GetCount() > 0 && names->GetCurSel() < 0) return;
  std::string source;
  if (!ui::ShowOpenFileDialog(controls().PaintManager().GetPaintWindow(), kMacroFileFilter, kMacroFileExtension, kMacroFileInitialName, &source)) return;
  std::string name, problem;
  const macro::MacroResult r = macro::ImportMacro(store_, source, name, &problem);
  if (r != macro::MacroResult::Ok) {
    if (!problem.empty()) {
      DebugLine("macro import: " + problem);
      ctx_.dialogs.ShowText(problem);  // the file and what is wrong with it
    } else {
      ShowLibraryRefusal(r);
    }
    return;
  }
  LoadNames(static_cast<int>(macro::LoadMacroNames(store_).size()) - 1);
  LibraryChanged();
}

// Export: the selected macro's file, copied byte for byte (what was last
// saved; an unsaved edit is not part of it).
void CMacroEditorPage::Export() {
  const int index = SelectedMacro();
  ui::CListUI* names = NameList();
  if (index < 0 || names == nullptr) return;
  std::string destination;
  const std::string name = names->GetItemAt(index)->GetUserData();
  const ui::HWND owner = controls().PaintManager().GetPaintWindow();
  if (!ui::ShowSaveFileDialog(owner, kMacroFileFilter, kMacroFileExtension,
                              name.empty() ? std::string(kMacroFileInitialName) : name + "." + kMacroFileExtension,
                              &destination))
    return;
  const macro::MacroResult r = macro::ExportMacro(store_, names->GetItemAt(index)->GetUserData(), destination);
  if (r != macro::MacroResult::Ok) ctx_.dialogs.ShowMessage(macro::MacroResultName(r));
  else ctx_.dialogs.ShowNamedMessage(names::kTextExported, destination);
}

// The selection moved by keyboard: an action open in the edit panel is
// replaced by the newly selected one, so the panel never edits an action
// other than the one it shows.
void CMacroEditorPage::FollowSelection() {
  if (Recording()) return;
  const int index = actions_->GetCurSel();
  const int panel = ui_.edit_panel.CurrentPage();
  if (index < 0 || panel < 0 || panel == kPanelNone) return;
  OpenAction(index);
}

void CMacroEditorPage::ShowInsertPanel(const std::string& button) {
  const char* panel = nullptr;
  for (const names::RoutineInsert& insert : names::kRoutineInserts)
    if (SameName(button, family_ + kInsertInfix + insert.button)) panel = insert.panel;
  // A second click on a key's own button closes its open panel.
  const bool own_button = panel != nullptr && SameName(button, family_ + kInsertInfix + ButtonOfPanel(panel));
  for (size_t i = 0; own_button && i < names::kRoutinePanels.size(); ++i)
    if (SameName(names::kRoutinePanels[i], panel)) {
      if (ui_.insert_panels[i].IsVisible()) panel = nullptr;
      break;
    }
  for (size_t i = 0; i < names::kRoutinePanels.size(); ++i)
    ui_.insert_panels[i].Show(panel != nullptr && SameName(names::kRoutinePanels[i], panel));
}


// The first macro can't be selected while the page is hidden at start-up:
// when the user acts on the page with none selected, the first one loads,
// so recorded or inserted actions always belong to a macro that Save writes.
bool CMacroEditorPage::EnsureMacroSelected() {
  ui::CListUI* names = NameList();
  if (names == nullptr || names->GetCount() == 0) return false;
  if (names->GetCurSel() < 0 && !Editing()) names->SelectItem(0, false, true);
  return names->GetCurSel() >= 0;
}

void CMacroEditorPage::ToggleRecording() {
  if (!Recording() && !EnsureMacroSelected()) return;
  ShowBar();
  EnterEditing();
  ui_.edit_panel.SelectPage(kPanelNone);
  if (Recording()) {
    // The press on this very button was captured before its click arrived:
    // left in, the macro would end holding the left button down.
    if (actions_ != nullptr && actions_->GetCount() > recording_from_) {
      macro::MacroAction last;
      const macro::MacroMouseRow& left_press = macro::MacroMouseTable[0];
      if (ItemAction(actions_->GetItemAt(actions_->GetCount() - 1), last) && last.type == left_press.type &&
          last.code == left_press.code) {
        actions_->RemoveAt(actions_->GetCount() - 1);
        // Its arrival gave the action before it the wait until this click;
        // that action gets back the delay it had, so the macro doesn't end
        // waiting for the user's reach to the button.
        macro::MacroAction previous;
        ui::CControlUI* item = actions_->GetCount() > 0 ? actions_->GetItemAt(actions_->GetCount() - 1) : nullptr;
        if (replaced_delay_ && item != nullptr && ItemAction(item, previous)) {
          previous.delay = *replaced_delay_;
          ShowAction(item, previous);
        }
      }
    }
    ctx_.window.RemoveInputHooks();  // OnHooksRemoved restores the controls
    return;
  }
  StartRecording();
}

void CMacroEditorPage::StartRecording() {
  IInputHooks* hooks = ctx_.window.InputHooks();
  if (hooks == nullptr) return;
  const bool keyboard = OptionSelected(ui_.capture[kCaptureKeyboard]);
  record_clicks_ = OptionSelected(ui_.capture[kCaptureClick]);
  const bool mouse =
      record_clicks_ || OptionSelected(ui_.capture[kCaptureRoller]) || OptionSelected(ui_.capture[kCaptureMove]);
  hooks->SetHookListener(this);
  if (hooks->InstallInputHooks(hook_mode_, keyboard, mouse) != HookInstallResult::Installed) {
    hooks->SetHookListener(nullptr);
    return;  // nothing can be captured: the page stays as it was
  }
  recorder_.Start(OptionSelected(ui_.capture[kCaptureTime]));
  recording_from_ = actions_ != nullptr ? actions_->GetCount() : 0;
  replaced_delay_.reset();
  ShowRecordingState(true);
}

void CMacroEditorPage::OnHooksRemoved() {
  if (!Recording()) return;
  recorder_.Stop();
  if (IInputHooks* hooks = ctx_.window.InputHooks()) hooks->SetHookListener(nullptr);
  ShowRecordingState(false);
}

// Recording: the lists refuse input and only the record button (and the
// top button, shown unusable) stay; stopping gives everything back.
void CMacroEditorPage::ShowRecordingState(bool recording) {
  for (const Handle<ui::COptionUI>& o : ui_.capture) o.Enable(!recording);
  for (const Handle<>& b : ui_.list_buttons) b.Enable(!recording);
  ui_.top.Enable(!recording);
  if (ui::CControlUI* top = ui_.top.get()) top->SetBkImage(recording ? kImageTopDisabled : kImageTop);
  if (actions_ != nullptr) {
    actions_->SetMouseEnabled(!recording);
    actions_->SetKeyboardEnabled(!recording);
  }
  if (recording) {
    if (ui::CListUI* names = NameList()) {
      names->SetMouseEnabled(false);
      names->SetKeyboardEnabled(false);
    }
  }
  ui_.record.SetText(recording ? kTextRecordStop : kTextRecordStart);
}

void CMacroEditorPage::OnHookKeyboard(uint32_t message, uint32_t wparam, const KeyEventRecord& record) {
  if (!Recording() || actions_ == nullptr || message != HookKeyboardMessage(hook_mode_)) return;
  if (auto step = recorder_.OnKey(wparam, record, static_cast<size_t>(actions_->GetCount()))) Append(*step);
}

void CMacroEditorPage::OnHookMouse(uint32_t message, uint32_t wparam) {
  if (!Recording() || actions_ == nullptr || message != HookMouseMessage(hook_mode_)) return;
  if (auto step = recorder_.OnMouse(wparam, record_clicks_, static_cast<size_t>(actions_->GetCount())))
    Append(*step);
}

void CMacroEditorPage::Append(const macro::RecordStep& step) {
  replaced_delay_.reset();
  if (step.sets_previous_delay && actions_->GetCount() > 0) {
    ui::CControlUI* last = actions_->GetItemAt(actions_->GetCount() - 1);
    macro::MacroAction previous;
    if (ItemAction(last, previous)) {
      replaced_delay_ = previous.delay;
      previous.delay = step.previous_delay;
      ShowAction(last, previous);
      // While recording, the label shows the time that really passed (the
      // stored delay keeps its 10 ms units).
      if (auto* labels = dynamic_cast<ui::CContainerUI*>(last); labels != nullptr && labels->GetCount() > 2)
        labels->GetItemAt(2)->SetText(std::to_string(step.previous_delay_ms));
    }
  }
  actions_->Add(MakeActionItem(family_, step.action));
  actions_->EnsureVisible(actions_->GetCount() - 1);
}

}  // namespace trx::pages

#include "platform/text_ids.h"
#include "pages/mouse_key_page.h"

#include <bit>
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>

#include "keys/key_upload.h"
#include "macro/macro_library.h"
#include "pages/control_names.h"
#include "pages/cursor_page.h"
#include "pages/result_texts.h"
#include "pages/router.h"
#include "platform/debug_log.h"
#include "settings/settings_host.h"
#include "ui/core/combo.h"
#include "ui/core/edit.h"
#include "ui/core/list.h"
#include "ui/core/option.h"
#include "ui/core/resource_manager.h"

namespace trx::pages {

namespace {

constexpr const char* kCategoryCombo = "key_fct_combo";
constexpr const char* kPanelPrefix = "tab_function_";
constexpr const char* kButtonCombo = "key_fct_combo_11";
constexpr const char* kHDirectionCombo = "key_fct_combo_12";
constexpr const char* kVDirectionCombo = "key_fct_combo_13";
constexpr const char* kDpiCombo = "key_fct_combo_14";
constexpr const char* kMediaCombo = "key_fct_combo_21";
constexpr const char* kSystemCombo = "key_fct_combo_22";
constexpr const char* kMacroCombo = "key_fct_combo_23";
constexpr const char* kRepeatCombo = "key_fct_combo_24";
constexpr const char* kRoutineCombo = "key_fct_combo_25";
constexpr const char* kModifierCombo = "key_fct_combo_31";
constexpr const char* kKeyNameEdit = "key_fct_edit_21";
constexpr const char* kEditPrefix = "key_fct_edit_";
constexpr const char* kKeySave = "key_butt_keysave";
constexpr const char* kProfileSave = "key_butt_prosave";
constexpr const char* kKeyDefault = "key_butt_keydefalut";
// The edits whose values build a function, by number.
constexpr int kValueEdits[] = {11, 12, 15, 16, 17, 18, 19, 20, 25};
// The lists whose choice builds a function.
constexpr const char* kValueCombos[] = {kButtonCombo, kHDirectionCombo, kVDirectionCombo, kDpiCombo,    kMediaCombo,
                                        kSystemCombo, kMacroCombo,      kRepeatCombo,     kRoutineCombo, kModifierCombo};
// Their places in kValueCombos.
enum ValueCombo { kButton, kHDirection, kVDirection, kDpi, kMedia, kSystem, kMacro, kRepeat, kRoutine, kModifier };
// The left button function, which at least one button must keep.
constexpr KeyAssignment kLeftClick{keys::kTypeMouseButton, 0x01, 0x00};
constexpr int kGuardedEntries = 9;
// Button pictures (entries 0-6), "_normal" or "_down" appended.
constexpr const char* kPictureStems[kMouseButtonCount] = {"ms/key_left", "ms/key_wheel", "ms/key_right",
                                                          "ms/key_forward", "ms/key_back", "ms/key_dpi",
                                                          "ms/key_dpi1"};
constexpr const char* kDpiColourPrefix = "ms_DPIcolor_btn_";
constexpr ui::UiColor kHoverBorderColour = 0xFFFFFFFF;
constexpr int kHoverBorderSize = 2;
// What the upload's operation returns to the UI thread.

constexpr const char* kKeyPrefix = "key_";
constexpr const char* kFunctionPanel = "tab_function";
constexpr int kKeyboardKeys = 126;  // "kb_key_0" ... "kb_key_125"
constexpr uint32_t kKeyReleasedFlag = 0x80;  // the hook's flag of a key release
constexpr const char* kSettingDoneText = "setting_done_text";

// "Ctrl+C": the modifiers and the key's text in the current language.
std::string KeyText(const std::string& modifiers, const std::string& key) {
  return modifiers + ui::CResourceManager::GetInstance()->GetText(key);
}

}  // namespace

CKeyAssignmentPage::CKeyAssignmentPage(PageContext& context, DeviceKind kind)
    : CPage(context), kind_(kind), prefix_(kind == DeviceKind::Mouse ? "ms_" : "kb_") {}

ControlBindings CKeyAssignmentPage::Bindings() {
  static_assert(std::size(kValueCombos) == kValueComboCount && std::size(kValueEdits) == kValueEditCount &&
                kKeyboardKeys <= kMaxButtons);
  ControlBindings b = {{N(kFunctionPanel), &ui_.function_panel},
                       {N(kKeyNameEdit), &ui_.key_name},
                       {N(kProfileSave), &ui_.profile_save},
                       {N(kCategoryCombo), &ui_.category}};
  for (int i = 0; i < kValueComboCount; ++i) b.push_back({N(kValueCombos[i]), &ui_.value_combos[i]});
  for (int i = 0; i < kValueEditCount; ++i) b.push_back({EditName(kValueEdits[i]), &ui_.value_edits[i]});
  for (int n = 0; n < static_cast<int>(keys::kCategoryCount); ++n)
    b.push_back({N(kPanelPrefix) + std::to_string(n), &ui_.panels[n]});
  for (int i = 0; i < EntryCount(); ++i) b.push_back({ButtonName(i), &ui_.buttons[i]});
  if (kind_ == DeviceKind::Mouse) {
    for (int i = 0; i < static_cast<int>(kMouseButtonCount); ++i) b.push_back({ButtonName(i) + "_0", &ui_.pictures[i]});
    for (int i = 0; i < kDpiColourButtons; ++i)
      b.push_back({kDpiColourPrefix + std::to_string(i + 1), &ui_.dpi_colours[i]});
  }
  return b;
}

const Handle<>& CKeyAssignmentPage::Edit(int n) const {
  static const Handle<> unbound;
  for (int i = 0; i < kValueEditCount; ++i)
    if (kValueEdits[i] == n) return ui_.value_edits[i];
  return unbound;
}

std::string CKeyAssignmentPage::EditName(int n) const { return N(kEditPrefix) + std::to_string(n); }
std::string CKeyAssignmentPage::ButtonName(int i) const { return N(kKeyPrefix) + std::to_string(i); }
int CKeyAssignmentPage::EntryCount() const {
  return kind_ == DeviceKind::Mouse ? static_cast<int>(kMouseButtonCount) : kKeyboardKeys;
}

KeyAssignment CKeyAssignmentPage::Entry(int i) const {
  if (kind_ == DeviceKind::Mouse) return image().Mouse([i](MouseConfigImage& m) { return m.Assignment(m.ProfileIndex(), i); });
  return image().Keyboard([i](KeyboardImage& kb) {
    const uint8_t* e = kb.key_block + i * kKeyAssignmentSize;
    return KeyAssignment{e[0], e[1], e[2]};
  });
}

KeyAssignment CKeyAssignmentPage::Factory(int i) const {
  if (kind_ == DeviceKind::Mouse) return image().Mouse([i](MouseConfigImage& m) { return m.DefaultAssignment(i); });
  return image().Keyboard([i](KeyboardImage& kb) {
    const uint8_t* e = kb.main_block + i * kKeyAssignmentSize;
    return KeyAssignment{e[0], e[1], e[2]};
  });
}

void CKeyAssignmentPage::Store(int i, KeyAssignment a) {
  if (kind_ == DeviceKind::Mouse) {
    image().Mouse([i, a](MouseConfigImage& m) { m.SetAssignment(m.ProfileIndex(), i, a.type, a.param1, a.param2); });
    return;
  }
  image().Keyboard([i, a](KeyboardImage& kb) {
    uint8_t* e = kb.key_block + i * kKeyAssignmentSize;
    e[0] = a.type, e[1] = a.param1, e[2] = a.param2;
  });
}

void CKeyAssignmentPage::Bind(CRouter& router) {
  // A button selected: its assignment (before the guard: removing the hooks
  // would end the key capture this may install).
  if (kind_ == DeviceKind::Keyboard) {
    router.Add(Table::Click, {N(kKeyPrefix), Match::Prefix, [this](ui::TNotifyUI&, const NameSplit& split) {
                                ShowAssignment(split.index);
                              }});
  } else {
    router.Add(Table::SelectBeforeGuard,
               {N(kKeyPrefix), Match::Prefix, [this](ui::TNotifyUI& msg, const NameSplit& split) {
                  auto* option = dynamic_cast<ui::COptionUI*>(msg.pSender);
                  if (option == nullptr || option->IsSelected()) ShowAssignment(split.index);
                }, Then::End});
  }
  if (kind_ == DeviceKind::Mouse)
    for (const char* prefix : {names::kMsKeyPrefix, kDpiColourPrefix})
      router.Add(Table::Hover, {prefix, Match::Prefix, [this](ui::TNotifyUI& msg, const NameSplit&) {
                                if (msg.pSender != nullptr) Hover(msg.pSender->GetName(), msg.sType == ui::kNotifyMouseEnter);
                              }});
  router.Add(Table::ItemSelect, {N(kCategoryCombo), Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) {
                                   SelectCategory();
                                 }});
  for (const char* combo : kValueCombos)
    router.Add(Table::ItemSelect, {N(combo), Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { CommitAssignment(); }});
  for (int edit : kValueEdits)
    router.Add(Table::TextChanged,
               {EditName(edit), Match::Exact, [this, edit](ui::TNotifyUI&, const NameSplit&) { EditChanged(edit); }});
  // Only the mouse page has the explicit "apply" button.
  if (kind_ == DeviceKind::Mouse)
    router.Add(Table::Click, {N(kKeySave), Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { CommitAssignment(); }});
  router.Add(Table::Click,
             {N(kKeyDefault), Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { RestoreDefaultAssignment(); }});
  router.Add(Table::Click,
             {N(kProfileSave), Match::Exact, [this](ui::TNotifyUI&, const NameSplit&) { UploadKeyAssignments(); }});
}

void CKeyAssignmentPage::Refresh(DeviceKind kind) {
  if (kind != kind_) return;
  FillMacroList();
  RefreshButtonLabels();
}

void CKeyAssignmentPage::HideFunctionPanel() { ui_.function_panel.Show(false); }

int CKeyAssignmentPage::ComboItem(const Handle<ui::CComboUI>& combo) { return combo ? combo.get()->GetCurSel() : -1; }

void CKeyAssignmentPage::SelectSilently(const Handle<ui::CComboUI>& combo, int item) {
  if (combo) combo.get()->SelectItem1(item);
}

std::vector<std::string> CKeyAssignmentPage::MacroNames() const {
  return macro::LoadMacroNames(macro::MacroStoreFor(kind_));
}

void CKeyAssignmentPage::FillMacroList() {
  ui::CComboUI* combo = Combo(kMacro).get();
  if (combo == nullptr) return;
  const int selected = combo->GetCurSel();
  combo->RemoveAll();
  for (const std::string& name : MacroNames()) {
    auto* item = new ui::CListLabelElementUI();
    item->SetText(name);
    combo->Add(item);
  }
  if (selected < combo->GetCount()) combo->SelectItem1(selected);
}

keys::CategoryValues CKeyAssignmentPage::ReadValues() const {
  auto number = [this](int edit) {
    ui::CControlUI* c = Edit(edit).get();
    return c != nullptr ? std::atoi(c->GetText().c_str()) : 0;
  };
  keys::CategoryValues v;
  v.button_item = ComboItem(Combo(kButton));
  v.h_direction_item = ComboItem(Combo(kHDirection));
  v.h_count = number(15), v.h_high = number(17), v.h_low = number(20);
  v.v_direction_item = ComboItem(Combo(kVDirection));
  v.v_count = number(16), v.v_high = number(18), v.v_low = number(19);
  v.dpi_item = ComboItem(Combo(kDpi));
  v.fire_a = number(11), v.fire_b = number(12);
  ui::CControlUI* key_name = ui_.key_name.get();
  v.key_captured = key_captured_ && key_name != nullptr && !key_name->GetText().empty();
  v.captured = captured_;
  v.modifier_item = ComboItem(Combo(kModifier));
  v.media_item = ComboItem(Combo(kMedia));
  v.system_item = ComboItem(Combo(kSystem));
  v.macro_item = ComboItem(Combo(kMacro));
  v.repeat_item = ComboItem(Combo(kRepeat));
  v.repeat_count = number(25);
  v.routine_item = ComboItem(Combo(kRoutine));
  return v;
}

void CKeyAssignmentPage::PutValues(const keys::ShownFunction& shown) {
  const keys::CategoryValues& v = shown.values;
  auto set_number = [this](int edit, int value) { Edit(edit).SetText(std::to_string(value)); };
  switch (shown.category.value_or(-1)) {
    case keys::kCategoryMouseButton: SelectSilently(Combo(kButton), v.button_item); break;
    case keys::kCategoryHorizontalSwing:
      SelectSilently(Combo(kHDirection), v.h_direction_item);
      set_number(15, v.h_count), set_number(17, v.h_high), set_number(20, v.h_low);
      break;
    case keys::kCategoryVerticalSwing:
      SelectSilently(Combo(kVDirection), v.v_direction_item);
      set_number(16, v.v_count), set_number(18, v.v_high), set_number(19, v.v_low);
      break;
    case keys::kCategoryDpi: SelectSilently(Combo(kDpi), v.dpi_item); break;
    case keys::kCategoryFireKey: set_number(11, v.fire_a), set_number(12, v.fire_b); break;
    case keys::kCategoryKey:
      ShowKeyName(v.captured, shown.key_name);
      SelectSilently(Combo(kModifier), v.modifier_item);
      captured_ = v.captured;
      key_captured_ = v.key_captured;
      break;
    case keys::kCategoryMedia: SelectSilently(Combo(kMedia), v.media_item); break;
    case keys::kCategorySystem: SelectSilently(Combo(kSystem), v.system_item); break;
    case keys::kCategoryMacro:
      SelectSilently(Combo(kMacro), v.macro_item);
      SelectSilently(Combo(kRepeat), v.repeat_item);
      if (v.repeat_item == keys::kRepeatCountItem) set_number(25, v.repeat_count);
      break;
    case keys::kCategoryRoutine: SelectSilently(Combo(kRoutine), v.routine_item); break;
    default: break;
  }
}

void CKeyAssignmentPage::ShowAssignment(int button) {
  if (button < 0 || button >= EntryCount()) return;
  const KeyAssignment entry = Entry(button);
  const KeyAssignment factory = Factory(button);
  bool other_left = kind_ != DeviceKind::Mouse;  // the guard is the mouse's
  for (int i = 0; i < kGuardedEntries && !other_left; ++i)
    if (i != button && Entry(i) == kLeftClick) other_left = true;
  pending_ = entry;
  selected_ = button;
  if (entry == kLeftClick && !other_left) {
    ctx_.dialogs.ShowMessage(text::kOnlyLeftClick);
    ui_.function_panel.Enable(false);
    return;
  }
  ui_.function_panel.Enable(true);
  ui_.function_panel.ShowIfHidden();
  FillMacroList();
  ui::CComboUI* macros = Combo(kMacro).get();
  keys::ShownFunction shown = keys::ShowValues(entry, macros != nullptr ? static_cast<size_t>(macros->GetCount()) : 0);
  if (entry == factory) shown.category = keys::kCategoryDefault;
  if (!shown.category) return;  // a function only the device makes: the page stays as it is
  PutValues(shown);
  category_item_ = *shown.category;
  SelectSilently(ui_.category, category_item_);
  for (int n = 0; n < static_cast<int>(keys::kCategoryCount); ++n) ui_.panels[n].Show(n == category_item_);
  if (entry.type == keys::kTypeKey) InstallKeyCapture();
}

void CKeyAssignmentPage::InstallKeyCapture() {
  ctx_.window.RemoveInputHooks();
  const uint32_t mode = kind_ == DeviceKind::Mouse ? kHookModeMouseSingleKey : kHookModeKeyboardSingleKey;
  if (ctx_.window.InstallKeyCapture(mode, this) != HookInstallResult::Installed)
    DebugLine("button page: the key capture could not be installed");
}

void CKeyAssignmentPage::SelectCategory() {
  ctx_.window.RemoveInputHooks();
  ui::CComboUI* combo = ui_.category.get();
  const int count = std::min(combo != nullptr ? combo->GetCount() : 0, static_cast<int>(keys::kCategoryCount));
  category_item_ = combo != nullptr ? combo->GetCurSel() : -1;
  for (int n = 0; n < count; ++n) ui_.panels[n].Show(n == category_item_);
  if (category_item_ == keys::kCategoryKey) InstallKeyCapture();
  CommitAssignment();
}

void CKeyAssignmentPage::CommitAssignment() {
  const int item = ComboItem(ui_.category);
  const keys::CategoryValues values = ReadValues();
  const std::optional<KeyAssignment> built = keys::BuildAssignment(item, values, Factory(selected_));
  if (!built) {
    // A macro category without a macro: open the macro list to choose one.
    if (item == keys::kCategoryMacro && values.macro_item < 0)
      if (ui::CComboUI* combo = Combo(kMacro).get()) combo->Activate();
    return;
  }
  pending_ = *built;
  if (Entry(selected_) != *built) unsaved_ = true;
  Store(selected_, *built);
  RefreshButtonLabels();
}

void CKeyAssignmentPage::EditChanged(int edit_number) {
  ui::CControlUI* edit = Edit(edit_number).get();
  if (edit == nullptr) return;
  const std::optional<int> corrected = keys::ClampEditValue(edit_number, std::atoi(edit->GetText().c_str()));
  if (corrected) edit->SetText(std::to_string(*corrected));
  CommitAssignment();
}

void CKeyAssignmentPage::ShowKeyName(KeyAssignment a, const char* name) {
  ui::CControlUI* edit = ui_.key_name.get();
  if (edit == nullptr) return;
  const keys::Label label = keys::LabelOf(a, {});
  if (name != nullptr && !label.modifiers.empty()) {
    edit->SetResourceText(false);
    edit->SetText(KeyText(label.modifiers, name));
    return;
  }
  edit->SetResourceText(true);
  edit->SetText(name != nullptr ? name : "");
}

void CKeyAssignmentPage::OnHookKeyboard(uint32_t, uint32_t, const KeyEventRecord& record) {
  const std::optional<size_t> row = keys::CaptureRow(record.vk_code, record.flags);
  if (!row) return;
  // Modifiers held down go with the key pressed after them (Ctrl+C); a
  // release changes nothing but the modifiers held.
  const uint8_t modifier_key = keys::ModifierKeyBit(*row);
  if (record.flags & kKeyReleasedFlag) {
    held_modifiers_ = static_cast<uint8_t>(held_modifiers_ & ~modifier_key);
    return;
  }
  held_modifiers_ = static_cast<uint8_t>(held_modifiers_ | modifier_key);
  const int modifier = ComboItem(Combo(kModifier));
  KeyAssignment a = keys::CapturedAssignment(*row, modifier >= 1 ? modifier : -1);
  if (modifier_key == 0 && held_modifiers_ != 0) {
    a.param1 = held_modifiers_;
    // The list shows the one modifier held, none of its items for several.
    SelectSilently(Combo(kModifier), std::has_single_bit(held_modifiers_) ? std::countr_zero(held_modifiers_) + 1 : -1);
  }
  captured_ = a;
  key_captured_ = true;
  ShowKeyName(a, keys::KeyTable()[*row].name);
  CommitAssignment();
}

void CKeyAssignmentPage::RestoreDefaultAssignment() {
  pending_ = Factory(selected_);
  if (Entry(selected_) != pending_) unsaved_ = true;
  Store(selected_, pending_);
  RefreshButtonLabels();
  ShowAssignment(selected_);
}

void CKeyAssignmentPage::RefreshButtonLabels() {
  std::vector<KeyAssignment> entries;
  for (int i = 0; i < EntryCount(); ++i) entries.push_back(Entry(i));
  std::vector<std::string> macro_names;
  bool macro_names_loaded = false;
  for (int i = 0; i < EntryCount(); ++i) {
    const uint8_t type = entries[i].type;
    if ((type == keys::kTypeMacroMode || type == keys::kTypeMacroCount) && !macro_names_loaded) {
      macro_names = MacroNames();
      macro_names_loaded = true;
    }
    const keys::Label label = keys::LabelOf(entries[i], macro_names);
    ui::CControlUI* button = ui_.buttons[i].get();
    if (button == nullptr || label.kind == keys::Label::Keep) continue;
    bool language = label.kind == keys::Label::LanguageKey;
    std::string text = label.text;
    if (!label.modifiers.empty()) {
      text = KeyText(label.modifiers, label.text);
      language = false;
    }
    button->SetAttribute("tooltip", language ? "%[" + text + "]" : text);
    if (kind_ != DeviceKind::Mouse) continue;  // a keycap keeps its legend
    button->SetResourceText(language);
    button->SetText(text);
  }
}

void CKeyAssignmentPage::UploadKeyAssignments() {
  if (uploading_) return;
  // How many actions must go when the macros don't fit, and the routines'
  // report: written by the worker before its result is posted, read when
  // done runs.
  auto surplus = std::make_shared<uint64_t>(0);
  auto routines = std::make_shared<routine::RoutineUploadReport>();
  auto operation = [kind = kind_, store = macro::MacroStoreFor(kind_), surplus, routines](OperationContext& op) {
    const macro::MacroUploadReport report = keys::UploadKeyAssignments(kind, op.Channel(), store, op, routines.get());
    if (report.result == macro::MacroResult::Ok) return UploadResult::Ok;
    DebugLine("button save: " + macro::DescribeUpload(report));
    *surplus = report.image.surplus;
    if (report.image.result == macro::MacroResult::TooLarge) return UploadResult::TooLarge;
    if (report.result == macro::MacroResult::FileError) return UploadResult::FileError;
    return UploadResult::DeviceError;
  };
  uploading_ = true;
  ui_.profile_save.Enable(false);  // busy until the device answered
  auto done = [this, surplus, routines](const OperationOutcome& o) {
    const UploadResult result = UploadResultOf(o);
    UploadDone(result, *surplus);
    // The mouse's save sends the routines first: once they went out, the
    // files and the mouse agree (a report never filled: none were sent).
    if (o.status == OperationStatus::Ran && routines->result == routine::RoutineResult::Ok &&
        routines->image.total_size > 0)
      ctx_.devices.RoutineEdits().MarkSaved();
    // The buttons went out; routines too large for the mouse did not.
    if (result == UploadResult::Ok && routines->result == routine::RoutineResult::TooLarge)
      ctx_.dialogs.ShowText(RoutineTooLargeMessage(routines->image));
  };
  if (!ctx_.devices.Submit(kind_, Operation("button save", operation, done, true))) {
    uploading_ = false;
    ui_.profile_save.Enable(true);
  }
}

void CKeyAssignmentPage::UploadDone(UploadResult result, uint64_t surplus) {
  uploading_ = false;
  ui_.profile_save.Enable(true);
  switch (result) {
    case UploadResult::Ok: {
      unsaved_ = false;
      // Only a complete upload is recorded as the device's state: the
      // mouse's device profile and, so that the button profile the user
      // picked keeps its buttons (exported, selected again), its key
      // profile too; the keyboard's key profile.
      IProfileSaver* saver = ProfileSaver();
      if (saver == nullptr) break;
      ProfileSaveResult saved = ProfileSaveResult::Saved;
      if (kind_ == DeviceKind::Mouse) saved = saver->SaveCurrentProfile(kind_, ProfileFamily::Device);
      if (saved == ProfileSaveResult::Saved) saved = saver->SaveCurrentProfile(kind_, ProfileFamily::Key);
      if (saved == ProfileSaveResult::Saved) ctx_.dialogs.ShowMessage(kSettingDoneText);  // on the device and in the file
      else ShowTextOf(ctx_.dialogs, saved);
      break;
    }
    case UploadResult::TooLarge: ctx_.dialogs.ShowCountMessage(TextIdOf(result), surplus); break;
    default: ShowTextOf(ctx_.dialogs, result); break;
  }
}

void CKeyAssignmentPage::Hover(std::string_view name, bool entered) {
  NameSplit split;
  if (!SplitName(name, split)) return;
  if (kind_ != DeviceKind::Mouse) return;
  if (SameName(split.prefix, N(kKeyPrefix)) && split.index >= 0 &&
      split.index < static_cast<int>(kMouseButtonCount)) {
    const std::string image = std::string("file='") + kPictureStems[split.index] + (entered ? "_down" : "_normal") + ".png'";
    if (ui::CControlUI* picture = ui_.pictures[split.index].get()) picture->SetBkImage(image);
  } else if (SameName(split.prefix, kDpiColourPrefix) && split.index >= 1 && split.index <= kDpiColourButtons) {
    if (ui::CControlUI* button = ui_.dpi_colours[split.index - 1].get()) {
      if (entered) button->SetBorderColor(kHoverBorderColour);
      button->SetBorderSize(entered ? kHoverBorderSize : 0);
    }
  }
}

}  // namespace trx::pages

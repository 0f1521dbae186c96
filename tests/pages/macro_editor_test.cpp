// The macro editor page over the real layout.

#include <gtest/gtest.h>

#include <mutex>

#include "macro/macro_image.h"
#include "macro/macro_library.h"
#include "platform/ini_file.h"
#include "profile/profile_families.h"
#include "profile/profile_file.h"
#include "profile/profile_keys.h"
#include "tests/pages/page_fixture.h"
#include "tests/platform/temp_home.h"

namespace trx::pages::testing {
namespace {

using Lines = std::vector<std::string>;

const Lines kRecorded = {"12,0,138,4,1,keyboard_key_A", "0,1,129,2,1,mouse_key_right",
                         "3,0,132,30,0,mouse_move_to_left_text", "0,0,10,4,0,keyboard_key_A"};

class MacroEditorTest : public PageTest {
 protected:
  // A library of `macros` macros of `kind`; the first holds `first` (and is
  // selected unless `select` is false).
  void Library(int macros, const Lines& first, bool select = true, DeviceKind kind = DeviceKind::Mouse) {
    p = kind == DeviceKind::Mouse ? "ms_" : "kb_";
    store = macro::MacroStoreFor(kind);
    for (int i = 0; i < macros; ++i) NewMacro();
    if (macros > 0) { ASSERT_EQ(macro::SaveMacro(store, 0, first), macro::MacroResult::Ok); }
    Build();
    Show(select);
  }
  // The device's macro tab on screen, as the user opens it; the first macro loads.
  void Show(bool select = true) {
    Select(p + "tab");
    Select(p + "macro_Op_tab");
    if (select) List(p + "MacroName_list")->SelectItem(0);
  }
  void NewMacro() {
    std::string name;
    ASSERT_EQ(macro::CreateMacro(store, name), macro::MacroResult::Ok);
  }
  CListUI* Actions() { return List("ms_Macro_list"); }
  Lines Items() {
    Lines lines;
    for (int i = 0; i < Actions()->GetCount(); ++i) lines.push_back(Actions()->GetItemAt(i)->GetUserData());
    return lines;
  }
  // Label `label` (0 name, 1 state, 2 delay) of action item `item`.
  CControlUI* Label(int item, int label) { return dynamic_cast<CContainerUI*>(Actions()->GetItemAt(item))->GetItemAt(label); }
  void ClickAction(int index, const char* list = "ms_Macro_list") {
    List(list)->SelectItem(index, false, false);
    TNotifyUI msg{.sType = "itemclick", .sVirtualWnd = {}, .pSender = List(list)->GetItemAt(index)};
    pages->Router().Notify(msg);
  }
  int ComboRow(const char* combo) { return Combo(combo)->GetCurSel(); }

  test::TempHome home;
  macro::MacroStore store;
  std::string p;  // the device's control prefix
};

TEST_F(MacroEditorTest, OpeningAndChangingActions) {
  Library(1, kRecorded);
  ClickAction(0);
  EXPECT_TRUE(Visible("ms_macro_tab_saveorcancel"));
  EXPECT_FALSE(Find("ms_MacroName_list")->IsMouseEnabled());
  EXPECT_EQ(Page("ms_tab_macro_edit"), 1);
  EXPECT_EQ(ComboRow("ms_macro_combo_keyselect"), 8);
  EXPECT_EQ(ComboRow("ms_macro_combo_upordown"), 1);
  EXPECT_EQ(Find("ms__macro_edit_ActionDelay")->GetText(), "12");

  Choose("ms_macro_combo_keyselect", 1);  // LShift keeps the press state
  EXPECT_EQ(Items()[0], "12,0,137,2,1,keyboard_key_LShift");
  Choose("ms_macro_combo_upordown", 0);
  EXPECT_EQ(Items()[0], "12,0,9,2,0,keyboard_key_LShift");
  Type("ms__macro_edit_ActionDelay", "70000");
  EXPECT_EQ(Find("ms__macro_edit_ActionDelay")->GetText(), "65535");
  EXPECT_EQ(Items()[0], "255,255,9,2,0,keyboard_key_LShift");
  EXPECT_EQ(Label(0, 2)->GetText(), "655350");

  ClickAction(3);  // release of A: type 0x0A
  Choose("ms_macro_combo_upordown", 1);
  Choose("ms_macro_combo_upordown", 0);
  EXPECT_EQ(Items()[3], "0,0,10,4,0,keyboard_key_A");

  ClickAction(2);  // a move to the left, distance 30
  EXPECT_EQ(Page("ms_tab_macro_edit"), 2);
  EXPECT_EQ(ComboRow("ms_macro_combo_mouselect"), 10);
  EXPECT_TRUE(Visible("ms_macro_tab_mou_pointer_skewing"));
  EXPECT_EQ(Find("ms_macro_edit_mou_pointer_skewing")->GetText(), "30");
  Type("ms_macro_edit_mou_pointer_skewing", "300");
  EXPECT_EQ(Find("ms_macro_edit_mou_pointer_skewing")->GetText(), "255");
  Choose("ms_macro_combo_mouselect", 13);  // a move keeps its distance
  EXPECT_EQ(Items()[2], "3,0,5,255,0,mouse_move_to_down_text");
  Choose("ms_macro_combo_mouselect", 8);  // back press
  EXPECT_EQ(Items()[2], "3,0,129,8,1,mouse_key_back");
  EXPECT_FALSE(Visible("ms_macro_tab_mou_pointer_skewing"));
  Type("ms__macro_edit_mou_action_delay", "7");
  EXPECT_EQ(Label(2, 2)->GetText(), "70");

  ClickAction(1);
  EXPECT_EQ(ComboRow("ms_macro_combo_mouselect"), 2);
  EXPECT_EQ(Find("ms__macro_edit_mou_action_delay")->GetText(), "256");
}

TEST_F(MacroEditorTest, InsertsBeforeTheSelectionAndIntoAnEmptyList) {
  Library(1, {});
  Select("ms_macro_btn_shubiao");
  Notify("ms_macro_inset_rightkey_btn", "click");
  EXPECT_TRUE(Visible("ms_macro_inset_rightkey_tab"));
  Notify("ms_macro_inset_rightkey_btn", "click");  // a second click closes it
  EXPECT_FALSE(Visible("ms_macro_inset_rightkey_tab"));
  Notify("ms_macro_inset_rightkeydown_btn", "click");
  ASSERT_EQ(Items(), Lines{"5,0,129,2,1,mouse_key_right"});
  EXPECT_EQ(Label(0, 2)->GetText(), "50");
  EXPECT_EQ(Actions()->GetCurSel(), 0);
  EXPECT_TRUE(Visible("ms_macro_tab_saveorcancel"));
  Find("ms_mouse_x_left_edit")->SetText("17");
  Notify("ms_macro_inset_moveleftkey_btn", "click");
  Notify("ms_macro_inset_backkeyup_btn", "click");
  EXPECT_EQ(Items(), (Lines{"5,0,132,17,1,mouse_move_to_left_text", "5,0,1,8,0,mouse_key_back",
                            "5,0,129,2,1,mouse_key_right"}));
  EXPECT_EQ(Actions()->GetCurSel(), 2);
  EXPECT_EQ(Label(0, 1)->GetText(), "17");
}

TEST_F(MacroEditorTest, MovesKeepTheMovedActionSelectedAndStopAtTheEnds) {
  Library(1, {"1,0,129,1,1,mouse_key_left", "2,0,1,1,0,mouse_key_left", "3,0,138,4,1,keyboard_key_A"});
  const Lines start = Items();
  Notify("ms_macro_btn_up", "click");  // nothing selected
  EXPECT_EQ(Items(), start);
  EXPECT_FALSE(Visible("ms_macro_tab_saveorcancel"));
  Actions()->SelectItem(0, false, false);
  Notify("ms_macro_btn_up", "click");
  Notify("ms_macro_btn_uptop", "click");
  EXPECT_EQ(Items(), start);
  Notify("ms_macro_btn_down", "click");
  EXPECT_EQ(Items(), (Lines{start[1], start[0], start[2]}));
  EXPECT_EQ(Actions()->GetCurSel(), 1);
  EXPECT_TRUE(Visible("ms_macro_tab_saveorcancel"));
  Notify("ms_macro_btn_downbottom", "click");
  EXPECT_EQ(Items(), (Lines{start[1], start[2], start[0]}));
  EXPECT_EQ(Actions()->GetCurSel(), 2);
  Notify("ms_macro_btn_down", "click");
  Notify("ms_macro_btn_downbottom", "click");
  EXPECT_EQ(Items(), (Lines{start[1], start[2], start[0]}));
  Notify("ms_macro_btn_uptop", "click");
  EXPECT_EQ(Items(), (Lines{start[0], start[1], start[2]}));
  EXPECT_EQ(Actions()->GetCurSel(), 0);
  EXPECT_EQ(Label(0, 2)->GetText(), "10");  // rebuilt from the line

  Notify("ms_macro_btn_delete", "click");
  EXPECT_EQ(Items(), (Lines{start[1], start[2]}));
  Notify("ms_macro_btn_deleteall", "click");
  EXPECT_TRUE(Items().empty());
  EXPECT_TRUE(Visible("ms_macro_tab_saveorcancel"));  // an emptied macro still needs save or cancel
}

TEST_F(MacroEditorTest, CancelRestoresTheFileAndSaveRoundTripsEveryKind) {
  Library(2, kRecorded);
  ClickAction(0);
  Type("ms__macro_edit_ActionDelay", "3");
  Notify("ms_macro_btn_deleteall", "click");
  Notify("ms_macro_btn_cancel", "click");
  EXPECT_EQ(Items(), kRecorded);
  EXPECT_FALSE(Visible("ms_macro_tab_saveorcancel"));
  EXPECT_TRUE(Find("ms_MacroName_list")->IsMouseEnabled());
  EXPECT_EQ(Page("ms_tab_macro_edit"), 0);

  Actions()->SelectItem(3, false, false);
  Notify("ms_macro_btn_uptop", "click");
  Notify("ms_macro_inset_forwardkeydown_btn", "click");
  const Lines edited = Items();
  Notify("ms_macro_btn_save", "click");
  EXPECT_FALSE(Visible("ms_macro_tab_saveorcancel"));
  EXPECT_EQ(macro::LoadMacroLines(store, "name_1"), edited);
  pages.reset();
  Build();  // a new start reads the same actions, byte for byte
  Show();
  EXPECT_EQ(Items(), edited);
}

TEST_F(MacroEditorTest, LoadsTheFirstMacroAndEditingRefusesOtherMacrosAndLibraryChanges) {
  Library(2, kRecorded);
  ASSERT_EQ(Items(), kRecorded);
  EXPECT_EQ(List("ms_MacroName_list")->GetCount(), 2);
  EXPECT_EQ(Find("ms_macro_edit_macroname")->GetText(), "name_1");
  EXPECT_EQ(Actions()->GetItemAt(0)->GetName(), "ms_macro_action");
  EXPECT_EQ(Actions()->GetItemAt(0)->GetFixedHeight(), 30);
  // name, state, delay
  EXPECT_EQ(Label(0, 2)->GetText(), "120");
  EXPECT_NE(Label(0, 1)->GetBkImage().find("state_down"), std::string::npos);
  EXPECT_EQ(Label(1, 2)->GetText(), "2560");  // high byte 1: 256 units
  EXPECT_EQ(Label(2, 1)->GetText(), "30");     // a move shows its distance
  EXPECT_EQ(Label(2, 1)->GetBkImage(), "");
  EXPECT_NE(Label(3, 1)->GetBkImage().find("state_up"), std::string::npos);
  EXPECT_FALSE(Visible("ms_macro_tab_saveorcancel"));
  ClickAction(1);
  List("ms_MacroName_list")->SelectItem(1);
  Notify("ms_macro_btn_name_add", "click");
  Notify("ms_macro_btn_name_sub", "click");
  EXPECT_EQ(dialogs.messages, (Lines{"message_text_4", "message_text_3", "message_text_3"}));
  EXPECT_EQ(Items(), kRecorded);
  EXPECT_EQ(macro::LoadMacroNames(store).size(), 2u);
  Notify("ms_deng_Op_tab", "selectchanged");  // the router's guard
  EXPECT_EQ(dialogs.messages.back(), "message_text_3");
}

TEST_F(MacroEditorTest, AnEmptyLibraryDisablesTheEditorUntilAMacroIsCreated) {
  Library(0, {});
  for (const char* c : {"ms_macro_btn_save", "ms_macro_btn_delete", "ms_macro_btn_redio", "ms_macro_check_time",
                        "ms_macro_mouse_move", "ms_macro_btn_name_sub"})
    EXPECT_FALSE(Find(c)->IsEnabled()) << c;
  EXPECT_EQ(Find("ms_macro_btn_uptop")->GetBkImage(), "file='common/unuse.png'");
  Notify("ms_macro_inset_leftkeydown_btn", "click");
  EXPECT_TRUE(Items().empty());
  Notify("ms_macro_btn_name_add", "click");
  EXPECT_EQ(macro::LoadMacroNames(store), Lines{"name_1"});
  for (const char* c : {"ms_macro_btn_save", "ms_macro_btn_delete", "ms_macro_btn_redio", "ms_macro_btn_name_sub"})
    EXPECT_TRUE(Find(c)->IsEnabled()) << c;
  EXPECT_EQ(Find("ms_macro_btn_uptop")->GetBkImage(), "file='common/up_top_over.png'");
  Notify("ms_macro_btn_name_sub", "click");  // confirmed by the fake box
  EXPECT_TRUE(macro::LoadMacroNames(store).empty());
  EXPECT_FALSE(Find("ms_macro_btn_save")->IsEnabled());
}

TEST_F(MacroEditorTest, RecordingAppendsAndLocksTheListUntilStopped) {
  Library(1, {"7,0,129,1,1,mouse_key_left"});
  Select("ms_macro_check_time");  // every gap counts 50 ms
  Notify("ms_macro_btn_redio", "click");
  ASSERT_EQ(window.hooks.installs.size(), 1u);
  EXPECT_EQ(window.hooks.installs[0], (FakeInputHooks::Install{0x40, true, true}));
  ASSERT_NE(window.hooks.listener, nullptr);
  EXPECT_EQ(Find("ms_macro_btn_redio")->GetText(), "macro_btn_stop_redio_text");  // no language loaded: the id
  for (const char* c : {"ms_macro_btn_save", "ms_macro_btn_cancel", "ms_macro_btn_delete", "ms_macro_check_time",
                        "ms_macro_keyboard_event"})
    EXPECT_FALSE(Find(c)->IsEnabled()) << c;
  EXPECT_EQ(Find("ms_macro_btn_uptop")->GetBkImage(), "file='common/unuse.png'");
  EXPECT_FALSE(Actions()->IsMouseEnabled());
  EXPECT_TRUE(Visible("ms_macro_tab_saveorcancel"));

  KeyEventRecord a{.vk_code = 0x41};
  window.hooks.listener->OnHookKeyboard(0x812, kWmKeyDown, a);
  window.hooks.listener->OnHookKeyboard(0x812, kWmKeyDown, a);  // auto-repeat
  a.flags = kKeyFlagUp;
  window.hooks.listener->OnHookKeyboard(0x812, kWmKeyUp, a);
  window.hooks.listener->OnHookMouse(0x813, kWmRButtonDown);
  window.hooks.listener->OnHookMouse(0x803, kWmLButtonDown);  // the keyboard page's message
  EXPECT_EQ(Items(), (Lines{"5,0,129,1,1,mouse_key_left", "5,0,138,4,1,keyboard_key_A",
                            "5,0,10,4,0,keyboard_key_A", "0,0,129,2,1,mouse_key_right"}));
  EXPECT_EQ(Label(0, 2)->GetText(), "50");

  window.hooks.listener->OnHookMouse(0x813, kWmLButtonDown);  // pressing the stop button
  Notify("ms_macro_btn_redio", "click");  // stop: that press is not kept
  EXPECT_EQ(Items().back(), "0,0,129,2,1,mouse_key_right");  // nor the wait for it
  EXPECT_EQ(window.hooks.listener, nullptr);
  EXPECT_EQ(Find("ms_macro_btn_redio")->GetText(), "macro_btn_star_redio_text");
  for (const char* c : {"ms_macro_btn_save", "ms_macro_btn_cancel", "ms_macro_check_time"})
    EXPECT_TRUE(Find(c)->IsEnabled()) << c;
  EXPECT_EQ(Find("ms_macro_btn_uptop")->GetBkImage(), "file='common/up_top_over.png'");
  EXPECT_TRUE(Actions()->IsMouseEnabled());
  EXPECT_TRUE(Visible("ms_macro_tab_saveorcancel"));  // still an unsaved edit
}

// Without fixed delays the label of the action before shows the gap in
// milliseconds, the stored delay its 10 ms units; the tick count may wrap.
TEST_F(MacroEditorTest, RecordingLabelsTheRealGapAndStoresItsUnits) {
  Library(1, {"7,0,129,1,1,mouse_key_left"});
  window.clock.now = 0xFFFFFF9Cu;  // 100 ms before the wrap
  Notify("ms_macro_btn_redio", "click");
  window.clock.now += 1234;
  window.hooks.listener->OnHookMouse(0x813, kWmRButtonDown);
  window.clock.now += 5;
  window.hooks.listener->OnHookMouse(0x813, kWmMButtonDown);
  EXPECT_EQ(Label(0, 2)->GetText(), "1234");
  EXPECT_EQ(Label(1, 2)->GetText(), "5");
  EXPECT_EQ(Items()[0], "123,0,129,1,1,mouse_key_left");
  EXPECT_EQ(Items()[1].substr(0, 4), "0,0,");
}

// Its own library file and hook mode; its recording options pass the editing guard.
TEST_F(MacroEditorTest, KeyboardTwinEditsItsOwnLibrary) {
  Library(1, {"12,0,138,4,1,keyboard_key_A"}, true, DeviceKind::Keyboard);
  EXPECT_EQ(store.index_path.substr(store.index_path.size() - 11), "kbMacro.ini");
  ASSERT_NE(List("kb_macro_action"), nullptr);
  ASSERT_EQ(List("kb_macro_action")->GetCount(), 1);
  ClickAction(0, "kb_macro_action");
  EXPECT_TRUE(Visible("kb_macro_tab_saveorcancel"));
  EXPECT_EQ(Page("kb_tab_macro_edit"), 1);
  Type("kb__macro_edit_ActionDelay", "9");
  Select("kb_macro_check_time");  // no refusal while editing
  Select("kb_macro_btn_shubiao");
  EXPECT_TRUE(Visible("kb_MacroMouseEvent"));
  EXPECT_FALSE(Visible("kb_MacroName"));
  EXPECT_TRUE(dialogs.messages.empty());
  Notify("kb_macro_btn_redio", "click");
  ASSERT_EQ(window.hooks.installs.size(), 1u);
  EXPECT_EQ(window.hooks.installs[0].mode, 0x04u);
  Notify("kb_macro_btn_redio", "click");
  Notify("kb_macro_btn_save", "click");
  EXPECT_EQ(macro::LoadMacroLines(store, "name_1"), Lines{"9,0,138,4,1,keyboard_key_A"});
  EXPECT_TRUE(macro::LoadMacroLines(macro::MacroStoreFor(DeviceKind::Mouse), "name_1").empty());
}

// Key profiles and onboard profiles are renumbered with the library: a button running
// the deleted macro gets its default back, one running a later macro follows it.
TEST_F(MacroEditorTest, DeleteAsksFirstRefusesWhileEditingAndClearsTheSelections) {
  WithImage([](ConfigImages& i) {
    i.mouse.key_blocks[0][0] = 0x70, i.mouse.key_blocks[0][1] = 0;  // button 0 runs macro 0
    i.mouse.key_blocks[1][3] = 0x71, i.mouse.key_blocks[1][4] = 1;  // button 1 runs macro 1 (repeat)
  });
  const ProfileFamilyInfo& key = *FindFamily(DeviceKind::Mouse, ProfileFamily::Key);
  ASSERT_TRUE(WritePrivateProfileStrings({{key.count_section, "count", "1"}, {key.name_section, "0", "mine"}},
                                         ProfileIniPath(DeviceKind::Mouse)));
  std::vector<uint8_t> stored(kKeyBlockSize, 0);
  stored[0] = 0x70, stored[1] = 1;  // button 1 runs the second macro
  ASSERT_EQ(WriteProfileFile(ProfileFilePath(key, "mine", true), DeviceKind::Mouse, stored.size(), stored.data()), kProfileWriteOk);
  Library(2, kRecorded);
  ClickAction(0);  // editing
  Notify("ms_macro_btn_name_sub", "click");
  EXPECT_EQ(dialogs.messages, (Lines{"message_text_2", "message_text_3"}));
  EXPECT_EQ(macro::LoadMacroNames(store).size(), 2u);
  Notify("ms_macro_btn_cancel", "click");
  dialogs.message_answer = 0;  // declined: the macro and its actions stay
  Notify("ms_macro_btn_name_sub", "click");
  EXPECT_EQ(macro::LoadMacroNames(store).size(), 2u);
  EXPECT_EQ(Items(), kRecorded);
  dialogs.message_answer = 1;
  dialogs.messages.clear();
  Notify("ms_macro_btn_name_sub", "click");
  EXPECT_EQ(dialogs.messages, (Lines{"message_text_2", "message_text_4"}));
  EXPECT_EQ(macro::LoadMacroNames(store), Lines{"name_2"});
  EXPECT_EQ(List("ms_MacroName_list")->GetCurSel(), -1);
  EXPECT_EQ(Actions()->GetCount(), 0);
  std::vector<uint8_t> now(kKeyBlockSize, 0);
  ASSERT_EQ(ReadProfileFile(ProfileFilePath(key, "mine", false), now.size(), now.data()), kProfileReadOk);
  EXPECT_EQ(now[1], 0);  // the second macro is the first now
  const MouseConfigImage m = WithImage([](ConfigImages& i) { return i.mouse; });
  EXPECT_TRUE(std::equal(m.key_blocks[0], m.key_blocks[0] + 3, m.main_block));
  EXPECT_EQ(m.key_blocks[1][3], 0x71);
  EXPECT_EQ(m.key_blocks[1][4], 0);
}

// A name that can't be a file name is refused with the reason; Import
// with macros listed and none selected does nothing; Cancel reloads
// nothing once the index no longer matches the names shown.
TEST_F(MacroEditorTest, RenameSaysWhyImportNeedsASelectionCancelChecksTheCount) {
  Library(2, kRecorded);
  Find("ms_macro_edit_macroname")->SetText("a/b");
  Notify("ms_macro_btn_savemacroname", "click");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], "'a/b': " + macro::MacroNameProblem("a/b"));

  List("ms_MacroName_list")->SelectItem(-1, false, false);
  Notify("ms_macro_btn_import", "click");
  EXPECT_TRUE(file_requests.empty());

  List("ms_MacroName_list")->SelectItem(0);
  ClickAction(0);
  Notify("ms_macro_btn_delete", "click");  // an edit: one action fewer
  NewMacro();  // the index changed elsewhere
  Notify("ms_macro_btn_cancel", "click");
  EXPECT_EQ(Items().size(), kRecorded.size() - 1);  // not reloaded
}

TEST_F(MacroEditorTest, ActingWithNoMacroSelectedLoadsTheFirstOne) {
  Library(1, kRecorded, false);  // the page is hidden at start-up: nothing can be selected yet
  EXPECT_EQ(List("ms_MacroName_list")->GetCurSel(), -1);
  Notify("ms_macro_inset_leftkeyup_btn", "click");
  EXPECT_EQ(Items().size(), kRecorded.size() + 1);  // loaded, then inserted at the top
  Notify("ms_macro_btn_save", "click");
  EXPECT_EQ(macro::LoadMacroLines(store, "name_1").front(), "5,0,1,1,0,mouse_key_left");
}

TEST_F(MacroEditorTest, LibraryChangesReachTheKeyPageAndTheLimitNamesItsNumber) {
  WithImage([](ConfigImages& i) { i.mouse.SetAssignment(i.mouse.ProfileIndex(), 3, 0x70, 1, 0); });  // button 3: macro 1
  Library(2, kRecorded);
  auto* combo = Combo("ms_key_fct_combo_23");
  Notify("ms_macro_btn_name_add", "click");
  ASSERT_EQ(combo->GetCount(), 3);
  List("ms_MacroName_list")->SelectItem(1);
  Find("ms_macro_edit_macroname")->SetText("Jump");
  Notify("ms_macro_btn_savemacroname", "click");
  EXPECT_EQ(combo->GetItemAt(1)->GetText(), "Jump");
  EXPECT_EQ(Find("ms_key_3")->GetText(), "Jump");
  List("ms_MacroName_list")->SelectItem(0);
  Notify("ms_macro_btn_name_sub", "click");
  EXPECT_EQ(combo->GetCount(), 2);
  EXPECT_EQ(combo->GetItemAt(0)->GetText(), "Jump");
  EXPECT_EQ(Find("ms_key_3")->GetText(), "Jump");  // now macro 0

  for (size_t i = macro::LoadMacroNames(store).size(); i < macro::kMaxMacros; ++i) NewMacro();
  dialogs.messages.clear();
  Notify("ms_macro_btn_name_add", "click");
  EXPECT_EQ(dialogs.messages, Lines{"message_text_17 50"});
}

TEST_F(MacroEditorTest, ImportAndExportCopyMacroFilesByteForByte) {
  Library(1, kRecorded);
  const std::string source = home.Path("given.mac");
  const std::string bytes = "[MACROACTIONCOUNT]\ncount=2\n[MACROACTION]\n0=10,0,138,5,1,keyboard_key_B\n"
                            "1=0,0,10,5,0,keyboard_key_B\n[MACROSELECTNAME]\nname=given\n";
  test::TempHome::WriteText(source, bytes);
  Notify("ms_macro_btn_import", "click");  // cancelled: nothing changes
  EXPECT_EQ(macro::LoadMacroNames(store).size(), 1u);
  file_answer = source;
  Notify("ms_macro_btn_import", "click");
  EXPECT_EQ(macro::LoadMacroNames(store), (Lines{"name_1", "name_2"}));
  EXPECT_EQ(Items(), (Lines{"10,0,138,5,1,keyboard_key_B", "0,0,10,5,0,keyboard_key_B"}));
  EXPECT_EQ(Combo("ms_key_fct_combo_23")->GetCount(), 2);
  file_answer = home.Path("out.mac");
  Notify("ms_macro_btn_export", "click");
  EXPECT_EQ(test::TempHome::ReadText(file_answer), bytes);
  ASSERT_EQ(file_requests.size(), 3u);
  EXPECT_FALSE(file_requests[1].save);
  EXPECT_TRUE(file_requests[2].save);
  EXPECT_EQ(file_requests[2].default_extension, "mac");
  EXPECT_EQ(file_requests[2].initial_name, "name_2.mac") << "the macro's name is suggested";
  ClickAction(0);  // editing: import is refused before any dialog
  Notify("ms_macro_btn_import", "click");
  EXPECT_EQ(file_requests.size(), 3u);
  EXPECT_EQ(dialogs.messages, (Lines{"message_exported " + file_answer, "message_text_3"}));
}

// The open action follows the selection; the page set knows the edit is unsaved until saved.
TEST_F(MacroEditorTest, ArrowsAndDeleteInTheActionList) {
  Library(1, kRecorded);
  EXPECT_FALSE(pages->UnsavedMacroEdit());
  ClickAction(0);
  EXPECT_TRUE(pages->UnsavedMacroEdit());
  auto key = [&](uint32_t vk) {
    TEventUI event{.Type = UIEVENT_KEYDOWN, .chKey = vk};
    Actions()->DoEvent(event);
  };
  key(VK_DOWN);
  EXPECT_EQ(Actions()->GetCurSel(), 1);
  EXPECT_EQ(Page("ms_tab_macro_edit"), 2);  // the right press is open now
  EXPECT_EQ(ComboRow("ms_macro_combo_mouselect"), 2);
  Type("ms__macro_edit_mou_action_delay", "4");
  EXPECT_EQ(Items()[1], "4,0,129,2,1,mouse_key_right");
  EXPECT_EQ(Items()[0], kRecorded[0]);
  key(VK_DELETE);
  EXPECT_EQ(Items(), (Lines{kRecorded[0], kRecorded[2], kRecorded[3]}));
  EXPECT_EQ(Actions()->GetCurSel(), 1);
  key(VK_UP);
  EXPECT_EQ(Page("ms_tab_macro_edit"), 0);  // after a delete no action is open
  EXPECT_EQ(Actions()->GetCurSel(), 0);
  Notify("ms_macro_btn_save", "click");
  EXPECT_FALSE(pages->UnsavedMacroEdit());
  EXPECT_EQ(macro::LoadMacroLines(store, "name_1"), (Lines{kRecorded[0], kRecorded[2], kRecorded[3]}));
}

}  // namespace
}  // namespace trx::pages::testing

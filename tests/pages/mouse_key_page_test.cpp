// The key pages over their real layouts, saving through a simulated device.

#include <cstring>

#include "macro/macro_library.h"
#include "pages/mouse_key_page.h"
#include "tests/pages/page_fixture.h"
#include "tests/platform/temp_home.h"

namespace trx::pages::testing {
namespace {

class MouseKeyPageTest : public SimPageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    WithImage([](ConfigImages& i) { for (auto& b : i.mouse.key_blocks) std::memcpy(b, i.mouse.main_block, kKeyBlockSize); });
    AttachSimulator(sim_kind);
    (sim_kind == sim::SimKind::Mouse ? sim_devices->mouse : sim_devices->keyboard).block_size =
        static_cast<int>(firmware->BlockSize());
    SetProfileSaver(&saver);
    Build(layout);
    UseSimulatedDevices(false);
  }
  KeyAssignment Entry(int i) { return WithImage([i](ConfigImages& im) { return im.mouse.Assignment(im.mouse.ProfileIndex(), i); }); }
  std::string Label(int i) { return Find("ms_key_" + std::to_string(i))->GetText(); }
  void Press(uint32_t vk, uint32_t flags = 0) {
    ASSERT_NE(window.key_listener, nullptr);
    KeyEventRecord record{.vk_code = vk, .flags = flags};
    window.key_listener->OnHookKeyboard(0x0810, 0x100, record);
  }

  const char* layout = "Mouse_key.xml";
  sim::SimKind sim_kind = sim::SimKind::Mouse;
  test::TempHome home;  // the macro library lives under the user's documents
};

TEST_F(MouseKeyPageTest, CategoriesBuildTheirFunctionsFromTheControls) {
  Select("ms_key_1");
  Choose("ms_key_fct_combo", 2);
  Choose("ms_key_fct_combo_12", 1);
  Type("ms_key_fct_edit_15", "5");
  Type("ms_key_fct_edit_17", "3");
  Type("ms_key_fct_edit_20", "4");
  EXPECT_EQ(Entry(1), (KeyAssignment{0x11, 0x34, 0x85}));
  EXPECT_TRUE(Visible("ms_tab_function_2"));
  EXPECT_FALSE(Visible("ms_tab_function_0"));
  EXPECT_TRUE(Find("ms_key_1")->IsResourceText());

  Select("ms_key_3");
  Choose("ms_key_fct_combo", 4);
  Choose("ms_key_fct_combo_14", 2);
  EXPECT_EQ(Entry(3), (KeyAssignment{0x13, 0x03, 0x00}));

  Choose("ms_key_fct_combo", 5);
  Type("ms_key_fct_edit_11", "300");
  EXPECT_EQ(Find("ms_key_fct_edit_11")->GetText(), "255");
  Type("ms_key_fct_edit_12", "9");
  EXPECT_EQ(Entry(3), (KeyAssignment{0x14, 0xFF, 0x09}));

  struct Step { int category; const char* list; int row; KeyAssignment entry; };
  for (const Step& s : {Step{7, "ms_key_fct_combo_21", 17, {0x30, 0x8A, 0x01}}, {8, "ms_key_fct_combo_22", 1, {0x40, 0x02, 0x00}},
                        {10, "ms_key_fct_combo_25", 2, {0x72, 0x02, 0x00}}, {1, "ms_key_fct_combo_11", 4, {0x10, 0x08, 0x00}}}) {
    Choose("ms_key_fct_combo", s.category);
    Choose(s.list, s.row);
    EXPECT_EQ(Entry(3), s.entry) << s.list;
  }

  // A macro category with no macro selected stores nothing.
  Choose("ms_key_fct_combo", 9);
  Choose("ms_key_fct_combo_24", 4);
  Type("ms_key_fct_edit_25", "0");
  EXPECT_EQ(Find("ms_key_fct_edit_25")->GetText(), "1");
  EXPECT_EQ(Entry(3), (KeyAssignment{0x10, 0x08, 0x00}));
}

TEST_F(MouseKeyPageTest, KeyCaptureTakesTheLastKeyEvent) {
  Select("ms_key_2");
  Choose("ms_key_fct_combo", 6);
  EXPECT_EQ(window.calls.back(), "key capture 16");
  EXPECT_EQ(Entry(2), (KeyAssignment{0x10, 0x02, 0x00}));  // nothing captured yet
  Press(0x0D, 0x01);
  EXPECT_EQ(Entry(2), (KeyAssignment{0x20, 0x00, 0x58}));
  Press(0x0D, 0x00);
  EXPECT_EQ(Entry(2), (KeyAssignment{0x20, 0x00, 0x28}));
  Press(0xAF);  // volume up: a media key, ignored
  EXPECT_EQ(Entry(2), (KeyAssignment{0x20, 0x00, 0x28}));
  Combo("ms_key_fct_combo_31")->SelectItem1(2);
  Press('A');
  EXPECT_EQ(Entry(2), (KeyAssignment{0x20, 0x02, 0x04}));
  EXPECT_EQ(Label(2), "Shift+" + CResourceManager::GetInstance()->GetText("keyboard_key_A"));
  // Showing it again puts the key and its modifier back on the page.
  Select("ms_key_4");
  Select("ms_key_2");
  EXPECT_EQ(Combo("ms_key_fct_combo")->GetCurSel(), 6);
  EXPECT_EQ(Combo("ms_key_fct_combo_31")->GetCurSel(), 2);
  // Ctrl held, then C: both are kept, and releasing them changes nothing.
  const std::string ctrl_c = "Ctrl+" + CResourceManager::GetInstance()->GetText("keyboard_key_C");
  struct Event { uint32_t vk, flags; };
  for (const Event e : {Event{0xA2, 0}, Event{'C', 0}, Event{'C', 0x80}, Event{0xA2, 0x80}}) Press(e.vk, e.flags);
  EXPECT_EQ(Entry(2), (KeyAssignment{0x20, 0x01, 0x06}));
  EXPECT_EQ(Label(2), ctrl_c);
  EXPECT_EQ(Find("ms_key_fct_edit_21")->GetText(), ctrl_c);
  EXPECT_EQ(Combo("ms_key_fct_combo_31")->GetCurSel(), 1);  // LCtrl
  // The button can be turned off.
  Choose("ms_key_fct_combo", 11);
  EXPECT_EQ(Entry(2), (KeyAssignment{0x05, 0x00, 0x00}));
  EXPECT_EQ(Label(2), CResourceManager::GetInstance()->GetText("close_text"));
  Select("ms_key_4");
  Select("ms_key_2");
  EXPECT_EQ(Combo("ms_key_fct_combo")->GetCurSel(), 11);
}

TEST_F(MouseKeyPageTest, TheLastLeftButtonCannotBeReassigned) {
  Select("ms_key_0");
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"message_text_6"}));
  EXPECT_FALSE(Find("ms_tab_function")->IsEnabled());
  EXPECT_EQ(Entry(0), (KeyAssignment{0x10, 0x01, 0x00}));
  // With a second left button either may change.
  Select("ms_key_4");
  Choose("ms_key_fct_combo", 1);
  Choose("ms_key_fct_combo_11", 0);
  Select("ms_key_0");
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(Find("ms_tab_function")->IsEnabled());
}

TEST_F(MouseKeyPageTest, RestoreDefaultAndLabels) {
  Select("ms_key_5");
  Choose("ms_key_fct_combo", 8);
  Choose("ms_key_fct_combo_22", 0);
  EXPECT_EQ(Entry(5), (KeyAssignment{0x40, 0x01, 0x00}));
  Notify("ms_key_butt_keydefalut", "click");
  EXPECT_EQ(Entry(5), (KeyAssignment{0x13, 0x03, 0x00}));
  EXPECT_EQ(Combo("ms_key_fct_combo")->GetCurSel(), 0);
  EXPECT_EQ(Label(5), CResourceManager::GetInstance()->GetText("mouse_key_DPI_loop"));
  EXPECT_EQ(Find("ms_key_5")->GetToolTip(), Label(5));
  WithImage([](ConfigImages& i) { i.mouse.SetAssignment(0, 6, 0x05, 0x05, 0x05); i.mouse.SetAssignment(0, 4, 0x15, 0x00, 0x00); });
  const std::string back_label = Label(4);
  pages->Refresh(DeviceKind::Mouse);
  EXPECT_EQ(Label(6), CResourceManager::GetInstance()->GetText("close_text"));
  EXPECT_TRUE(Find("ms_key_6")->IsResourceText());
  EXPECT_EQ(Label(4), back_label);  // type 0x15 leaves the label as it was
}

TEST_F(MouseKeyPageTest, HoverSwapsTheButtonPicture) {
  Notify("ms_key_3", "msenter");
  EXPECT_EQ(Find("ms_key_3_0")->GetBkImage(), "file='ms/key_forward_down.png'");
  Notify("ms_key_3", "msleave");
  EXPECT_EQ(Find("ms_key_3_0")->GetBkImage(), "file='ms/key_forward_normal.png'");
}

TEST_F(MouseKeyPageTest, SaveSendsTheActiveKeyBlockThenWritesTheProfile) {
  Select("ms_key_3");
  Choose("ms_key_fct_combo", 4);
  Choose("ms_key_fct_combo_14", 2);
  firmware->ClearRequests();
  EXPECT_TRUE(pages->UnsavedAssignments());  // asked about on quit
  sim_devices->routine_edits.MarkUnsaved();
  Notify("ms_key_butt_prosave", "click");
  EXPECT_FALSE(pages->UnsavedAssignments());
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"setting_done_text"}));
  EXPECT_FALSE(sim_devices->routine_edits.Unsaved());  // the routines went out first
  EXPECT_EQ(saver.saves, (std::vector<std::string>{"mouse 0", "mouse 2"}));  // device profile, then key profile
  const std::vector<uint8_t> memory = firmware->KeyMemory();
  // Onboard profile 0's entries 0-6 at device address 0.
  const std::vector<uint8_t> expected = {0x10, 0x01, 0x00, 0x10, 0x04, 0x00, 0x10, 0x02, 0x00, 0x13,
                                         0x03, 0x00, 0x10, 0x08, 0x00, 0x13, 0x03, 0x00, 0x05, 0x05, 0x05};
  EXPECT_EQ(std::vector<uint8_t>(memory.begin(), memory.begin() + 21), expected);
  EXPECT_TRUE(Find("ms_key_butt_prosave")->IsEnabled());
}

TEST_F(MouseKeyPageTest, SaveWithTheMouseRemovedMidwayTellsTheUserAndWritesNoFile) {
  firmware->SetFaults({.remove_at_frame = 2});
  sim_devices->routine_edits.MarkUnsaved();
  Notify("ms_key_butt_prosave", "click");
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"message_text_10"}));
  EXPECT_TRUE(saver.saves.empty());
  EXPECT_TRUE(sim_devices->routine_edits.Unsaved());
}

TEST_F(MouseKeyPageTest, MacrosTooLargeForTheDeviceNameHowManyActionsMustGo) {
  const macro::MacroStore store = macro::MacroStoreFor(DeviceKind::Mouse);
  std::string name;
  ASSERT_EQ(macro::CreateMacro(store, name), macro::MacroResult::Ok);
  ASSERT_EQ(macro::SaveMacro(store, 0, std::vector<std::string>(29, "0,0,129,1,1,mouse_key_left")),
            macro::MacroResult::Ok);  // 16 + 6 + 116 = 138 bytes
  WithImage([](ConfigImages& i) { i.mouse.device_info[6] = 1; });  // 128 bytes of macro memory
  Notify("ms_key_butt_prosave", "click");
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"message_text_16 3"}));
  EXPECT_TRUE(saver.saves.empty());
}

class KeyboardKeyPageTest : public MouseKeyPageTest {
 protected:
  KeyboardKeyPageTest() {
    layout = "keyboard_key.xml";
    sim_kind = sim::SimKind::Keyboard;
  }
  KeyAssignment KeyEntry(int i) {
    return WithImage([i](ConfigImages& im) { const uint8_t* e = im.keyboard.key_block + i * 3; return KeyAssignment{e[0], e[1], e[2]}; });
  }
};

TEST_F(KeyboardKeyPageTest, AKeyOfThePictureTakesAFunctionAndSavesWithTheKeyboardBlock) {
  Find("kb_tab_function")->SetVisible(false);
  Notify("kb_key_10", "click");
  EXPECT_TRUE(Visible("kb_tab_function"));
  Choose("kb_key_fct_combo", 6);  // "keyboard key" captures in the keyboard page's own hook mode
  EXPECT_EQ(window.calls.back(), "key capture 1");
  Press('B');
  EXPECT_EQ(KeyEntry(10), (KeyAssignment{0x20, 0x00, 0x05}));
  EXPECT_EQ(Find("kb_key_fct_edit_21")->GetText(), "keyboard_key_B");
  Choose("kb_key_fct_combo", 7);
  Choose("kb_key_fct_combo_21", 6);
  EXPECT_EQ(KeyEntry(10), (KeyAssignment{0x30, 0xE9, 0x00}));
  EXPECT_EQ(Find("kb_key_10")->GetToolTip(), CResourceManager::GetInstance()->GetText("media_vol_add"));
  EXPECT_NE(Find("kb_key_10")->GetText(), Find("kb_key_10")->GetToolTip());  // the keycap keeps its legend
  Notify("kb_key_butt_prosave", "click");
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"setting_done_text"}));
  EXPECT_EQ(saver.saves, (std::vector<std::string>{"keyboard 2"}));
  const std::vector<uint8_t> memory = firmware->KeyMemory();
  EXPECT_EQ(std::vector<uint8_t>(memory.begin() + 30, memory.begin() + 33), (std::vector<uint8_t>{0x30, 0xE9, 0x00}));
}

}  // namespace
}  // namespace trx::pages::testing

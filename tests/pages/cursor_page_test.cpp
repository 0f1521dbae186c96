// The cursor page over its real layout, saving through a simulated mouse.

#include <filesystem>

#include "pages/cursor_page.h"
#include "routine/default_routines.h"
#include "routine/routine_device.h"
#include "tests/pages/page_fixture.h"
#include "tests/platform/temp_home.h"
#include "ui/core/edit.h"

namespace trx::pages::testing {
namespace {

using trx::test::TempHome;

class CursorPageTest : public SimPageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    const std::string program = home.Path("program/");
    for (int r = 0; r < routine::kRoutineCount; ++r)
      TempHome::WriteBytes(program + "name_" + std::to_string(r + 1) + ".cur",
                           routine::RoutineFileBytes(routine::DefaultRoutineLines(r)));
    SetProgramFolderOverride(program);
    store = routine::RoutineStoreFor();
    ASSERT_TRUE(routine::InitRoutineIndex(store));  // the window's start-up data load
    AttachSimulator();
    Build("Mouse_cursor.xml");
    UseSimulatedDevices();
  }
  void Type(const char* edit, const std::string& text) { dynamic_cast<ui::CEditUI*>(Find(edit))->OnNativeTextChanged(text); }
  void Click(const char* name) { Notify(name, "click"); }
  // A click on an option: the click first, then the selection.
  void ClickOption(const char* name) { Click(name); Select(name); }
  TempHome home;
  routine::RoutineStore store;
};

TEST_F(CursorPageTest, EditsOfStepFiveOfRoutineTwoReachItsFileWithinTheLimits) {
  EXPECT_TRUE(Find("cursor_edit_layout")->IsEnabled());
  EXPECT_EQ(Text("ms_cursor_delay_eidt"), "30");
  EXPECT_EQ(Text("ms_cursor_y_eidt"), "2");
  ClickOption("ms_gun_op_1");
  ClickOption("ms_bullet_op_4");
  EXPECT_EQ(Text("bullet_select_index"), "5");
  EXPECT_EQ(Text("ms_cursor_y_eidt"), "6");
  struct Case { const char *edit, *typed, *after; };  // after: the edit's text after its limit
  for (const Case& c : {Case{"ms_cursor_delay_eidt", "1005", "1005"}, Case{"ms_cursor_delay_eidt", "70000", "65535"},
                        Case{"ms_cursor_x_eidt", "300", "255"}, Case{"ms_cursor_y_eidt", "17", "17"},
                        Case{"ms_cursor_delay_eidt", "1005", "1005"}}) {
    Type(c.edit, c.typed);
    EXPECT_EQ(Text(c.edit), c.after) << c.edit << " " << c.typed;
  }
  // Each direction is one choice of two fixed labels: left or right.
  const std::string left_label = Find("ms_cursor_x_check")->GetText();
  Select("ms_cursor_x_check");
  EXPECT_EQ(Find("ms_cursor_x_check")->GetText(), left_label);
  EXPECT_FALSE(Selected("ms_cursor_x_right"));
  EXPECT_EQ(routine::ReadStep(store, 1, 4), (routine::RoutineStep{1000, 255, true, 17, false}));
  Select("ms_cursor_x_right");
  EXPECT_FALSE(Selected("ms_cursor_x_check"));
  EXPECT_EQ(routine::ReadStep(store, 1, 4), (routine::RoutineStep{1000, 255, false, 17, false}));
  Select("ms_cursor_y_check");
  EXPECT_EQ(routine::ReadStep(store, 1, 4), (routine::RoutineStep{1000, 255, false, 17, true}));
  Select("ms_cursor_x_check");
  // Shown again: the pause as stored.
  ClickOption("ms_bullet_op_5");
  ClickOption("ms_bullet_op_4");
  EXPECT_EQ(Text("ms_cursor_delay_eidt"), "1000");
  EXPECT_EQ(routine::ReadStep(store, 0, 4), routine::DefaultRoutineSteps(0)[4]);  // routine 1 untouched
}

TEST_F(CursorPageTest, PreviousAndNextStopAtTheEndsAndAClickOnTheSelectedStepEndsEditing) {
  Click("bullet_selected_prev");
  EXPECT_EQ(Text("bullet_select_index"), "1");
  Click("bullet_selected_next");
  EXPECT_EQ(Text("bullet_select_index"), "2");
  ClickOption("ms_bullet_op_29");
  Click("bullet_selected_next");
  EXPECT_EQ(Text("bullet_select_index"), "30");
  EXPECT_TRUE(Selected("ms_bullet_op_29"));
  ClickOption("ms_bullet_op_29");
  EXPECT_FALSE(Find("cursor_edit_layout")->IsEnabled());
  ClickOption("ms_bullet_op_3");
  EXPECT_TRUE(Find("cursor_edit_layout")->IsEnabled());
}

TEST_F(CursorPageTest, AMouseConnectShowsRoutineOneFromItsRewrittenFileQuietly) {
  ClickOption("ms_gun_op_1");
  ClickOption("ms_bullet_op_4");
  ASSERT_EQ(routine::WriteRoutineLines(store, 0, routine::StepLines({40, 3, false, 8, true})),
            routine::RoutineResult::Ok);  // as the connect read writes it
  window.library.clear();
  pages->OnDeviceConnected(DeviceKind::Mouse, ConnectResult{});
  EXPECT_TRUE(Selected("ms_gun_op_0"));
  EXPECT_TRUE(Selected("ms_bullet_op_0"));
  EXPECT_EQ(Text("bullet_select_index"), "1");
  EXPECT_EQ(Text("ms_cursor_delay_eidt"), "40");
  EXPECT_TRUE(Selected("ms_cursor_y_check"));  // up
  EXPECT_FALSE(Selected("ms_cursor_y_down"));
  EXPECT_TRUE(window.library.empty());  // no notification raised
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CursorPageTest, PreviewDrawsThirtyStepsTheStartAndTheSelectedStep) {
  auto* path = dynamic_cast<ui::CContainerUI*>(Find("ms_cursor_path"));
  ASSERT_NE(path, nullptr);
  // 30 segments of 3 line dots, 30 step dots, the start, the mark.
  EXPECT_EQ(path->GetCount(), 30 * 3 + 30 + 2);
  ClickOption("ms_gun_op_3");  // the zero routine: everything at the start
  const ui::UiRect first = path->GetItemAt(0)->GetFloatPos();
  const ui::UiRect mark = path->GetItemAt(path->GetCount() - 1)->GetFloatPos();
  EXPECT_EQ(first.left + 1, mark.left + 4);  // same centre, 2 px against 8 px
}

TEST_F(CursorPageTest, ImportLimitAndExportOntoAnExistingFile) {
  const std::string file = routine::RoutineFilePath(store, 0);
  const std::string before = TempHome::ReadText(file);
  TempHome::WriteText(home.Path("big.cur"), "[MACROACTIONCOUNT]\ncount=181\n");
  file_answer = home.Path("big.cur");
  Click("ms_bulletdate_import_btn");
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"message_text_18"});
  EXPECT_EQ(TempHome::ReadText(file), before);

  file_answer = "";  // cancelled
  Click("ms_bulletdate_import_btn");
  EXPECT_EQ(TempHome::ReadText(file), before);

  TempHome::WriteText(home.Path("small.cur"), "[MACROACTIONCOUNT]\ncount=3\n[MACROACTION]\n0=50,0,0,0,0,\n"
                                               "1=0,0,4,9,0,mouse_move_to_right_text\n2=0,0,5,1,0,mouse_move_to_down_text\n");
  file_answer = home.Path("small.cur");
  Click("ms_bulletdate_import_btn");
  EXPECT_EQ(Text("ms_cursor_delay_eidt"), "500");
  EXPECT_EQ(Text("ms_cursor_x_eidt"), "9");

  // The save dialog asked before returning an existing file: it is replaced.
  TempHome::WriteText(home.Path("out.cur"), "old");
  file_answer = home.Path("out.cur");
  Click("ms_bulletdate_export_btn");
  EXPECT_EQ(TempHome::ReadText(home.Path("out.cur")), TempHome::ReadText(file));
  EXPECT_EQ(file_requests.back().initial_name, routine::RoutineName(store, 0) + ".cur");  // the routine's name, not "*.cur"
  EXPECT_NE(file_requests.back().initial_name, ".cur");

  Click("ms_bulletdate_reset_btn");
  EXPECT_EQ(TempHome::ReadText(file), before);
  EXPECT_EQ(Text("ms_cursor_delay_eidt"), "30");
}

// Edits not yet on the mouse: unsaved until a save; a connect read and reset ask first.
TEST_F(CursorPageTest, UnsavedRoutineEditsAreAskedAboutBeforeTheyAreReplaced) {
  EXPECT_FALSE(pages->UnsavedRoutineEdit());  // every window starts with none
  Type("ms_cursor_x_eidt", "77");
  EXPECT_TRUE(pages->UnsavedRoutineEdit());
  const std::string edited = TempHome::ReadText(routine::RoutineFilePath(store, 0));

  dialogs.message_answer = 0;  // the connect read's question declined: files kept
  pages->OnDeviceConnected(DeviceKind::Mouse, ConnectResult{});
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"routine_replace_unsaved_question"});
  EXPECT_EQ(TempHome::ReadText(routine::RoutineFilePath(store, 0)), edited);
  Click("ms_bulletdate_reset_btn");  // declined too: the routine stays
  EXPECT_EQ(dialogs.messages.back(), "routine_reset_question");
  EXPECT_EQ(TempHome::ReadText(routine::RoutineFilePath(store, 0)), edited);

  dialogs.message_answer = 1;
  Click("ms_bulletdate_save_btn");
  EXPECT_FALSE(pages->UnsavedRoutineEdit());
  Type("ms_cursor_x_eidt", "5");
  pages->OnDeviceConnected(DeviceKind::Mouse, ConnectResult{});  // replaced by what the mouse holds
  EXPECT_FALSE(pages->UnsavedRoutineEdit());
  EXPECT_EQ(routine::ReadStep(store, 0, 0).x, 77u);
}

TEST_F(CursorPageTest, AFactoryMouseLeavingEveryRoutineEmptyIsToldAndOfferedTheReadyMadeOnes) {
  // The connect read of a mouse as it leaves the factory.
  ASSERT_EQ(routine::ReadRoutinesFromMouse(sim_devices->mouse, store).result, routine::RoutineResult::Ok);
  pages->OnDeviceConnected(DeviceKind::Mouse, ConnectResult{});
  EXPECT_TRUE(Visible("ms_cursor_empty_hor"));
  EXPECT_TRUE(dialogs.messages.empty());  // a notice on the page, no box

  Click("ms_cursor_defaults_btn");
  for (int r = 0; r < routine::kRoutineCount; ++r)
    EXPECT_EQ(routine::LoadRoutineLines(store, r), routine::DefaultRoutineLines(r)) << r;
  EXPECT_FALSE(Visible("ms_cursor_empty_hor"));
  EXPECT_FALSE(pages->UnsavedRoutineEdit());  // and on the mouse
  std::vector<uint8_t> image;
  ASSERT_EQ(routine::BuildRoutineImage(store, image).result, routine::RoutineResult::Ok);
  const std::vector<uint8_t> memory = firmware->RoutineMemory();
  EXPECT_EQ(std::vector<uint8_t>(memory.begin(), memory.begin() + image.size()), image);
}

// Kept in the file, shown again, and through the mouse (a factory mouse's routines are empty).
TEST_F(CursorPageTest, TheFirstPauseOfAnEmptyRoutineIsKept) {
  enum Empty { NoActions, NoFile, FactoryMouse };
  for (Empty empty : {NoActions, NoFile, FactoryMouse}) {
    SCOPED_TRACE(empty);
    if (empty == NoActions) {
      ASSERT_EQ(routine::WriteRoutineLines(store, 3, {}), routine::RoutineResult::Ok);
    } else if (empty == NoFile) {
      std::filesystem::remove(routine::RoutineFilePath(store, 3));
    } else {
      ASSERT_EQ(routine::ReadRoutinesFromMouse(sim_devices->mouse, store).result, routine::RoutineResult::Ok);
    }
    ClickOption("ms_gun_op_2");
    ClickOption("ms_gun_op_3");
    Type("ms_cursor_delay_eidt", "500");
    EXPECT_EQ(routine::ReadStep(store, 3, 0).pause_ms, 500u);
    ClickOption("ms_bullet_op_1");
    ClickOption("ms_bullet_op_0");
    EXPECT_EQ(Text("ms_cursor_delay_eidt"), "500");
  }
  Click("ms_bulletdate_save_btn");
  ASSERT_EQ(routine::WriteRoutineLines(store, 3, {}), routine::RoutineResult::Ok);
  ASSERT_EQ(routine::ReadRoutinesFromMouse(sim_devices->mouse, store).result, routine::RoutineResult::Ok);
  ClickOption("ms_gun_op_3");
  EXPECT_EQ(Text("ms_cursor_delay_eidt"), "500");
}

TEST_F(CursorPageTest, SaveSendsTheImageOrTellsTheSizeAndTheLimit) {
  Click("ms_bulletdate_save_btn");
  EXPECT_TRUE(dialogs.messages.empty());
  std::vector<uint8_t> image;
  ASSERT_EQ(routine::BuildRoutineImage(store, image).result, routine::RoutineResult::Ok);
  const std::vector<uint8_t> memory = firmware->RoutineMemory();
  EXPECT_EQ(std::vector<uint8_t>(memory.begin(), memory.begin() + image.size()), image);

  ASSERT_EQ(routine::WriteRoutineLines(store, 2, std::vector<std::string>(500, "0,0,0,0,0,")),
            routine::RoutineResult::Ok);
  ASSERT_TRUE(ui::CResourceManager::GetInstance()->LoadLanguage(TRX770_SOURCE_DIR "/skin/lan_en.xml"));
  Click("ms_bulletdate_save_btn");
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"The routines need 3120 bytes, but the mouse holds only 3072. "
                                                       "Remove some steps and try again."});
  const std::vector<uint8_t> kept = firmware->RoutineMemory();  // nothing was sent
  EXPECT_EQ(std::vector<uint8_t>(kept.begin(), kept.begin() + image.size()), image);
}

}  // namespace
}  // namespace trx::pages::testing

// Routing of notifications: name splits, the tables' order, the title-bar
// buttons, tab switching, panel toggles, the macro-edit guard and the
// removal of input hooks on accepted selection changes.

#include <gtest/gtest.h>

#include "app/name_split.h"
#include "app/routing.h"
#include "settings/config_images.h"
#include "tests/app/app_test_support.h"
#include "ui/core/container.h"
#include "ui/core/option.h"
#include "ui/window/win_api.h"

namespace trx::app::testing {
namespace {

TEST(NameSplitTest, CutsAtTheLastUnderscoreAndReadsTheTailAsAtoiDoes) {
  NameSplit s;
  ASSERT_TRUE(SplitName("kb_key_17", s));
  EXPECT_EQ(s.prefix, "kb_key_");
  EXPECT_EQ(s.index, 17);
  ASSERT_TRUE(SplitName("kb_key_butt_keysave", s));
  EXPECT_EQ(s.prefix, "kb_key_butt_");
  EXPECT_EQ(s.index, 0);  // non-digits read as 0
  ASSERT_TRUE(SplitName("ms_profile_-3", s));
  EXPECT_EQ(s.index, -3);
  ASSERT_TRUE(SplitName("ms_profile_12abc", s));
  EXPECT_EQ(s.index, 12);
  ASSERT_TRUE(SplitName("x_", s));
  EXPECT_EQ(s.prefix, "x_");
  EXPECT_EQ(s.index, 0);
  ASSERT_TRUE(SplitName("kb_key_99999999999999999999", s));
  EXPECT_EQ(s.index, 2147483647);  // clamped, never undefined
}

TEST(NameSplitTest, NamesWithoutUnderscoreDoNotSplit) {
  NameSplit s;
  EXPECT_FALSE(SplitName("root", s));
  EXPECT_FALSE(SplitName("", s));
}

TEST(RouteTableTest, PrefixRowsMatchTheSplitPrefixNotTheStartOfTheName) {
  const std::vector<Route> table{{"ms_profile_", Match::Prefix, nullptr}, {"ms_profile_x", Match::Exact, nullptr}};
  NameSplit s;
  ASSERT_TRUE(SplitName("MS_Profile_3", s));
  EXPECT_EQ(FindRoute(table, "MS_Profile_3", &s), &table[0]);  // case ignored
  ASSERT_TRUE(SplitName("ms_profile_fun_spread_btn", s));
  EXPECT_EQ(FindRoute(table, "ms_profile_fun_spread_btn", &s), nullptr);
  EXPECT_EQ(FindRoute(table, "ms_profile_x", nullptr), &table[1]);
}

// A main window that records the clicks reaching the library's own click
// handling.
class RecordingMainWnd : public CMainWnd {
 public:
  using CMainWnd::CMainWnd;
  void OnClick(TNotifyUI& msg) override {
    library_clicks.push_back(msg.pSender != nullptr ? msg.pSender->GetName() : "");
    CMainWnd::OnClick(msg);
  }
  std::vector<std::string> library_clicks;
};

class RoutingTest : public MainWndTest {
 protected:
  void SetUp() override {
    MainWndTest::SetUp();
    MainWndOptions options;
    options.presence_threads = false;
    recording = new RecordingMainWnd(options);
    window.reset(recording);
    ASSERT_NE(window->Create(nullptr, "TRX770", 0x96CA0000, 0, 0, 0, 800, 572), nullptr);
    queue().ProcessPending();
    boxes.clear();
  }
  int Page(const char* layout) { return dynamic_cast<CTabLayoutUI*>(Find(layout))->GetCurSel(); }
  void Select(const char* option) {
    auto* o = dynamic_cast<COptionUI*>(Find(option));
    ASSERT_NE(o, nullptr) << option;
    o->Selected(true, true);
  }
  RecordingMainWnd* recording = nullptr;
};

TEST_F(RoutingTest, CloseButtonNeverReachesTheLibraryClickHandlingOtherClicksDo) {
  Notify("ms_pro_deng_edit_btn", "click");
  Notify("root", "click");  // a name without "_" goes to the library too
  EXPECT_EQ(recording->library_clicks, (std::vector<std::string>{"ms_pro_deng_edit_btn", "root"}));
  Notify("minbtn", "click");
  EXPECT_TRUE(window->IsMinimized());
  Notify("closebtn", "click");
  EXPECT_EQ(recording->library_clicks.size(), 2u);
  EXPECT_FALSE(IsWindow(window->GetHWND()));
}

TEST_F(RoutingTest, SkinButtonOpensTheChooserAndTheClickGoesOn) {
  CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");  // the chooser's layout
  std::vector<std::string> opened;
  SetDialogHook([&](WindowImplBase& dialog, std::string_view cls) {
    opened.emplace_back(cls);
    dialog.Close(0);
  });
  Notify("skinbtn", "click");
  Pump();
  EXPECT_EQ(opened, (std::vector<std::string>{"UISkinFrame"}));
  EXPECT_EQ(recording->library_clicks, (std::vector<std::string>{"skinbtn"}));
}

TEST_F(RoutingTest, KeyboardKeyNamesGoByTheirPrefixWhateverTheNumericTail) {
  EXPECT_FALSE(Find("kb_tab_function")->IsVisible());
  Select("kb_tab");
  Select("kb_key_Op_tab");
  Notify("kb_key_butt_keysave", "click");  // prefix "kb_key_butt_": not a key
  EXPECT_FALSE(Find("kb_tab_function")->IsVisible());
  Find("kb_key_5")->SetName("kb_key_125");
  Notify("kb_key_125", "click");
  EXPECT_TRUE(Find("kb_tab_function")->IsVisible());
  EXPECT_TRUE(Find("kb_tab_function")->IsEnabled());
}

TEST_F(RoutingTest, DeviceAndPageTabsSelectTheirPages) {
  Select("mp_tab");
  EXPECT_EQ(Page("tab_switch"), 2);
  Select("split_tab");
  EXPECT_EQ(Page("tab_switch"), 4);
  Select("ms_tab");
  EXPECT_EQ(Page("tab_switch"), 1);
  Select("ms_cursor_Op_tab");
  EXPECT_EQ(Page("ms_tab_switch"), 4);
  Select("ms_key_Op_tab");
  EXPECT_EQ(Page("ms_tab_switch"), 2);
  EXPECT_TRUE(Find("ms_tab_function")->IsVisible());
  Select("kb_tab");
  Select("kb_key_Op_tab");
  EXPECT_EQ(Page("kb_tab_switch"), 2);
  EXPECT_EQ(Page("kb_profile_select_tab"), 1);
  EXPECT_TRUE(Find("kb_key_profile_edit")->IsVisible());
  EXPECT_FALSE(Find("kb_deng_profile_edit")->IsVisible());
  Select("kb_macro_Op_tab");
  EXPECT_EQ(Page("kb_tab_switch"), 1);
  EXPECT_FALSE(Find("kb_profile_fun_spread_btn")->IsEnabled());
  Select("kb_deng_Op_tab");
  EXPECT_EQ(Page("kb_tab_switch"), 0);
  EXPECT_EQ(Page("kb_profile_select_tab"), 0);
  EXPECT_TRUE(Find("kb_deng_profile_edit")->IsVisible());
  EXPECT_FALSE(Find("kb_key_profile_edit")->IsVisible());
  EXPECT_TRUE(Find("kb_profile_fun_spread_btn")->IsEnabled());
}

TEST_F(RoutingTest, PanelTogglesAndTabFocusFoldTheProfilePanel) {
  Select("ms_tab");
  Notify("ms_profile_fun_spread_btn", "click");
  EXPECT_TRUE(Find("ms_profile_fun_spead_tab")->IsVisible());
  Notify("ms_macro_Op_tab", "setfocus");
  EXPECT_FALSE(Find("ms_profile_fun_spead_tab")->IsVisible());
  Notify("ms_pro_deng_edit_btn", "click");
  EXPECT_TRUE(Find("ms_deng_profile_edit")->IsVisible());
  Notify("ms_pro_deng_edit_btn", "click");
  EXPECT_FALSE(Find("ms_deng_profile_edit")->IsVisible());
}

TEST_F(RoutingTest, RoutineInsertButtonsLeaveOnlyTheirKeyPanelVisible) {
  Select("kb_tab");
  Select("kb_macro_Op_tab");
  Notify("kb_macro_inset_leftkey_btn", "click");
  EXPECT_TRUE(Find("kb_macro_inset_leftkey_tab")->IsVisible());
  EXPECT_FALSE(Find("kb_macro_inset_rightkey_tab")->IsVisible());
  Notify("kb_macro_inset_moveupkey_btn", "click");  // pointer moves have no panel
  EXPECT_FALSE(Find("kb_macro_inset_leftkey_tab")->IsVisible());
}

TEST_F(RoutingTest, MacroEditGuardPutsTheMacroTabBackAndWarns) {
  Select("ms_tab");
  Select("ms_macro_Op_tab");
  Find("ms_macro_tab_saveorcancel")->SetVisible(true);
  const int removals = window->HookRemovals();
  Select("ms_deng_Op_tab");  // leaving the macro page while editing
  EXPECT_EQ(boxes, (std::vector<std::string>{"message_text_3"}));
  EXPECT_TRUE(dynamic_cast<COptionUI*>(Find("ms_macro_Op_tab"))->IsSelected());
  EXPECT_EQ(Page("ms_tab_switch"), 1);
  EXPECT_EQ(window->HookRemovals(), removals + 1);  // only the re-selection of the macro tab passed
  Notify("ms_tab", "selectchanged");  // the device tab itself passes
  Notify("ms_macro_Op_tab", "selectchanged");
  EXPECT_EQ(boxes.size(), 1u);
  Find("ms_macro_tab_saveorcancel")->SetVisible(false);
  Select("ms_deng_Op_tab");
  EXPECT_EQ(Page("ms_tab_switch"), 0);
  EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(RoutingTest, KeyboardMacroGuardShowsTheKeyboardTabAgain) {
  Select("kb_tab");
  Select("kb_macro_Op_tab");
  Find("kb_macro_tab_saveorcancel")->SetVisible(true);
  Find("kb_tab")->SetVisible(false);
  Select("mp_tab");
  EXPECT_EQ(boxes, (std::vector<std::string>{"message_text_3"}));
  EXPECT_TRUE(Find("kb_tab")->IsVisible());
  EXPECT_TRUE(dynamic_cast<COptionUI*>(Find("kb_tab"))->IsSelected());
  EXPECT_EQ(Page("tab_switch"), 0);
}

TEST_F(RoutingTest, AcceptedSelectionsRemoveTheHooksRecordingOptionsDoNot) {
  const int before = window->HookRemovals();
  Select("ms_tab");
  EXPECT_EQ(window->HookRemovals(), before + 1);
  Notify("ms_macro_check_time", "selectchanged");
  EXPECT_EQ(window->HookRemovals(), before + 1);
}

TEST_F(RoutingTest, DpiColourButtonTakesThePaletteColourOnlyOnOk) {
  CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");  // the palette dialog's layout
  {
    std::lock_guard<std::recursive_mutex> lock(ImageMutex());
    std::fill_n(Images().mouse.CurrentRecord() + 21, 12, uint8_t{0x11});
  }
  bool ok = false;
  SetDialogHook([&](WindowImplBase& dialog, std::string_view cls) {
    ASSERT_EQ(cls, "UIPalletDialog");
    ClickDialogControl(dialog, "ms_dpi_color_png_0");  // preset 0: 0xFFFF0000
    ClickDialogControl(dialog, ok ? "okbtn" : "closebtn");
  });
  Notify("ms_DPIcolor_btn_2", "click");  // closed: nothing changes
  EXPECT_EQ(Find("ms_DPIcolor_btn_2")->GetBkColor(), 0xFF00FF00u);
  EXPECT_FALSE(window->Pending().IsPending(DeviceKind::Mouse));
  ok = true;
  Notify("ms_DPIcolor_btn_2", "click");
  EXPECT_EQ(Find("ms_DPIcolor_btn_2")->GetBkColor(), 0xFFFF0000u);
  EXPECT_TRUE(window->Pending().IsPending(DeviceKind::Mouse));
  std::lock_guard<std::recursive_mutex> lock(ImageMutex());
  const uint8_t* rec = Images().mouse.CurrentRecord();
  EXPECT_EQ(std::vector<uint8_t>(rec + 21, rec + 33),
            (std::vector<uint8_t>{0x11, 0x11, 0x11, 0xFF, 0x00, 0x00, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11}));
}

TEST_F(RoutingTest, SubLayoutsAreBuiltIntoTheMainTree) {
  // "MS_Deng_UI" in the test layout is built from "Mouse_deng.xml".
  EXPECT_NE(Find("ms_deng_Color_Pallet"), nullptr);
  EXPECT_NE(Find("ms_dkey_19"), nullptr);
  CControlUI* page = window->CreateControl("ms_deng_ui");  // case ignored
  EXPECT_NE(page, nullptr);
  delete page;
  EXPECT_EQ(window->CreateControl("NoSuchClass"), nullptr);
}

}  // namespace
}  // namespace trx::app::testing

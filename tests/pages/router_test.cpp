// The router over the real layouts.

#include <tuple>

#include "pages/name_split.h"
#include "pages/router.h"
#include "tests/pages/page_fixture.h"

namespace trx::pages::testing {
namespace {

TEST(NameSplitTest, CutsAtTheLastUnderscoreAndReadsTheTailAsAtoiDoes) {
  struct Case { const char *name, *prefix; int index; };
  const Case cases[] = {
      {"kb_key_17", "kb_key_", 17},
      {"kb_key_butt_keysave", "kb_key_butt_", 0},  // non-digits read as 0
      {"ms_profile_-3", "ms_profile_", -3}, {"ms_profile_12abc", "ms_profile_", 12}, {"x_", "x_", 0},
      {"kb_key_99999999999999999999", "kb_key_", 2147483647},  // clamped, never undefined
  };
  for (const Case& c : cases) {
    NameSplit s;
    ASSERT_TRUE(SplitName(c.name, s)) << c.name;
    EXPECT_EQ(s.prefix, c.prefix) << c.name;
    EXPECT_EQ(s.index, c.index) << c.name;
  }
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

class RouterTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    Build();
  }
};

TEST_F(RouterTest, TitleBarButtonsActOnTheWindowAndOnlyTheSkinButtonGoesOn) {
  Notify("minbtn", "click");
  Notify("maxbtn", "click");
  Notify("closebtn", "click");
  Notify("skinbtn", "click");
  Notify("root", "click");  // a name without "_" goes to the library too
  EXPECT_EQ(window.calls, (std::vector<std::string>{"syscommand 61472", "syscommand 61488", "destroy", "skin chooser"}));
  EXPECT_EQ(window.library, (std::vector<std::string>{"click skinbtn", "click root"}));
  Notify("ms_tab", "windowinit");
  EXPECT_EQ(window.calls.back(), "windowinit");
}

TEST_F(RouterTest, KeyboardKeyNamesGoByTheirPrefixWhateverTheNumericTail) {
  Select("kb_tab");
  Select("kb_key_Op_tab");
  Find("kb_tab_function")->SetVisible(false);
  Notify("kb_key_butt_prosave", "click");  // prefix "kb_key_butt_": not a key
  EXPECT_FALSE(Visible("kb_tab_function"));
  Find("kb_key_5")->SetName("kb_key_125");
  Notify("kb_key_125", "click");
  EXPECT_TRUE(Visible("kb_tab_function"));
  EXPECT_TRUE(Find("kb_tab_function")->IsEnabled());
}

// Accepted selections remove the input hooks.
TEST_F(RouterTest, DeviceAndPageTabsSelectTheirPages) {
  for (auto [option, tabs, page] : {std::tuple{"mp_tab", "tab_switch", 2}, {"split_tab", "tab_switch", 4},
                                    {"ms_tab", "tab_switch", 1}, {"ms_cursor_Op_tab", "ms_tab_switch", 4}}) {
    const int removals = window.hook_removals;
    Select(option);
    EXPECT_EQ(Page(tabs), page) << option;
    EXPECT_EQ(window.hook_removals, removals + 1) << option;
  }
  Find("ms_tab_function")->SetVisible(false);
  Select("ms_key_Op_tab");
  EXPECT_EQ(Page("ms_tab_switch"), 2);
  EXPECT_TRUE(Visible("ms_tab_function"));
  Select("kb_tab");
  Select("kb_key_Op_tab");
  EXPECT_EQ(Page("kb_tab_switch"), 2);
  EXPECT_EQ(Page("kb_profile_select_tab"), 1);
  // A page opens with no rename field, even one left open on another page.
  EXPECT_FALSE(Visible("kb_key_profile_edit"));
  EXPECT_FALSE(Visible("kb_deng_profile_edit"));
  Notify("kb_pro_key_edit_btn", "click");
  ASSERT_TRUE(Visible("kb_key_profile_edit"));
  Select("kb_macro_Op_tab");
  EXPECT_EQ(Page("kb_tab_switch"), 1);
  EXPECT_FALSE(Find("kb_profile_fun_spread_btn")->IsEnabled());
  Select("kb_deng_Op_tab");
  EXPECT_EQ(Page("kb_tab_switch"), 0);
  EXPECT_EQ(Page("kb_profile_select_tab"), 0);
  EXPECT_FALSE(Visible("kb_deng_profile_edit"));
  EXPECT_FALSE(Visible("kb_key_profile_edit"));
  EXPECT_TRUE(Find("kb_profile_fun_spread_btn")->IsEnabled());
}

TEST_F(RouterTest, PanelTogglesAndTabFocusFoldTheProfilePanel) {
  Select("ms_tab");
  Find("ms_profile_fun_spead_tab")->SetVisible(false);
  Notify("ms_profile_fun_spread_btn", "click");
  EXPECT_TRUE(Visible("ms_profile_fun_spead_tab"));
  Notify("ms_macro_Op_tab", "setfocus");
  EXPECT_FALSE(Visible("ms_profile_fun_spead_tab"));
  Select("kb_tab");
  Select("kb_macro_Op_tab");
  Select("kb_deng_Op_tab");
  ASSERT_FALSE(Visible("kb_deng_profile_edit"));
  Notify("kb_pro_deng_edit_btn", "click");
  EXPECT_TRUE(Visible("kb_deng_profile_edit"));
  Notify("kb_pro_deng_edit_btn", "click");
  EXPECT_FALSE(Visible("kb_deng_profile_edit"));
}

TEST_F(RouterTest, MacroInsertButtonsLeaveOnlyTheirKeyPanelVisible) {
  for (const char* family : {"kb_", "ms_"}) {
    Select(std::string(family) + "tab");
    Select(std::string(family) + "macro_Op_tab");
    Find(std::string(family) + "MacroMouseEvent")->SetVisible(true);  // as the mouse-event box does
    const std::string p = std::string(family) + "macro_inset_";
    Notify(p + "leftkey_btn", "click");
    EXPECT_TRUE(Visible(p + "leftkey_tab")) << family;
    EXPECT_FALSE(Visible(p + "rightkey_tab")) << family;
    Notify(p + "rightkeyup_btn", "click");
    EXPECT_TRUE(Visible(p + "rightkey_tab")) << family;
    EXPECT_FALSE(Visible(p + "leftkey_tab")) << family;
    Notify(p + "moveupkey_btn", "click");  // pointer moves have no panel
    EXPECT_FALSE(Visible(p + "rightkey_tab")) << family;
  }
}

TEST_F(RouterTest, MacroEditGuardPutsTheMacroTabBackAndWarns) {
  Select("ms_tab");
  Select("ms_macro_Op_tab");
  Find("ms_macro_tab_saveorcancel")->SetVisible(true);
  const int removals = window.hook_removals;
  // Rows before the guard end the selection without refusal, and the input hooks (a key capture) stay.
  for (const char* name : {"ms_macro_btn_shubiao", "kb_macro_btn_shubiao", "ms_key_3", "ms_macro_check_time",
                           "ms_macro_mouse_move"})
    Notify(name, "selectchanged");
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(window.hook_removals, removals);
  Select("ms_deng_Op_tab");  // leaving the macro page while editing
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"message_text_3"}));
  EXPECT_TRUE(Selected("ms_macro_Op_tab"));
  EXPECT_EQ(Page("ms_tab_switch"), 1);
  EXPECT_EQ(window.hook_removals, removals + 1);  // only the re-selection of the macro tab passed
  Notify("ms_tab", "selectchanged");               // the device tab itself passes
  Notify("ms_macro_Op_tab", "selectchanged");
  EXPECT_EQ(dialogs.messages.size(), 1u);
  Notify("ms_Deng_7color_check", "selectchanged");  // any other selection meets the guard
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"message_text_3", "message_text_3"}));
  Find("ms_macro_tab_saveorcancel")->SetVisible(false);
  Select("ms_deng_Op_tab");
  EXPECT_EQ(Page("ms_tab_switch"), 0);
  EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(RouterTest, KeyboardMacroGuardShowsTheKeyboardTabAgain) {
  Select("kb_tab");
  Select("kb_macro_Op_tab");
  Find("kb_macro_tab_saveorcancel")->SetVisible(true);
  Find("kb_tab")->SetVisible(false);
  Select("mp_tab");
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"message_text_3"}));
  EXPECT_TRUE(Visible("kb_tab"));
  EXPECT_TRUE(Selected("kb_tab"));
  EXPECT_EQ(Page("tab_switch"), 0);
}

}  // namespace
}  // namespace trx::pages::testing

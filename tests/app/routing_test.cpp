// The main window's part of the routing (the routing tables and the pages
// are tested over the real layouts in tests/pages).

#include <gtest/gtest.h>

#include "macro/macro_library.h"
#include "settings/config_images.h"
#include "tests/app/app_test_support.h"
#include "ui/core/combo.h"
#include "ui/core/container.h"
#include "ui/core/option.h"
#include "ui/window/win_api.h"

namespace trx::app::testing {
namespace {

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
    recording = new RecordingMainWnd({.backend = nullptr, .presence_threads = false});
    window.reset(recording);
    ASSERT_NE(window->Create(nullptr, "TRX770", 0x96CA0000, 0, 0, 0, 800, 572), nullptr);
    queue().ProcessPending();
    boxes.clear();
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
  EXPECT_TRUE(boxes.empty());  // nothing unsaved: no question
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

TEST_F(RoutingTest, SubLayoutsAreBuiltIntoTheMainTree) {
  // "MS_Deng_UI" in the test layout is built from "Mouse_deng.xml".
  EXPECT_NE(Find("ms_deng_Color_Pallet"), nullptr);
  EXPECT_NE(Find("ms_dkey_19"), nullptr);
  CControlUI* page = window->CreateControl("ms_deng_ui");  // case ignored
  EXPECT_NE(page, nullptr);
  delete page;
  EXPECT_EQ(window->CreateControl("NoSuchClass"), nullptr);
}

// Quitting while a macro or button functions are unsaved asks first.
class QuitWithUnsavedMacroTest : public MainWndTest {
 protected:
  void SetUp() override {
    MainWndTest::SetUp();
    CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");  // the real macro page
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource("res.xml"));
    std::string name;
    ASSERT_EQ(macro::CreateMacro(macro::MacroStoreFor(DeviceKind::Mouse), name), macro::MacroResult::Ok);
    CreateWindow();
    boxes.clear();
  }
};

TEST_F(QuitWithUnsavedMacroTest, DeclinedQuitsKeepTheEditConfirmedOneQuits) {
  for (const char* tab : {"ms_tab", "ms_macro_Op_tab"}) dynamic_cast<COptionUI*>(Find(tab))->Selected(true, true);
  Notify("ms_macro_inset_leftkeydown_btn", "click");  // the first macro loads, an action is inserted
  ASSERT_TRUE(window->Pages().UnsavedMacroEdit());
  answer = "cancel_btn";
  Notify("closebtn", "click");
  SendMessage(window->GetHWND(), WM_SYSCOMMAND, SC_CLOSE, 0);
  window->RunMenuCommand("exit", "");
  Pump();
  EXPECT_TRUE(IsWindow(window->GetHWND()));
  EXPECT_EQ(boxes, (std::vector<std::string>(3, "message_macro_unsaved")));
  EXPECT_TRUE(window->Pages().UnsavedMacroEdit());
  answer = "confirm_btn";
  window->RunMenuCommand("exit", "");
  Pump();
  EXPECT_FALSE(IsWindow(window->GetHWND()));
}

TEST_F(QuitWithUnsavedMacroTest, UnsavedButtonFunctionsAskBeforeQuitting) {
  for (const char* tab : {"ms_tab", "ms_key_Op_tab", "ms_key_3"}) dynamic_cast<COptionUI*>(Find(tab))->Selected(true, true);
  dynamic_cast<CComboUI*>(Find("ms_key_fct_combo"))->SelectItem(4);
  dynamic_cast<CComboUI*>(Find("ms_key_fct_combo_14"))->SelectItem(2);
  ASSERT_TRUE(window->Pages().UnsavedAssignments());
  for (const char* button : {"cancel_btn", "closebtn", "confirm_btn"}) {
    answer = button;
    Notify("closebtn", "click");
    Pump();
    EXPECT_EQ(IsWindow(window->GetHWND()), answer != "confirm_btn") << button;
  }
  EXPECT_EQ(boxes, (std::vector<std::string>(3, "key_unsaved_quit_question")));
}

}  // namespace
}  // namespace trx::app::testing

// The message box: what each way of answering returns, the text it shows,
// the self-closing notice, and a skin without the box's layout.

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/dialogs/dialog_test_support.h"
#include "ui/core/button.h"
#include "ui/dialogs/msg_wnd.h"
#include "ui/window/win_api.h"

namespace trx::ui::testing {
namespace {

class MsgWndTest : public DialogTest {
 protected:
  // Answers every box by clicking `control` with the mouse (after a click on
  // the title, which is no button and leaves the box open), or by sending it
  // `message` when one is given; records texts.
  void AnswerWith(std::string control, UINT message = 0, WPARAM wparam = 0) {
    SetDialogHook([this, control, message, wparam](WindowImplBase& dialog, std::string_view cls) {
      classes_.emplace_back(cls);
      auto& box = dynamic_cast<CMsgWnd&>(dialog);
      texts_.push_back(box.GetMessageText());
      CControlUI* text = box.GetPaintManager().FindControl(kMsgTextName);
      resource_flags_.push_back(text != nullptr && text->IsResourceText());
      const HWND hwnd = dialog.GetHWND();
      if (message != 0) return queue().PostCallback([=] { SendMessage(hwnd, message, wparam, 0); });
      ClickDialogControl(dialog, kMsgTitleName);
      QueueMouseClick(dialog, control);
    });
  }
  std::vector<std::string> classes_;
  std::vector<std::string> texts_;
  std::vector<bool> resource_flags_;
};

TEST_F(MsgWndTest, EachWayOfAnsweringReturnsItsResult) {
  // `control` is clicked with the mouse, or empty: `message` is sent.
  struct Row { const char* how; std::string control; UINT message; WPARAM wparam; int result; };
  const Row rows[] = {
      {"confirm", kMsgConfirmName, 0, 0, 1}, {"cancel", kMsgCancelName, 0, 0, 0}, {"close button", kMsgCloseName, 0, 0, 0},
      {"closed from the desktop", "", WM_SYSCOMMAND, SC_CLOSE, 0}, {"Escape", "", WM_KEYDOWN, VK_ESCAPE, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.how);
    classes_.clear();
    AnswerWith(row.control, row.message, row.wparam);
    EXPECT_EQ(ShowMessage(nullptr, "message_text_2", true), row.result);
    EXPECT_EQ(classes_, std::vector<std::string>{"MsgWnd"});
  }
}

// Enter clicks the first of Save and confirm that shows; the title comes from the language.
TEST_F(MsgWndTest, EachKindShowsItsButtonsAndEnterClicksTheDefault) {
  ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage("lan_en.xml"));
  struct Row { MsgButtons kind; bool save, cancel; const char* confirm_text; int enter; };
  const Row rows[] = {
      {MsgButtons::Question, false, true, "OK", kMsgResultConfirm},
      {MsgButtons::Notice, false, false, "OK", kMsgResultConfirm},
      {MsgButtons::SaveQuestion, true, true, "Discard", kMsgResultSave},
  };
  for (const Row& row : rows) {
    bool save = false, cancel = false;
    std::string confirm, title;
    SetDialogHook([&](WindowImplBase& d, std::string_view) {
      CPaintManagerUI& pm = d.GetPaintManager();
      save = pm.FindControl(kMsgSaveName)->IsVisible();
      cancel = pm.FindControl(kMsgCancelName)->IsVisible();
      confirm = pm.FindControl(kMsgConfirmName)->GetText();
      title = d.GetWindowText();
      const HWND hwnd = d.GetHWND();
      queue().PostCallback([hwnd] { SendMessage(hwnd, WM_KEYDOWN, VK_RETURN, 0); });
    });
    EXPECT_EQ(ShowMessage(nullptr, "message_text_2", true, row.kind), row.enter);
    EXPECT_EQ(save, row.save);
    EXPECT_EQ(cancel, row.cancel);
    EXPECT_EQ(confirm, row.confirm_text);
    EXPECT_EQ(title, "TRX770");
  }
  AnswerWith(kMsgConfirmName);  // Discard
  EXPECT_EQ(ShowMessage(nullptr, "message_macro_unsaved", true, MsgButtons::SaveQuestion), kMsgResultConfirm);
  AnswerWith(kMsgCancelName);
  EXPECT_EQ(ShowMessage(nullptr, "message_macro_unsaved", true, MsgButtons::SaveQuestion), kMsgResultCancel);
}

TEST_F(MsgWndTest, ButtonNamesAreComparedWithoutRegardToCase) {
  auto* box = new CMsgWnd;  // deletes itself when its window is gone
  const HWND hwnd = box->Create(nullptr, kMsgWndTitle, WS_POPUP, WS_EX_TOOLWINDOW);
  ASSERT_NE(hwnd, nullptr);
  CButtonUI upper;
  upper.SetName("CONFIRM_BTN");
  queue().PostCallback([box, &upper] {
    TNotifyUI msg;
    msg.sType = kNotifyClick;
    msg.pSender = &upper;
    box->OnClick(msg);
  });
  EXPECT_EQ(box->ShowModal(), 1u);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(MsgWndTest, OwnerIsDisabledLosesItsHoverAndCentresTheBox) {
  auto* owner = new CMsgWnd;  // any layout window will do as owner
  const HWND owner_hwnd = owner->Create(nullptr, "owner", WS_POPUP, 0, 100, 50, 800, 572);
  ASSERT_NE(owner_hwnd, nullptr);
  owner->ShowWindow(true);
  CPaintManagerUI& pm = owner->GetPaintManager();
  pm.UpdateLayout();
  CControlUI* button = pm.FindControl(kMsgConfirmName);
  const UiRect rc = button->GetPos();
  pm.OnMouseMove({(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
  ASSERT_EQ(pm.GetHot(), button);
  CControlUI* hot_during_box = button;
  bool disabled_meanwhile = false;
  UiRect box_rect{};
  SetDialogHook([&](WindowImplBase& dialog, std::string_view) {
    box_rect = dialog.GetWindowRect();
    const HWND box = dialog.GetHWND();
    queue().PostCallback([&, box] {
      hot_during_box = pm.GetHot();
      disabled_meanwhile = !owner->IsEnabled();
      SendMessage(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
  });
  EXPECT_EQ(ShowMessage(owner_hwnd, "message_text_5", true), 0);
  EXPECT_TRUE(disabled_meanwhile);
  EXPECT_TRUE(owner->IsEnabled());
  EXPECT_EQ(hot_during_box, nullptr);
  EXPECT_EQ(pm.GetHot(), nullptr);
  const UiRect owner_rect = owner->GetWindowRect();
  EXPECT_GT(box_rect.Width(), 0);
  EXPECT_NEAR((box_rect.left + box_rect.right) / 2, (owner_rect.left + owner_rect.right) / 2, 1);
  EXPECT_NEAR((box_rect.top + box_rect.bottom) / 2, (owner_rect.top + owner_rect.bottom) / 2, 1);
  owner->DestroyWindow();
}

// A window whose button opens a box from its click handler.
class OpenerWindow : public WindowImplBase {
 public:
  void OnClick(TNotifyUI& msg) override { if (msg.pSender->GetName() == "open") ShowMessage(m_hWnd, "message_text_5", true); }

 protected:
  const char* GetWindowClassName() const override { return "OpenerWindow"; }
  std::string GetSkinFile() override {
    return "<Window size=\"300,200\"><VerticalLayout><Button name=\"open\" height=\"40\"/><Control/>"
           "</VerticalLayout></Window>";
  }
};

TEST_F(MsgWndTest, ButtonThatOpenedTheBoxIsNotLeftHoveredAfterIt) {
  OpenerWindow owner;
  ASSERT_NE(owner.Create(nullptr, "owner", WS_POPUP, 0, 0, 0, 300, 200), nullptr);
  CPaintManagerUI& pm = owner.GetPaintManager();
  pm.UpdateLayout();
  SetDialogHook([](WindowImplBase& dialog, std::string_view) { QueueMouseClick(dialog, kMsgCancelName); });
  pm.OnMouseMove({150, 20});
  pm.OnButtonDown({150, 20});
  pm.OnButtonUp({150, 20});  // runs the box to its end
  queue().ProcessPending();
  EXPECT_EQ(pm.GetHot(), nullptr);
  owner.DestroyWindow();
}

// An empty text keeps the layout's.
TEST_F(MsgWndTest, TheTextIsShownAsALanguageTextOrAsItIs) {
  struct Row { const char* text; bool is_id, resource_text; };
  const Row rows[] = {{"message_text_8", true, true}, {"Saved.", false, false}, {"", true, false}};
  AnswerWith(kMsgConfirmName);
  for (const Row& row : rows) ShowMessage(nullptr, row.text, row.is_id);
  ASSERT_EQ(texts_.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(texts_[i], rows[i].text);
    EXPECT_EQ(resource_flags_[i], rows[i].resource_text) << rows[i].text;
  }
}

// One tick is 500 ms; a click on confirm before it returns at once.
TEST_F(MsgWndTest, SelfClosingNoticeClosesAfterOneTickOrAtAClick) {
  for (const bool click : {false, true}) {
    queue().UseManualClock(0);
    std::string text;
    SetDialogHook([&](WindowImplBase& dialog, std::string_view) {
      text = dynamic_cast<CMsgWnd&>(dialog).GetMessageText();
      if (click) QueueMouseClick(dialog, kMsgConfirmName);
    });
    queue().SetAutoAdvance(!click);  // nobody clicks: time runs on
    ShowSelfClosingNotice(nullptr);
    EXPECT_EQ(queue().Now(), click ? 0 : 500) << click;
    EXPECT_EQ(text, "message_text_20");
  }
}

TEST_F(MsgWndTest, SelfClosingNoticeCountsOneTickOfTimerOneThenStopsItsTimer) {
  auto* box = new CMsgWnd;  // deletes itself when its window is gone
  const HWND hwnd = box->Create(nullptr, kMsgWndTitle, WS_POPUP, WS_EX_TOOLWINDOW);
  ASSERT_NE(hwnd, nullptr);
  box->StartSelfClosing();
  queue().AdvanceTime(499);
  EXPECT_TRUE(IsWindow(hwnd)) << "closed before 500 ms";
  EXPECT_EQ(box->GetTickCount(), 0u);
  SendMessage(hwnd, WM_TIMER, 2, 0);  // another timer does not count
  EXPECT_EQ(box->GetTickCount(), 0u);
  SendMessage(hwnd, WM_TIMER, kSelfClosingTimerId, 0);
  EXPECT_EQ(box->GetTickCount(), 1u);
  EXPECT_FALSE(KillTimer(hwnd, kSelfClosingTimerId)) << "timer still running";
  queue().ProcessPending();  // the close it posted
  EXPECT_FALSE(IsWindow(hwnd));
}

// The worker leaves the UI thread alone.
TEST_F(MsgWndTest, BoxOffTheUiThreadOrWithoutItsLayoutAnswersZeroWithoutRunning) {
  bool hook_called = false;
  SetDialogHook([&](WindowImplBase&, std::string_view) { hook_called = true; });
  int result = -1;
  std::thread worker([&] { result = ShowMessage(nullptr, "message_text_1", true); });
  worker.join();
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(queue().IsUiThread());
  CResourceManager::GetInstance()->Release();
  ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource(TRX770_TEST_DATA_DIR "/dialogs/res_without_msg.xml"));
  EXPECT_EQ(ShowMessage(nullptr, "message_text_1", true), 0);
  EXPECT_FALSE(hook_called);
}

TEST_F(MsgWndTest, QuitWhileTheBoxIsOpenClosesItWithZero) {
  HWND box = nullptr;
  SetDialogHook([&](WindowImplBase& dialog, std::string_view) {
    box = dialog.GetHWND();
    queue().PostCallback([] { PostQuitMessage(0); });
  });
  EXPECT_EQ(ShowMessage(nullptr, "message_text_9", true), 0);
  EXPECT_FALSE(IsWindow(box));
}

}  // namespace
}  // namespace trx::ui::testing

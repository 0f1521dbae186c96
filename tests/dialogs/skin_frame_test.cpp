// The skin chooser: what each click broadcasts and remembers in "main.ini",
// where it drops down, and closing when it loses the focus.

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/ini_file.h"
#include "platform/user_folders.h"
#include "tests/dialogs/dialog_test_support.h"
#include "ui/core/container.h"
#include "ui/dialogs/skin_frame.h"
#include "ui/window/win_api.h"

namespace trx::ui::testing {
namespace {

class SkinFrameTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    SkinObserver().AddReceiver(&receiver_);
    main_.Create(nullptr, "TRX770", WS_POPUP, 0, 200, 100, 800, 572);
    main_.GetPaintManager().UpdateLayout();
    Reopen();
  }
  // Opens the chooser (again) from the skin button.
  void Reopen() {
    if (frame_ != nullptr && IsWindow(frame_hwnd_)) frame_->DestroyWindow();
    frame_ = CSkinFrame::Open(main_.GetHWND(), main_.GetPaintManager().FindControl("skinbtn"));
    ASSERT_NE(frame_, nullptr);
    frame_hwnd_ = frame_->GetHWND();
  }
  void TearDown() override {
    if (IsWindow(frame_hwnd_)) frame_->DestroyWindow();
    main_.DestroyWindow();
    SkinObserver().RemoveReceiver(&receiver_);
    DialogTest::TearDown();
  }
  // Clicks the n-th control of that name with the mouse.
  void Click(const std::string& name, int nth = 0) { ClickCentre(frame_->GetPaintManager(), Nth(name, nth), name); }
  CControlUI* Nth(const std::string& name, int nth) {
    auto all = frame_->GetPaintManager().FindControls([&](CControlUI* c) { return c->GetName() == name; });
    return static_cast<size_t>(nth) < all.size() ? all[static_cast<size_t>(nth)] : nullptr;
  }
  static std::string Ini(const char* key) {
    std::string value;
    GetPrivateProfileString(kSkinIniSection, key, "<missing>", value, MainIniPath());
    return value;
  }

  RecordingReceiver receiver_;
  MainStandIn main_;
  CSkinFrame* frame_ = nullptr;
  HWND frame_hwnd_ = nullptr;
};

TEST_F(SkinFrameTest, ColourIsBroadcastRememberedAndMarkedWhenTheChooserOpensAgain) {
  Click(kSkinImageBtnName, 0);
  Click(kSkinColorPageName);
  const UiColor colour = Nth(kSkinColorBtnName, 3)->GetBkColor();
  Click(kSkinColorBtnName, 3);
  ASSERT_EQ(receiver_.received.size(), 2u);
  EXPECT_TRUE(receiver_.received[1].bColor);
  EXPECT_EQ(receiver_.received[1].bkcolor, colour);
  EXPECT_EQ(receiver_.received[1].bgimage, "");
  EXPECT_EQ(Ini(kSkinIniFlags), "2");
  SkinChangedParam stored;
  ASSERT_TRUE(ReadStoredSkin(&stored));
  EXPECT_TRUE(stored.bColor);
  EXPECT_EQ(stored.bkcolor, colour);
  EXPECT_FALSE(ReadStoredSkinImage(nullptr)) << "no listed image is in force";

  Reopen();
  EXPECT_EQ(Nth(kSkinColorBtnName, 3)->GetBorderSize(), 2) << "the colour in force is marked";
  EXPECT_NE(Nth(kSkinColorBtnName, 2)->GetBorderSize(), 2);
  EXPECT_NE(Nth(kSkinImageBtnName, 0)->GetBorderSize(), 2);
}

TEST_F(SkinFrameTest, ListedImageAndResetAreBroadcastAndRemembered) {
  const std::string image = Nth(kSkinImageBtnName, 1)->GetUserData();
  ASSERT_FALSE(image.empty());
  Click(kSkinImageBtnName, 1);
  ASSERT_EQ(receiver_.received.size(), 1u);
  EXPECT_FALSE(receiver_.received[0].bColor);
  EXPECT_EQ(receiver_.received[0].bkcolor, 0u);
  EXPECT_EQ(receiver_.received[0].bgimage, image);
  EXPECT_EQ(Ini(kSkinIniFlags), "1");
  EXPECT_EQ(Ini(kSkinIniImage), image);
  std::string stored;
  EXPECT_TRUE(ReadStoredSkinImage(&stored));
  EXPECT_EQ(stored, image);
  Click(kSkinResetName);
  ASSERT_EQ(receiver_.received.size(), 2u);
  EXPECT_FALSE(receiver_.received[1].bColor);
  EXPECT_EQ(receiver_.received[1].bgimage, "common/background.png");
  EXPECT_EQ(Ini(kSkinIniFlags), "0");
  EXPECT_EQ(Ini(kSkinIniImage), "common/background.png");
  EXPECT_FALSE(ReadStoredSkinImage(nullptr));
}

TEST_F(SkinFrameTest, CustomImageIsBroadcastWithTheChosenPathButNotRemembered) {
  std::vector<FileDialogRequest> asked;
  SetFileDialogHandler([&](const FileDialogRequest& request, std::string* path) {
    asked.push_back(request);
    *path = "/home/user/Pictures/wall.png";
    return true;
  });
  Click(kSkinCustomName);
  EXPECT_TRUE(asked.empty()) << "the dialog runs after the click, from the queue";
  queue().ProcessPending();
  EXPECT_FALSE(IsWindow(frame_hwnd_)) << "the chooser closes for the dialog";
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].owner, main_.GetHWND());
  EXPECT_FALSE(asked[0].save);
  EXPECT_EQ(asked[0].default_extension, "png");
  EXPECT_EQ(asked[0].initial_name, "*.png");
  using Filters = std::vector<std::pair<std::string, std::string>>;
  // No language is loaded here: the filters are described by their patterns.
  EXPECT_EQ(asked[0].filters, (Filters{{"", "*.png"}, {"", "*.*"}}));
  ASSERT_EQ(receiver_.received.size(), 1u);
  EXPECT_FALSE(receiver_.received[0].bColor);
  EXPECT_EQ(receiver_.received[0].bgimage, "/home/user/Pictures/wall.png");
  EXPECT_EQ(Ini(kSkinIniFlags), "<missing>");
}

TEST_F(SkinFrameTest, CancelledCustomImageDialogChangesNothing) {
  Click(kSkinImageBtnName, 0);
  const std::string before = test::TempHome::ReadText(MainIniPath());
  SetFileDialogHandler([](const FileDialogRequest&, std::string*) { return false; });
  Click(kSkinCustomName);
  queue().ProcessPending();
  EXPECT_EQ(receiver_.received.size(), 1u);
  EXPECT_EQ(test::TempHome::ReadText(MainIniPath()), before);
}

TEST_F(SkinFrameTest, PageSwitchesAndAnItemWithoutAnImageNameBroadcastNothing) {
  auto* tab = static_cast<CTabLayoutUI*>(frame_->GetPaintManager().FindControl(kSkinTabName));
  ASSERT_NE(tab, nullptr);
  EXPECT_EQ(tab->GetCurSel(), 0);
  Click(kSkinColorPageName);
  EXPECT_EQ(tab->GetCurSel(), 1);
  Click(kSkinImagePageName);
  EXPECT_EQ(tab->GetCurSel(), 0);
  Nth(kSkinImageBtnName, 0)->SetUserData("");
  Click(kSkinImageBtnName, 0);
  EXPECT_TRUE(receiver_.received.empty());
  EXPECT_EQ(Ini(kSkinIniFlags), "<missing>");
}

TEST_F(SkinFrameTest, DropsDownWithItsTopRightCornerAtTheButtonsBottomRight) {
  const UiRect button = main_.GetPaintManager().FindControl("skinbtn")->GetPos();
  const UiRect frame = frame_->GetWindowRect();
  const UiSize size = frame_->GetPaintManager().GetInitSize();
  EXPECT_EQ(frame.right, 200 + button.right);
  EXPECT_EQ(frame.top, 100 + button.bottom);
  EXPECT_EQ(frame.Width(), size.cx);
  EXPECT_EQ(frame.Height(), size.cy);
  EXPECT_TRUE(frame_->IsWindowVisible());
  EXPECT_TRUE(frame_->IsTopMost());
  EXPECT_EQ(frame_->GetExStyle(), 0x08000088u);
}

// The chooser deletes itself (ASan); activation and a press inside do not close it.
TEST_F(SkinFrameTest, FocusLossDeactivationAndAPressOutsideCloseTheChooser) {
  const UiRect client = frame_->GetClientRect();
  SendMessage(frame_hwnd_, WM_LBUTTONDOWN, 0, MakePointLParam(client.right / 2, client.bottom - 2));
  SendMessage(frame_hwnd_, WM_LBUTTONUP, 0, MakePointLParam(client.right / 2, client.bottom - 2));
  SendMessage(frame_hwnd_, WM_ACTIVATE, WA_ACTIVE, 0);
  queue().ProcessPending();
  ASSERT_TRUE(IsWindow(frame_hwnd_));
  struct Row { UINT message; WPARAM wparam; LPARAM lparam; };
  for (const Row& row : {Row{WM_KILLFOCUS, 0, 0}, Row{WM_ACTIVATE, WA_INACTIVE, 0},
                         Row{WM_LBUTTONDOWN, 0, MakePointLParam(-40, 10)}}) {
    SCOPED_TRACE(row.message);
    Reopen();
    SendMessage(frame_hwnd_, row.message, row.wparam, row.lparam);
    queue().ProcessPending();
    EXPECT_FALSE(IsWindow(frame_hwnd_));
  }
  EXPECT_TRUE(receiver_.received.empty());
}

TEST_F(SkinFrameTest, OpeningOffTheUiThreadIsRefused) {
  CSkinFrame* opened = reinterpret_cast<CSkinFrame*>(1);
  std::thread worker([&] { opened = CSkinFrame::Open(main_.GetHWND(), nullptr); });
  worker.join();
  EXPECT_EQ(opened, nullptr);
  EXPECT_TRUE(queue().IsUiThread()) << "the worker took over the UI thread";
}

}  // namespace
}  // namespace trx::ui::testing

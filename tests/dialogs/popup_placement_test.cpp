// Every window that pops up over the main window (the skin chooser, a
// menu, the message box, the colour palette, the about window) lies inside
// the work area wherever the main window is: at each corner of the screen,
// and partly past its edges.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/dialogs/dialog_test_support.h"
#include "ui/dialogs/copyright_wnd.h"
#include "ui/dialogs/msg_wnd.h"
#include "ui/dialogs/pallet_dialog.h"
#include "ui/dialogs/skin_frame.h"
#include "ui/window/menu_wnd.h"
#include "ui/window/screen_placement.h"
#include "ui/window/win_api.h"

namespace trx::ui::testing {
namespace {

constexpr UiRect kWork{0, 0, 1280, 800};

class Main : public WindowImplBase {
 protected:
  const char* GetWindowClassName() const override { return "PlacementMain"; }
  std::string GetSkinFile() override {
    return "<Window size=\"800,572\"><VerticalLayout name=\"root\"><HorizontalLayout height=\"40\">"
           "<Control/><Button name=\"skinbtn\" width=\"30\" height=\"30\"/><Control width=\"100\"/>"
           "</HorizontalLayout><Control/></VerticalLayout></Window>";
  }
};

class PopupPlacementTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage("lan_en.xml"));
    SetHeadlessWorkArea(kWork);
    ASSERT_NE(main_.Create(nullptr, "TRX770", WS_POPUP | WS_VISIBLE, 0, 0, 0, 800, 572), nullptr);
  }
  void TearDown() override {
    CMenuWnd::DestroyMenu();
    main_.DestroyWindow();
    DialogTest::TearDown();
  }
  // The modal dialogs answer at once, after their place is read.
  void RecordModalPlace(UiRect* placed) {
    SetDialogHook([placed](WindowImplBase& d, std::string_view) {
      const HWND hwnd = d.GetHWND();
      CMessageQueue::Instance().PostCallback([hwnd, placed] {
        GetWindowRect(hwnd, placed);
        SendMessage(hwnd, WM_CLOSE, 0, 0);
      });
    });
  }
  Main main_;
};

TEST_F(PopupPlacementTest, EveryPopupLiesOnTheWorkAreaWhereverTheMainWindowIs) {
  const std::vector<UiPoint> main_at{{0, 0}, {480, 228}, {-300, -200}, {900, 600}, {-500, 500}, {1100, -100}};
  struct Popup {
    const char* what;
    std::function<UiRect(Main&)> open;  // opens it and returns its place
  };
  const std::vector<Popup> popups{
      {"skin chooser", [](Main& m) {
         m.GetPaintManager().UpdateLayout();
         CSkinFrame* frame = CSkinFrame::Open(m.GetHWND(), m.GetPaintManager().FindControl("skinbtn"));
         const UiRect rc = frame != nullptr ? frame->GetWindowRect() : UiRect{};
         if (frame != nullptr) frame->DestroyWindow();
         return rc;
       }},
      {"menu at the pointer", [](Main& m) {
         const UiRect main = m.GetWindowRect();
         CMenuWnd menu;
         menu.Init(nullptr, "<Window><Menu name=\"menu\" width=\"220\"><MenuElement name=\"a\" text=\"An item\" "
                            "height=\"30\"/><MenuElement name=\"b\" text=\"Another\" height=\"30\"/></Menu></Window>",
                   {main.right - 5, main.bottom - 5}, &m.GetPaintManager());
         const UiRect rc = menu.GetWindowRect();
         CMenuWnd::DestroyMenu();
         return rc;
       }},
      {"message box", [this](Main& m) {
         UiRect rc{};
         RecordModalPlace(&rc);
         ShowMessage(m.GetHWND(), "message_text_12");
         return rc;
       }},
      {"colour palette at the pointer", [this](Main& m) {
         UiRect rc{};
         RecordModalPlace(&rc);
         const UiRect main = m.GetWindowRect();
         UiColor colour = 0;
         RunPalletDialog(m.GetHWND(), 0xFF00FF00, {main.right - 10, main.bottom - 10}, &colour);
         return rc;
       }},
      {"about window", [](Main& m) {
         const HWND about = OpenAboutWindow(m.GetHWND());
         UiRect rc{};
         GetWindowRect(about, &rc);
         if (CWindowWnd* w = CWindowWnd::FromHandle(about)) w->DestroyWindow();
         return rc;
       }},
  };
  for (const UiPoint at : main_at) {
    main_.MoveWindow(at.x, at.y, 800, 572);
    for (const Popup& popup : popups) {
      const UiRect rc = popup.open(main_);
      EXPECT_FALSE(rc.IsEmpty()) << popup.what;
      EXPECT_TRUE(LiesOnWorkArea(rc)) << popup.what << " at " << rc.left << "," << rc.top << " " << rc.Width() << "x"
                                      << rc.Height() << " with the main window at " << at.x << "," << at.y;
    }
  }
}

}  // namespace
}  // namespace trx::ui::testing

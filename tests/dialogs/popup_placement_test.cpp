// Every window that pops up over the main window lies inside the work area
// wherever the main window is, even partly past the screen's edges.

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

using Main = MainStandIn;

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
  auto destroy = [](HWND hwnd) {
    if (CWindowWnd* w = CWindowWnd::FromHandle(hwnd)) w->DestroyWindow();
  };
  // Each opens its popup over `main` (anchored at its foot's right end
  // where a pointer is involved) and returns where it lies.
  const std::vector<std::pair<const char*, std::function<UiRect(Main&, UiPoint)>>> popups{
      {"skin chooser", [&](Main& m, UiPoint) {
         m.GetPaintManager().UpdateLayout();
         CSkinFrame* frame = CSkinFrame::Open(m.GetHWND(), m.GetPaintManager().FindControl("skinbtn"));
         const UiRect rc = frame != nullptr ? frame->GetWindowRect() : UiRect{};
         if (frame != nullptr) destroy(frame->GetHWND());
         return rc;
       }},
      {"menu", [](Main& m, UiPoint at) {
         CMenuWnd menu;
         menu.Init(nullptr, "<Window><Menu name=\"menu\" width=\"220\"><MenuElement name=\"a\" text=\"An item\" "
                            "height=\"30\"/><MenuElement name=\"b\" text=\"Another\" height=\"30\"/></Menu></Window>",
                   at, &m.GetPaintManager());
         return menu.GetWindowRect();
       }},
      {"message box", [this](Main& m, UiPoint) {
         UiRect rc{};
         RecordModalPlace(&rc);
         ShowMessage(m.GetHWND(), "message_text_12");
         return rc;
       }},
      {"palette", [this](Main& m, UiPoint at) {
         UiRect rc{};
         RecordModalPlace(&rc);
         UiColor colour = 0;
         RunPalletDialog(m.GetHWND(), 0xFF00FF00, at, &colour);
         return rc;
       }},
      {"about window", [&](Main& m, UiPoint) {
         const HWND about = OpenAboutWindow(m.GetHWND());
         UiRect rc{};
         GetWindowRect(about, &rc);
         destroy(about);
         return rc;
       }},
  };
  for (const UiPoint at : {UiPoint{0, 0}, UiPoint{480, 228}, UiPoint{-300, -200}, UiPoint{900, 600},
                           UiPoint{-500, 500}, UiPoint{1100, -100}}) {
    main_.MoveWindow(at.x, at.y, 800, 572);
    for (const auto& [what, open] : popups) {
      const UiRect rc = open(main_, {at.x + 795, at.y + 567});
      EXPECT_FALSE(rc.IsEmpty()) << what;
      EXPECT_TRUE(LiesOnWorkArea(rc)) << what << " at " << rc.left << "," << rc.top << " " << rc.Width() << "x"
                                      << rc.Height() << " with the main window at " << at.x << "," << at.y;
    }
  }
}

}  // namespace
}  // namespace trx::ui::testing

// Layout windows without a GUI: building the skin, sizing from the layout,
// "windowinit" on the first paint, click routing, the caption test of
// frameless windows, and a skin that cannot be built.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/debug_log.h"
#include "tests/ui/window_test_support.h"
#include "ui/core/button.h"
#include "ui/window/win_api.h"
#include "ui/window/window_impl_base.h"

namespace trx::ui::testing {
namespace {

constexpr const char* kLayout = R"(<Window size="400,300" caption="0,0,0,40">
  <VerticalLayout name="root" bkcolor="#FF202020">
    <HorizontalLayout height="40">
      <Label name="title" text="caption" width="200"/>
      <Button name="minbtn" width="40"/>
      <Text name="caption_text" width="60"/>
      <Button name="closebtn" width="40"/>
    </HorizontalLayout>
    <Special name="custom" height="50"/>
    <Button name="ok" text="OK" height="30"/>
  </VerticalLayout>
</Window>)";

class LayoutWindow : public WindowImplBase {
 public:
  explicit LayoutWindow(std::string skin = kLayout) : skin_(std::move(skin)) {}
  std::vector<std::string> events;
  std::vector<std::string> asked_classes;
  bool root_present_in_init = false;

  void InitWindow() override {
    events.push_back("InitWindow");
    root_present_in_init = m_pm.FindControl("ok") != nullptr;
  }
  void Notify(TNotifyUI& msg) override {
    if (msg.sType != kNotifyWindowSize) events.push_back(msg.sType);
    WindowImplBase::Notify(msg);
  }
  CControlUI* CreateControl(std::string_view cls) override {
    asked_classes.emplace_back(cls);
    if (cls == "Special") {
      auto* c = new CControlUI;
      return c;
    }
    return nullptr;
  }
  LRESULT HitTest(int client_x, int client_y) {
    const UiRect rc = GetWindowRect();
    return SendMessage(WM_NCHITTEST, 0, MakeLParam(rc.left + client_x, rc.top + client_y));
  }

 protected:
  const char* GetWindowClassName() const override { return "LayoutWindow"; }
  std::string GetSkinFile() override { return skin_; }

 private:
  std::string skin_;
};

class WindowImplTest : public WindowTest {};

TEST_F(WindowImplTest, CreateBuildsTheSkinSizesTheWindowAndCallsInitWindow) {
  LayoutWindow w;
  ASSERT_NE(w.Create(nullptr, "w", UI_WNDSTYLE_DIALOG, 0, 10, 20, 800, 572), nullptr);
  EXPECT_TRUE(w.root_present_in_init);
  EXPECT_EQ(w.GetWindowRect(), (UiRect{10, 20, 410, 320}));  // the layout's size wins
  EXPECT_EQ(w.GetStyle() & WS_CAPTION, 0u);                  // frameless
  EXPECT_EQ(w.asked_classes, (std::vector<std::string>{"Special"}));
  EXPECT_NE(w.GetPaintManager().FindControl("custom"), nullptr);
  EXPECT_EQ(w.GetPaintManager().FindControl("absent"), nullptr);
}

TEST_F(WindowImplTest, WindowInitArrivesWithTheFirstPaintAfterShowingOnce) {
  LayoutWindow w;
  w.Create(nullptr, "w", 0, 0);
  queue().ProcessPending();
  EXPECT_EQ(std::count(w.events.begin(), w.events.end(), kNotifyWindowInit), 0);
  w.ShowWindow(true);
  EXPECT_EQ(std::count(w.events.begin(), w.events.end(), kNotifyWindowInit), 0);  // not inline
  queue().ProcessPending();
  w.ShowWindow(false);
  w.ShowWindow(true);
  queue().ProcessPending();
  EXPECT_EQ(std::count(w.events.begin(), w.events.end(), kNotifyWindowInit), 1);
  EXPECT_EQ(w.events.front(), "InitWindow");
}

TEST_F(WindowImplTest, CaptionDragsExceptOverButtonsOptionsAndTexts) {
  LayoutWindow w;
  w.Create(nullptr, "w", 0, 0, 100, 100, 400, 300);
  w.ShowWindow(true);
  queue().ProcessPending();  // lays the tree out
  EXPECT_EQ(w.HitTest(50, 20), HTCAPTION);   // the title label
  EXPECT_EQ(w.HitTest(220, 20), HTCLIENT);   // minbtn
  EXPECT_EQ(w.HitTest(270, 20), HTCLIENT);   // a Text
  EXPECT_EQ(w.HitTest(50, 40), HTCLIENT);    // just below the caption
  EXPECT_EQ(w.HitTest(50, 150), HTCLIENT);
}

TEST_F(WindowImplTest, CloseButtonClickEndsAModalRunWithOne) {
  LayoutWindow w;
  w.Create(nullptr, "w", 0, 0);
  queue().PostCallback([&] {
    CControlUI* close = w.GetPaintManager().FindControl("closebtn");
    ASSERT_NE(close, nullptr);
    w.GetPaintManager().SendNotify(close, kNotifyClick);
  });
  EXPECT_EQ(w.ShowModal(), 1u);
}

TEST_F(WindowImplTest, EscapeCancelsOnlyAModalWindow) {
  LayoutWindow main_wnd;
  main_wnd.Create(nullptr, "main", 0, 0);
  main_wnd.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
  queue().ProcessPending();
  EXPECT_TRUE(IsWindow(main_wnd.GetHWND()));  // the main window stays
  LayoutWindow box;
  box.Create(main_wnd, "box", 0, 0);
  queue().PostCallback([&] { box.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0); });
  EXPECT_EQ(box.ShowModal(), 0u);
}

TEST_F(WindowImplTest, MinimiseButtonMinimises) {
  LayoutWindow w;
  w.Create(nullptr, "w", WS_VISIBLE, 0);
  w.GetPaintManager().SendNotify(w.GetPaintManager().FindControl("minbtn"), kNotifyClick);
  EXPECT_TRUE(w.IsMinimized());
}

TEST_F(WindowImplTest, SkinThatCannotBeBuiltFailsCreationWithADebugLine) {
  std::vector<std::string> lines;
  DebugSink old = SetDebugSink([&](std::string_view l) { lines.emplace_back(l); });
  const int live_before = window_registry::LiveCount();
  LayoutWindow w("<Window><VerticalLayout name=\"root\"></Window>");  // malformed
  EXPECT_EQ(w.Create(nullptr, "w", 0, 0), nullptr);
  SetDebugSink(old);
  EXPECT_EQ(window_registry::LiveCount(), live_before);
  EXPECT_NE(std::find(lines.begin(), lines.end(), kDebugSkinLoadFailed), lines.end());
  EXPECT_TRUE(w.events.empty());  // no InitWindow
}

}  // namespace
}  // namespace trx::ui::testing

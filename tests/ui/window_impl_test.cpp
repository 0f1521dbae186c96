// Layout windows without a GUI: building the skin, sizing from the layout,
// click routing, the caption test of frameless windows, and a skin that
// cannot be built. Window lifetime and modal loops: nested boxes, owned
// windows, show states and centring (the message box's own tests pin
// results, the disabled owner, self-deletion, the self-closing notice and
// quit).

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

class ModalTest : public WindowTest {};

TEST_F(ModalTest, NestedBoxesReturnInnerFirst) {
  RecordingWindow outer;
  outer.Create(nullptr, "outer", 0, 0);
  RecordingWindow inner;
  UINT inner_result = 99;
  queue().PostCallback([&] {
    inner.Create(outer, "inner", 0, 0);
    queue().PostCallback([&] { inner.Close(2); });
    inner_result = inner.ShowModal();
    outer.Close(3);
  });
  EXPECT_EQ(outer.ShowModal(), 3u);
  EXPECT_EQ(inner_result, 2u);
}

TEST_F(ModalTest, DestroyingAnOwnerDestroysTheWindowsItOwnsFirst) {
  std::vector<std::string> order;
  RecordingWindow owner;
  RecordingWindow owned;
  owner.Create(nullptr, "owner", 0, 0);
  owned.Create(owner, "owned", 0, 0);
  owner.on_message = [&](UINT msg, WPARAM, LPARAM, bool*) -> LRESULT {
    if (msg == WM_DESTROY) order.push_back("owner");
    return 0;
  };
  owned.on_message = [&](UINT msg, WPARAM, LPARAM, bool*) -> LRESULT {
    if (msg == WM_DESTROY) order.push_back("owned");
    return 0;
  };
  owner.DestroyWindow();
  EXPECT_EQ(order, (std::vector<std::string>{"owned", "owner"}));
  EXPECT_FALSE(IsWindow(owned.GetHWND()));
}

TEST_F(ModalTest, DeletingALiveWindowObjectWithdrawsItsHandle) {
  auto* w = new RecordingWindow;
  const HWND hwnd = w->Create(nullptr, "w", 0, 0);
  PostMessage(hwnd, WM_USER, 0, 0);
  SetTimer(hwnd, 1, 10);
  delete w;  // no DestroyWindow first
  EXPECT_FALSE(IsWindow(hwnd));
  queue().AdvanceTime(100);  // neither the message nor the timer may reach it
  EXPECT_EQ(queue().MillisToNextTimer(), -1);
}

TEST_F(ModalTest, ShowStateFollowsShowCommandsAndSystemCommands) {
  RecordingWindow w;
  w.Create(nullptr, "w", 0, 0, 0, 0, 800, 572);
  EXPECT_FALSE(w.IsWindowVisible());
  w.ShowWindowCmd(SW_SHOW);
  EXPECT_TRUE(w.IsWindowVisible());
  w.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(w.IsWindowVisible());
  EXPECT_TRUE(w.IsMinimized());
  w.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(w.IsWindowVisible());
  w.ShowWindow(false);
  EXPECT_FALSE(w.IsWindowVisible());
  w.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_TRUE(w.IsTopMost());
  EXPECT_EQ(w.GetWindowRect(), (UiRect{0, 0, 800, 572}));
  w.SetWindowPos(HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_FALSE(w.IsTopMost());
}

TEST_F(ModalTest, CenterWindowUsesTheWorkAreaOrTheVisibleOwner) {
  SetHeadlessWorkArea({0, 0, 1920, 1040});
  RecordingWindow main_wnd;
  main_wnd.Create(nullptr, "TRX770", 0, 0, 0, 0, 800, 572);
  main_wnd.CenterWindow();
  EXPECT_EQ(main_wnd.GetWindowRect(), (UiRect{560, 234, 1360, 806}));
  main_wnd.ShowWindow(true);
  RecordingWindow box;
  box.Create(main_wnd, "box", 0, 0, 0, 0, 400, 200);
  box.CenterWindow();
  EXPECT_EQ(box.GetWindowRect(), (UiRect{760, 420, 1160, 620}));
}

}  // namespace
}  // namespace trx::ui::testing

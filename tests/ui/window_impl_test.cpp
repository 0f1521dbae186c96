// Layout windows without a GUI: skin, caption and buttons; modal loops, owned
// windows, show states and centring; menus, the tray icon and file dialogs.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/debug_log.h"
#include "tests/ui/window_test_support.h"
#include "ui/core/button.h"
#include "ui/window/file_dialog.h"
#include "ui/window/menu_wnd.h"
#include "ui/window/tray_icon.h"
#include "ui/window/win_api.h"
#include "ui/window/window_impl_base.h"

namespace trx::ui::testing {
namespace {

constexpr const char* kLayout = R"(<Window size="400,300" caption="0,0,0,40"><VerticalLayout name="root" bkcolor="#FF202020">
    <HorizontalLayout height="40"><Label name="title" text="caption" width="200"/><Button name="minbtn" width="40"/>
      <Text name="caption_text" width="60"/><Button name="closebtn" width="40"/></HorizontalLayout>
    <Special name="custom" height="50"/><Button name="ok" text="OK" height="30"/>
  </VerticalLayout></Window>)";

class LayoutWindow : public SkinWindow {
 public:
  explicit LayoutWindow(std::string skin = kLayout) : SkinWindow(std::move(skin)) {}
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
    return cls == "Special" ? new CControlUI : nullptr;
  }
  LRESULT HitTest(int client_x, int client_y) {
    const UiRect rc = GetWindowRect();
    return SendMessage(WM_NCHITTEST, 0, MakeLParam(rc.left + client_x, rc.top + client_y));
  }
};

class WindowImplTest : public WindowTest {};

TEST_F(WindowImplTest, CreateBuildsTheSkinSizesTheWindowCallsInitWindowCaptionDragsOrFailsWithADebugLine) {
  LayoutWindow w;
  ASSERT_NE(w.Create(nullptr, "w", UI_WNDSTYLE_DIALOG, 0, 10, 20, 800, 572), nullptr);
  EXPECT_TRUE(w.root_present_in_init);
  EXPECT_EQ(w.GetWindowRect(), (UiRect{10, 20, 410, 320}));  // the layout's size wins
  EXPECT_EQ(w.GetStyle() & WS_CAPTION, 0u);                  // frameless
  EXPECT_EQ(w.asked_classes, (std::vector<std::string>{"Special"}));
  EXPECT_NE(w.GetPaintManager().FindControl("custom"), nullptr);
  EXPECT_EQ(w.GetPaintManager().FindControl("absent"), nullptr);
  // The caption drags except over buttons, options and texts; the minimise button minimises.
  w.ShowWindow(true);
  queue().ProcessPending();  // lays the tree out
  // The title label; minbtn; a Text; just below the caption; the body.
  for (auto [x, y, hit] : {std::tuple{50, 20, HTCAPTION}, {220, 20, HTCLIENT}, {270, 20, HTCLIENT}, {50, 40, HTCLIENT}, {50, 150, HTCLIENT}})
    EXPECT_EQ(w.HitTest(x, y), hit) << x << "," << y;
  w.GetPaintManager().SendNotify(w.GetPaintManager().FindControl("minbtn"), kNotifyClick);
  EXPECT_TRUE(w.IsMinimized());
  // A skin that cannot be built fails creation with a debug line.
  std::vector<std::string> lines;
  DebugSink old = SetDebugSink([&](std::string_view l) { lines.emplace_back(l); });
  const int live_before = window_registry::LiveCount();
  LayoutWindow bad("<Window><VerticalLayout name=\"root\"></Window>");  // malformed
  EXPECT_EQ(bad.Create(nullptr, "w", 0, 0), nullptr);
  SetDebugSink(old);
  EXPECT_EQ(window_registry::LiveCount(), live_before);
  EXPECT_NE(std::find(lines.begin(), lines.end(), kDebugSkinLoadFailed), lines.end());
  EXPECT_TRUE(bad.events.empty());  // no InitWindow
}

TEST_F(WindowImplTest, CloseButtonEndsAModalRunWithOneEscapeCancelsOnlyAModalWindow) {
  LayoutWindow main_wnd;
  main_wnd.Create(nullptr, "main", 0, 0);
  main_wnd.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
  queue().ProcessPending();
  EXPECT_TRUE(IsWindow(main_wnd.GetHWND()));
  LayoutWindow box, closed;
  box.Create(main_wnd, "box", 0, 0);
  queue().PostCallback([&] { box.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0); });
  EXPECT_EQ(box.ShowModal(), 0u);
  closed.Create(nullptr, "w", 0, 0);
  queue().PostCallback([&] { closed.GetPaintManager().SendNotify(closed.GetPaintManager().FindControl("closebtn"), kNotifyClick); });
  EXPECT_EQ(closed.ShowModal(), 1u);
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

// Destroying an owner destroys the windows it owns first; deleting a live
// window object withdraws its handle.
TEST_F(ModalTest, DestroyingAnOwnerDestroysItsWindowsFirstDeletingALiveOneWithdrawsItsHandle) {
  std::vector<std::string> order;
  RecordingWindow owner;
  RecordingWindow owned;
  owner.Create(nullptr, "owner", 0, 0);
  owned.Create(owner, "owned", 0, 0);
  for (auto [w, name] : {std::pair{&owner, "owner"}, {&owned, "owned"}})
    w->on_message = [&order, name](UINT msg, WPARAM, LPARAM, bool*) -> LRESULT {
      if (msg == WM_DESTROY) order.push_back(name);
      return 0;
    };
  owner.DestroyWindow();
  EXPECT_EQ(order, (std::vector<std::string>{"owned", "owner"}));
  EXPECT_FALSE(IsWindow(owned.GetHWND()));
  auto* w = new RecordingWindow;
  const HWND hwnd = w->Create(nullptr, "w", 0, 0);
  PostMessage(hwnd, WM_USER, 0, 0);
  SetTimer(hwnd, 1, 10);
  delete w;  // no DestroyWindow first
  EXPECT_FALSE(IsWindow(hwnd));
  queue().AdvanceTime(100);  // neither the message nor the timer may reach it
  EXPECT_EQ(queue().MillisToNextTimer(), -1);
}

TEST_F(ModalTest, ShowStateFollowsShowAndSystemCommandsCentringUsesTheWorkAreaOrTheVisibleOwner) {
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
  // Centring uses the work area, or the owner once it is visible.
  SetHeadlessWorkArea({0, 0, 1920, 1040});
  w.CenterWindow();
  EXPECT_EQ(w.GetWindowRect(), (UiRect{560, 234, 1360, 806}));
  w.ShowWindow(true);
  RecordingWindow box;
  box.Create(w, "box", 0, 0, 0, 0, 400, 200);
  box.CenterWindow();
  EXPECT_EQ(box.GetWindowRect(), (UiRect{760, 420, 1160, 620}));
}

constexpr const char* kMenu = R"(<Window><Menu name="menu" width="150">
    <MenuElement name="lan_en" text="English" userdata="1010" height="30"/><MenuElement name="exit" text="exit" height="30"/>
  </Menu></Window>)";

class OwnerWindow : public SkinWindow {
 public:
  OwnerWindow() : SkinWindow(R"(<Window size="200,100"><VerticalLayout name="root"/></Window>)") {}
  std::vector<Received> tray;

 protected:
  LRESULT HandleCustomMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override {
    if (msg == UIMSG_TRAYICON) tray.push_back({msg, wparam, lparam});
    return SkinWindow::HandleCustomMessage(msg, wparam, lparam, handled);
  }
};

class MenuTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_NE(owner.Create(nullptr, "main", 0, 0), nullptr);
  }
  void Open(CMenuWnd& menu, UiPoint at, DWORD alignment = eMenuAlignment_Left | eMenuAlignment_Top) {
    menu.Init(nullptr, kMenu, at, &owner.GetPaintManager(), nullptr, alignment);
  }
  OwnerWindow owner;
};

TEST_F(MenuTest, ClickPostsTheCommandRecordToTheOwnerAndClosesTheMenu) {
  CMenuWnd menu;
  Open(menu, {300, 200});
  ASSERT_NE(menu.GetMenuUI(), nullptr);
  EXPECT_EQ(CMenuWnd::OpenMenuCount(), 1);
  queue().ProcessPending();  // first paint lays the items out
  const UiRect rc = menu.GetPaintManager().FindControl("lan_en")->GetPos();
  ASSERT_FALSE(rc.IsEmpty());
  const UiPoint pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  menu.GetPaintManager().OnMouseMove(pt);
  menu.GetPaintManager().OnButtonDown(pt);
  menu.GetPaintManager().OnButtonUp(pt);
  EXPECT_EQ(CMenuWnd::OpenMenuCount(), 0);
  EXPECT_FALSE(IsWindow(menu.GetHWND()));
  EXPECT_TRUE(owner.commands.empty());  // posted, not sent
  queue().ProcessPending();
  ASSERT_EQ(owner.commands.size(), 1u);
  EXPECT_EQ(owner.commands[0].szName, "lan_en");
  EXPECT_EQ(owner.commands[0].szUserData, "1010");
  EXPECT_EQ(owner.commands[0].szText, "English");
}

TEST_F(MenuTest, ArrowKeysAndEnterChooseAnItem) {
  CMenuWnd menu;
  Open(menu, {300, 200});
  menu.SendMessage(WM_KEYDOWN, VK_RETURN, 0);  // nothing highlighted yet: nothing happens
  EXPECT_EQ(CMenuWnd::OpenMenuCount(), 1);
  // The first item, the second, wrapping to the first, back to the second, chosen.
  for (WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_RETURN}) menu.SendMessage(WM_KEYDOWN, key, 0);
  EXPECT_EQ(CMenuWnd::OpenMenuCount(), 0);
  queue().ProcessPending();
  ASSERT_EQ(owner.commands.size(), 1u);
  EXPECT_EQ(owner.commands[0].szName, "exit");
}

TEST_F(MenuTest, MenuIsPlacedByAlignmentAndKeptOnTheScreen) {
  SetHeadlessWorkArea({0, 0, 1280, 800});
  CMenuWnd below_right;
  Open(below_right, {300, 200});
  const UiRect a = below_right.GetWindowRect();
  EXPECT_EQ(a.left, 300);
  EXPECT_EQ(a.top, 200);
  EXPECT_EQ(a.Width(), 150);
  EXPECT_GE(a.Height(), 60);
  CMenuWnd above_left;
  Open(above_left, {300, 200}, eMenuAlignment_Right | eMenuAlignment_Bottom);
  const UiRect b = above_left.GetWindowRect();
  EXPECT_EQ(b.right, 300);
  EXPECT_EQ(b.bottom, 200);
  CMenuWnd at_corner;
  Open(at_corner, {1270, 790});
  EXPECT_LE(at_corner.GetWindowRect().right, 1280);
  EXPECT_LE(at_corner.GetWindowRect().bottom, 800);
  CMenuWnd::DestroyMenu();
  EXPECT_EQ(CMenuWnd::OpenMenuCount(), 0);
  EXPECT_FALSE(IsWindow(below_right.GetHWND()));
  EXPECT_FALSE(IsWindow(at_corner.GetHWND()));
}

TEST_F(MenuTest, ItemAddedInCodeCountsAfterResizeMenuLosingActivationCloses) {
  CMenuWnd menu;
  Open(menu, {10, 10});
  const int before = menu.GetWindowRect().Height();
  auto* extra = new CMenuElementUI;
  extra->SetName("extra");
  extra->SetFixedHeight(30);
  menu.GetMenuUI()->AddAt(extra, 0);
  menu.ResizeMenu();
  EXPECT_EQ(menu.GetWindowRect().Height(), before + 30);
  menu.OnNativeActivate(false);
  queue().ProcessPending();
  EXPECT_FALSE(IsWindow(menu.GetHWND()));
  EXPECT_EQ(CMenuWnd::OpenMenuCount(), 0);
}

TEST_F(MenuTest, TrayClicksArriveAsTheNotificationMessageWithTheMouseMessage) {
  CTrayIcon tray;
  tray.CreateTrayIcon(owner, 107, "TRX770");
  EXPECT_TRUE(tray.IsCreated());
  EXPECT_EQ(tray.GetTooltipText(), "TRX770");
  tray.OnIconMouse(WM_LBUTTONUP);
  tray.OnIconMouse(WM_RBUTTONUP);
  queue().ProcessPending();
  ASSERT_EQ(owner.tray.size(), 2u);
  EXPECT_EQ(owner.tray[0].msg, 0x0401u);
  EXPECT_EQ(owner.tray[0].lparam, 0x202);
  EXPECT_EQ(owner.tray[1].lparam, 0x205);
  tray.DeleteTrayIcon();
  tray.OnIconMouse(WM_LBUTTONUP);
  queue().ProcessPending();
  EXPECT_EQ(owner.tray.size(), 2u);
}

TEST(FileDialogTest, FiltersSplitHandlerAnswersAndSaveAddsTheDefaultExtension) {
  using Filter = std::pair<std::string, std::string>;
  EXPECT_EQ(ParseFileFilter("(*.png) | *.png |(*.*)|*.*||"), (std::vector<Filter>{{"(*.png)", "*.png"}, {"(*.*)", "*.*"}}));
  EXPECT_TRUE(ParseFileFilter("").empty());
  EXPECT_TRUE(ParseFileFilter("only a description").empty());
  EXPECT_EQ(ParseFileFilter("Macro (*.mac)|*.mac").size(), 1u);
  FileDialogRequest seen;
  std::string answer = "/home/u/Documents/pic";
  FileDialogHandler old = SetFileDialogHandler([&](const FileDialogRequest& r, std::string* path) {
    seen = r;
    *path = answer;
    return true;
  });
  std::string path;
  EXPECT_TRUE(ShowSaveFileDialog(nullptr, "(*.png) | *.png |(*.*)|*.*||", "png", "*.png", &path));
  EXPECT_EQ(path, "/home/u/Documents/pic.png");
  EXPECT_TRUE(seen.save);
  EXPECT_TRUE(seen.overwrite_prompt);
  EXPECT_EQ(seen.initial_name, "*.png");
  EXPECT_EQ(seen.filters.size(), 2u);
  answer = "/home/u/a.b/pic.jpg";
  EXPECT_TRUE(ShowOpenFileDialog(nullptr, "(*.png) | *.png ||", "png", "*.png", &path));
  EXPECT_EQ(path, "/home/u/a.b/pic.jpg");  // open never renames
  EXPECT_FALSE(seen.save);
  SetFileDialogHandler([](const FileDialogRequest&, std::string*) { return false; });
  path = "unchanged";
  EXPECT_FALSE(ShowOpenFileDialog(nullptr, "", "", "", &path));
  EXPECT_EQ(path, "unchanged");
  SetFileDialogHandler({});
  EXPECT_FALSE(ShowOpenFileDialog(nullptr, "", "", "", &path));  // headless: cancelled
  SetFileDialogHandler(old);
}

}  // namespace
}  // namespace trx::ui::testing

// Menus, the tray icon and the file-dialog service without a GUI: the
// menu-click record reaching the owner, closing every menu, the tray's
// notification message, and filter strings answered by a test handler.

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/window_test_support.h"
#include "ui/window/file_dialog.h"
#include "ui/window/menu_wnd.h"
#include "ui/window/tray_icon.h"
#include "ui/window/win_api.h"

namespace trx::ui::testing {
namespace {

constexpr const char* kMenu = R"(<Window>
  <Menu name="menu" width="150">
    <MenuElement name="lan_en" text="English" userdata="1010" height="30"/>
    <MenuElement name="exit" text="exit" height="30"/>
  </Menu>
</Window>)";

class OwnerWindow : public WindowImplBase {
 public:
  std::vector<MenuCmd> commands;
  std::vector<Received> tray;

 protected:
  const char* GetWindowClassName() const override { return "Owner"; }
  std::string GetSkinFile() override { return "<Window size=\"200,100\"><VerticalLayout name=\"root\"/></Window>"; }
  LRESULT HandleCustomMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override {
    handled = false;
    if (msg == WM_MENUCLICK) {
      handled = true;
      auto* cmd = reinterpret_cast<MenuCmd*>(wparam);
      if (cmd != nullptr) commands.push_back(*cmd);
      m_pm.DeletePtr(cmd);
    } else if (msg == UIMSG_TRAYICON) {
      tray.push_back({msg, wparam, lparam});
    }
    return 0;
  }
};

class MenuTest : public WindowTest {
 protected:
  // Presses the left button in the middle of the named item.
  static void ClickItem(CMenuWnd& menu, const char* name) {
    CPaintManagerUI& pm = menu.GetPaintManager();
    CControlUI* item = pm.FindControl(name);
    ASSERT_NE(item, nullptr);
    const UiRect rc = item->GetPos();
    ASSERT_FALSE(rc.IsEmpty());
    const UiPoint pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    pm.OnMouseMove(pt);
    pm.OnButtonDown(pt);
    pm.OnButtonUp(pt);
  }
};

TEST_F(MenuTest, ClickPostsTheCommandRecordToTheOwnerAndClosesTheMenu) {
  OwnerWindow owner;
  owner.Create(nullptr, "main", 0, 0);
  CMenuWnd menu;
  menu.Init(nullptr, kMenu, {300, 200}, &owner.GetPaintManager());
  ASSERT_NE(menu.GetMenuUI(), nullptr);
  EXPECT_EQ(CMenuWnd::OpenMenuCount(), 1);
  queue().ProcessPending();  // first paint lays the items out
  ClickItem(menu, "lan_en");
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
  OwnerWindow owner;
  owner.Create(nullptr, "main", 0, 0);
  CMenuWnd menu;
  menu.Init(nullptr, kMenu, {300, 200}, &owner.GetPaintManager());
  menu.SendMessage(WM_KEYDOWN, VK_RETURN, 0);  // nothing highlighted yet: nothing happens
  EXPECT_EQ(CMenuWnd::OpenMenuCount(), 1);
  menu.SendMessage(WM_KEYDOWN, VK_DOWN, 0);  // first item
  menu.SendMessage(WM_KEYDOWN, VK_DOWN, 0);  // second
  menu.SendMessage(WM_KEYDOWN, VK_DOWN, 0);  // wraps to the first
  menu.SendMessage(WM_KEYDOWN, VK_UP, 0);    // back to the second
  menu.SendMessage(WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(CMenuWnd::OpenMenuCount(), 0);
  queue().ProcessPending();
  ASSERT_EQ(owner.commands.size(), 1u);
  EXPECT_EQ(owner.commands[0].szName, "exit");
}

TEST_F(MenuTest, MenuIsPlacedByAlignmentAndKeptOnTheScreen) {
  SetHeadlessWorkArea({0, 0, 1280, 800});
  OwnerWindow owner;
  owner.Create(nullptr, "main", 0, 0);
  CMenuWnd below_right;
  below_right.Init(nullptr, kMenu, {300, 200}, &owner.GetPaintManager(), nullptr,
                   eMenuAlignment_Left | eMenuAlignment_Top);
  const UiRect a = below_right.GetWindowRect();
  EXPECT_EQ(a.left, 300);
  EXPECT_EQ(a.top, 200);
  EXPECT_EQ(a.Width(), 150);
  EXPECT_GE(a.Height(), 60);
  CMenuWnd above_left;
  above_left.Init(nullptr, kMenu, {300, 200}, &owner.GetPaintManager(), nullptr,
                  eMenuAlignment_Right | eMenuAlignment_Bottom);
  const UiRect b = above_left.GetWindowRect();
  EXPECT_EQ(b.right, 300);
  EXPECT_EQ(b.bottom, 200);
  CMenuWnd at_corner;
  at_corner.Init(nullptr, kMenu, {1270, 790}, &owner.GetPaintManager());
  EXPECT_LE(at_corner.GetWindowRect().right, 1280);
  EXPECT_LE(at_corner.GetWindowRect().bottom, 800);
  CMenuWnd::DestroyMenu();
  EXPECT_EQ(CMenuWnd::OpenMenuCount(), 0);
  EXPECT_FALSE(IsWindow(below_right.GetHWND()));
  EXPECT_FALSE(IsWindow(at_corner.GetHWND()));
}

TEST_F(MenuTest, ItemAddedInCodeCountsAfterResizeMenu) {
  OwnerWindow owner;
  owner.Create(nullptr, "main", 0, 0);
  CMenuWnd menu;
  menu.Init(nullptr, kMenu, {10, 10}, &owner.GetPaintManager());
  const int before = menu.GetWindowRect().Height();
  auto* extra = new CMenuElementUI;
  extra->SetName("extra");
  extra->SetFixedHeight(30);
  menu.GetMenuUI()->AddAt(extra, 0);
  menu.ResizeMenu();
  EXPECT_EQ(menu.GetWindowRect().Height(), before + 30);
}

TEST_F(MenuTest, LosingActivationClosesTheMenu) {
  OwnerWindow owner;
  owner.Create(nullptr, "main", 0, 0);
  CMenuWnd menu;
  menu.Init(nullptr, kMenu, {10, 10}, &owner.GetPaintManager());
  menu.OnNativeActivate(false);
  queue().ProcessPending();
  EXPECT_FALSE(IsWindow(menu.GetHWND()));
  EXPECT_EQ(CMenuWnd::OpenMenuCount(), 0);
}

TEST_F(MenuTest, TrayClicksArriveAsTheNotificationMessageWithTheMouseMessage) {
  OwnerWindow owner;
  owner.Create(nullptr, "main", 0, 0);
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

TEST(FileDialogTest, FilterStringSplitsIntoDescriptionsAndPatterns) {
  const auto filters = ParseFileFilter("(*.png) | *.png |(*.*)|*.*||");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0], (std::pair<std::string, std::string>{"(*.png)", "*.png"}));
  EXPECT_EQ(filters[1], (std::pair<std::string, std::string>{"(*.*)", "*.*"}));
  EXPECT_TRUE(ParseFileFilter("").empty());
  EXPECT_TRUE(ParseFileFilter("only a description").empty());
  EXPECT_EQ(ParseFileFilter("Macro (*.mac)|*.mac").size(), 1u);
}

TEST(FileDialogTest, HandlerAnswersAndSaveAddsTheDefaultExtension) {
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

// Menus built from layouts: item records for the menu-click message, the
// size a menu window needs, items inserted by code, keyboard choice, and
// releasing the command record through the paint manager.

#include <gtest/gtest.h>

#include "tests/ui/core_test_support.h"
#include "ui/core/menu.h"

namespace trx::ui {
namespace {

using test::Ui;
using Events = std::vector<std::string>;

const char* kMenu = R"(<Menu name="menu" width="150" inset="2,2,2,2" bordersize="1">
    <MenuElement name="lan_en" text="English" userdata="en" height="30"/>
    <MenuElement name="lan_cn" text="%[lan_cn_text]" height="30"/>
    <MenuElement name="About_setting" text="About" height="30" visible="false"/>
  </Menu>)";

TEST(MenuLayout, BuildsFromARootMenuElementAndMeasuresItsWindow) {
  Ui ui(kMenu, {150, 100});
  auto* menu = dynamic_cast<CMenuUI*>(ui.root);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->GetCount(), 3);
  // 2 visible items of 30, insets 2 + 2, border 1 on both sides.
  EXPECT_EQ(menu->EstimateMenuSize(), (UiSize{150, 60 + 4 + 2}));
  // An item inserted by code first (the tray menu's "exit").
  auto* exit = new CMenuElementUI();
  exit->SetName("exit");
  exit->SetText("关闭");
  ASSERT_TRUE(menu->AddAt(exit, 0));
  EXPECT_EQ(menu->GetItemAt(0), exit);
  EXPECT_EQ(menu->GetItemIndex(ui.pm.FindControl("lan_en")), 1);
  EXPECT_EQ(menu->EstimateMenuSize().cy, 25 + 60 + 6);  // default item height 25
  // Resource texts resolve in the command record (the id without a language).
  MenuCmd* cmd = dynamic_cast<CMenuElementUI*>(ui.pm.FindControl("lan_cn"))->MakeCommand();
  EXPECT_EQ(cmd->szText, "lan_cn_text");
  ui.pm.DeletePtr(cmd);
  ui.pm.DeletePtr(nullptr);
}

TEST(MenuLayout, KeyboardMovesTheSelectionAndEnterChooses) {
  Ui ui(kMenu, {150, 100});
  ui.root->SetFocus();
  EXPECT_EQ(ui.pm.GetFocus(), ui.root);
  ui.pm.OnKeyDown(VK_DOWN);
  ui.pm.OnKeyDown(VK_DOWN);
  ui.pm.OnKeyDown(VK_RETURN);
  EXPECT_EQ(ui.notes.Of("itemclick"), (Events{"itemclick:lan_cn"}));
  // The hidden item cannot be reached.
  ui.pm.OnKeyDown(VK_DOWN);
  EXPECT_EQ(dynamic_cast<CMenuUI*>(ui.root)->GetCurSel(), 1);
}

TEST(MenuLayout, DoubleClickOnAListItemActivatesIt) {
  Ui ui(R"(<Window><List name="l"><ListLabelElement name="i"/></List></Window>)");
  UiPoint p = ui.Center("i");
  ui.pm.OnButtonDown(p);
  ui.pm.OnButtonUp(p);
  ui.pm.OnDoubleClick(p);
  ui.pm.OnButtonUp(p);
  EXPECT_EQ(ui.notes.Of("itemactivate"), (Events{"itemactivate:i"}));
  EXPECT_EQ(ui.notes.Of("itemclick").size(), 1u);
}

}  // namespace
}  // namespace trx::ui

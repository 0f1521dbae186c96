// Menus built from layouts: item records for the menu-click message, the
// size a menu window needs, items inserted by code, keyboard choice, and
// releasing the command record; how controls tell the user what they can
// do: the disabled veil (once, not again over a disabled container's
// children), the disabled tooltip saying why, a combo's own tooltip winning
// over its text, and menu separators that are never chosen.

#include <gtest/gtest.h>

#include "tests/ui/core_test_support.h"
#include "ui/core/menu.h"
#include <string>

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

constexpr UiColor kVeil = 0x80102030;

TEST(DisabledLook, EveryDisabledControlIsVeiledOnceAndSaysWhy) {
  Ui ui(R"(<Window disabledveil="#80102030"><VerticalLayout name="root">
      <Button name="on" height="20" tooltip="plain"/>
      <Combo name="told" tooltip="Lighting mode" height="20"><ListLabelElement text="Static"/></Combo>
      <Slider name="off" height="20" tooltip="plain" disabledtooltip="not here"/>
      <HorizontalLayout name="box" height="20" disabledtooltip="not in this mode">
        <Option name="inner" width="40" tooltip="own"/><Label name="label" width="40"/>
      </HorizontalLayout></VerticalLayout></Window>)");
  ui.pm.FindControl("off")->SetEnabled(false);
  ui.pm.FindControl("box")->SetEnabled(false);
  ui.pm.UpdateLayout();
  test::RecordingRenderer r;
  ui.pm.Paint(r, {0, 0, 400, 300});
  std::vector<UiRect> veiled;
  for (const test::DrawCall& c : r.calls)
    if (c.color == kVeil) veiled.push_back(c.rc);
  ASSERT_EQ(veiled.size(), 2u) << "the slider and the container, not the container's children again";
  EXPECT_EQ(veiled[0], ui.pm.FindControl("off")->GetPos());
  EXPECT_EQ(veiled[1], ui.pm.FindControl("box")->GetPos());

  const struct {
    const char* name;
    const char* tip;
  } rows[] = {{"on", "plain"}, {"told", "Lighting mode"}, {"off", "not here"}, {"inner", "not in this mode"}, {"label", "not in this mode"}};
  for (const auto& row : rows) EXPECT_EQ(ui.pm.FindControl(row.name)->GetToolTip(), row.tip) << row.name;
  ui.pm.FindControl("box")->SetEnabled(true);
  EXPECT_EQ(ui.pm.FindControl("inner")->GetToolTip(), "own");
}

TEST(MenuLook, SeparatorsAreNeverChosen) {
  Ui ui(R"(<Window><Menu name="menu" width="160"><MenuElement name="a" text="A" height="24"/>
      <MenuElement name="line" separator="true" height="9"/><MenuElement name="b" text="B" height="24"/>
      </Menu></Window>)");
  ui.pm.UpdateLayout();
  ui.Click("line");
  ui.Click("b");
  EXPECT_EQ(ui.notes.Of("itemclick"), (std::vector<std::string>{"itemclick:b"}));
}

}  // namespace
}  // namespace trx::ui

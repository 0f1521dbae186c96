// Layout, hit testing and painting; value parsers, drawing helpers, menus, the disabled look.

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/core_test_support.h"
#include "ui/core/container.h"
#include "ui/core/menu.h"
#include "ui/core/option.h"
#include "ui/core/progress.h"
#include "ui/core/render_engine.h"

namespace trx::ui {
namespace {

using test::RecordingRenderer;
using test::Column;
using test::Ui;

TEST(LayoutPositions, VerticalFixedAndStretchingChildrenWithInsetPaddingAndChildPadding) {
  Ui ui(R"(<Window><VerticalLayout name="root" inset="10,10,10,10" childpadding="5">
      <Control name="top" height="50"/>
      <Control name="fill1"/>
      <Control name="pad" height="20" width="100" padding="7,3,0,4"/>
      <Control name="fill2"/>
      <Control name="gone" height="80" visible="false"/>
    </VerticalLayout></Window>)",
        {300, 300});
  // Content 280 high: 50 + 20 + 3 + 4 fixed, 3 gaps of 5 -> 188 shared by two.
  EXPECT_EQ(ui.pm.FindControl("top")->GetPos(), (UiRect{10, 10, 290, 60}));
  EXPECT_EQ(ui.pm.FindControl("fill1")->GetPos(), (UiRect{10, 65, 290, 159}));
  EXPECT_EQ(ui.pm.FindControl("pad")->GetPos(), (UiRect{17, 167, 117, 187}));
  EXPECT_EQ(ui.pm.FindControl("fill2")->GetPos(), (UiRect{10, 196, 290, 290}));
  // A shown child takes from the stretching ones: 280 - 157 - 4 gaps = 103 = 51 + 52 (the last the rest).
  ui.pm.FindControl("gone")->SetVisible(true);
  ui.pm.UpdateLayout();
  EXPECT_EQ(ui.pm.FindControl("fill1")->GetPos().Height(), 51);
  EXPECT_EQ(ui.pm.FindControl("fill2")->GetPos().Height(), 52);
}

TEST(LayoutPositions, HorizontalMinMaxAndFloatingChildren) {
  Ui ui(R"(<Window><HorizontalLayout name="root">
      <Control name="a" width="100"/>
      <Control name="b" maxwidth="50"/>
      <Control name="c"/>
      <Button name="f" float="true" pos="20,30,60,50"/>
    </HorizontalLayout></Window>)",
        {400, 100});
  EXPECT_EQ(ui.pm.FindControl("a")->GetPos(), (UiRect{0, 0, 100, 100}));
  EXPECT_EQ(ui.pm.FindControl("b")->GetPos(), (UiRect{100, 0, 150, 100}));
  EXPECT_EQ(ui.pm.FindControl("c")->GetPos().left, 150);
  EXPECT_EQ(ui.pm.FindControl("f")->GetPos(), (UiRect{20, 30, 60, 50}));
  // Hit testing prefers the floating control drawn on top.
  EXPECT_EQ(ui.pm.FindControl(UiPoint{25, 35})->GetName(), "f");
  EXPECT_EQ(ui.pm.FindControl(UiPoint{10, 10})->GetName(), "a");
  EXPECT_EQ(ui.pm.FindControl(UiPoint{500, 10}), nullptr);
}

TEST(LayoutPositions, ChildAlignmentCentresChildrenSmallerThanTheArea) {
  Ui ui(Column(R"(<HorizontalLayout name="row" height="30" childvalign="vcenter" childalign="center">
        <Label name="a" width="40" height="10"/>
        <Label name="b" width="60" height="20"/>
      </HorizontalLayout>
      <VerticalLayout name="col" height="100" childalign="right" childvalign="bottom">
        <Label name="c" width="50" height="30"/>
      </VerticalLayout>)"),
        {300, 200});
  // Row: 100 px of children centred in 300 px; each centred in 30 px.
  EXPECT_EQ(ui.pm.FindControl("a")->GetPos(), (UiRect{100, 10, 140, 20}));
  EXPECT_EQ(ui.pm.FindControl("b")->GetPos(), (UiRect{140, 5, 200, 25}));
  // Column: at the right and at the bottom of its 100 px.
  EXPECT_EQ(ui.pm.FindControl("c")->GetPos(), (UiRect{250, 100, 300, 130}));
}

TEST(LayoutPositions, TabLayoutShowsOnePageAndHidesTheRestFromHitTests) {
  Ui ui(R"(<Window><TabLayout name="tabs" selectedid="1">
      <Button name="p0"/><Button name="p1"/><Button name="p2"/>
    </TabLayout></Window>)",
        {100, 100});
  auto* tabs = ui.Find<CTabLayoutUI>("tabs");
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_EQ(ui.pm.FindControl(UiPoint{50, 50})->GetName(), "p1");
  EXPECT_TRUE(tabs->SelectItem(2));
  EXPECT_FALSE(ui.pm.FindControl("p1")->IsVisible());
  ui.pm.UpdateLayout();
  EXPECT_EQ(ui.pm.FindControl(UiPoint{50, 50})->GetName(), "p2");
  EXPECT_FALSE(tabs->SelectItem(3));
  EXPECT_EQ(tabs->GetCurSel(), 2);
  // Removing the selected page selects a neighbour.
  tabs->Remove(ui.pm.FindControl("p2"));
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_TRUE(ui.pm.FindControl("p1")->IsVisible());
}

TEST(PaintOrder, BackgroundColourImageStatusTextBorderOnlyWhereDirty) {
  Ui ui(Column(R"(<Button name="b" height="30" text="Go" bkcolor="#FF010203" bkimage="bk.png"
              normalimage="file='n.png' source='0,0,10,10'" bordersize="1" bordercolor="#FF040506"/>
      <Label name="bottom" height="50" bkcolor="#FF000002"/>)"));
  RecordingRenderer r = ui.Paint();
  std::vector<std::string> ops;
  for (const auto& c : r.calls) {
    if (c.rc == ui.pm.FindControl("b")->GetPos() || c.op == "text") ops.push_back(c.op + ":" + c.text);
  }
  EXPECT_EQ(ops, (std::vector<std::string>{"fill:", "image:bk.png", "image:n.png", "text:Go", "border:"}));
  EXPECT_EQ(r.clipDepth, 0);  // every clip pushed was popped
  EXPECT_EQ(ui.notes.Of("windowinit").size(), 1u);
  r = ui.Paint({0, 40, 400, 50});  // only the controls meeting the dirty rectangle
  ASSERT_EQ(r.calls.size(), 1u);
  EXPECT_EQ(r.calls[0].color, 0xFF000002u);
  EXPECT_EQ(ui.notes.Of("windowinit").size(), 1u);  // only after the first paint
}

TEST(StateImages, ButtonAndOptionPickTheImageOfTheirState) {
  Ui ui(Column(R"(<Option name="o" height="30" normalimage="n.png" hotimage="h.png" pushedimage="p.png"
              selectedimage="s.png" disabledimage="d.png"/>
      <Control/>)"));
  auto imageNow = [&]() {
    std::string last;
    for (const auto& c : ui.Paint().calls)
      if (c.op == "image") last = c.text;
    return last;
  };
  EXPECT_EQ(imageNow(), "n.png");
  ui.pm.OnMouseMove(ui.Center("o"));
  EXPECT_EQ(imageNow(), "h.png");
  ui.pm.OnButtonDown(ui.Center("o"));
  EXPECT_EQ(imageNow(), "p.png");
  ui.pm.OnButtonUp(ui.Center("o"));
  EXPECT_EQ(imageNow(), "s.png");
  ui.pm.FindControl("o")->SetEnabled(false);
  auto* o = ui.Find<COptionUI>("o");
  o->Selected(false, false);
  EXPECT_EQ(imageNow(), "d.png");
}

TEST(ValueParsers, ColoursRectsAndImageDescriptions) {
  const struct {
    const char* text;
    bool ok;
    UiColor colour;  // 7 stays when the text is refused
  } colours[] = {{"#FF0199CB", true, 0xFF0199CB}, {"0x800000FF", true, 0x800000FF}, {"#123456", true, 0xFF123456},
                 {"#GG0000", false, 7},           {"", false, 7},                  {"#123456789", false, 7}};
  for (const auto& row : colours) {
    UiColor c = 7;
    EXPECT_EQ(ParseColor(row.text, &c), row.ok) << row.text;
    EXPECT_EQ(c, row.colour) << row.text;
  }
  UiRect rc;
  EXPECT_TRUE(ParseRect(" 1, -2 ,3", &rc));
  EXPECT_EQ(rc, (UiRect{1, -2, 3, 0}));
  EXPECT_FALSE(ParseRect("x", &rc));
  EXPECT_EQ(ParseInt("99999999999"), 2147483647);
  EXPECT_EQ(ParseInt("-12abc"), -12);

  TImageDesc d;
  EXPECT_TRUE(ParseImageDesc("ms/key_left_normal.png", &d));
  EXPECT_EQ(d.file, "ms/key_left_normal.png");
  EXPECT_TRUE(ParseImageDesc(
      "file='a b.png' source='0,0,10,20' corner='1,2,3,4' dest='5,5,15,15' mask='#FFFF00FF' fade='300' xtiled='true'",
      &d));
  EXPECT_EQ(d.file, "a b.png");
  EXPECT_EQ(d.source, (UiRect{0, 0, 10, 20}));
  EXPECT_EQ(d.corner, (UiRect{1, 2, 3, 4}));
  EXPECT_TRUE(d.hasDest);
  EXPECT_EQ(d.dest, (UiRect{5, 5, 15, 15}));
  EXPECT_TRUE(d.hasMask);
  EXPECT_EQ(d.fade, 255);
  EXPECT_TRUE(d.xtiled);
  EXPECT_FALSE(ParseImageDesc("file=''", &d));
  EXPECT_FALSE(ParseImageDesc("", &d));
  EXPECT_FALSE(ParseImageDesc("file='unterminated", &d));
}

TEST(ProgressPainting, FilledPartFollowsTheValueOperationProgressClamps) {
  Ui ui(Column(R"(<Progress name="p" height="10" width="200" min="0" max="100" value="25" forecolor="#FF00FF00"/>)"));
  RecordingRenderer r = ui.Paint();
  ASSERT_EQ(r.calls.size(), 1u);
  EXPECT_EQ(r.calls[0].rc, (UiRect{0, 0, 50, 10}));
  auto* p = ui.Find<CProgressUI>("p");
  p->SetMaxValue(0);  // max equal to min: nothing filled, nothing divided by 0
  EXPECT_TRUE(ui.Paint().calls.empty());
  ShowOperationProgress(p, 9, 7);  // steps past the end show 100 %
  EXPECT_EQ(p->GetValue(), 7);
  EXPECT_EQ(p->GetText(), "100%");
  ShowOperationProgress(nullptr, 1, 2);  // no control: nothing happens
  ShowOperationProgress(p, 1, 0);        // no steps: left alone
  EXPECT_EQ(p->GetText(), "100%");
}

TEST(DrawingHelpers, CustomControlsDrawTextAndImagesLikeTheBuiltInOnes) {
  Ui ui(R"(<Window><Font id="2" name="Mono" size="9"/><Label name="l"/></Window>)");
  CPaintManagerUI::SetResourcePath("C:\\skin\\");
  EXPECT_EQ(CPaintManagerUI::GetResourcePath(), "C:/skin/");
  CPaintManagerUI::SetResourcePath("/skin");
  EXPECT_EQ(CPaintManagerUI::ResolveResourceFile("/abs/b.png"), "/abs/b.png");
  RecordingRenderer r;
  CRenderEngine::DrawText(r, &ui.pm, {0, 0, 50, 20}, "legend", 0xFF112233, 2, DT_SINGLELINE);
  CRenderEngine::DrawText(r, &ui.pm, {0, 0, 50, 20}, "", 0xFF112233, 2, DT_SINGLELINE);  // nothing
  TImageTint tint{true, 0xFFFF0000, 64};
  EXPECT_TRUE(CRenderEngine::DrawImageString(r, &ui.pm, {1, 2, 3, 4}, "file='chart\\pillar.png'", tint));
  EXPECT_FALSE(CRenderEngine::DrawImageString(r, &ui.pm, {1, 2, 3, 4}, "", tint));
  ASSERT_EQ(r.calls.size(), 2u);
  EXPECT_EQ(r.calls[0].text, "legend");
  EXPECT_EQ(r.calls[1].image.path, "/skin/chart/pillar.png");
  EXPECT_EQ(r.calls[1].tint.alpha, 64);
  CPaintManagerUI::SetResourcePath("");
}

using Events = std::vector<std::string>;

const char* kMenu = R"(<Menu name="menu" width="150" inset="2,2,2,2" bordersize="1">
    <MenuElement name="lan_en" text="English" userdata="en" height="30"/>
    <MenuElement name="lan_cn" text="%[lan_cn_text]" height="30"/>
    <MenuElement name="About_setting" text="About" height="30" visible="false"/>
  </Menu>)";

TEST(MenuLayout, BuildsFromARootMenuElementKeysChooseAndItMeasuresItsWindow) {
  Ui ui(kMenu, {150, 100});
  auto* menu = dynamic_cast<CMenuUI*>(ui.root);
  ASSERT_NE(menu, nullptr);
  ui.root->SetFocus();
  EXPECT_EQ(ui.pm.GetFocus(), ui.root);
  ui.Keys({VK_DOWN, VK_DOWN, VK_RETURN});
  EXPECT_EQ(ui.notes.Of("itemclick"), (Events{"itemclick:lan_cn"}));
  ui.pm.OnKeyDown(VK_DOWN);  // the hidden item cannot be reached
  EXPECT_EQ(menu->GetCurSel(), 1);
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
  std::vector<UiRect> veiled;
  for (const test::DrawCall& c : ui.Paint().calls)
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
  EXPECT_EQ(ui.notes.Of("itemclick"), (Events{"itemclick:b"}));
}

}  // namespace
}  // namespace trx::ui

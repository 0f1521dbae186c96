// Input routed through the paint manager to the controls, and the notifications it raises.

#include <gtest/gtest.h>

#include <thread>

#include "tests/ui/core_test_support.h"
#include "ui/core/color_palette.h"
#include "ui/core/combo.h"
#include "ui/core/container.h"
#include "ui/core/edit.h"
#include "ui/core/list.h"
#include "ui/core/option.h"
#include "ui/core/progress.h"

namespace trx::ui {
namespace {

using test::Column;
using test::Ui;
using Events = std::vector<std::string>;

// A release outside the pressed button does not click; hover reports leave before enter.
TEST(MouseClick, ReleaseInsideClicksKeysActivateDisabledOnesDoNotWorkerNotificationsAreFlaggedHandlersMayDelete) {
  Ui ui(Column(R"(<Button name="a" height="40"/><Button name="b" height="40"/><Control name="gap"/>
      <Button name="off" height="30" enabled="false"/>
      <HorizontalLayout name="box" height="30" enabled="false"><Button name="inner"/></HorizontalLayout>)"));
  auto* a = ui.Find<CButtonUI>("a");
  const UiPoint pa = ui.Center("a"), pb = ui.Center("b");
  ui.pm.OnMouseMove(pa);
  EXPECT_TRUE(a->IsHot());
  EXPECT_EQ(ui.notes.events, (Events{"msenter:a"}));
  ui.pm.OnButtonDown(pa);
  EXPECT_TRUE(a->IsPushed());
  EXPECT_EQ(ui.pm.GetCapture(), a);
  ui.pm.OnButtonUp(pa);
  EXPECT_FALSE(a->IsPushed());
  EXPECT_EQ(ui.pm.GetCapture(), nullptr);
  EXPECT_EQ(ui.notes.Of("click"), (Events{"click:a"}));
  ui.notes.Clear();
  ui.pm.OnButtonDown(pa);
  ui.pm.OnMouseMove(pb);  // captured by a
  EXPECT_FALSE(a->IsPushed());
  ui.pm.OnMouseMove(pa);
  EXPECT_TRUE(a->IsPushed());
  ui.pm.OnMouseMove(pb);
  ui.pm.OnButtonUp(pb);
  EXPECT_TRUE(ui.notes.Of("click").empty());
  EXPECT_EQ(ui.notes.Of("ms*"), (Events{"msleave:a", "msenter:b", "msleave:b", "msenter:a", "msleave:a", "msenter:b"}));
  ui.notes.Clear();
  ui.Find<CButtonUI>("b")->SetFocus();
  ui.Keys({VK_RETURN, VK_SPACE});
  EXPECT_EQ(ui.notes.Of("click"), (Events{"click:b", "click:b"}));
  ui.Click("off");  // disabled, and inside a disabled container
  ui.Click("inner");
  EXPECT_EQ(ui.notes.Of("click").size(), 2u);
  ui.Find<CContainerUI>("box")->SetEnabled(true);
  ui.Click("inner");
  EXPECT_EQ(ui.notes.Of("click"), (Events{"click:b", "click:b", "click:inner"}));
  test::ScopedDebugCapture debug;
  EXPECT_TRUE(ui.pm.IsUiThread());
  std::thread worker([&] {
    EXPECT_FALSE(ui.pm.IsUiThread());
    ui.pm.SendNotify(ui.root, kNotifyClick);
  });
  worker.join();
  ASSERT_EQ(debug.lines.size(), 1u);
  EXPECT_NE(debug.lines[0].find("click"), std::string::npos);
  EXPECT_EQ(ui.notes.Of("click").size(), 4u);  // still delivered
  ui.notes.then = [&](TNotifyUI& msg) {
    if (msg.sType == kNotifyClick) static_cast<CContainerUI*>(ui.root)->Remove(msg.pSender);
  };
  ui.Click("a");
  EXPECT_EQ(ui.pm.FindControl("a"), nullptr);
  EXPECT_TRUE(ui.pm.GetHot() == nullptr || ui.pm.GetHot()->GetName() != "a");
  ui.notes.then = nullptr;
  ui.pm.OnMouseMove({1, 1});  // no dangling hot control
}

TEST(MouseClick, WindowMessagesDriveTheSameInput) {
  Ui ui(Column(R"(<Button name="a" height="40"/>
      <Slider name="s" height="20" min="0" max="10" value="5"/>
      <Edit name="e" height="20"/>)"));
  LRESULT result = 0;
  const LPARAM a = MakePointLParam(ui.Center("a").x, ui.Center("a").y);
  EXPECT_TRUE(ui.pm.MessageHandler(WM_MOUSEMOVE, 0, a, result));
  EXPECT_TRUE(ui.pm.MessageHandler(WM_LBUTTONDOWN, MK_LBUTTON, a, result));
  EXPECT_TRUE(ui.pm.MessageHandler(WM_LBUTTONUP, 0, a, result));
  EXPECT_EQ(ui.notes.Of("click"), (Events{"click:a"}));
  // Wheel: the signed delta is in the high word of wParam.
  WPARAM down = static_cast<WPARAM>(static_cast<std::uint16_t>(-120)) << 16;
  EXPECT_TRUE(ui.pm.MessageHandler(WM_MOUSEWHEEL, down, MakePointLParam(ui.Center("s").x, ui.Center("s").y), result));
  EXPECT_EQ(ui.Find<CSliderUI>("s")->GetValue(), 4);
  ui.Find<CEditUI>("e")->SetFocus();
  EXPECT_TRUE(ui.pm.MessageHandler(WM_CHAR, '8', 0, result));
  EXPECT_EQ(ui.Find<CEditUI>("e")->GetText(), "8");
  // A size change relays out and is left for the window layer too.
  EXPECT_FALSE(ui.pm.MessageHandler(WM_SIZE, 0, MakePointLParam(200, 100), result));
  EXPECT_EQ(ui.pm.GetClientSize(), (UiSize{200, 100}));
  EXPECT_EQ(ui.root->GetPos(), (UiRect{0, 0, 200, 100}));
  EXPECT_FALSE(ui.pm.MessageHandler(0x0113, 0, 0, result));  // not an input message
}

const std::string kOptions = Column(R"(<Option name="o1" group="g" height="20" selected="true"/>
    <Option name="o2" group="g" height="20"/>
    <Option name="o3" group="g" height="20"/>
    <Option name="lone" height="20"/>
    <CheckBox name="chk" height="20"/>)");

// Only the newly selected option notifies, after the click; selecting from code is silent.
TEST(OptionGroups, OneSelectedPerGroupAndManagerUngroupedOnesToggle) {
  Ui ui(kOptions);
  auto* o1 = ui.Find<COptionUI>("o1");
  auto* o2 = ui.Find<COptionUI>("o2");
  auto* o3 = ui.Find<COptionUI>("o3");
  EXPECT_TRUE(o1->IsSelected());
  ui.Click("o2");
  EXPECT_FALSE(o1->IsSelected());
  EXPECT_TRUE(o2->IsSelected());
  EXPECT_EQ(ui.notes.events, (Events{"msenter:o2", "setfocus:o2", "click:o2", "selectchanged:o2"}));
  ui.notes.Clear();
  ui.Click("o2");  // already selected: nothing changes
  EXPECT_TRUE(ui.notes.Of("selectchanged").empty());
  EXPECT_TRUE(o2->IsSelected());
  ui.notes.Clear();
  o3->Selected(true, false);
  EXPECT_TRUE(o3->IsSelected());
  EXPECT_FALSE(o2->IsSelected());
  o3->Selected(true);  // no change, no notification
  EXPECT_TRUE(ui.notes.events.empty());
  Ui second(kOptions);
  EXPECT_TRUE(second.Find<COptionUI>("o1")->IsSelected());
  second.Find<COptionUI>("o2")->Selected(true);
  EXPECT_FALSE(second.Find<COptionUI>("o1")->IsSelected());
  EXPECT_TRUE(o3->IsSelected());

  ui.Click("lone");
  ui.Click("lone");
  EXPECT_FALSE(ui.Find<COptionUI>("lone")->IsSelected());
  EXPECT_EQ(ui.notes.Of("selectchanged"), (Events{"selectchanged:lone", "selectchanged:lone"}));
  ui.notes.Clear();
  auto* chk = ui.Find<CCheckBoxUI>("chk");
  chk->SetCheck(true);
  EXPECT_TRUE(chk->GetCheck());
  chk->SetCheck(false, false);
  EXPECT_FALSE(chk->GetCheck());
  EXPECT_EQ(ui.notes.Of("selectchanged"), (Events{"selectchanged:chk"}));
  EXPECT_EQ(ui.notes.records.back().wParam, 1u);
}

TEST(OptionGroups, ArrowKeysStepThroughTheGroupSkippingUnusableOptions) {
  Ui ui(kOptions);
  ui.Find<COptionUI>("o2")->SetEnabled(false);
  ui.Find<COptionUI>("o1")->SetFocus();
  ui.notes.Clear();
  ui.pm.OnKeyDown(VK_RIGHT);  // o2 is disabled: to o3
  EXPECT_TRUE(ui.Find<COptionUI>("o3")->IsSelected());
  EXPECT_EQ(ui.pm.GetFocus()->GetName(), "o3");
  EXPECT_EQ(ui.notes.Of("selectchanged"), (Events{"selectchanged:o3"}));
  ui.pm.OnKeyDown(VK_DOWN);  // wraps to o1
  EXPECT_TRUE(ui.Find<COptionUI>("o1")->IsSelected());
  ui.pm.OnKeyDown(VK_LEFT);  // backwards, wrapping, skipping o2
  EXPECT_TRUE(ui.Find<COptionUI>("o3")->IsSelected());
  // Ungrouped options leave arrows alone.
  ui.Find<COptionUI>("lone")->SetFocus();
  ui.pm.OnKeyDown(VK_RIGHT);
  EXPECT_EQ(ui.pm.GetFocus()->GetName(), "lone");
}

TEST(FocusChanges, ClickAndTabMoveTheFocusWithKillBeforeSet) {
  Ui ui(Column(R"(<Edit name="e1" height="20"/>
      <Label name="lbl" height="20"/>
      <Button name="b1" height="20"/>
      <Button name="hidden" height="20" visible="false"/>
      <Button name="b2" height="20" keyboard="false"/>
      <Edit name="e2" height="20"/>)"));
  ui.Click("e1");
  EXPECT_EQ(ui.pm.GetFocus(), ui.pm.FindControl("e1"));
  ui.Click("lbl");  // labels do not take the focus
  EXPECT_EQ(ui.pm.GetFocus(), ui.pm.FindControl("e1"));
  ui.notes.Clear();
  ui.Keys({VK_TAB});
  EXPECT_EQ(ui.notes.events, (Events{"killfocus:e1", "setfocus:b1"}));
  ui.pm.OnKeyDown(VK_TAB);  // skips hidden and keyboard="false"
  EXPECT_EQ(ui.pm.GetFocus()->GetName(), "e2");
  ui.pm.OnKeyDown(VK_TAB);  // wraps
  EXPECT_EQ(ui.pm.GetFocus()->GetName(), "e1");
  ui.pm.OnKeyDown(VK_TAB, MK_SHIFT);
  EXPECT_EQ(ui.pm.GetFocus()->GetName(), "e2");
  EXPECT_TRUE(ui.pm.FindControl("e2")->IsFocused());
  // Hiding the focused control drops the focus with a killfocus.
  ui.notes.Clear();
  ui.pm.FindControl("e2")->SetVisible(false);
  EXPECT_EQ(ui.pm.GetFocus(), nullptr);
  EXPECT_EQ(ui.notes.events, (Events{"killfocus:e2"}));
}

// One change on release or focus loss; values set from code are clamped and silent.
TEST(SliderDrag, DragReportsMovesThenOneChangeClicksJumpWheelAndKeysStep) {
  Ui ui(Column(R"(<Slider name="s" height="20" width="110" min="0" max="100" value="0" thumbsize="10,10"/>)"));
  auto* s = ui.Find<CSliderUI>("s");
  // Track: x 0..110 with a 10 px thumb, so 100 px for 100 steps.
  ui.Press({5, 10});
  EXPECT_EQ(s->GetValue(), 0);
  EXPECT_TRUE(ui.notes.Of("movevaluechanged").empty());  // value did not change
  ui.pm.OnMouseMove({30, 10});
  EXPECT_EQ(s->GetValue(), 25);
  ui.pm.OnMouseMove({30, 10});   // same value: nothing new
  ui.pm.OnMouseMove({300, 50});  // beyond the end, still captured
  EXPECT_EQ(s->GetValue(), 100);
  EXPECT_EQ(ui.notes.Of("movevaluechanged").size(), 2u);
  EXPECT_TRUE(ui.notes.Of("valuechanged").empty());
  ui.pm.OnButtonUp({300, 50});
  EXPECT_EQ(ui.notes.Of("valuechanged"), (Events{"valuechanged:s"}));
  EXPECT_FALSE(s->IsDragging());
  ui.notes.Clear();
  ui.Click(UiPoint{55, 10});
  EXPECT_EQ(s->GetValue(), 50);
  EXPECT_EQ(ui.notes.Of("movevaluechanged").size(), 1u);
  EXPECT_EQ(ui.notes.Of("valuechanged").size(), 1u);
  ui.notes.Clear();
  ui.pm.OnMouseWheel({55, 10}, 120);
  EXPECT_EQ(s->GetValue(), 51);
  ui.Keys({VK_LEFT, VK_LEFT});
  EXPECT_EQ(s->GetValue(), 49);
  EXPECT_EQ(ui.notes.Of("valuechanged").size(), 3u);
  EXPECT_TRUE(ui.notes.Of("movevaluechanged").empty());
  s->SetValue(500);
  EXPECT_EQ(s->GetValue(), 100);
  EXPECT_EQ(ui.notes.Of("valuechanged").size(), 3u);
  s->SetValue(0);
  ui.notes.Clear();
  ui.Press({5, 10});
  ui.pm.OnMouseMove({60, 10});
  ui.pm.OnWindowFocusLost();
  EXPECT_FALSE(s->IsDragging());
  EXPECT_EQ(ui.notes.Of("valuechanged").size(), 1u);
}

const char* kDragKeys = R"(<Window><HorizontalLayout name="root">
    <Button name="k0" width="40" dragnotify="true"/>
    <Button name="k1" width="40" dragnotify="true"/>
    <Button name="plain" width="40"/>
  </HorizontalLayout></Window>)";

// Drag notifications with their pointer, press point and key state.
std::vector<std::string> DragNotes(const test::NotifyRecorder& notes) {
  std::vector<std::string> out;
  for (const TNotifyUI& m : notes.records) {
    if (m.sType.rfind("drag", 0) != 0 && m.sType != kNotifyClick) continue;
    const UiPoint start = PointFromLParam(m.lParam);
    out.push_back(m.sType + ":" + m.pSender->GetName() + " " + std::to_string(m.ptMouse.x) + "," +
                  std::to_string(m.ptMouse.y) + " from " + std::to_string(start.x) + "," + std::to_string(start.y) +
                  " keys " + std::to_string(m.wParam));
  }
  return out;
}

TEST(DragNotify, OnlyControlsThatAskRaiseThemAndFocusLossEndsTheDrag) {
  Ui ui(kDragKeys);
  ui.pm.OnButtonDown(ui.Center("plain"));
  ui.pm.OnMouseMove(ui.Center("k0"), MK_LBUTTON);
  ui.pm.OnButtonUp(ui.Center("k0"));
  EXPECT_TRUE(DragNotes(ui.notes).empty());
  ui.pm.OnMouseMove({20, 20});  // hover without a press: no drag either
  ui.pm.OnButtonDown({60, 20});
  ui.pm.OnWindowFocusLost();
  ui.pm.OnMouseMove({20, 20});
  EXPECT_EQ(DragNotes(ui.notes), (Events{"dragbegin:k1 60,20 from 60,20 keys 1", "click:k1 60,20 from 0,0 keys 0",
                                         "dragend:k1 60,20 from 60,20 keys 0"}));
  // A control removed while dragged just stops the drag.
  ui.notes.Clear();
  ui.pm.OnButtonDown({20, 20});
  EXPECT_EQ(DragNotes(ui.notes), (Events{"dragbegin:k0 20,20 from 20,20 keys 1"}));
  ui.notes.Clear();
  auto* root = ui.Find<CContainerUI>("root");
  root->Remove(ui.pm.FindControl("k0"));
  ui.pm.OnMouseMove({60, 20}, MK_LBUTTON);
  ui.pm.OnButtonUp({60, 20});
  // k0 is freed: only the types are read, and none is a drag.
  for (const TNotifyUI& m : ui.notes.records) EXPECT_NE(m.sType.rfind("drag", 0), 0u) << m.sType;
}


// Without a host a click only reports the drop-down. SelectItem notifies, SelectItem1 does not.
TEST(ComboSelection, KeysStepSelectItemNotifiesAndRemovalsKeepTheSelection) {
  Ui ui(Column(R"(<Combo name="c" height="24" itemheight="30">
      <ListLabelElement text="zero" tooltip="tip0"/>
      <ListLabelElement text="one" height="40"/>
      <ListLabelElement text="two"/>
    </Combo>)"));
  auto* c = ui.Find<CComboUI>("c");
  EXPECT_EQ(c->GetCount(), 3);
  EXPECT_EQ(c->GetCurSel(), -1);
  EXPECT_EQ(ui.pm.FindControl(ui.Center("c")), c);
  ui.Click("c");
  EXPECT_EQ(ui.notes.Of("dropdown"), (Events{"dropdown:c"}));
  EXPECT_EQ(ui.pm.GetFocus(), c);
  ui.Keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN});  // stops on the last item
  EXPECT_EQ(c->GetCurSel(), 2);
  EXPECT_EQ(ui.notes.Of("itemselect").size(), 3u);
  EXPECT_EQ(c->GetItemsHeight(), 30 + 40 + 30);
  UiRect area{0, 100, 200, 300};
  for (auto [y, item] : {std::pair{105, 0}, {135, 1}, {175, 2}, {205, -1}}) EXPECT_EQ(c->DropDownItemAt({5, y}, area), item);
  EXPECT_EQ(c->DropDownItemAt({5, 105}, area, 30), 1);
  ui.notes.Clear();
  EXPECT_TRUE(c->SelectItem1(1, false, false));
  EXPECT_TRUE(c->SelectItem1(2, false, false));
  EXPECT_EQ(c->GetText(), "two");
  EXPECT_TRUE(ui.notes.events.empty());
  EXPECT_TRUE(c->SelectItem(0));
  EXPECT_EQ(ui.notes.events, (Events{"itemselect:c"}));
  EXPECT_EQ(ui.notes.records[0].wParam, 0u);
  EXPECT_EQ(ui.notes.records[0].lParam, 2);
  EXPECT_TRUE(c->SelectItem(0));  // same item: no second notification
  EXPECT_EQ(ui.notes.events.size(), 1u);
  EXPECT_FALSE(c->SelectItem(7));
  EXPECT_EQ(c->GetCurSel(), 0);
  EXPECT_EQ(c->GetItemAt(0)->GetToolTip(), "tip0");
  c->SelectItem1(2);
  c->RemoveAt(0);
  EXPECT_EQ(c->GetCurSel(), 1);
  EXPECT_EQ(c->GetText(), "two");
  c->RemoveAt(1);
  EXPECT_EQ(c->GetCurSel(), -1);
  c->RemoveAll();
  EXPECT_EQ(c->GetCount(), 0);
  auto* item = new CListLabelElementUI();
  item->SetText("new");
  c->Add(item);
  EXPECT_TRUE(c->SelectItem1(0));
  EXPECT_EQ(c->GetText(), "new");
}

TEST(ListItems, ClickReportsItemClickThenItemSelectDoubleClickActivates) {
  Ui ui(Column(R"(<List name="lst" height="200" itemheight="25">
        <ListHeader height="20"><ListHeaderItem text="A" width="50"/><ListHeaderItem text="B"/></ListHeader>
        <ListTextElement name="row0"/>
        <ListTextElement name="row1"/>
        <ListContainerElement name="act" height="30"><Label name="act_lbl"/></ListContainerElement>
      </List>)"));
  auto* lst = ui.Find<CListUI>("lst");
  ASSERT_NE(lst, nullptr);
  EXPECT_EQ(lst->GetCount(), 3);
  ASSERT_NE(lst->GetHeader(), nullptr);
  EXPECT_EQ(ui.pm.FindControl("row0")->GetPos(), (UiRect{0, 20, 400, 45}));
  ui.Click("row1");
  EXPECT_EQ(ui.notes.Of("itemclick"), (Events{"itemclick:row1"}));
  EXPECT_EQ(ui.notes.Of("itemselect"), (Events{"itemselect:lst"}));
  EXPECT_EQ(lst->GetCurSel(), 1);
  ui.notes.Clear();
  ui.Click("act_lbl");  // a label inside a container item clicks the item
  EXPECT_EQ(ui.notes.Of("itemclick"), (Events{"itemclick:act"}));
  EXPECT_EQ(lst->GetCurSel(), 2);
  ui.notes.Clear();
  ui.Click("act");  // clicking the selected item again: click, no select
  EXPECT_EQ(ui.notes.Of("itemselect").size(), 0u);
  EXPECT_EQ(ui.notes.Of("itemclick").size(), 1u);
  ui.pm.OnKeyDown(VK_UP);
  EXPECT_EQ(lst->GetCurSel(), 1);
  ui.pm.OnKeyDown(VK_DELETE);  // a key the list does not use is the page's
  EXPECT_EQ(ui.notes.Of("keydown"), (Events{"keydown:lst"}));
  // A click on the item already selected (by a handler, silently) still gives the list the keyboard.
  ui.pm.SetFocus(nullptr);
  lst->SelectItem(2, false, false);
  ui.Click("act");
  ui.pm.OnKeyDown(VK_UP);
  EXPECT_EQ(lst->GetCurSel(), 1);
  // Columns from the header drive the text element's cells.
  auto* row = static_cast<CListTextElementUI*>(lst->GetItemAt(0));
  row->SetText(1, "cell");
  EXPECT_EQ(row->GetText(1), "cell");
  EXPECT_EQ(row->GetText(5), "");
  EXPECT_EQ(lst->GetListInfo().columns.size(), 2u);
  EXPECT_EQ(lst->GetListInfo().columns[0].right, 50);
  // A double click activates the item it follows the click on.
  ui.notes.Clear();
  ui.Click("row0");
  ui.pm.OnDoubleClick(ui.Center("row0"));
  ui.pm.OnButtonUp(ui.Center("row0"));
  EXPECT_EQ(ui.notes.Of("itemactivate"), (Events{"itemactivate:row0"}));
  EXPECT_EQ(ui.notes.Of("itemclick").size(), 1u);
}

// A new header replaces the old one; removals reindex the rest; a handler may clear the list.
TEST(ListItems, HeadersReplaceEachOtherRemovingItemsReindexesAndHandlersMayClearTheList) {
  Ui ui(R"(<Window><VerticalLayout name="root"><List name="lst"><ListHeader name="h1"/>
      <ListLabelElement name="i0"/><ListLabelElement name="i1"/><ListLabelElement name="i2"/></List>
    </VerticalLayout></Window>)");
  auto* lst = ui.Find<CListUI>("lst");
  auto* h2 = new CListHeaderUI();
  h2->SetName("h2");
  ASSERT_TRUE(lst->Add(h2));
  EXPECT_EQ(lst->GetHeader(), h2);
  EXPECT_EQ(ui.pm.FindControl("h1"), nullptr);
  EXPECT_EQ(lst->GetCount(), 3);
  EXPECT_TRUE(lst->Remove(h2));
  EXPECT_EQ(lst->GetHeader(), nullptr);
  EXPECT_EQ(lst->GetCount(), 3);
  ui.pm.UpdateLayout();
  lst->SelectItem(2, false, false);
  lst->RemoveAt(0);
  EXPECT_EQ(lst->GetCurSel(), 1);
  EXPECT_EQ(lst->GetItemIndex(ui.pm.FindControl("i2")), 1);
  ui.notes.then = [lst](TNotifyUI& msg) {
    if (msg.sType == kNotifyItemClick) lst->RemoveAll();
  };
  ui.Click("i1");
  EXPECT_EQ(lst->GetCount(), 0);
  EXPECT_EQ(lst->GetCurSel(), -1);
}

TEST(ListItems, MovingItemsKeepsTheSelectionOnTheSameItem) {
  Ui ui(Column(R"(<List name="lst">
        <ListContainerElement name="a"><Label name="a_delay" text="10"/></ListContainerElement>
        <ListContainerElement name="b"><Label name="b_delay" text="20"/></ListContainerElement>
        <ListContainerElement name="c"/>
      </List>)"));
  auto* lst = ui.Find<CListUI>("lst");
  lst->SelectItem(0, false, false);
  CContainerUI* asContainer = lst;  // works through the base class too
  ASSERT_TRUE(asContainer->SetItemIndex(ui.pm.FindControl("a"), 2));
  EXPECT_EQ(lst->GetItemAt(0)->GetName(), "b");
  EXPECT_EQ(lst->GetCurSel(), 2);
  EXPECT_EQ(asContainer->GetCount(), 3);
  EXPECT_FALSE(lst->SetItemIndex(ui.pm.FindControl("a"), 3));
  // Clicking the moved item selects it by its new index.
  ui.pm.UpdateLayout();
  ui.Click("b");
  EXPECT_EQ(lst->GetCurSel(), 0);
  auto* item = static_cast<CContainerUI*>(lst->GetItemAt(0));
  EXPECT_EQ(item->FindSubControl("b_delay")->GetText(), "20");
  EXPECT_EQ(item->FindSubControl("a_delay"), nullptr);
  EXPECT_EQ(item->FindSubControl("b"), nullptr);  // not the container itself
}

TEST(ListItems, WheelScrollsLongListsAndPassesShortOnesOn) {
  Ui ui(Column(R"(<List name="short" height="100"><ListLabelElement name="s0"/></List>
      <List name="long" height="50">
        <ListLabelElement name="l0"/><ListLabelElement name="l1"/><ListLabelElement name="l2"/>
      </List>)"));
  ui.pm.OnMouseWheel(ui.Center("s0"), -120);  // nothing to scroll: must not loop
  ui.pm.OnMouseWheel(UiPoint{5, 90}, -120);
  auto* lst = ui.Find<CListUI>("long");
  ui.pm.OnMouseWheel(ui.Center("l0"), -120);
  EXPECT_EQ(lst->GetBody()->GetScrollY(), 25);  // 75 px of items in 50 px
  ui.pm.UpdateLayout();
  EXPECT_EQ(ui.pm.FindControl("l1")->GetPos().top, 100 + 25 - 25);
  ui.pm.OnMouseWheel(UiPoint{5, 120}, 120);
  EXPECT_EQ(lst->GetBody()->GetScrollY(), 0);
}

TEST(ListItems, ScrollBarThumbDragsAndTheStripPages) {
  std::string xml = R"(<Window><VerticalLayout name="root"><List name="lst" height="100">)";
  for (int i = 0; i < 10; ++i) xml += "<ListLabelElement name=\"i" + std::to_string(i) + "\"/>";
  xml += "</List><Control/></VerticalLayout></Window>";
  Ui ui(xml, {200, 300});
  auto* body = ui.Find<CListUI>("lst")->GetBody();
  // 250 px of items in 100 px: thumb 100 * 100 / 250 = 40 px, travel 60 px for 150 px.
  EXPECT_EQ(body->GetScrollBarRect(), (UiRect{192, 0, 200, 100}));
  EXPECT_EQ(body->GetScrollThumbRect(), (UiRect{192, 0, 200, 40}));
  EXPECT_EQ(ui.pm.FindControl(UiPoint{195, 10}), body);  // the bar, not the item under it
  ui.Press({195, 10});
  ui.pm.OnMouseMove({195, 40});
  EXPECT_EQ(body->GetScrollY(), 75);
  ui.pm.OnMouseMove({195, 500});  // clamped at the end
  EXPECT_EQ(body->GetScrollY(), 150);
  ui.pm.OnButtonUp({195, 500});
  EXPECT_TRUE(ui.notes.Of("itemclick").empty());
  ui.Click(UiPoint{195, 5});  // above the thumb: one page up (100 - 20)
  EXPECT_EQ(body->GetScrollY(), 70);
  // A short list shows no bar.
  while (ui.Find<CListUI>("lst")->GetCount() > 2) ui.Find<CListUI>("lst")->RemoveAt(0);
  ui.pm.UpdateLayout();
  EXPECT_TRUE(body->GetScrollBarRect().IsEmpty());
  EXPECT_EQ(body->GetScrollY(), 0);
}

TEST(EditTyping, NumberOnlyAndMaxLengthFilterTypedTextAndReportChanges) {
  Ui ui(Column(R"(<Edit name="num" height="20" numberonly="true" maxchar="3"/>
      <Edit name="txt" height="20" maxchar="4"/>)"));
  auto* num = ui.Find<CEditUI>("num");
  ui.Click("num");
  for (char ch : std::string("1a2b34")) ui.pm.OnChar(static_cast<unsigned char>(ch));
  EXPECT_EQ(num->GetText(), "123");
  EXPECT_EQ(ui.notes.Of("textchanged").size(), 3u);  // only real changes
  ui.pm.OnKeyDown(VK_BACK);
  EXPECT_EQ(num->GetText(), "12");
  ui.notes.Clear();
  ui.Click("txt");
  EXPECT_EQ(ui.notes.Of("killfocus"), (Events{"killfocus:num"}));
  auto* txt = ui.Find<CEditUI>("txt");
  // Code points, not bytes, count toward the maximum.
  for (char32_t ch : std::u32string(U"\u00e9\u4e2d\u6587xyz")) ui.pm.OnChar(ch);
  EXPECT_EQ(txt->GetText(), "\xc3\xa9\xe4\xb8\xad\xe6\x96\x87x");
  ui.Keys({VK_BACK, VK_BACK});
  EXPECT_EQ(txt->GetText(), "\xc3\xa9\xe4\xb8\xad");
  // Native editor path: the backend reports text, the edit filters it.
  EXPECT_EQ(num->OnNativeTextChanged("98x765"), "987");
  EXPECT_EQ(num->GetText(), "987");
  // Text set by code is filtered but silent.
  ui.notes.Clear();
  num->SetText("4x5");
  EXPECT_EQ(num->GetText(), "45");
  EXPECT_TRUE(ui.notes.events.empty());
}

TEST(PalettePicking, ClickingPicksHueSaturationAndBrightnessPresetsRoundTripThroughHsvHugeHeightsAreCut) {
  Ui ui(Column(R"(<ColorPalette name="pal" width="361" height="120" palletheight="101" barheight="10"/>)"));
  auto* pal = ui.Find<CColorPaletteUI>("pal");
  pal->SetSelectColor(0xFF0199CB);
  EXPECT_EQ(pal->GetSelectColor(), 0xFF0199CBu);
  EXPECT_TRUE(ui.notes.events.empty());
  pal->SetSelectColor(0xFFFFFFFF);  // top-left: hue 0, full saturation, full brightness
  ui.Click(UiPoint{0, 0});
  EXPECT_EQ(pal->GetSelectColor(), 0xFFFF0000u);
  ASSERT_EQ(ui.notes.Of("colorchanged").size(), 1u);
  EXPECT_EQ(ui.notes.records.back().wParam, 0xFFFF0000u);
  ui.Click(UiPoint{120, 0});  // hue 120: green
  EXPECT_EQ(pal->GetSelectColor(), 0xFF00FF00u);
  ui.Click(UiPoint{240, 100});  // bottom row: no saturation -> white
  EXPECT_EQ(pal->GetSelectColor(), 0xFFFFFFFFu);
  ui.Click(UiPoint{0, 115});  // bar at the left: black
  EXPECT_EQ(pal->GetSelectColor(), 0xFF000000u);
  size_t before = ui.notes.Of("colorchanged").size();
  ui.Click(UiPoint{0, 105});  // the gap between area and bar picks nothing
  EXPECT_EQ(ui.notes.Of("colorchanged").size(), before);
  for (UiColor c : {0xFFFF0000, 0xFF00F6FF, 0xFF6CFF00, 0xFF7E00FF, 0xFF008AFF, 0xFFFDFDFC, 0xFF000000, 0xFF1B48A3,
                    0xFF4776A4, 0xFFFFC480})  // the presets survive a round trip through HSV
    EXPECT_EQ(HsvToRgb(RgbToHsv(c)), c) << std::hex << c;
  // Huge layout heights are cut to the coordinate range: the arithmetic never overflows (UBSan checks).
  Ui huge(Column(R"(<ColorPalette name="pal" width="361" height="120" palletheight="2147483647" barheight="2147483647"/>)"));
  pal = huge.Find<CColorPaletteUI>("pal");
  EXPECT_EQ(pal->GetBarRect().top, pal->GetPos().top + kMaxCoord);
  huge.Click(UiPoint{10, 10});
}

// Only the control's rectangle is repainted when the choice moves: a marker outside it would stay.
TEST(PalettePicking, MarkersStayInsideTheControlAtEveryEdge) {
  Ui ui(R"(<Window><VerticalLayout name="root" inset="20,20,20,20">
      <ColorPalette name="pal" width="361" height="120" palletheight="101" barheight="10" thumbimage="t.png"/>
    </VerticalLayout></Window>)");
  auto* pal = ui.Find<CColorPaletteUI>("pal");
  const UiRect pos = pal->GetPos();
  for (UiPoint at : {UiPoint{pos.left, pos.top}, UiPoint{pos.right - 1, pos.top}, UiPoint{pos.left, pos.top + 100},
                     UiPoint{pos.right - 1, pos.top + 100}, UiPoint{pos.left, pos.bottom - 1},
                     UiPoint{pos.right - 1, pos.bottom - 1}}) {
    ASSERT_TRUE(pal->PickAt(at));
    test::RecordingRenderer r;
    pal->PaintStatusImage(r);
    for (const test::DrawCall& call : r.calls) {
      const UiRect seen = call.Visible();
      EXPECT_TRUE(seen.IsEmpty() || seen.Intersect(pos) == seen) << call.op << " at " << at.x << "," << at.y;
    }
  }
}

}  // namespace
}  // namespace trx::ui

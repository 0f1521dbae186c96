// What the core asks of the native window (IPaintHost); language texts in every live window.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/ui/core_test_support.h"
#include "ui/core/combo.h"
#include "ui/core/container.h"
#include "ui/core/edit.h"
#include "ui/core/label.h"
#include "ui/core/resource_manager.h"

namespace trx::ui {
namespace {

using test::Column;
using test::Ui;
using Events = std::vector<std::string>;

class RecordingHost : public IPaintHost {
 public:
  std::vector<std::string> calls;
  std::vector<UiRect> invalidated;
  bool allowEdit = true;

  void Invalidate(const UiRect& rc) override { invalidated.push_back(rc); }
  void SetCapture() override { calls.push_back("capture"); }
  void ReleaseCapture() override { calls.push_back("release"); }
  bool OpenDropDown(CComboUI* combo) override {
    calls.push_back("dropdown:" + combo->GetName());
    return true;
  }
  bool BeginEdit(CEditUI* edit) override {
    calls.push_back("begin:" + edit->GetName());
    return allowEdit;
  }
  void OnEditTextSet(CEditUI* edit) override { calls.push_back("settext:" + edit->GetText()); }
  void EndEdit(CEditUI* edit) override { calls.push_back("end:" + edit->GetName()); }
  UiPoint GetCursorPos() override { return {}; }
  void ShowToolTip(const UiRect&, std::string_view text) override { calls.push_back("tip:" + std::string(text)); }
  void HideToolTip() override { calls.push_back("hidetip"); }
  void SetCursor(CursorShape shape) override { cursor = shape; }
  void OnControlRemoved(CControlUI* control) override { calls.push_back("removed:" + control->GetName()); }
  CursorShape cursor = CursorShape::Arrow;

  std::vector<std::string> Only(const std::string& prefix) const { return test::StartingWith(calls, prefix); }
};

const std::string kLayout = Column(R"(<Edit name="e" height="20" numberonly="true"/>
    <Button name="b" height="20" tooltip="%[tip_id]"/>
    <Combo name="c" height="20"><ListLabelElement text="zero"/><ListLabelElement text="one"/></Combo>
    <Edit name="e2" height="20" readonly="true"/>)");

struct HostedUi : Ui {
  RecordingHost host;
  HostedUi() : Ui(kLayout) { pm.SetHost(&host); }
};

TEST(NativeEditing, FocusStartsAndEndsTheNativeEditorAndItsTextIsFiltered) {
  HostedUi ui;
  auto* e = ui.Find<CEditUI>("e");
  ui.Click("e");
  EXPECT_EQ(ui.host.Only("begin"), (Events{"begin:e"}));
  EXPECT_TRUE(e->IsEditing());
  // While the native editor runs, typed keys are its business.
  ui.pm.OnChar('5');
  EXPECT_EQ(e->GetText(), "");
  EXPECT_EQ(e->OnNativeTextChanged("4a2"), "42");
  EXPECT_EQ(ui.notes.Of("textchanged"), (Events{"textchanged:e"}));
  ui.Click("b");
  EXPECT_EQ(ui.host.Only("end"), (Events{"end:e"}));
  EXPECT_FALSE(e->IsEditing());
  EXPECT_EQ(ui.notes.Of("killfocus"), (Events{"killfocus:e"}));
  // Code changing the text while the native editor is open tells the host (the user's own do not echo).
  ui.Click("e");
  e->SetText("77");
  e->SetText("77");
  EXPECT_EQ(ui.host.Only("settext"), (Events{"settext:77"}));
  // Read-only edits never open the native editor.
  ui.Click("e2");
  EXPECT_EQ(ui.host.Only("begin").size(), 2u);
  // Without a native editor the edit types for itself.
  ui.host.allowEdit = false;
  ui.Click("e");
  EXPECT_FALSE(e->IsEditing());
  ui.pm.OnChar('7');
  EXPECT_EQ(e->GetText(), "777");
}

TEST(HostRequests, ComboOpensThePopupWhichSelectsWithNotification) {
  HostedUi ui;
  auto* c = ui.Find<CComboUI>("c");
  ui.Click("c");
  EXPECT_EQ(ui.host.Only("dropdown"), (Events{"dropdown:c"}));
  EXPECT_TRUE(c->IsDroppedDown());
  // The popup paints the items into its own area and picks by point.
  test::RecordingRenderer r;
  c->PaintDropDown(r, {0, 0, 100, 50});
  EXPECT_TRUE(std::ranges::any_of(r.calls, [](const auto& c) { return c.op == "text" && c.text == "one"; }));
  EXPECT_EQ(r.clipDepth, 0);
  int index = c->DropDownItemAt({10, 30}, {0, 0, 100, 50});
  EXPECT_EQ(index, 1);
  c->SelectItem(index, false, true);
  c->OnDropDownClosed();
  EXPECT_FALSE(c->IsDroppedDown());
  EXPECT_EQ(ui.notes.Of("itemselect"), (Events{"itemselect:c"}));
  EXPECT_EQ(c->GetText(), "one");
  // An empty combo opens nothing.
  c->RemoveAll();
  ui.Click("c");
  EXPECT_EQ(ui.host.Only("dropdown").size(), 1u);
}

// Capture follows the button, tooltips and cursors the hover; a change repaints the control's rectangle.
TEST(HostRequests, CaptureTooltipsCursorsAndRepaintsFollowTheControlsANewTreeDropsTheOldOne) {
  HostedUi ui;
  ui.pm.OnMouseMove(ui.Center("b"));
  EXPECT_EQ(ui.host.Only("tip"), (Events{"tip:tip_id"}));  // resource tooltip, no language loaded
  ui.pm.OnButtonDown(ui.Center("b"));
  ui.pm.OnButtonUp(ui.Center("b"));
  EXPECT_EQ(ui.host.Only("capture").size(), 1u);
  EXPECT_EQ(ui.host.Only("release").size(), 1u);
  ui.pm.OnMouseMove(ui.Center("e"));
  EXPECT_EQ(ui.host.cursor, CursorShape::IBeam);
  EXPECT_FALSE(ui.host.Only("hidetip").empty());
  ui.host.invalidated.clear();
  CControlUI* b = ui.pm.FindControl("b");
  b->SetBkColor(0xFF123456);
  ASSERT_FALSE(ui.host.invalidated.empty());
  EXPECT_EQ(ui.host.invalidated.back(), b->GetPos());
  ui.host.invalidated.clear();
  b->SetBkColor(0xFF123456);  // no change, no repaint
  EXPECT_TRUE(ui.host.invalidated.empty());
  b->SetVisible(false);  // hidden: the whole window is laid out again
  EXPECT_EQ(ui.host.invalidated.back(), (UiRect{0, 0, 400, 300}));
  // Attaching a new tree drops every reference to the old one.
  ui.Click("e");
  ASSERT_NE(ui.pm.GetHot(), nullptr);
  ASSERT_NE(ui.pm.GetFocus(), nullptr);
  CControlUI* next = CDialogBuilder().Create("<Window><Button name='other'/></Window>", {}, nullptr, &ui.pm);
  ASSERT_TRUE(ui.pm.AttachDialog(next));
  EXPECT_EQ(ui.pm.GetHot(), nullptr);
  EXPECT_EQ(ui.pm.GetFocus(), nullptr);
  EXPECT_EQ(ui.pm.FindControl("b"), nullptr);
  EXPECT_NE(ui.pm.FindControl("other"), nullptr);
  EXPECT_FALSE(ui.host.Only("removed:root").empty());
  EXPECT_FALSE(ui.pm.AttachDialog(nullptr));
  EXPECT_EQ(ui.pm.GetRoot(), next);
  // The new tree gets its own "windowinit" with its first paint.
  ui.Paint();
  EXPECT_EQ(ui.notes.Of("windowinit").size(), 1u);
}

// A list item that counts how often the combo looks at it as a list item.
class CountedItem : public CListLabelElementUI {
 public:
  explicit CountedItem(long* looks) : looks_(looks) {}
  void* GetInterface(std::string_view name) override {
    if (name == "ListItem") ++*looks_;
    return CListLabelElementUI::GetInterface(name);
  }

 private:
  long* looks_;
};

TEST(ComboItems, AppendingTouchesOnlyTheNewItemAndInsertsRenumberTheRest) {
  CComboUI combo;
  long looks = 0;
  constexpr int kItems = 3000;
  for (int i = 0; i < kItems; ++i) ASSERT_TRUE(combo.Add(new CountedItem(&looks)));
  // A constant number of looks per item, not one per item already there (40,000 profiles took seconds).
  EXPECT_LE(looks, 2L * kItems);

  ASSERT_TRUE(combo.SelectItem(kItems - 1, false, false));
  auto* first = new CountedItem(&looks);
  ASSERT_TRUE(combo.AddAt(first, 0));
  ASSERT_TRUE(combo.RemoveAt(1));
  for (int i : {0, 1, kItems / 2, kItems - 1}) {
    auto* item = static_cast<IListItemUI*>(combo.GetItemAt(i)->GetInterface("ListItem"));
    EXPECT_EQ(item->GetIndex(), i);
  }
  EXPECT_EQ(combo.GetCurSel(), kItems - 1);  // the selection followed its item
  EXPECT_EQ(combo.GetItemAt(0), first);
}

const std::string kTexts = Column(R"(<Label name="by_marker" text="%[title]" height="20"/>
    <Label name="by_flag" text="message_text_1" resourcetext="true" tooltip="tip" height="20"/>
    <Label name="plain" text="title" height="20"/>
    <Label name="missing" text="%[message_text_99]" height="20"/>)");

TEST(LanguageFiles, SwitchingRewritesResourceTextsInEveryWindowBrokenFilesKeepThemQueriesAnswerTheRest) {
  test::SkinDir skin;
  skin.Write("lan_cn.xml", R"(<Language name="cn_zh"><Text id="message_text_1" value="未连接设备"/>
      <Text id="title" value="标题"/><Text id="tip" value="提示"/></Language>)");
  skin.Write("lan_en.xml", R"(<Language name="en"><Text id="message_text_1" value="No device connected"/>
      <Text id="title" value="Title"/></Language>)");
  skin.Write("broken.xml", "<Language><Text id='x' value='y'></Language>");
  auto* rm = CResourceManager::GetInstance();
  ASSERT_TRUE(rm->LoadLanguage("lan_cn.xml"));
  EXPECT_EQ(rm->GetLanguage(), "cn_zh");
  Ui main(kTexts);
  Ui dialog(kTexts);
  EXPECT_EQ(main.pm.FindControl("by_marker")->GetText(), "标题");
  EXPECT_EQ(main.pm.FindControl("by_flag")->GetText(), "未连接设备");
  EXPECT_EQ(main.pm.FindControl("by_flag")->GetToolTip(), "提示");
  EXPECT_EQ(main.pm.FindControl("plain")->GetText(), "title");  // not a resource text
  EXPECT_EQ(main.pm.FindControl("missing")->GetText(), "message_text_99");
  EXPECT_EQ(main.pm.FindControl("by_marker")->GetRawText(), "title");

  ASSERT_TRUE(rm->LoadLanguage("lan_en.xml"));
  rm->SetLanguage("en");
  rm->ReloadText();
  for (Ui* ui : {&main, &dialog}) {
    EXPECT_EQ(ui->pm.FindControl("by_marker")->GetText(), "Title");
    EXPECT_EQ(ui->pm.FindControl("by_flag")->GetText(), "No device connected");
    // "tip" is missing from the English file: the id shows.
    EXPECT_EQ(ui->pm.FindControl("by_flag")->GetToolTip(), "tip");
  }
  // The painted text follows the language too.
  EXPECT_TRUE(std::ranges::any_of(main.Paint().calls, [](const auto& c) { return c.op == "text" && c.text == "No device connected"; }));
  // A text marked as an id at run time.
  CControlUI* plain = main.pm.FindControl("plain");
  plain->SetResourceText(true);
  plain->SetText("message_text_1");
  EXPECT_EQ(plain->GetText(), "No device connected");
  plain->SetResourceText(false);
  EXPECT_EQ(plain->GetText(), "message_text_1");
  // Broken or missing files keep the current texts; the query interface answers ids the file lacks.
  struct Query : IQueryControlText {
    std::string QueryControlText(std::string_view id, std::string_view) override { return id == "asked" ? "answer" : ""; }
  } query;
  EXPECT_FALSE(rm->LoadLanguage("broken.xml"));
  EXPECT_FALSE(rm->LoadLanguage("absent.xml"));
  EXPECT_FALSE(rm->LoadResource("absent_res.xml"));
  rm->SetTextQueryInterface(&query);
  EXPECT_EQ(rm->GetText("asked"), "answer");
  EXPECT_EQ(rm->GetText("title"), "Title");  // the file wins
  EXPECT_EQ(rm->GetText("other"), "other");
  rm->Release();  // forgets the query interface and the texts
  EXPECT_EQ(rm->GetText("asked"), "asked");
  EXPECT_EQ(rm->GetText("title"), "title");
}

}  // namespace
}  // namespace trx::ui

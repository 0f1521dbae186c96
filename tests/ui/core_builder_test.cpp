// Building control trees from layouts, and looking controls up by name.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/ui/core_test_support.h"
#include "ui/core/combo.h"
#include "ui/core/container.h"
#include "ui/core/control_factory.h"
#include "ui/core/edit.h"
#include "ui/core/option.h"
#include "ui/core/progress.h"
#include "ui/core/resource_manager.h"

namespace trx::ui {
namespace {

using test::Column;
using test::Ui;

using test::ScopedDebugCapture;
using test::SkinDir;

// Fonts, per-class defaults and styles come from the window element; an element's own attribute wins.
TEST(BuilderTree, NestsControlsAndAppliesAttributesDefaultsAndStyles) {
  Ui ui(R"(<Window size="640,480" caption="0,0,0,30" roundcorner="4,5" mininfo="300,200">
      <Font id="0" name="Noto Sans" size="14" bold="true" default="true"/>
      <Font id="3" name="Mono" size="9"/>
      <Default name="Button" value="textcolor=&quot;#FF112233&quot; height=&quot;22&quot;"/>
      <Style name="item_style" value="bkcolor=&quot;#FF445566&quot; tooltip='styled'"/>
      <VerticalLayout name="root" bkcolor="#FF102030" inset="1,2,3,4">
        <HorizontalLayout name="row" height="40" childpadding="5">
          <Button name="ok" text="OK" width="80" tooltip="press" normalimage="file='b.png'" textcolor="#FF000001"/>
          <Label name="lbl" text="hello" textcolor="0xFF00FF00" align="center" style="item_style"/>
        </HorizontalLayout>
        <Edit name="ed" numberonly="true" maxchar="3"/>
        <Progress name="pr" min="10" max="20" value="15"/>
        <Button name="b1"/>
      </VerticalLayout>
    </Window>)");
  ASSERT_NE(ui.root, nullptr);
  EXPECT_EQ(ui.root->GetName(), "root");
  EXPECT_EQ(ui.root->GetBkColor(), 0xFF102030u);
  auto* root = dynamic_cast<CVerticalLayoutUI*>(ui.root);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetInset(), (UiRect{1, 2, 3, 4}));
  ASSERT_EQ(root->GetCount(), 4);
  auto* row = ui.Find<CHorizontalLayoutUI>("row");
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->GetParent(), ui.root);
  EXPECT_EQ(row->GetChildPadding(), 5);
  auto* ok = ui.Find<CButtonUI>("ok");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->GetText(), "OK");
  EXPECT_EQ(ok->GetToolTip(), "press");
  EXPECT_EQ(ok->GetNormalImage(), "file='b.png'");
  EXPECT_EQ(ok->GetFixedWidth(), 80);
  EXPECT_EQ(ok->GetManager(), &ui.pm);
  EXPECT_EQ(ok->GetTextColor(), 0xFF000001u);
  auto* lbl = ui.Find<CLabelUI>("lbl");
  EXPECT_EQ(lbl->GetTextColor(), 0xFF00FF00u);
  EXPECT_TRUE(lbl->GetTextStyle() & DT_CENTER);
  EXPECT_EQ(lbl->GetBkColor(), 0xFF445566u);
  EXPECT_EQ(lbl->GetToolTip(), "styled");
  auto* ed = ui.Find<CEditUI>("ed");
  EXPECT_TRUE(ed->IsNumberOnly());
  EXPECT_EQ(ed->GetMaxChar(), 3);
  auto* pr = ui.Find<CProgressUI>("pr");
  EXPECT_EQ(pr->GetMinValue(), 10);
  EXPECT_EQ(pr->GetMaxValue(), 20);
  EXPECT_EQ(pr->GetValue(), 15);
  EXPECT_EQ(ui.Find<CButtonUI>("b1")->GetTextColor(), 0xFF112233u);
  EXPECT_EQ(ui.Find<CButtonUI>("b1")->GetFixedHeight(), 22);
  EXPECT_EQ(ui.pm.GetFont(3).name, "Mono");
  EXPECT_EQ(ui.pm.GetFont(3).size, 9);
  EXPECT_EQ(ui.pm.GetFont(-1).name, "Noto Sans");
  EXPECT_TRUE(ui.pm.GetFont(77).bold);  // unknown ids give the default font
  // Window attributes land in the manager.
  EXPECT_EQ(ui.pm.GetInitSize(), (UiSize{640, 480}));
  EXPECT_EQ(ui.pm.GetCaptionRect(), (UiRect{0, 0, 0, 30}));
  EXPECT_EQ(ui.pm.GetRoundCorner(), (UiSize{4, 5}));
  EXPECT_EQ(ui.pm.GetMinInfo(), (UiSize{300, 200}));
}

class PageCallback : public IDialogBuilderCallback {
 public:
  std::vector<std::string> asked;
  CControlUI* CreateControl(std::string_view cls) override {
    asked.emplace_back(cls);
    if (cls == "MS_Key_UI") {
      auto* page = new CVerticalLayoutUI();
      auto* inner = new CButtonUI();
      inner->SetName("inner_btn");
      page->Add(inner);
      return page;
    }
    return nullptr;
  }
};

CControlUI* NewCircle() {
  auto* p = new CProgressUI();
  p->SetName("made_by_factory");
  return p;
}

TEST(BuilderUnknownClasses, CallbackFirstThenFactoryThenSkipped) {
  ASSERT_TRUE(CControlFactory::GetInstance()->RegistControl("CCircleProgressUI", &NewCircle));
  PageCallback cb;
  ScopedDebugCapture debug;
  Ui ui(Column(R"(<MS_Key_UI name="page" height="50"/>
        <CCircleProgressUI name="circle" value="30"/>
        <NoSuchThing name="ghost"><Button name="ghost_child"/></NoSuchThing>
        <Label name="after"/>)"),
        {400, 300}, &cb);
  ASSERT_NE(ui.root, nullptr);
  // Built-in classes are never asked of the callback.
  EXPECT_EQ(cb.asked, (std::vector<std::string>{"MS_Key_UI", "CCircleProgressUI", "NoSuchThing"}));
  auto* page = ui.Find<CVerticalLayoutUI>("page");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->GetFixedHeight(), 50);  // element attributes apply to the callback's root
  EXPECT_NE(ui.pm.FindControl("inner_btn"), nullptr);
  auto* circle = ui.Find<CProgressUI>("circle");
  ASSERT_NE(circle, nullptr);
  EXPECT_EQ(circle->GetValue(), 30);
  EXPECT_EQ(ui.pm.FindControl("made_by_factory"), nullptr);  // renamed by the layout
  EXPECT_EQ(ui.pm.FindControl("ghost"), nullptr);
  EXPECT_EQ(ui.pm.FindControl("ghost_child"), nullptr);
  EXPECT_NE(ui.pm.FindControl("after"), nullptr);
  EXPECT_TRUE(std::ranges::any_of(debug.lines, [](const std::string& l) { return l.find("NoSuchThing") != std::string::npos; }));
  CControlFactory::GetInstance()->UnregistControl("CCircleProgressUI");
  EXPECT_EQ(CControlFactory::GetInstance()->CreateControl("CCircleProgressUI"), nullptr);
  EXPECT_FALSE(CControlFactory::GetInstance()->RegistControl("X", nullptr));  // refuses null creators
  EXPECT_FALSE(CControlFactory::GetInstance()->RegistControl("", &NewCircle));
}

TEST(BuilderMalformed, BrokenOrEmptyInputGivesNullAndADebugLineExtraTopLevelControlsAreDroppedDeepNestingIsCut) {
  const char* bad[] = {
      "<Window><VerticalLayout></Window>",
      "<Window",
      "<",
      "<Window></Window>",            // no control at all
      "<Window><Font id='1'/></Window>",
      "<?xml version='1.0'?>",
      "does_not_exist.xml",
  };
  for (const char* xml : bad) {
    ScopedDebugCapture debug;
    CPaintManagerUI pm;
    CDialogBuilder builder;
    EXPECT_EQ(builder.Create(xml, {}, nullptr, &pm), nullptr) << xml;
    EXPECT_FALSE(builder.GetLastErrorMessage().empty()) << xml;
    EXPECT_FALSE(debug.lines.empty()) << xml;
  }
  // Extra top-level controls are dropped without leaking.
  std::unique_ptr<CControlUI> first(CDialogBuilder().Create("<Window><Label name='a'/><Label name='b'/></Window>"));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetName(), "a");
  // Deep nesting is cut off, not crashed.
  std::string deep = "<Window>";
  for (int i = 0; i < 5000; ++i) deep += "<VerticalLayout>";
  for (int i = 0; i < 5000; ++i) deep += "</VerticalLayout>";
  ScopedDebugCapture debug;
  CPaintManagerUI pm;
  ASSERT_TRUE(pm.AttachDialog(CDialogBuilder().Create(deep + "</Window>", {}, nullptr, &pm)));
  pm.SetClientSize({100, 100});
  EXPECT_FALSE(debug.lines.empty());
}

TEST(BuilderFiles, ResourceIndexKeysIncludesAndParents) {
  SkinDir skin;
  skin.Write("res.xml", R"(<Res><Xml name="XML_MAIN" path="main.xml"/><Xml><Item name="XML_MSG" value="sub/msg.xml"/></Xml></Res>)");
  skin.Write("main.xml", R"(<Window size="100,50"><VerticalLayout name="root"><Include source="part.xml" count="2"/></VerticalLayout></Window>)");
  skin.Write("part.xml", R"(<Window><Button name="part_btn"/></Window>)");
  skin.Write("sub/msg.xml", R"(<HorizontalLayout name="msg_root"><Label name="MessageText"/></HorizontalLayout>)");
  skin.Write("loop.xml", R"(<Window><VerticalLayout><Include source="loop.xml"/></VerticalLayout></Window>)");
  ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource("res.xml"));
  EXPECT_EQ(CResourceManager::GetInstance()->GetXmlPath("XML_MAIN"), "main.xml");
  EXPECT_EQ(CResourceManager::GetInstance()->GetXmlPath("XML_MSG"), "sub/msg.xml");
  EXPECT_EQ(CResourceManager::GetInstance()->GetXmlPath("XML_NONE"), "");

  CPaintManagerUI pm;
  CDialogBuilder builder;
  auto* root = dynamic_cast<CVerticalLayoutUI*>(builder.Create("XML_MAIN", {}, nullptr, &pm));
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetCount(), 2);  // included twice
  EXPECT_EQ(pm.GetInitSize(), (UiSize{100, 50}));
  pm.AttachDialog(root);

  // A layout without <Window> whose root is the control; built into a parent.
  auto* holder = new CVerticalLayoutUI();
  holder->SetName("holder");
  root->Add(holder);
  CControlUI* msg = CDialogBuilder().Create("XML_MSG", {}, nullptr, &pm, holder);
  ASSERT_NE(msg, nullptr);
  EXPECT_EQ(msg->GetParent(), holder);
  EXPECT_EQ(pm.FindControl("MessageText")->GetManager(), &pm);

  // Self-inclusion stops at the include depth limit.
  ScopedDebugCapture debug;
  CControlUI* loop = CDialogBuilder().Create("loop.xml", {}, nullptr, &pm);
  ASSERT_NE(loop, nullptr);
  delete loop;
  CResourceManager::GetInstance()->Release();
}

// Element names ignore case, control names do not; class names carry the "UI" suffix; interfaces
// answer to element names; lookup by name finds the first in tree order, hidden controls and combo items.
TEST(BuilderTree, ClassNamesCarryTheUISuffixElementNamesIgnoreCaseControlNamesDoNot) {
  Ui lower(R"(<window size="10,20"><verticallayout name="root"><BUTTON name="b"/><font id="1" name="X"/></verticallayout></window>)");
  ASSERT_NE(lower.root, nullptr);
  EXPECT_EQ(lower.root->GetClass(), "VerticalLayoutUI");
  EXPECT_EQ(lower.pm.FindControl("b")->GetClass(), "ButtonUI");
  EXPECT_EQ(lower.pm.GetInitSize(), (UiSize{10, 20}));
  EXPECT_EQ(lower.pm.GetFont(1).name, "X");
  Ui ui(Column(R"(<Button name="b"/><Option name="o"/><Text name="t"/><Label name="l"/><CheckBox name="c"/>
      <HorizontalLayout><Label name="dup" text="first"/></HorizontalLayout><Label name="dup" text="second"/>
      <Label name="hidden" visible="false"/><Combo name="cb"><ListLabelElement name="cb_item" text="x"/></Combo>)"));
  for (auto [name, cls] : {std::pair{"o", "OptionUI"}, {"t", "TextUI"}, {"l", "LabelUI"}})
    EXPECT_EQ(ui.pm.FindControl(name)->GetClass(), cls);
  // A check box is an option and a button; a label is neither.
  CControlUI* c = ui.pm.FindControl("c");
  EXPECT_EQ(c->GetInterface("Option"), c);
  EXPECT_EQ(c->GetInterface("Button"), c);
  EXPECT_EQ(ui.pm.FindControl("l")->GetInterface("Button"), nullptr);
  EXPECT_NE(ui.root->GetInterface("Container"), nullptr);
  EXPECT_EQ(ui.pm.FindControl("dup")->GetText(), "first");
  EXPECT_EQ(ui.pm.FindControl("DUP"), nullptr);  // names are case-sensitive
  EXPECT_EQ(ui.pm.FindControl("nope"), nullptr);
  EXPECT_EQ(ui.pm.FindControl(""), nullptr);
  EXPECT_NE(ui.pm.FindControl("hidden"), nullptr);  // invisible controls are found too
  EXPECT_NE(ui.pm.FindControl("cb_item"), nullptr);  // combo items as well
  CPaintManagerUI empty;
  EXPECT_EQ(empty.FindControl("dup"), nullptr);
  EXPECT_EQ(empty.FindControl(UiPoint{1, 1}), nullptr);
}

}  // namespace
}  // namespace trx::ui

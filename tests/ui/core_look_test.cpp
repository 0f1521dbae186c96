// How controls tell the user what they can do: the disabled veil over any
// disabled control (once, not again over the children of a disabled
// container), the disabled tooltip saying why (also for controls inside a
// disabled container), the combo's tooltip with its whole text, and menu
// separators that are never chosen.

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/core_test_support.h"
#include "ui/core/combo.h"
#include "ui/core/menu.h"

namespace trx::ui::test {
namespace {

constexpr UiColor kVeil = 0x80102030;

TEST(DisabledLook, EveryDisabledControlIsVeiledOnceAndSaysWhy) {
  Ui ui(R"(<Window disabledveil="#80102030"><VerticalLayout name="root">
      <Button name="on" height="20" tooltip="plain"/>
      <Slider name="off" height="20" tooltip="plain" disabledtooltip="not here"/>
      <HorizontalLayout name="box" height="20" disabledtooltip="not in this mode">
        <Option name="inner" width="40" tooltip="own"/><Label name="label" width="40"/>
      </HorizontalLayout></VerticalLayout></Window>)");
  ui.pm.FindControl("off")->SetEnabled(false);
  ui.pm.FindControl("box")->SetEnabled(false);
  ui.pm.UpdateLayout();
  RecordingRenderer r;
  ui.pm.Paint(r, {0, 0, 400, 300});
  std::vector<UiRect> veiled;
  for (const DrawCall& c : r.calls)
    if (c.color == kVeil) veiled.push_back(c.rc);
  ASSERT_EQ(veiled.size(), 2u) << "the slider and the container, not the container's children again";
  EXPECT_EQ(veiled[0], ui.pm.FindControl("off")->GetPos());
  EXPECT_EQ(veiled[1], ui.pm.FindControl("box")->GetPos());

  const struct {
    const char* name;
    const char* tip;
  } rows[] = {{"on", "plain"}, {"off", "not here"}, {"inner", "not in this mode"}, {"label", "not in this mode"}};
  for (const auto& row : rows) EXPECT_EQ(ui.pm.FindControl(row.name)->GetToolTip(), row.tip) << row.name;
  ui.pm.FindControl("box")->SetEnabled(true);
  EXPECT_EQ(ui.pm.FindControl("inner")->GetToolTip(), "own");
}

TEST(DisabledLook, ComboTooltipIsTheWholeChosenTextUnlessTheLayoutGivesOne) {
  Ui ui(R"(<Window><VerticalLayout><Combo name="mode" width="60" height="24">
      <ListLabelElement text="Three-colour breathing"/><ListLabelElement text="Static"/></Combo>
      <Combo name="told" tooltip="Lighting mode" width="60" height="24"><ListLabelElement text="Static"/></Combo>
      </VerticalLayout></Window>)");
  auto* mode = ui.Find<CComboUI>("mode");
  mode->SelectItem(0, false, false);
  EXPECT_EQ(mode->GetToolTip(), "Three-colour breathing");
  EXPECT_EQ(ui.pm.FindControl("told")->GetToolTip(), "Lighting mode");
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
}  // namespace trx::ui::test

// Every control name the main window's code looks up exists in the skin
// package's layouts: the constants table, every handle's binding (the
// title bar and the numbered key lights among them), the rows of every
// routing table, a hand-written list of every control
// the routing names, and the tray menu items. A renamed
// control fails here instead of leaving a page dead.

#include <gtest/gtest.h>

#include <string>

#include "pages/control_names.h"
#include "pages/router.h"
#include "tests/pages/page_fixture.h"
#include "tests/support/golden.h"

namespace trx::pages {
namespace {

using namespace trx::ui;

// The main layout with its sub-layouts and the page set over it, as the
// window builds them.
class LayoutNamesTest : public testing::PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    Build();
  }
  bool Has(std::string_view name) { return pm.FindControl(name) != nullptr; }
  // Some control's name splits to this prefix.
  bool HasFamily(std::string_view prefix) {
    return !pm.FindControls([&](CControlUI* c) {
                 NameSplit s;
                 return SplitName(c->GetName(), s) && SameName(s.prefix, prefix);
               }).empty();
  }
};

TEST_F(LayoutNamesTest, EveryLookedUpNameExists) {
  for (const char* name : names::kLookedUpNames) EXPECT_TRUE(Has(name)) << name;
  for (const auto& t : names::kSpreadToggles) {
    EXPECT_TRUE(Has(t.button)) << t.button;
    EXPECT_TRUE(Has(t.edit)) << t.edit;
  }
  for (const auto& t : names::kRenameEditToggles) {
    EXPECT_TRUE(Has(t.button)) << t.button;
    EXPECT_TRUE(Has(t.edit)) << t.edit;
  }
  for (const char* prefix : names::kRoutinePrefixes) {
    for (const auto& insert : names::kRoutineInserts)
      EXPECT_TRUE(Has(std::string(prefix) + insert.button)) << prefix << insert.button;
    for (const char* panel : names::kRoutinePanels) EXPECT_TRUE(Has(std::string(prefix) + panel)) << prefix << panel;
  }
  for (const char* option : names::kMacroRecordOptions) EXPECT_TRUE(Has(option)) << option;
}

TEST_F(LayoutNamesTest, EveryRoutingRowNamesAControlOfTheLayouts) {
  for (size_t t = 0; t < kTableCount; ++t) {
    for (const Route& row : pages->Router().Rows(static_cast<Table>(t))) {
      EXPECT_TRUE(row.match == Match::Exact ? Has(row.name) : HasFamily(row.name)) << row.name;
    }
  }
}

// Every typed handle the page set binds finds its control, of the handle's class.
TEST_F(LayoutNamesTest, EveryPageHandleBindsToItsControl) {
  testing::FakeDialogs dialogs;
  testing::FakeDevices devices;
  testing::FakeWindow window;
  CPageSet pages(pm, dialogs, devices, window);
  for (const ControlBinding& b : pages.Bindings()) EXPECT_TRUE(b.handle->Take(pm.FindControl(b.name))) << b.name;
}

// Every control the routing and the pages name, from a list written out by
// hand (tests/data/app/control_names.txt), not from the code's own tables.
TEST_F(LayoutNamesTest, EveryControlOfTheHandWrittenListExists) {
  const std::vector<std::string> listed = test::ReadGoldenNames("app/control_names.txt");
  for (const std::string& name : listed) EXPECT_TRUE(Has(name)) << name;
  EXPECT_GT(listed.size(), 400u);
}

TEST_F(LayoutNamesTest, TrayMenuHoldsItsItems) {
  CPaintManagerUI menu_pm;
  CDialogBuilder builder;
  std::unique_ptr<CControlUI> menu(builder.Create("menu1.xml", {}, nullptr, &menu_pm));
  ASSERT_NE(menu, nullptr);
  menu_pm.AttachDialog(menu.release());
  for (const char* item : names::kMenuLayoutItems) EXPECT_NE(menu_pm.FindControl(item), nullptr) << item;
}

// The simulator's tray items show "menu_sim_<action>_<kind>"; both languages
// must have every one of them, or the item would show its bare id.
TEST_F(LayoutNamesTest, SimulatedDeviceMenuTextsExistInBothLanguages) {
  const char* ids[] = {"menu_sim_unplug_mouse",    "menu_sim_plug_mouse",      "menu_sim_profile_mouse",
                       "menu_sim_dpi_mouse",       "menu_sim_unplug_keyboard", "menu_sim_plug_keyboard",
                       "menu_sim_profile_keyboard", "menu_sim_unplug_pad",     "menu_sim_plug_pad",
                       "menu_sim_profile_pad",     "menu_exit"};
  for (const char* file : {"lan_en.xml", "lan_cn.xml"}) {
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(file)) << file;
    for (const char* id : ids) EXPECT_NE(CResourceManager::GetInstance()->GetText(id), id) << file << ": " << id;
  }
}

}  // namespace
}  // namespace trx::pages

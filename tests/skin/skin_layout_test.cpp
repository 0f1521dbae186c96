// The skin package as the interface library builds it: pages, names, styles, and fitting the window.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tests/skin/skin_test_support.h"
#include "tests/support/golden.h"
#include "platform/debug_log.h"
#include "ui/core/container.h"
#include "ui/core/control.h"
#include "ui/core/menu.h"
#include "ui/core/resource_manager.h"

namespace {

using namespace trx::ui;

using skin_test::kPages;
using skin_test::PageBuilder;
using trx::test::ReadGoldenNames;
using trx::test::ReadGoldenRows;

class SkinLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = trx::SetDebugSink([this](std::string_view line) { lines_.emplace_back(line); });
    CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource("res.xml"));
    pages_ = std::make_unique<PageBuilder>(&pm_);
    CDialogBuilder builder;
    CControlUI* root = builder.Create("XML_MAIN", {}, pages_.get(), &pm_);
    ASSERT_NE(root, nullptr) << builder.GetLastErrorMessage();
    ASSERT_TRUE(pm_.AttachDialog(root));
  }
  void TearDown() override { trx::SetDebugSink(previous_); }

  CControlUI* Find(std::string_view name) { return pm_.FindControl(name); }
  void SelectPage(std::string_view tab, int index) {
    auto* t = static_cast<CTabLayoutUI*>(Find(tab)->GetInterface("TabLayout"));
    ASSERT_NE(t, nullptr) << tab;
    t->SelectItem(index);
  }
  // Visible controls whose rectangle leaves their parent's rectangle.
  std::vector<std::string> Overflowing() {
    pm_.SetClientSize({800, 572});
    pm_.UpdateLayout();
    std::vector<std::string> out;
    Walk(pm_.GetRoot(), &out);
    return out;
  }

  CPaintManagerUI pm_;
  std::unique_ptr<PageBuilder> pages_;
  std::vector<std::string> lines_;

 private:
  void Walk(CControlUI* c, std::vector<std::string>* out) {
    auto* box = static_cast<CContainerUI*>(c->GetInterface("Container"));
    // Combo items are never laid out in place and list bodies scroll.
    if (box == nullptr || c->GetInterface("Combo") != nullptr || c->GetInterface("List") != nullptr) return;
    const UiRect& outer = c->GetPos();
    for (int i = 0; i < box->GetCount(); ++i) {
      CControlUI* child = box->GetItemAt(i);
      if (!child->IsVisible()) continue;
      const UiRect& r = child->GetPos();
      if (r.left < outer.left || r.top < outer.top || r.right > outer.right || r.bottom > outer.bottom) {
        std::string name = child->GetName().empty() ? "<" + std::string(child->GetClass()) + ">" : child->GetName();
        out->push_back(name + " in " + (c->GetName().empty() ? std::string(c->GetClass()) : c->GetName()));
      }
      Walk(child, out);
    }
  }
  trx::DebugSink previous_;
};

// A page file with <Window> attributes would resize the main window; pages apply the styles at run time.
TEST_F(SkinLayout, EveryPageBuildsKeepsTheWindowSizeWithUniqueNamesAndItsStyles) {
  ASSERT_EQ(pages_->built.size(), kPages.size());
  for (const auto& [element, ok] : pages_->built) EXPECT_TRUE(ok) << element << " did not build";
  for (const std::string& line : lines_) {
    EXPECT_EQ(line.find("unknown control class"), std::string::npos) << line;
    EXPECT_EQ(line.find("cannot hold children"), std::string::npos) << line;
    EXPECT_EQ(line.find("top-level controls"), std::string::npos) << line;
  }
  EXPECT_EQ(pm_.GetInitSize().cx, 800);
  EXPECT_EQ(pm_.GetInitSize().cy, 572);
  std::map<std::string, int> count;
  for (CControlUI* c : pm_.FindControls([](CControlUI* c) { return !c->GetName().empty(); })) ++count[c->GetName()];
  for (const auto& [name, n] : count) EXPECT_EQ(n, 1) << name << " appears " << n << " times";
  for (const std::string& style : ReadGoldenNames("skin/styles.txt"))
    EXPECT_FALSE(pm_.GetStyle(style).empty()) << style;
}

TEST_F(SkinLayout, NumberedFamiliesAreComplete) {
  for (const auto& row : ReadGoldenRows("skin/families.txt")) {
    ASSERT_EQ(row.size(), 2u);
    for (int i = 0; i < std::stoi(row[1]); ++i) EXPECT_NE(Find(row[0] + std::to_string(i)), nullptr) << row[0] << i;
  }
  for (int i = 0; i < 7; ++i) EXPECT_NE(Find("ms_key_" + std::to_string(i) + "_0"), nullptr) << "picture " << i;
  for (int n = 1; n <= 6; ++n) {
    const std::string d = "ms_DPI" + std::to_string(n);
    for (const char* part : {"_slider", "_label_value", "_label_rank", "_min", "_max"})
      EXPECT_NE(Find(d + part), nullptr) << d << part;
    EXPECT_NE(Find("ms_DPIcolor_btn_" + std::to_string(n)), nullptr) << n;
  }
  for (const char* group : {"kb_pro_deng_", "kb_pro_key_", "mp_pro_deng_", "ms_pro_deng_", "ms_pro_device_",
                            "ms_pro_key_"})
    for (const char* b : {"add_btn", "sub_btn", "import_btn", "export_btn", "copy_btn", "reset_btn"})
      EXPECT_NE(Find(std::string(group) + b), nullptr) << group << b;
}

TEST_F(SkinLayout, TabLayoutsHaveAPageForEveryTabAndLaterControlsStartHidden) {
  auto pages = [&](std::string_view name) {
    auto* t = static_cast<CTabLayoutUI*>(Find(name)->GetInterface("TabLayout"));
    return t == nullptr ? -1 : t->GetCount();
  };
  for (const auto& row : ReadGoldenRows("skin/tab_pages.txt")) {
    ASSERT_EQ(row.size(), 2u);
    EXPECT_EQ(pages(row[0]), std::stoi(row[1])) << row[0];
  }
  for (const std::string& name : ReadGoldenNames("skin/hidden_at_start.txt")) {
    ASSERT_NE(Find(name), nullptr) << name;
    EXPECT_FALSE(Find(name)->IsVisible()) << name;
  }
}

// A control sticking out of its parent would be cut off.
TEST_F(SkinLayout, EveryPageFitsTheWindow) {
  for (const std::string& name : ReadGoldenNames("skin/shown_panels.txt")) Find(name)->SetVisible(true);
  for (const auto& view : ReadGoldenRows("skin/views.txt")) {
    ASSERT_EQ(view.size() % 2, 1u) << view[0];
    for (size_t i = 1; i < view.size(); i += 2) SelectPage(view[i], std::stoi(view[i + 1]));
    std::string list;
    for (const std::string& o : Overflowing()) list += "\n  " + o;
    EXPECT_TRUE(list.empty()) << view[0] << ", controls sticking out:" << list;
  }
}

TEST(SkinMenu, TrayMenuOffersTheLanguagesAndAbout) {
  CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");
  CPaintManagerUI pm;
  CDialogBuilder builder;
  std::unique_ptr<CControlUI> root(builder.Create("menu1.xml", {}, nullptr, &pm));
  ASSERT_NE(root, nullptr) << builder.GetLastErrorMessage();
  ASSERT_NE(root->GetInterface("Menu"), nullptr);
  std::vector<std::string> items;
  auto* menu = static_cast<CContainerUI*>(root->GetInterface("Container"));
  ASSERT_NE(menu, nullptr);
  for (int i = 0; i < menu->GetCount(); ++i)
    if (auto* item = static_cast<CMenuElementUI*>(menu->GetItemAt(i)->GetInterface("MenuElement")))
      items.push_back(item->IsSeparator() ? "---" : item->GetName());
  EXPECT_EQ(items, (std::vector<std::string>{"lan_cn", "lan_en", "---", "autostart", "openrgb_server", "About_setting"}));
}

}  // namespace

// The dialogs' layouts in the skin folder: their controls, images and texts
// (a missing text id would show up as the raw id on screen).

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ui/core/button.h"
#include "ui/core/container.h"
#include "ui/core/image_desc.h"
#include "ui/core/dialog_builder.h"
#include "ui/core/paint_manager.h"
#include "ui/core/resource_manager.h"
#include "ui/dialogs/msg_wnd.h"
#include "ui/dialogs/pallet_dialog.h"
#include "ui/dialogs/preset_colors.h"
#include "ui/dialogs/skin_frame.h"

namespace trx::ui {
namespace {

class DialogLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");
    CResourceManager::GetInstance()->Release();
  }
  void TearDown() override { CResourceManager::GetInstance()->Release(); }

  // Builds a layout into a fresh pm_; fails the test when it cannot be built.
  CPaintManagerUI& Build(const std::string& layout) {
    pm_ = std::make_unique<CPaintManagerUI>();
    CDialogBuilder builder;
    CControlUI* root = builder.Create(layout, {}, nullptr, pm_.get());
    EXPECT_NE(root, nullptr) << layout << ": " << builder.GetLastErrorMessage();
    if (root) pm_->AttachDialog(root);
    return *pm_;
  }
  CControlUI* Find(const char* name, const char* kind) {
    CControlUI* c = pm_->FindControl(name);
    EXPECT_NE(c, nullptr) << name;
    if (c && kind) { EXPECT_NE(c->GetInterface(kind), nullptr) << name << " is not a " << kind; }
    return c;
  }
  std::vector<CControlUI*> All(const char* name) {
    return pm_->FindControls([name](CControlUI* c) { return c->GetName() == name; });
  }
  // Language ids of every resource text in the built tree.
  std::vector<std::string> TextIds() {
    std::vector<std::string> ids;
    for (CControlUI* c : pm_->FindControls([](CControlUI* c) { return c->IsResourceText(); }))
      ids.push_back(c->GetRawText());
    return ids;
  }
  void ExpectTextsInBothLanguages(const std::string& what, const std::vector<std::string>& ids) {
    EXPECT_FALSE(ids.empty()) << what;
    for (const char* file : {"lan_en.xml", "lan_cn.xml"}) {
      ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(file)) << file;
      for (const std::string& id : ids)
        EXPECT_NE(CResourceManager::GetInstance()->GetText(id), id) << what << ": " << id << " missing in " << file;
    }
  }

  std::unique_ptr<CPaintManagerUI> pm_ = std::make_unique<CPaintManagerUI>();
};

// The palette also has exactly thirty presets and a round corner.
TEST_F(DialogLayoutTest, MessageBoxAndPaletteLayoutsHaveTheirControlsAndACaption) {
  ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource("res.xml"));
  EXPECT_EQ(CResourceManager::GetInstance()->GetXmlPath(kMsgWndSkin), "MsgWnd.xml");
  using Controls = std::vector<std::pair<const char*, const char*>>;  // name, kind (nullptr: any)
  const std::pair<const char*, Controls> layouts[] = {
      {kMsgWndSkin,
       {{kMsgTitleName, nullptr}, {kMsgTextName, "Label"}, {kMsgConfirmName, "Button"}, {kMsgCancelName, "Button"},
        {kMsgCloseName, "Button"}}},
      {kPalletDialogSkin,
       {{kPalletName, "ColorPalette"}, {kPalletShowName, nullptr}, {kPalletOkName, "Button"},
        {kPalletCloseName, "Button"}, {kPalletBtnOkName, "Button"}, {kPalletBtnCancelName, "Button"}}},
  };
  for (const auto& [layout, controls] : layouts) {
    Build(layout);
    for (const auto& [name, kind] : controls) Find(name, kind);
    EXPECT_GT(pm_->GetCaptionRect().bottom, 0) << layout << ": no caption to drag it by";
  }
  for (int i = 0; i < kPresetColorCount; ++i) {
    const std::string name = std::string(kPalletPresetPrefix) + "_" + std::to_string(i);
    EXPECT_EQ(All(name.c_str()).size(), 1u) << name;
  }
  EXPECT_TRUE(All("ms_dpi_color_png_30").empty());
  EXPECT_GT(pm_->GetRoundCorner().cx, 0);
}

TEST_F(DialogLayoutTest, SkinChooserLayoutHasImagesOnPageZeroAndColoursOnPageOne) {
  Build(kSkinFrameSkin);
  auto* tab = static_cast<CTabLayoutUI*>(Find(kSkinTabName, "TabLayout"));
  ASSERT_NE(tab, nullptr);
  ASSERT_GE(tab->GetCount(), 2);
  Find(kSkinImagePageName, nullptr);
  Find(kSkinColorPageName, nullptr);
  Find(kSkinResetName, "Button");
  Find(kSkinCustomName, "Button");
  const auto on_page = [tab](CControlUI* c, int page) {
    for (CControlUI* p = c; p != nullptr; p = p->GetParent())
      if (p->GetParent() == tab) return p == tab->GetItemAt(page);
    return false;
  };
  const auto images = All(kSkinImageBtnName);
  const auto colours = All(kSkinColorBtnName);
  EXPECT_GE(images.size(), 3u);
  EXPECT_GE(colours.size(), 3u);
  for (CControlUI* c : images) {
    EXPECT_FALSE(c->GetUserData().empty());
    EXPECT_TRUE(std::filesystem::exists(CPaintManagerUI::ResolveResourceFile(c->GetUserData()))) << c->GetUserData();
    EXPECT_TRUE(on_page(c, 0));
  }
  for (CControlUI* c : colours) {
    EXPECT_NE(c->GetBkColor() >> 24, 0u) << "transparent colour item";
    EXPECT_TRUE(on_page(c, 1));
  }
  EXPECT_GT(pm_->GetInitSize().cx, 0);
}

// And the message texts the program shows by id.
TEST_F(DialogLayoutTest, EveryTextOfTheDialogsExistsInBothLanguages) {
  for (const char* layout : {"MsgWnd.xml", kPalletDialogSkin, kSkinFrameSkin}) {
    Build(layout);
    ExpectTextsInBothLanguages(layout, TextIds());
  }
  std::vector<std::string> ids;
  for (int i = 1; i <= 20; ++i)
    if (i != 10) ids.push_back("message_text_" + std::to_string(i));
  ExpectTextsInBothLanguages("message texts", ids);
}

TEST_F(DialogLayoutTest, EveryImageTheDialogsDrawIsAFileOfTheSkin) {
  ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource("res.xml"));
  for (const char* layout : {kMsgWndSkin, kPalletDialogSkin, kSkinFrameSkin}) {
    CPaintManagerUI& pm = Build(layout);
    ASSERT_NE(pm.GetRoot(), nullptr) << layout;
    int images = 0;
    for (CControlUI* c : pm.FindControls([](CControlUI*) { return true; })) {
      std::vector<std::string> descs = {c->GetBkImage()};
      if (auto* b = static_cast<CButtonUI*>(c->GetInterface("Button"))) {
        descs.insert(descs.end(), {b->GetNormalImage(), b->GetHotImage(), b->GetPushedImage(), b->GetForeImage(),
                                   b->GetHotForeImage()});
      }
      for (const std::string& d : descs) {
        if (d.empty()) continue;
        TImageDesc desc;
        ASSERT_TRUE(ParseImageDesc(d, &desc)) << layout << " " << c->GetName() << ": " << d;
        const std::string path = CPaintManagerUI::ResolveResourceFile(desc.file);
        EXPECT_TRUE(std::filesystem::is_regular_file(path)) << layout << " " << c->GetName() << ": " << path;
        ++images;
      }
    }
    EXPECT_GT(images, 0) << layout;
  }
}

}  // namespace
}  // namespace trx::ui

// Language texts: loading language files, resource texts resolved through
// the loaded language, switching languages rewriting every resource text of
// every live paint manager, missing ids, and the query interface.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/ui/core_test_support.h"
#include "ui/core/label.h"
#include "ui/core/resource_manager.h"

namespace trx::ui {
namespace {

using test::Ui;

class LanguageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("trx_ui_lang_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    Write("lan_cn.xml", R"(<Language name="cn_zh">
        <Text id="message_text_1" value="未连接设备"/>
        <Text id="title" value="标题"/>
        <Text id="tip" value="提示"/>
      </Language>)");
    Write("lan_en.xml", R"(<Language name="en">
        <Text id="message_text_1" value="No device connected"/>
        <Text id="title" value="Title"/>
      </Language>)");
    Write("broken.xml", "<Language><Text id='x' value='y'></Language>");
    CPaintManagerUI::SetResourcePath(dir_.string());
  }
  void TearDown() override {
    CResourceManager::GetInstance()->Release();
    CPaintManagerUI::SetResourcePath("");
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::filesystem::path dir_;
};

const char* kTexts = R"(<Window><VerticalLayout name="root">
    <Label name="by_marker" text="%[title]" height="20"/>
    <Label name="by_flag" text="message_text_1" resourcetext="true" tooltip="tip" height="20"/>
    <Label name="plain" text="title" height="20"/>
    <Label name="missing" text="%[message_text_99]" height="20"/>
  </VerticalLayout></Window>)";

TEST_F(LanguageFiles, SwitchingLanguageRewritesResourceTextsInEveryWindow) {
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
  test::RecordingRenderer r;
  main.pm.Paint(r, {0, 0, 400, 300});
  bool painted = false;
  for (const auto& c : r.calls) painted |= c.op == "text" && c.text == "No device connected";
  EXPECT_TRUE(painted);
}

TEST_F(LanguageFiles, MarkingATextAsAnIdAtRunTime) {
  ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage("lan_en.xml"));
  Ui ui(kTexts);
  CControlUI* plain = ui.pm.FindControl("plain");
  plain->SetResourceText(true);
  plain->SetText("message_text_1");
  EXPECT_EQ(plain->GetText(), "No device connected");
  plain->SetResourceText(false);
  EXPECT_EQ(plain->GetText(), "message_text_1");
}

TEST_F(LanguageFiles, BrokenOrMissingFilesKeepTheCurrentTexts) {
  auto* rm = CResourceManager::GetInstance();
  ASSERT_TRUE(rm->LoadLanguage("lan_cn.xml"));
  EXPECT_FALSE(rm->LoadLanguage("broken.xml"));
  EXPECT_FALSE(rm->LoadLanguage("absent.xml"));
  EXPECT_EQ(rm->GetText("title"), "标题");
  EXPECT_FALSE(rm->LoadResource("absent_res.xml"));
}

TEST_F(LanguageFiles, QueryInterfaceAnswersIdsTheFileLacks) {
  struct Query : IQueryControlText {
    std::string QueryControlText(std::string_view id, std::string_view) override {
      return id == "asked" ? "answer" : "";
    }
  } query;
  auto* rm = CResourceManager::GetInstance();
  ASSERT_TRUE(rm->LoadLanguage("lan_en.xml"));
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

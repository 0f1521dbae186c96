// The profile strip over the main layout with a simulated mouse.

#include <filesystem>
#include <mutex>

#include "pages/profile_bar.h"
#include "profile/profile_file.h"
#include "profile/profile_operations.h"
#include "tests/pages/page_fixture.h"
#include "tests/platform/temp_home.h"

namespace trx::pages::testing {
namespace {

void WriteFile(const std::string& path, DeviceKind kind, const std::vector<uint8_t>& data) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  ASSERT_EQ(WriteProfileFile(path, kind, data.size(), data.data()), kProfileWriteOk) << path;
}

class ProfileBarTest : public SimPageTest {
 protected:
  void SetUp() override {
    SimPageTest::SetUp();
    SetProgramFolderOverride(home.Path("program"));
    std::vector<uint8_t> config(576, 0);
    config[0] = 0x01, config[1] = 0xF0, config[512 + 34] = 10, config[512 + 35] = 3;
    const std::vector<uint8_t> keys(config.begin(), config.begin() + 512);  // the same first two bytes
    WriteFile(home.Path("program/msdevicedefault.config"), DeviceKind::Mouse, config);
    WriteFile(home.Path("program/msdengdefault.Led"), DeviceKind::Mouse, std::vector<uint8_t>(64, 4));
    WriteFile(home.Path("program/mskeydefault.pro"), DeviceKind::Mouse, keys);
    AttachSimulator();
    Build();
    UseSimulatedDevices(false);
    ASSERT_EQ(InitProfiles(DeviceKind::Mouse, pages->ProfileLists(), dialogs), 1);
  }
  std::vector<std::string> Items(const char* name) {
    std::vector<std::string> out;
    for (int i = 0; i < Combo(name)->GetCount(); ++i) out.push_back(Combo(name)->GetItemAt(i)->GetText());
    return out;
  }
  std::string MsFile(const std::string& name) { return home.Path("Documents/Dirari DovevO1/ms/") + name; }

  test::TempHome home;
};

TEST_F(ProfileBarTest, AddRenameDeleteKeepComboAndIndexTogether) {
  const char* combo = "ms_deng_profile_combo";
  Notify("ms_pro_deng_add_btn", "click");
  EXPECT_EQ(Items(combo), (std::vector<std::string>{"profile1", "profile2"}));
  EXPECT_EQ(Combo(combo)->GetCurSel(), 1);
  EXPECT_EQ(sim_devices->pending, (std::vector<DeviceKind>{DeviceKind::Mouse}));  // light select

  Notify("ms_profile_fun_spread_btn", "click");  // the Manage panel
  Notify("ms_pro_deng_edit_btn", "click");
  EXPECT_TRUE(Visible("ms_deng_profile_edit"));
  EXPECT_EQ(Find("ms_deng_profile_name_edit")->GetText(), "profile2");
  Find("ms_deng_profile_name_edit")->SetText("PROFILE2");
  Notify("ms_deng_profile_edit_save_btn", "click");
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"message_text_15"}));
  Find("ms_deng_profile_name_edit")->SetText("../escape");
  Notify("ms_deng_profile_edit_save_btn", "click");
  EXPECT_EQ(dialogs.messages.back(), "'../escape': the name holds a path separator");
  Find("ms_deng_profile_name_edit")->SetText("racing");
  Notify("ms_deng_profile_edit_save_btn", "click");
  EXPECT_EQ(Items(combo), (std::vector<std::string>{"profile1", "racing"}));
  EXPECT_FALSE(Visible("ms_deng_profile_edit"));
  EXPECT_TRUE(std::filesystem::exists(MsFile("racing.led")));

  dialogs.message_answer = 0;  // the confirmation declined: nothing goes
  Notify("ms_pro_deng_sub_btn", "click");
  EXPECT_EQ(Items(combo).size(), 2u);
  dialogs.message_answer = 1;
  Notify("ms_pro_deng_sub_btn", "click");
  EXPECT_EQ(dialogs.messages.back(), "message_text_12 racing") << "the question names the profile";
  EXPECT_EQ(Items(combo), (std::vector<std::string>{"profile1"}));
  Notify("ms_pro_deng_sub_btn", "click");
  EXPECT_EQ(dialogs.messages.back(), "message_text_11");
}

// A light profile is the lighting only: adding one (made from the default
// light file, whose DPI and rate bytes are 4) and selecting it changes the
// light mode but not the DPI levels or the report rate on the page.
TEST_F(ProfileBarTest, AddingAndSelectingALightProfileKeepsDpiAndReportRate) {
  WithImage([&](ConfigImages& images) {
    images.mouse.current[kRecDpiLevels] = 20;
    images.mouse.current[kRecReportRate] = 2;
    images.mouse.current[kRecLightMode] = 0;
  });
  pages->Refresh(DeviceKind::Mouse);
  const std::string dpi_before = Find("ms_DPI1_label_value")->GetText();
  Notify("ms_pro_deng_add_btn", "click");
  Combo("ms_deng_profile_combo")->SelectItem(1);
  pages->Refresh(DeviceKind::Mouse);
  std::lock_guard<std::recursive_mutex> lock(ImageMutex());
  EXPECT_EQ(Images().mouse.current[kRecLightMode], 4);  // the file's lighting
  EXPECT_EQ(Images().mouse.current[kRecDpiLevels], 20);
  EXPECT_EQ(Images().mouse.current[kRecReportRate], 2);
  EXPECT_EQ(Find("ms_DPI1_label_value")->GetText(), dpi_before);
  EXPECT_EQ(Combo("ms_report_fct_combo")->GetCurSel(), 2);
}

TEST_F(ProfileBarTest, ExportThenImportBackAndSelectSendsTheKeyBlock) {
  const char* combo = "ms_key_profile_combo";
  Notify("ms_pro_key_copy_btn", "click");
  EXPECT_EQ(Items(combo), (std::vector<std::string>{"profile1", "profile1 copy"}));
  const std::string exported = home.Path("out.pro");
  file_answer = exported;
  Notify("ms_pro_key_export_btn", "click");
  EXPECT_EQ(test::TempHome::ReadBytes(exported), test::TempHome::ReadBytes(MsFile("profile1 copy.pro")));

  const std::string bad = home.Path("bad.pro");
  WriteFile(bad, DeviceKind::MousePad, std::vector<uint8_t>(512, 0));
  file_answer = bad;
  const int selected = Combo(combo)->GetCurSel();
  const auto key_block = firmware->KeyMemory();
  firmware->ClearRequests();
  Notify("ms_pro_key_import_btn", "click");
  // Refused before anything is added: no profile, no selection, nothing sent.
  EXPECT_NE(dialogs.messages.back().find("wrong kind"), std::string::npos) << dialogs.messages.back();
  EXPECT_EQ(Items(combo), (std::vector<std::string>{"profile1", "profile1 copy"}));
  EXPECT_EQ(Combo(combo)->GetCurSel(), selected);
  EXPECT_FALSE(std::filesystem::exists(MsFile("profile2.pro")));
  EXPECT_EQ(firmware->RequestCount(), 0u);
  EXPECT_EQ(firmware->KeyMemory(), key_block);

  file_answer = exported;
  firmware->ClearRequests();
  Notify("ms_pro_key_import_btn", "click");
  EXPECT_EQ(Items(combo), (std::vector<std::string>{"profile1", "profile1 copy", "profile2"}));
  EXPECT_EQ(Combo(combo)->GetCurSel(), 2);
  EXPECT_EQ(firmware->RequestCount(), 10u);  // key block 0 in ten frames
  EXPECT_EQ(firmware->KeyMemory()[1], 0xF0);
}

TEST_F(ProfileBarTest, ProfilesAddedElsewhereShowAtTheNextStart) {
  ASSERT_EQ(AddProfile(DeviceKind::Mouse, ProfileFamily::Device).result, ProfileOpResult::Ok);
  EXPECT_EQ(Items("ms_device_profile_combo").size(), 1u);
  UseSimulatedDevices(false);
  Build();
  UseSimulatedDevices(false);
  ASSERT_EQ(InitProfiles(DeviceKind::Mouse, pages->ProfileLists(), dialogs), 1);
  EXPECT_EQ(Items("ms_device_profile_combo"), (std::vector<std::string>{"profile1", "profile2"}));
}

}  // namespace
}  // namespace trx::pages::testing

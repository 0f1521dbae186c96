// The DPI colour buttons, the onboard profile buttons and the device tabs
// over their real layouts.

#include "tests/pages/page_fixture.h"
#include "tests/platform/temp_home.h"

namespace trx::pages::testing {
namespace {

using DpiColourPageTest = PageTest;

TEST_F(DpiColourPageTest, ButtonTakesThePaletteColourOnlyOnOk) {
  SetProfileSaver(&saver);
  WithImage([](ConfigImages& i) { std::fill_n(i.mouse.CurrentRecord() + 21, 12, uint8_t{0x11}); });
  auto colours = [] { return WithImage([](ConfigImages& i) { return std::vector<uint8_t>(i.mouse.CurrentRecord() + 21, i.mouse.CurrentRecord() + 33); }); };
  Build("Mouse_DPI.xml");
  Find("ms_DPIcolor_btn_2")->SetBkColor(0xFF00FF00);
  Notify("ms_DPIcolor_btn_2", "click");  // cancelled: nothing changes
  EXPECT_EQ(dialogs.palette_initial, (std::vector<UiColor>{0xFF00FF00u}));
  EXPECT_EQ(dialogs.palette_at, (UiPoint{300, 200}));
  EXPECT_EQ(Find("ms_DPIcolor_btn_2")->GetBkColor(), 0xFF00FF00u);
  EXPECT_TRUE(devices.pending.empty());
  EXPECT_TRUE(saver.saves.empty());

  dialogs.colour_answer = 0xFFFF8001u;
  Notify("ms_DPIcolor_btn_2", "click");
  EXPECT_EQ(Find("ms_DPIcolor_btn_2")->GetBkColor(), 0xFFFF8001u);
  EXPECT_EQ(colours(), (std::vector<uint8_t>{0x11, 0x11, 0x11, 0xFF, 0x80, 0x01, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11}));
  EXPECT_EQ(devices.pending, (std::vector<DeviceKind>{DeviceKind::Mouse}));
  EXPECT_EQ(saver.saves, (std::vector<std::string>{"mouse 0"}));  // the device profile

  Notify("ms_DPIcolor_btn_4", "click");
  EXPECT_EQ(colours(), (std::vector<uint8_t>{0x11, 0x11, 0x11, 0xFF, 0x80, 0x01, 0x11, 0x11, 0x11, 0xFF, 0x80, 0x01}));
}

using OnboardStripTest = SimPageTest;

TEST_F(OnboardStripTest, ProfileButtonSwitchesTheMouseThroughTheRouter) {
  AttachSimulator();
  Build();
  UseSimulatedDevices(false);
  firmware->SetSettingsByte(3 * 64 + 15, 0x42);  // slot 3's first DPI level
  Notify("ms_profile_3", "click");
  EXPECT_EQ(firmware->Settings()[0], 3);
  WithImage([](ConfigImages& i) { EXPECT_EQ(i.mouse.current[0], 3); EXPECT_EQ(i.mouse.current[15], 0x42); });
  // The active profile's button is marked, after a switch and a refresh.
  auto marked = [&] {
    std::vector<int> m;
    for (int k = 0; k < 5; ++k)
      if (Find("ms_profile_" + std::to_string(k))->GetBkColor() == 0xFFE8453Cu) m.push_back(k);
    return m;
  };
  EXPECT_EQ(marked(), std::vector<int>{3});
  WithImage([&](ConfigImages& images) { images.mouse.current[0] = 1; });  // the mouse's own button, read back
  pages->Refresh(DeviceKind::Mouse);
  EXPECT_EQ(marked(), std::vector<int>{1});
  // Indices outside 0 … 4 send nothing.
  firmware->ClearRequests();
  Find("ms_profile_4")->SetName("ms_profile_5");
  Notify("ms_profile_5", "click");
  EXPECT_EQ(firmware->RequestCount(), 0u);
}

class DeviceTabsPageTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    Build();
    for (const char* tab : {"kb_tab", "ms_tab", "mp_tab", "ms_tab_panel"}) Find(tab)->SetVisible(false);
  }
  test::TempHome home;  // the combos' select reads the profile index
};

TEST_F(DeviceTabsPageTest, ConnectedDeviceShowsAndSelectsItsTabAndItsStoredProfiles) {
  IProfileLists& lists = pages->ProfileLists();
  for (int i = 0; i < 3; ++i) {
    lists.AddItem(DeviceKind::Mouse, ProfileFamily::Device, "p" + std::to_string(i), 25);
    lists.AddItem(DeviceKind::Keyboard, ProfileFamily::Key, "k" + std::to_string(i), 25);
  }
  EXPECT_EQ(lists.ItemCount(DeviceKind::Mouse, ProfileFamily::Device), 3);
  EXPECT_EQ(lists.ItemCount(DeviceKind::MousePad, ProfileFamily::Key), 0);  // no such family

  pages->OnDeviceConnected(DeviceKind::Mouse, ConnectResult{.device_profile = 2});
  EXPECT_TRUE(Visible("ms_tab"));
  EXPECT_TRUE(Selected("ms_tab"));
  EXPECT_TRUE(Visible("ms_tab_panel"));
  EXPECT_EQ(Page("tab_switch"), 1);
  EXPECT_EQ(Combo("ms_device_profile_combo")->GetCurSel(), 2);

  pages->OnDeviceConnected(DeviceKind::Keyboard, ConnectResult{.key_profile = 1});
  EXPECT_TRUE(Selected("kb_tab"));
  EXPECT_EQ(Combo("kb_key_profile_combo")->GetCurSel(), 1);
  EXPECT_FALSE(Visible("ms_tab_panel") && Page("tab_switch") != 0);
}

TEST_F(DeviceTabsPageTest, DeviceLeavingHidesItsTabAndHandsOverAsPlanned) {
  pages->OnDeviceConnected(DeviceKind::Mouse, {});
  pages->OnDeviceConnected(DeviceKind::Keyboard, {});
  Find("kb_tab")->SetVisible(false);
  pages->OnDeviceLeft(PlanRemoval(DeviceKind::Mouse, false, true, false));
  EXPECT_FALSE(Visible("ms_tab"));
  EXPECT_TRUE(Visible("kb_tab"));  // shown again, as the plan says
  EXPECT_TRUE(Selected("kb_tab"));
  EXPECT_EQ(Page("tab_switch"), 0);

  pages->OnDeviceConnected(DeviceKind::MousePad, {});
  pages->OnSameModeChanged(DeviceKind::MousePad, true);
  EXPECT_TRUE(Visible("mp_deng_same_mode"));
  pages->OnSameModeChanged(DeviceKind::MousePad, false);
  EXPECT_FALSE(Visible("mp_deng_same_mode"));
}

}  // namespace
}  // namespace trx::pages::testing

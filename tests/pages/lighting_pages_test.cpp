// The three lighting pages over the real layout; the layouts each mode shows
// are listed in tests/data/pages/lighting_modes.txt, the pad's onboard switch
// is checked in simulator frames.

#include <algorithm>
#include <mutex>

#include "pages/lighting_preview.h"
#include "settings/lighting_bytes.h"
#include "tests/pages/page_fixture.h"
#include "tests/support/golden.h"
#include "ui/core/color_palette.h"

namespace trx::pages::testing {
namespace {

class RecordingPreview : public ILightingPreview {
 public:
  void RestartPreview(DeviceKind kind, PreviewStart start) override {
    calls.push_back(std::string(DeviceKindName(kind)) + " " + std::to_string(static_cast<int>(start)));
  }
  void ResetKeyboardPreview(int mode) override { calls.push_back("kb reset " + std::to_string(mode)); }
  std::vector<std::string> calls;
};

class LightingPageTest : public SimPageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    WriteSyncLighting({});
    SetProfileSaver(&saver);
    SetLightingPreview(&preview);
    Build();
  }
  // Every layout back to enabled and visible, so "unchanged" reads as 1.
  void ResetLayouts(const std::string& p) {
    for (const char* s : {"deng_fx_layout", "deng_color_layout", "deng_7colorselect_layout", "deng_speed_layout",
                          "deng_Color_Pallet", "deng_same_mode"}) {
      Find(p + s)->SetVisible(true);
      Find(p + s)->SetEnabled(true);
    }
  }
  // "DCYS" as 0/1: direction, colour, colour cycle, speed layouts.
  std::string Flags(const std::string& p, bool visible) {
    std::string out;
    for (const char* s : {"deng_fx_layout", "deng_color_layout", "deng_7colorselect_layout", "deng_speed_layout"}) {
      CControlUI* c = Find(p + s);
      out += (visible ? c->IsVisible() : c->IsEnabled()) ? '1' : '0';
    }
    return out;
  }
  // Brings a device's lighting page forward (hidden pages read as hidden).
  void ShowDevicePage(int page) {
    dynamic_cast<CTabLayoutUI*>(Find("tab_switch"))->SelectItem(page);
    if (page == 0) dynamic_cast<CTabLayoutUI*>(Find("kb_tab_switch"))->SelectItem(0);
    if (page == 1) dynamic_cast<CTabLayoutUI*>(Find("ms_tab_switch"))->SelectItem(0);
  }

  // The rows of the mode table for `device` ("ms", "mp", "kb"): variant, mode, enabled, visible, extra.
  using Row = std::vector<std::string>;
  std::vector<Row> ModeRows(const std::string& device, size_t count) {
    std::vector<Row> rows;
    for (const Row& r : test::ReadGoldenRows("pages/lighting_modes.txt"))
      if (r.at(0) == device) rows.emplace_back(r.begin() + 1, r.end());
    EXPECT_EQ(rows.size(), count) << device;
    return rows;
  }

  RecordingPreview preview;
};

TEST_F(LightingPageTest, MouseModesOfEveryVariantFollowTheirLayoutTables) {
  ShowDevicePage(1);
  for (const Row& row : ModeRows("ms", 19)) {
    SCOPED_TRACE("variant " + row[0] + " mode " + row[1]);
    ResetLayouts("ms_");
    devices.pending.clear();
    Choose("ms_deng_combo_modeSelect" + row[0], std::stoi(row[1]));
    EXPECT_EQ(Flags("ms_", false), row[2]);
    EXPECT_EQ(Flags("ms_", true), row[3]);
    EXPECT_EQ(Visible("ms_deng_Color_Pallet"), row[4] == "1");
    EXPECT_FALSE(Find("ms_deng_same_mode")->IsEnabled());
    EXPECT_EQ(ReadLighting(DeviceKind::Mouse).mode, std::stoi(row[1]));
    EXPECT_EQ(devices.pending, (std::vector<DeviceKind>{DeviceKind::Mouse}));
  }
  // Mode 5 restarts the preview from the end the direction names (byte 4 = 1: left).
  preview.calls.clear();
  UpdateLighting(DeviceKind::Mouse, [](LightingBytes& l) { l.direction = 1; });
  Choose("ms_deng_combo_modeSelect2", 5);
  Choose("ms_deng_combo_modeSelect2", 4);
  EXPECT_EQ(preview.calls, (std::vector<std::string>{"mouse 1", "mouse 0"}));
  // Each choice saved the light and the device profile.
  EXPECT_EQ(saver.saves.back(), "mouse 0");
  EXPECT_EQ(saver.saves[saver.saves.size() - 2], "mouse 1");
}

TEST_F(LightingPageTest, PadModesFollowTheirTable) {
  ShowDevicePage(2);
  for (const Row& row : ModeRows("mp", 10)) {
    SCOPED_TRACE("mode " + row[1]);
    ResetLayouts("mp_");
    saver.saves.clear();
    Choose("mp_deng_combo_modeSelect", std::stoi(row[1]));
    EXPECT_EQ(Flags("mp_", false), row[2]);
    EXPECT_EQ(Flags("mp_", true), row[3]);
    EXPECT_EQ(Find("mp_deng_same_mode")->IsEnabled(), row[4] == "1");
    EXPECT_EQ(ReadLighting(DeviceKind::MousePad).mode, std::stoi(row[1]));
    EXPECT_EQ(saver.saves, (std::vector<std::string>{"pad 1"}));
  }
}

TEST_F(LightingPageTest, KeyboardModesFollowTheirTableWithTheirDirectionLabels) {
  const char* right_of[] = {"Deng_FXR_text", "Deng_FXD_text", "Deng_FXK_text"};
  ShowDevicePage(0);
  for (const Row& row : ModeRows("kb", 16)) {
    SCOPED_TRACE("mode " + row[1]);
    const int mode = std::stoi(row[1]);
    ResetLayouts("kb_");
    Find("kb_Deng_label_FXL")->SetAttribute("text", "%[none]");
    Choose("kb_deng_combo_modeSelect", mode);
    EXPECT_EQ(Flags("kb_", false), row[2]);
    EXPECT_FALSE(Find("kb_deng_same_mode")->IsEnabled());
    const bool custom = mode == 8;
    for (const char* shown : {"kb_deng_fx_layout", "kb_deng_7colorselect_layout", "kb_deng_color_display_layout"})
      EXPECT_EQ(Visible(shown), !custom) << shown;
    for (const char* shown : {"kb_deng_custom_tool_layout", "kb_deng_custom_select_layout", "kb_deng_custom_color_layout"})
      EXPECT_EQ(Visible(shown), custom) << shown;
    const std::string& left = row[4];
    EXPECT_EQ(Find("kb_Deng_label_FXL")->GetText(), left);  // no language loaded: the id
    if (left != "none") {
      const int pair = left == "Deng_FXU_text" ? 1 : left == "Deng_FXJ_text" ? 2 : 0;
      EXPECT_EQ(Find("kb_Deng_label_FXR")->GetText(), right_of[pair]);
    }
    EXPECT_EQ(ReadLighting(DeviceKind::Keyboard).mode, mode);
  }
  // Modes 4, 5, 11, 15 reset the keyboard preview.
  int resets = 0;
  for (const std::string& call : preview.calls) resets += call.rfind("kb reset", 0) == 0;
  EXPECT_EQ(resets, 4);
}

TEST_F(LightingPageTest, TypingThreeHundredGivesTwoFiftyFiveAndClearsTheColourCycle) {
  for (const std::string p : {"ms_", "mp_", "kb_"}) {
    SCOPED_TRACE(p);
    const DeviceKind kind = p == "ms_" ? DeviceKind::Mouse : p == "mp_" ? DeviceKind::MousePad : DeviceKind::Keyboard;
    UpdateLighting(kind, [](LightingBytes& l) { l.colour_cycle = 1; l.red = 1; l.green = 2; l.blue = 3; });
    pages->Refresh(kind);
    EXPECT_TRUE(Selected(p + "Deng_7color_check"));
    devices.pending.clear();
    Type(p + "Deng_edit_G", "300");
    EXPECT_EQ(Text(p + "Deng_edit_G"), "255");
    EXPECT_FALSE(Selected(p + "Deng_7color_check"));
    EXPECT_EQ(ReadLighting(kind), (LightingBytes{0, 0, 0, 0, 0, 1, 255, 3}));
    EXPECT_EQ(Find(p + "Deng_colordp_btn")->GetBkColor(), 0xFF01FF03u);
    EXPECT_EQ(dynamic_cast<CColorPaletteUI*>(Find(p + "deng_Color_Pallet"))->GetSelectColor() & 0xFFFFFF, 0x01FF03u);
    EXPECT_EQ(devices.pending, (std::vector<DeviceKind>{kind}));
  }
  // An emptied edit stores nothing.
  devices.pending.clear();
  Type("ms_Deng_edit_R", "");
  EXPECT_TRUE(devices.pending.empty());
}

TEST_F(LightingPageTest, SlidersDirectionCyclePresetsAndPaletteWriteTheirBytes) {
  Slider("mp_deng_light_slider")->SetValue(9);
  Notify("mp_deng_light_slider", "valuechanged");
  Slider("mp_deng_speed_slider")->SetValue(3);
  Notify("mp_deng_speed_slider", "valuechanged");
  Select("mp_Deng_FXR_check");
  Notify("mp_Deng_7color_check", "selectchanged");  // unchanged (not checked): byte 5 := 0
  Find("mp_Deng_7color_check")->SetEnabled(true);
  dynamic_cast<CCheckBoxUI*>(Find("mp_Deng_7color_check"))->SetCheck(true);
  EXPECT_EQ(ReadLighting(DeviceKind::MousePad), (LightingBytes{0, 9, 11, 0, 1, 0, 0, 0}));
  Select("mp_Deng_FXL_check");
  EXPECT_EQ(ReadLighting(DeviceKind::MousePad).direction, 1);
  EXPECT_FALSE(Selected("mp_Deng_FXR_check"));

  Notify("ms_Deng_color_btn_16", "click");  // preset 16: 0x48B1FA
  EXPECT_EQ(ReadLighting(DeviceKind::Mouse), (LightingBytes{0, 0, 0, 0, 0, 0x48, 0xB1, 0xFA}));
  EXPECT_EQ(Text("ms_Deng_edit_B"), "250");
  dynamic_cast<CColorPaletteUI*>(Find("kb_deng_Color_Pallet"))->SetSelectColor(0xFF102030);
  Notify("kb_deng_Color_Pallet", "colorchanged");
  const LightingBytes kb = ReadLighting(DeviceKind::Keyboard);
  EXPECT_EQ(kb.Argb() & 0xFFFFFF, dynamic_cast<CColorPaletteUI*>(Find("kb_deng_Color_Pallet"))->GetSelectColor() & 0xFFFFFF);
  // The mouse's direction buttons act as the options.
  Notify("ms_Deng_FXL_btn", "click");
  EXPECT_EQ(ReadLighting(DeviceKind::Mouse).direction, 1);
  EXPECT_TRUE(Selected("ms_Deng_FXL_check"));
  Notify("ms_Deng_FXR_btn", "click");
  EXPECT_EQ(ReadLighting(DeviceKind::Mouse).direction, 0);
  EXPECT_TRUE(Selected("ms_Deng_FXR_check"));
}

// The devices number their modes differently; one with no equal effect is left alone and named.
TEST_F(LightingPageTest, CopyFromThePadMapsModesByEffectAndSendsToEachDevice) {
  // The modes the mouse and the keyboard get (-1: left alone).
  struct Case { uint8_t pad_mode; int mouse_mode, keyboard_mode; KeyboardVariant keyboard = KeyboardVariant::Full; };
  // The single-colour keyboard (variant 1) maps by its own list.
  constexpr KeyboardVariant kOne = KeyboardVariant::V15;
  const Case cases[] = {{1, 0, -1, kOne}, {2, 3, 1, kOne}, {3, 4, 2, kOne}, {7, -1, 5, kOne},
                        {0, -1, 0},       {1, 0, 1},       {2, 3, 2},       {3, 4, 3},       {9, -1, -1}};
  const LightingBytes mouse_before{6, 1, 1, 0, 0, 1, 2, 3};
  const LightingBytes keyboard_before{13, 2, 2, 0, 0, 4, 5, 6};
  ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage("lan_en.xml"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pad_mode);
    WithImage([&](ConfigImages& images) { images.keyboard.variant = c.keyboard; });
    const LightingBytes pad{c.pad_mode, 12, 4, 1, 0, 0xAA, 0xBB, 0xCC};
    WriteLighting(DeviceKind::MousePad, pad);
    WriteLighting(DeviceKind::Mouse, mouse_before);
    WriteLighting(DeviceKind::Keyboard, keyboard_before);
    devices.pending.clear();
    dialogs.messages.clear();
    Notify("mp_deng_same_mode", "click");
    EXPECT_EQ(ReadSyncLighting(), pad);
    auto expect = [&](DeviceKind kind, int mode, const LightingBytes& before) {
      LightingBytes want = pad;
      want.mode = static_cast<uint8_t>(mode);
      EXPECT_EQ(ReadLighting(kind), mode < 0 ? before : want) << DeviceKindName(kind);
      EXPECT_EQ(std::count(devices.pending.begin(), devices.pending.end(), kind), mode < 0 ? 0 : 1);
    };
    expect(DeviceKind::Mouse, c.mouse_mode, mouse_before);
    expect(DeviceKind::Keyboard, c.keyboard_mode, keyboard_before);
    std::string left = c.keyboard_mode < 0 ? "Keyboard" : "";
    if (c.mouse_mode < 0) left += left.empty() ? "Mouse" : ", Mouse";
    if (left.empty()) {
      EXPECT_TRUE(dialogs.messages.empty());
    } else {
      ASSERT_EQ(dialogs.messages.size(), 1u);
      EXPECT_NE(dialogs.messages[0].find("Not applied to " + left + ":"), std::string::npos) << dialogs.messages[0];
    }
  }
  ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage("lan_cn.xml"));
  dialogs.messages.clear();
  Notify("mp_deng_same_mode", "click");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].rfind("未应用到键盘、鼠标：", 0), 0u) << dialogs.messages[0];
  ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage("lan_en.xml"));

  // The targets' pages show what they took.
  WriteLighting(DeviceKind::MousePad, {2, 12, 4, 1, 0, 0xAA, 0xBB, 0xCC});
  saver.saves.clear();
  Notify("mp_deng_same_mode", "click");
  EXPECT_EQ(Text("kb_Deng_edit_R"), "170");
  EXPECT_EQ(Combo("ms_deng_combo_modeSelect2")->GetCurSel(), 3);
  EXPECT_EQ(Slider("ms_deng_light_slider")->GetValue(), 12);
  EXPECT_EQ(Slider("kb_deng_speed_slider")->GetValue(), 10);
  EXPECT_EQ(saver.saves, (std::vector<std::string>{"keyboard 1", "mouse 1", "mouse 0"}));
}

TEST_F(LightingPageTest, RefreshShowsTheRecordAndNoPlaceholders) {
  ShowDevicePage(1);
  for (const char* edit : {"ms_Deng_edit_R", "mp_Deng_edit_G", "kb_Deng_edit_B"}) EXPECT_EQ(Text(edit), "") << edit;
  WriteLighting(DeviceKind::Mouse, {3, 5, 2, 0, 0, 0x10, 0x20, 0x30});
  pages->Refresh(DeviceKind::Mouse);
  EXPECT_EQ(Page("ms_deng_mode_switch"), 2);
  EXPECT_EQ(Combo("ms_deng_combo_modeSelect2")->GetCurSel(), 3);
  EXPECT_EQ(Slider("ms_deng_light_slider")->GetValue(), 5);
  EXPECT_EQ(Slider("ms_deng_speed_slider")->GetValue(), 12);
  EXPECT_TRUE(Selected("ms_Deng_FXR_check"));
  EXPECT_EQ(Text("ms_Deng_edit_G"), "32");
  EXPECT_EQ(Find("ms_Deng_colordp_btn")->GetBkColor(), 0xFF102030u);
  EXPECT_FALSE(Visible("ms_deng_7colorselect_layout"));  // mode 3's layout
  EXPECT_TRUE(devices.pending.empty());  // showing stores nothing
  EXPECT_TRUE(saver.saves.empty());
}

TEST_F(LightingPageTest, PaintedKeySelectionFillsThePerKeyColourBlock) {
  Choose("kb_deng_combo_modeSelect", 8);
  Notify("kb_dkey_0", "click");
  Notify("kb_dkey_5", "click");
  Notify("kb_dkey_7", "click");
  Notify("kb_dkey_5", "click");  // picked again: dropped
  EXPECT_GT(Find("kb_dkey_7")->GetBorderSize(), 0);
  saver.saves.clear();
  Notify("kb_Deng_color_btn_7", "click");  // preset 7: 0xFE5400
  const auto block = WithImage([](ConfigImages& i) { return std::vector<uint8_t>(i.keyboard.key_colours, i.keyboard.key_colours + 27); });
  EXPECT_EQ(block, (std::vector<uint8_t>{0xFE, 0x54, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                         0,    0,    0,    0, 0, 0, 0xFE, 0x54, 0x00, 0, 0, 0}));
  EXPECT_EQ(saver.saves, (std::vector<std::string>{"keyboard 1"}));
  // The record's own colour stays: the palette edits the custom colour here.
  EXPECT_EQ(ReadLighting(DeviceKind::Keyboard).Argb() & 0xFFFFFF, 0u);
  EXPECT_EQ(Find("kb_deng_custom_colour_btn")->GetBkColor(), 0xFFFE5400u);
  // All off darkens every key; all bright gives every visible key the colour.
  Select("kb_Deng_all_kill_check");
  WithImage([](ConfigImages& i) { EXPECT_EQ(i.keyboard.key_colours[0], 0); EXPECT_EQ(i.keyboard.key_colours[21], 0); });
  Select("kb_Deng_all_bright_check");
  EXPECT_FALSE(Selected("kb_Deng_all_kill_check"));
  WithImage([&](ConfigImages& images) { EXPECT_EQ(images.keyboard.key_colours[3 * 125 + 1], 0x54); });
  // Outside mode 8 a key pick selects nothing, and all off is brightness 0.
  Choose("kb_deng_combo_modeSelect", 0);
  Notify("kb_dkey_9", "click");
  EXPECT_EQ(Find("kb_dkey_9")->GetBorderSize(), 0);
  dynamic_cast<CCheckBoxUI*>(Find("kb_Deng_all_bright_check"))->SetCheck(false, false);
  UpdateLighting(DeviceKind::Keyboard, [](LightingBytes& l) { l.brightness = 7; });
  Select("kb_Deng_all_kill_check");
  EXPECT_EQ(ReadLighting(DeviceKind::Keyboard).brightness, 0);
}

TEST_F(LightingPageTest, PadKeyLightMessagesIgnoreIndicesOutsideTheTable) {
  const CKeyLights& lights = pages->KeyLights();
  EXPECT_TRUE(lights.SetColour(DeviceKind::MousePad, 14, 0xFF112233));
  EXPECT_FALSE(lights.SetColour(DeviceKind::MousePad, 15, 0xFF112233));
  EXPECT_FALSE(lights.SetAlpha(DeviceKind::MousePad, ~0ull, 10));
  EXPECT_EQ(lights.Light(DeviceKind::Keyboard, 126), nullptr);
  EXPECT_NE(lights.Light(DeviceKind::Mouse, 19), nullptr);
}

class PadSimulatorTest : public LightingPageTest {
 protected:
  void SetUp() override {
    LightingPageTest::SetUp();
    AttachSimulator(sim::SimKind::MousePad);
    UseSimulatedDevices();
  }
  // (command, length, address) of each request.
  std::vector<std::string> Frames() {
    std::vector<std::string> out;
    for (const sim::SimFrame& f : firmware->Requests())
      out.push_back(std::to_string(f[3]) + " " + std::to_string(f[4]) + " " + std::to_string(f[5] | f[6] << 8));
    return out;
  }
};

TEST_F(PadSimulatorTest, OnboardSwitchStoresTheOldSlotAndLoadsTheNewOne) {
  firmware->SetSettingsByte(2 * 64 + 1, 6);  // slot 2: mode 6, brightness 11
  firmware->SetSettingsByte(2 * 64 + 2, 11);
  WriteLighting(DeviceKind::MousePad, {4, 3, 0, 0, 0, 1, 2, 3});
  firmware->ClearRequests();
  Choose("mp_deng_combo_profile", 2);
  EXPECT_EQ(Frames(), (std::vector<std::string>{"5 1 0", "6 1 0", "5 56 128"}));
  EXPECT_EQ(firmware->Settings()[0], 2);
  std::lock_guard<std::recursive_mutex> lock(ImageMutex());
  EXPECT_EQ(Images().pad.lighting_records[0][1], 4);  // the old current record kept in slot 0
  EXPECT_EQ(Images().pad.current_record[0], 2);
  EXPECT_EQ(Images().pad.current_record[1], 6);
  EXPECT_EQ(Combo("mp_deng_combo_modeSelect")->GetCurSel(), 6);
  EXPECT_EQ(Slider("mp_deng_light_slider")->GetValue(), 11);
}

TEST_F(PadSimulatorTest, SameProfileSendsOnlyTheIndexReadAndDefaultsWaitOnATimer) {
  firmware->ClearRequests();
  Choose("mp_deng_combo_profile", 0);
  EXPECT_EQ(Frames(), (std::vector<std::string>{"5 1 0"}));
  firmware->ClearRequests();
  window.calls.clear();
  Notify("mp_one_profile_default", "click");
  ASSERT_EQ(Frames().size(), 1u);
  EXPECT_EQ(Frames()[0].substr(0, 3), "13 ");
  EXPECT_EQ(window.calls, (std::vector<std::string>{"timer 21 1000"}));
  window.ticks[21]();  // a second later: the page stops its timer and reads the pad again
  EXPECT_EQ(window.calls.back(), "kill timer 21");
  EXPECT_EQ(sim_devices->reads, (std::vector<DeviceKind>{DeviceKind::MousePad}));
  // No reply to the reset: the pad is read again all the same.
  firmware->SetFaults({.no_reply = 8});
  window.calls.clear();
  Notify("mp_one_profile_default", "click");
  EXPECT_EQ(window.calls, (std::vector<std::string>{"timer 21 1000"}));
  firmware->SetFaults({});
}

}  // namespace
}  // namespace trx::pages::testing

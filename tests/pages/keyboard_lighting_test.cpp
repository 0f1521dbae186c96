// The keyboard lighting page's picture and colour sets over the real main
// layout, with real pointer input.

#include <mutex>
#include <set>

#include "pages/keyboard_layouts.h"
#include "pages/keyboard_lighting_page.h"
#include "profile/profile_families.h"
#include "profile/profile_file.h"
#include "settings/key_colour_sets.h"
#include "settings/lighting_bytes.h"
#include "tests/pages/page_fixture.h"
#include "tests/platform/temp_home.h"

namespace trx::pages::testing {
namespace {

using Keys = std::set<int>;

class KeyboardPictureTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    SetProfileSaver(&saver);
    Build();
    dynamic_cast<CTabLayoutUI*>(Find("tab_switch"))->SelectItem(0);
    dynamic_cast<CTabLayoutUI*>(Find("kb_tab_switch"))->SelectItem(0);
    pm.SetClientSize(pm.GetInitSize());
    Choose("kb_deng_combo_modeSelect", kKeyboardCustomMode);
  }
  UiPoint Centre(int key) {
    const UiRect rc = Find("kb_dkey_" + std::to_string(key))->GetPos();
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }
  // Press on the first key, move over the others in turn, release on the last.
  void Drag(std::initializer_list<int> path) {
    const UiPoint first = Centre(*path.begin());
    pm.OnMouseMove(first);
    pm.OnButtonDown(first);
    UiPoint last = first;
    for (int key : path) pm.OnMouseMove(last = Centre(key), MK_LBUTTON);
    pm.OnButtonUp(last);
  }
  Keys Selection() {
    Keys out;
    for (int i = 0; i < kKeyboardLightCount; ++i)
      if (Find("kb_dkey_" + std::to_string(i))->GetBorderSize() > 0) out.insert(i);
    return out;
  }
};

TEST_F(KeyboardPictureTest, SweepingAcrossKeysSelectsTheKeysUnderTheRectangle) {
  struct Step { const char* what; std::initializer_list<int> path; Keys expected; };
  // W 44, E 45, Q 43, A 64, S 65, D 66, Esc 0 (the picture's light numbers).
  const Step steps[] = {
      {"W to D adds the rectangle W-E / S-D", {44, 66}, {44, 45, 65, 66}},
      {"from a selected key the sweep drops keys", {65, 64}, {44, 45, 66}},
      {"a press and release on one key is a click", {0}, {0, 44, 45, 66}},
      {"out to E and back: only Q stays, the click of the release is ignored", {43, 45, 43}, {0, 43, 44, 45, 66}},
  };
  for (const Step& s : steps) {
    Drag(s.path);
    EXPECT_EQ(Selection(), s.expected) << s.what;
  }
  // The painted selection reaches the colour block.
  Notify("kb_Deng_color_btn_0", "click");  // preset 0: red
  std::lock_guard<std::recursive_mutex> lock(ImageMutex());
  EXPECT_EQ(KeyColour(Images().keyboard, 0, 43), 0xFF0000u);
  EXPECT_EQ(KeyColour(Images().keyboard, 0, 65), 0u);
}

TEST_F(KeyboardPictureTest, OutsideTheCustomColourModeADragSelectsNothing) {
  Choose("kb_deng_combo_modeSelect", 3);
  Drag({44, 66});
  EXPECT_EQ(Selection(), Keys{});
}

TEST_F(KeyboardPictureTest, EachLayoutVariantShowsAndSelectsOnlyItsKeys) {
  const Keys pad = {38, 39, 40, 41, 59, 60, 61, 62, 76, 77, 78, 97, 98, 99, 100, 116, 117};
  struct Case { KeyboardVariant variant; int keys; bool numeric_pad; };
  for (const Case& c : {Case{KeyboardVariant::V15, 87, false}, Case{KeyboardVariant::Full, 104, true},
                        Case{KeyboardVariant::V16, 104, true}}) {
    WithImage([&](ConfigImages& images) { images.keyboard.variant = c.variant; });
    pages->Refresh(DeviceKind::Keyboard);
    EXPECT_EQ(KeyboardLayoutKeyCount(c.variant), c.keys);
    Notify("kb_deng_custom_select_all", "click");
    const Keys selected = Selection();
    EXPECT_EQ(static_cast<int>(selected.size()), c.keys) << static_cast<int>(c.variant);
    for (int key : pad) {
      EXPECT_EQ(Find("kb_dkey_" + std::to_string(key))->IsVisible(), c.numeric_pad) << key;
      EXPECT_EQ(selected.count(key) == 1, c.numeric_pad) << key;
    }
    EXPECT_FALSE(Find("kb_dkey_16")->IsVisible());  // drawn in no variant
    Notify("kb_deng_custom_select_none", "click");
  }
}

// Its colour controls stay disabled; the full-colour list comes back for the others.
TEST_F(KeyboardPictureTest, TheSingleColourKeyboardShowsItsOwnModeList) {
  auto row_of = [this](const char* list) { return Find(list)->GetParent()->IsVisible(); };
  for (KeyboardVariant variant : {KeyboardVariant::V15, KeyboardVariant::Full}) {
    WithImage([&](ConfigImages& images) { images.keyboard.variant = variant; });
    pages->Refresh(DeviceKind::Keyboard);
    const bool one = variant == KeyboardVariant::V15;
    EXPECT_EQ(row_of("kb_deng_onecolor_combo_modeSelect"), one);
    EXPECT_EQ(row_of("kb_deng_combo_modeSelect"), !one);
    Choose(one ? "kb_deng_onecolor_combo_modeSelect" : "kb_deng_combo_modeSelect", 2);
    EXPECT_EQ(ReadLighting(DeviceKind::Keyboard).mode, 2);
    EXPECT_NE(Find("kb_deng_color_layout")->IsEnabled(), one);  // steady one colour / breathing in a colour
    EXPECT_NE(Find("kb_deng_speed_layout")->IsEnabled(), one);
  }
}

TEST_F(KeyboardPictureTest, EachColourSetKeepsItsOwnColoursAndTheChoiceIsSaved) {
  Notify("kb_dkey_0", "click");
  Notify("kb_Deng_color_btn_0", "click");  // set 0: Esc red
  Choose(kKbColourSetList, 2);
  EXPECT_EQ(Find("kb_dkey_0")->GetChangerColor(), 0xFF000000u);  // set 2 is still dark
  saver.saves.clear();
  Notify("kb_Deng_color_btn_7", "click");  // set 2: Esc 0xFE5400
  EXPECT_EQ(saver.saves, (std::vector<std::string>{"keyboard 1"}));
  const KeyboardImage kb = WithImage([](ConfigImages& i) { return i.keyboard; });
  EXPECT_EQ(kb.lighting_extra & 0xFF, 2u);
  EXPECT_EQ(std::vector<uint8_t>(kb.key_colours, kb.key_colours + 3), (std::vector<uint8_t>{0xFF, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(kb.key_colours + 756, kb.key_colours + 759), (std::vector<uint8_t>{0xFE, 0x54, 0}));
  Choose(kKbColourSetList, 0);
  EXPECT_EQ(Find("kb_dkey_0")->GetChangerColor(), 0xFFFF0000u);
  // A refresh shows the set the image holds.
  WithImage([&](ConfigImages& images) { SetActiveKeyColourSet(images.keyboard, 4); });
  pages->Refresh(DeviceKind::Keyboard);
  EXPECT_EQ(Combo(kKbColourSetList)->GetCurSel(), 4);
}

using KeyboardConnectTest = KeyboardPictureTest;

TEST_F(KeyboardConnectTest, ConnectLoadsThePerKeyColoursOfTheSelectedLightProfileAndKeepsTheDevicesLighting) {
  trx::test::TempHome home;
  // Light profile 1, "evening": record 0 mode 3, set 2 chosen, key 44 of set 2 = 11 22 33.
  const std::string folder = ProfileFolder(DeviceKind::Keyboard);  // creates the folders
  trx::test::TempHome::WriteText(ProfileIniPath(DeviceKind::Keyboard), "[PROFILEDENGNAME]\n1=evening\n");
  std::vector<uint8_t> data(1958, 0);
  data[1] = 3;
  data[64] = 2;
  for (int i = 0; i < 3; ++i) data[68 + 888 + i] = static_cast<uint8_t>(0x11 * (i + 1));
  ASSERT_EQ(WriteProfileFile(folder + "evening.led", DeviceKind::Keyboard, data.size(), data.data()), kProfileWriteOk);
  const LightingBytes device{kKeyboardCustomMode, 9, 4, 1, 0, 1, 2, 3};
  WriteLighting(DeviceKind::Keyboard, device);
  uint8_t slot0_before[kLightingRecordSize];
  WithImage([&](ConfigImages& i) { std::copy_n(i.keyboard.lighting_records[0], kLightingRecordSize, slot0_before); });
  pages->OnDeviceConnected(DeviceKind::Keyboard, ConnectResult{.light_profile = 1});

  const LightingBytes now = ReadLighting(DeviceKind::Keyboard);
  EXPECT_EQ(now.mode, device.mode);
  EXPECT_EQ(now.brightness, device.brightness);
  EXPECT_EQ(now.Argb(), device.Argb());
  const KeyboardImage kb = WithImage([](ConfigImages& i) { return i.keyboard; });
  EXPECT_TRUE(std::equal(slot0_before, slot0_before + kLightingRecordSize, kb.lighting_records[0]));
  EXPECT_EQ(ActiveKeyColourSet(kb), 2);
  EXPECT_EQ(KeyColour(kb, 2, 44), 0x112233u);
  // The page shows them: set 2 in the list, key 44 tinted with its colour.
  EXPECT_EQ(Combo(kKbColourSetList)->GetCurSel(), 2);
  EXPECT_EQ(Find("kb_dkey_44")->GetChangerColor(), 0xFF112233u);
  EXPECT_GT(Find("kb_dkey_44")->GetChangerAlpha(), 0);

  // A missing profile leaves the colours as they are.
  pages->OnDeviceConnected(DeviceKind::Keyboard, ConnectResult{});
  EXPECT_EQ(KeyColour(WithImage([](ConfigImages& i) { return i.keyboard; }), 2, 44), 0x112233u);
}

}  // namespace
}  // namespace trx::pages::testing

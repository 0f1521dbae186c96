// The lighting preview's UI side.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <functional>

#include "app/lighting_preview_host.h"
#include "pages/controls.h"
#include "settings/config_images.h"
#include "settings/lighting_bytes.h"
#include "tests/support/wait.h"
#include "ui/core/container.h"
#include "ui/core/paint_manager.h"

namespace trx::app {
namespace {

using pages::names::kKbDkeyCount;
using pages::names::kMpDkeyCount;
using pages::names::kMsDkeyCount;

class LightingPreviewHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetImagesToBuiltIn();
    auto* root = new ui::CContainerUI();
    for (auto [prefix, count] : {std::pair{"ms_dkey_", kMsDkeyCount}, {"mp_dkey_", kMpDkeyCount},
                                 {"kb_dkey_", kKbDkeyCount}})
      for (int i = 0; i < count; ++i) {
        auto* c = new ui::CControlUI();
        c->SetName(prefix + std::to_string(i));
        root->Add(c);
      }
    pm.AttachDialog(root);
    lights.Bind(pages::Controls(pm));
    keyboard->connected.store(1);
  }
  void TearDown() override { workers.StopAll(2000); }
  void ShowOnly(DeviceKind kind) {
    for (DeviceKind k : {DeviceKind::Mouse, DeviceKind::MousePad, DeviceKind::Keyboard})
      for (int i = 0; i < pages::CKeyLights::Count(k); ++i) lights.Light(k, i)->SetVisible(k == kind);
  }
  // Shows the keyboard's preview with `b` and starts its thread.
  void StartKeyboard(const LightingBytes& b) {
    WriteLighting(DeviceKind::Keyboard, b);
    ShowOnly(DeviceKind::Keyboard);
    host.SetBodies(workers);
    ASSERT_TRUE(workers.Start(kWorkerKeyboardLight));
  }
  // Runs the frame timer until pred holds (the thread computes meanwhile).
  bool TickUntil(const std::function<bool()>& pred) {
    return test::Eventually([&] { return (void)host.OnFrameTimer(lights, true), pred(); }, std::chrono::seconds(3));
  }
  ui::CControlUI* Key(int led) const { return lights.Light(DeviceKind::Keyboard, led); }

  ui::CPaintManagerUI pm;
  pages::CKeyLights lights;
  std::shared_ptr<CDeviceChannel> mouse = std::make_shared<CDeviceChannel>(DeviceKind::Mouse);
  std::shared_ptr<CDeviceChannel> pad = std::make_shared<CDeviceChannel>(DeviceKind::MousePad);
  std::shared_ptr<CDeviceChannel> keyboard = std::make_shared<CDeviceChannel>(DeviceKind::Keyboard);
  LightingPreviewHost host{mouse, pad, keyboard, 0};
  WorkerThreads workers;
};

TEST_F(LightingPreviewHostTest, PeriodsAndComputingFamiliesFollowWhatIsOnScreen) {
  struct Case {
    bool window_shown;
    DeviceKind page;
    bool any_preview;
    int period;
    bool mouse, pad, keyboard;
  };
  const Case cases[] = {
      {false, DeviceKind::Keyboard, true, kPreviewHiddenPeriodMs, false, false, false},
      {true, DeviceKind::Keyboard, false, kPreviewPausedPeriodMs, false, false, false},
      {true, DeviceKind::Keyboard, true, kPreviewFramePeriodMs, false, false, true},
      {true, DeviceKind::Mouse, true, kPreviewFramePeriodMs, true, false, false},
      {true, DeviceKind::MousePad, true, kPreviewFramePeriodMs, false, true, false},
  };
  Key(0)->SetPos({10, 20, 30, 40});
  Key(5)->SetPos({50, 5, 60, 25});
  for (const Case& c : cases) {
    ShowOnly(c.any_preview ? c.page : static_cast<DeviceKind>(-1));
    EXPECT_EQ(LightingPreviewHost::KeyboardArea(lights),
              (c.any_preview && c.page == DeviceKind::Keyboard ? ui::UiRect{10, 5, 60, 40} : ui::UiRect{}));
    EXPECT_EQ(host.OnFrameTimer(lights, c.window_shown), c.period);
    EXPECT_EQ(host.Runtime().FamilyShown(DeviceKind::Mouse), c.mouse);
    EXPECT_EQ(host.Runtime().FamilyShown(DeviceKind::MousePad), c.pad);
    EXPECT_EQ(host.Runtime().FamilyShown(DeviceKind::Keyboard), c.keyboard);
    EXPECT_EQ(host.Runtime().Shown(), c.mouse || c.pad || c.keyboard);
  }
}

TEST_F(LightingPreviewHostTest, TintsReachTheControlsThatShowOthers) {
  LightingBytes b;
  b.mode = 3;  // static: the same tint every frame
  b.red = 0x12, b.green = 0x34, b.blue = 0x56;
  StartKeyboard(b);
  ASSERT_TRUE(TickUntil([&] { return Key(51)->GetChangerAlpha() == 255; }));
  EXPECT_EQ(Key(51)->GetChangerColor(), 0x123456u);
  EXPECT_EQ(Key(0)->GetChangerColor(), 0x123456u);
  // A key a page painted itself (a mode change clears the custom colours)
  // is put right by the next frame, though the frame did not change.
  Key(51)->SetChangerColor(0xFF000000);
  Key(52)->SetChangerAlpha(0);
  ASSERT_TRUE(TickUntil([&] { return Key(51)->GetChangerColor() == 0x123456u && Key(52)->GetChangerAlpha() == 255; }));
  // A changed setting reaches every key.
  b.green = 0x00;
  WriteLighting(DeviceKind::Keyboard, b);
  ASSERT_TRUE(TickUntil([&] { return Key(51)->GetChangerColor() == 0x120056u; }));
  EXPECT_EQ(Key(7)->GetChangerColor(), 0x120056u);
}

TEST_F(LightingPreviewHostTest, KeyPressesLightTheReactiveMode) {
  LightingBytes b;
  b.mode = 5;  // reactive fade, setting colour
  b.red = 0xFF;
  StartKeyboard(b);
  const uint64_t seen = host.Runtime().Generation();
  ASSERT_TRUE(TickUntil([&] { return host.Runtime().Generation() > seen + 2; }));
  EXPECT_EQ(Key(51)->GetChangerAlpha(), 0);  // nothing pressed: dark
  KeyEventRecord record;
  record.vk_code = 0x4F;  // O
  host.OnKeyPressed(record);
  ASSERT_TRUE(TickUntil([&] { return Key(51)->GetChangerAlpha() > 0; }));
  EXPECT_EQ(Key(51)->GetChangerColor(), 0xFF0000u);
  EXPECT_EQ(Key(50)->GetChangerAlpha(), 0);  // I was not pressed
}

}  // namespace
}  // namespace trx::app

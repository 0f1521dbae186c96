// The lighting threads: frames only while a preview is shown, prompt stops.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <vector>
#include <thread>

#include "lighting/light_runtime.h"
#include "platform/debug_log.h"
#include "settings/config_images.h"
#include "settings/key_colour_sets.h"
#include "settings/lighting_bytes.h"

namespace trx::lighting {
namespace {

// Waits up to 5 s for `count` frames more than there are now.
bool WaitForFrames(const LightingRuntime& rt, uint64_t count = 1) {
  const uint64_t target = rt.Generation() + count;
  for (int i = 0; i < 1000 && rt.Generation() < target; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return rt.Generation() >= target;
}

class LightingRuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetImagesToBuiltIn();
    WriteLighting(DeviceKind::Keyboard, {.mode = 3, .red = 0x11, .green = 0x22, .blue = 0x33});  // static
    keyboard.connected.store(1);
  }
  // Shows the preview, runs `routine` until its first frame and stops it.
  Frame FirstFrame(void (LightingRuntime::*routine)(CEvent&)) {
    rt.SetShown(true);
    std::thread worker([this, routine] { (rt.*routine)(stop); });
    EXPECT_TRUE(WaitForFrames(rt));
    stop.Set();
    worker.join();
    Frame f;
    uint64_t seen = 0;
    EXPECT_TRUE(rt.TakeFrame(f, seen));
    return f;
  }
  CDeviceChannel mouse{DeviceKind::Mouse}, pad{DeviceKind::MousePad}, keyboard{DeviceKind::Keyboard};
  LightingRuntime rt{mouse, pad, keyboard, 0};
  CEvent stop{CEvent::Reset::Manual};
};

// Each key shows its colour of the chosen set; a key without one is black.
TEST_F(LightingRuntimeTest, CustomColourModeShowsTheChosenColourSet) {
  UpdateLighting(DeviceKind::Keyboard, [](LightingBytes& l) { l.mode = KeyboardEngine::kCustomColourMode; });
  {
    std::lock_guard<std::recursive_mutex> lock(ImageMutex());
    SetKeyColour(Images().keyboard, 0, 51, 0x445566);  // another set: not shown
    SetKeyColour(Images().keyboard, 3, 51, 0xA0B0C0);
    SetKeyColour(Images().keyboard, 3, 125, 0x0000FF);
    SetActiveKeyColourSet(Images().keyboard, 3);
  }
  const Frame f = FirstFrame(&LightingRuntime::RunKeyboard);
  EXPECT_EQ(f.tints[35 + 51], (Tint{0xA0B0C0, 255}));
  EXPECT_EQ(f.tints[35 + 125], (Tint{0x0000FF, 255}));
  EXPECT_EQ(f.tints[35 + 0], (Tint{0x000000, 255}));
  EXPECT_EQ(f.tints[0], (Tint{}));  // the mouse is not drawn by this thread
}

TEST_F(LightingRuntimeTest, OnlyFamiliesWhosePreviewIsShownCompute) {
  std::thread worker([this] { rt.RunKeyboard(stop); });
  rt.SetFamiliesShown(true, true, false);  // the mouse and pad pages, not the keyboard's
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(rt.Generation(), 0u);
  EXPECT_TRUE(rt.Shown());
  EXPECT_FALSE(rt.FamilyShown(DeviceKind::Keyboard));
  rt.SetFamiliesShown(false, false, true);
  ASSERT_TRUE(WaitForFrames(rt));
  stop.Set();
  worker.join();
}

TEST_F(LightingRuntimeTest, VariantTwoNamesItsTwinkleAndSnakeOncePerStretch) {
  std::vector<std::string> lines;
  std::mutex lines_mutex;
  const DebugSink previous = SetDebugSink([&](std::string_view line) {
    std::lock_guard<std::mutex> lock(lines_mutex);
    lines.emplace_back(line);
  });
  WithImage([&](ConfigImages& im) { im.keyboard.variant = KeyboardVariant::V16; });
  LightingBytes b{.mode = 9};  // twinkle
  WriteLighting(DeviceKind::Keyboard, b);
  rt.SetShown(true);
  std::thread worker([this] { rt.RunKeyboard(stop); });
  ASSERT_TRUE(WaitForFrames(rt));
  WaitForFrames(rt, 3);
  b.mode = 12;  // snake
  WriteLighting(DeviceKind::Keyboard, b);
  WaitForFrames(rt, 3);
  stop.Set();
  worker.join();
  SetDebugSink(previous);
  std::vector<std::string> named;
  for (const std::string& l : lines)
    if (l == "星星" || l == "蛇") named.push_back(l);
  EXPECT_EQ(named, (std::vector<std::string>{"星星", "蛇"}));
}

TEST_F(LightingRuntimeTest, AllThreadsStopWhileHidden) {
  std::atomic<int> ended{0};
  auto run = [&](void (LightingRuntime::*routine)(CEvent&)) {
    return std::thread([this, &ended, routine] {
      (rt.*routine)(stop);
      ++ended;
    });
  };
  std::thread threads[] = {run(&LightingRuntime::RunSync), run(&LightingRuntime::RunMouse),
                           run(&LightingRuntime::RunPad), run(&LightingRuntime::RunKeyboard)};
  // Long enough for every thread to reach its wait for a preview.
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(ended, 0);
  stop.Set();
  for (int i = 0; i < 100 && ended < 4; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(ended, 4) << "a hidden thread did not end on the stop event";
  EXPECT_EQ(rt.Generation(), 0u);
  rt.SetShown(true);  // lets a thread that missed the stop reach its loop's check, so the joins end
  for (std::thread& t : threads) t.join();
}

TEST_F(LightingRuntimeTest, SyncWaveReachesFollowingMouseOnly) {
  WriteSyncLighting({.mode = 3, .blue = 0xFF});  // static
  mouse.connected.store(1);
  mouse.follows_synchronised_lighting.store(1);
  const Frame f = FirstFrame(&LightingRuntime::RunSync);
  EXPECT_EQ(f.tints[19], (Tint{0x0000FF, 255}));
  EXPECT_EQ(f.tints[20], (Tint{}));       // pad does not follow
  EXPECT_EQ(f.tints[35 + 51], (Tint{}));  // nor the keyboard
}

}  // namespace
}  // namespace trx::lighting

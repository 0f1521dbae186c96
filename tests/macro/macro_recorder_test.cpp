// The recorders fed through the hook owner and the key translation table.

#include <gtest/gtest.h>

#include "macro/macro_recorder.h"
#include "macro/macro_tables.h"
#include "platform/input_hooks.h"
#include "platform/key_translation.h"

namespace trx::macro {
namespace {

struct FakeClock : ITickClock {
  uint32_t NowMs() const override { return now; }
  uint32_t now = 0;
};

struct FakeSource : IInputSource {
  bool Start(CDeviceHook&, bool, bool) override { return accept; }
  void Stop() override {}
  bool accept = true;
};

// The main window's part: hook messages to the recorder of the mouse page.
struct Page : IHookTarget {
  explicit Page(const ITickClock& clock) : recorder(clock) {}
  void SendHookKeyboard(uint32_t message, uint32_t wparam, const KeyEventRecord& r) override {
    messages.push_back(message);
    if (message == 0x812)
      if (auto step = recorder.OnKey(wparam, r, list.size())) ApplyStep(list, *step);
  }
  void PostHookMouse(uint32_t message, uint32_t wparam) override {
    messages.push_back(message);
    if (message == 0x813)
      if (auto step = recorder.OnMouse(wparam, mouse_click, list.size())) ApplyStep(list, *step);
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (const auto& a : list) out.push_back(FormatActionLine(a));
    return out;
  }
  CMacroRecorder recorder;
  std::vector<MacroAction> list;
  std::vector<uint32_t> messages;
  bool mouse_click = true;
};

class RecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(hook.InstallHooks(kHookModeMouseMacro, &page, true, true), HookInstallResult::Installed);
    page.recorder.Start(false);
  }
  // A key event as the event filter makes it from an X keycode.
  bool Key(uint32_t at_ms, uint16_t vk, bool down, bool extended = false) {
    clock.now = at_ms;
    const uint32_t x = XKeycodeOf(vk, extended);
    EXPECT_NE(x, 0u) << vk;
    const auto t = TranslateXKeycode(x);
    KeyEventRecord r{t->vk_code, t->scan_code, (t->extended ? kKeyFlagExtended : 0u) | (down ? 0u : kKeyFlagUp),
                     at_ms, 0};
    return hook.OnKeyboardEvent(down ? kWmKeyDown : kWmKeyUp, r);
  }
  void Mouse(uint32_t at_ms, uint32_t message) { clock.now = at_ms; hook.OnMouseEvent(message); }
  FakeClock clock;
  FakeSource source;
  CDeviceHook hook{source};
  Page page{clock};
};

TEST_F(RecorderTest, TypingAWaitingASecondAndTypingB) {
  clock.now = 5000;
  page.recorder.Start(false);
  Key(5000, 'A', true);
  Key(5000, 'A', true);  // auto-repeat
  Key(5000, 'A', true);
  Key(5120, 'A', false);
  Key(6123, 'B', true);
  Key(6200, 'B', false);
  EXPECT_EQ(page.Lines(), (std::vector<std::string>{"12,0,138,4,1,keyboard_key_A", "100,0,10,4,0,keyboard_key_A",
                                                    "7,0,138,5,1,keyboard_key_B", "0,0,10,5,0,keyboard_key_B"}));
}

TEST_F(RecorderTest, EnterShiftAndTheExtendedKeysStayDistinct) {
  Key(0, 0x0D, true, true);  // keypad Enter
  Key(0, 0x0D, false, true);
  Key(0, 0x0D, true);
  Key(0, 0x0D, false);
  Key(0, 0xA0, true);  // left Shift
  Key(0, 0xA0, false);
  Key(0, 0xA1, true);  // right Shift
  Key(0, 0x25, true, true);  // Left arrow
  EXPECT_EQ(page.Lines(),
            (std::vector<std::string>{"0,0,138,88,1,keyboard_key_Num Enter", "0,0,10,88,0,keyboard_key_Num Enter",
                                      "0,0,138,40,1,keyboard_key_Enter", "0,0,10,40,0,keyboard_key_Enter",
                                      "0,0,137,2,1,keyboard_key_LShift", "0,0,9,2,0,keyboard_key_LShift",
                                      "0,0,137,32,1,keyboard_key_RShift", "0,0,138,80,1,keyboard_key_Left"}));
}

TEST_F(RecorderTest, MouseButtonsDoubleClickAndSharedTime) {
  Key(0, 'A', true);
  Mouse(30, kWmLButtonDown);
  Mouse(40, kWmLButtonDown);  // the same message again: dropped
  Mouse(80, kWmLButtonUp);
  Mouse(90, kWmLButtonDown);
  Mouse(100, kWmMouseMove);   // moves, wheel and side buttons are not recorded
  Mouse(100, kWmMouseWheel);
  Mouse(100, kWmXButtonDown);
  Mouse(150, kWmLButtonUp);
  EXPECT_EQ(page.Lines(), (std::vector<std::string>{"3,0,138,4,1,keyboard_key_A", "5,0,129,1,1,mouse_key_left",
                                                    "1,0,1,1,0,mouse_key_left", "6,0,129,1,1,mouse_key_left",
                                                    "0,0,1,1,0,mouse_key_left"}));
  page.mouse_click = false;
  Mouse(200, kWmRButtonDown);
  EXPECT_EQ(page.list.size(), 5u);
}

TEST_F(RecorderTest, FixedDelaysCapAndTickWrap) {
  clock.now = 0xFFFFFF00u;
  page.recorder.Start(false);
  Key(0x100, 'A', true);  // 512 ms across the wrap
  Key(0x100 + 700000, 'A', false);
  Key(0x100 + 700001, 'B', true);
  EXPECT_EQ(page.Lines(), (std::vector<std::string>{"255,255,138,4,1,keyboard_key_A", "0,0,10,4,0,keyboard_key_A",
                                                    "0,0,138,5,1,keyboard_key_B"}));
  page.list.clear();
  page.recorder.Start(true);
  Key(1, 'C', true);
  Key(9000, 'C', false);
  Key(9001, 'D', true);
  for (size_t i = 0; i + 1 < page.list.size(); ++i) EXPECT_EQ(page.list[i].delay, 5) << i;
}

TEST_F(RecorderTest, HookSwallowsAllButTheLockKeysAndRoutesByMode) {
  EXPECT_TRUE(Key(0, 'A', true));
  EXPECT_FALSE(Key(0, 0x14, true));        // Caps Lock passes
  EXPECT_FALSE(Key(0, 0x90, true, true));  // Num Lock
  EXPECT_FALSE(Key(0, 0x91, true));        // Scroll Lock
  Mouse(0, kWmRButtonDown);
  EXPECT_EQ(page.messages, (std::vector<uint32_t>{0x812, 0x812, 0x812, 0x812, 0x813}));

  source.accept = false;
  EXPECT_EQ(hook.InstallHooks(kHookModeKeyboardSingleKey, &page, true, false), HookInstallResult::Unavailable);
  EXPECT_EQ(hook.Mode(), kHookModeMouseMacro);  // unchanged
  EXPECT_FALSE(hook.KeyboardHooked());
  EXPECT_FALSE(Key(0, 'A', true));  // nothing installed: passes
  source.accept = true;
  ASSERT_EQ(hook.InstallHooks(kHookModeKeyboardMacro, &page, true, true), HookInstallResult::Installed);
  page.messages.clear();
  Key(0, 'A', true);
  Mouse(0, kWmLButtonDown);
  ASSERT_EQ(hook.InstallHooks(kHookModeMouseSingleKey, &page, true, false), HookInstallResult::Installed);
  Key(0, 'A', true);
  Mouse(0, kWmLButtonDown);  // no mouse hook in a single-key capture
  EXPECT_EQ(page.messages, (std::vector<uint32_t>{0x803, 0x804, 0x810}));
  hook.RemoveHooks();
  EXPECT_FALSE(Key(0, 'A', true));
}

TEST(KeyTranslation, EveryKeyTableRowHasItsPhysicalKey) {
  for (size_t row = 0; row < MacroKeyTable.size(); ++row) {
    const uint16_t vk = MacroKeyTable[row].virtual_key;
    const bool keypad_enter = vk == kVkKeypadEnter;
    const uint32_t x = keypad_enter ? XKeycodeOf(0x0D, true) : (XKeycodeOf(vk, false) ? XKeycodeOf(vk, false)
                                                                                        : XKeycodeOf(vk, true));
    ASSERT_NE(x, 0u) << MacroKeyTable[row].name;
    const auto t = TranslateXKeycode(x);
    ASSERT_TRUE(t.has_value());
    FakeClock clock;
    CMacroRecorder recorder(clock);
    recorder.Start(false);
    const auto step = recorder.OnKey(kWmKeyDown, {t->vk_code, t->scan_code, t->extended ? kKeyFlagExtended : 0u, 0, 0}, 0);
    ASSERT_TRUE(step.has_value()) << MacroKeyTable[row].name;
    EXPECT_EQ(step->action.name, MacroKeyTable[row].name);
  }
  // Hand-checked X keycodes (evdev + 8).
  EXPECT_EQ(TranslateXKeycode(38)->vk_code, 'A');
  EXPECT_EQ(TranslateXKeycode(104)->vk_code, 0x0D);
  EXPECT_TRUE(TranslateXKeycode(104)->extended);
  EXPECT_EQ(TranslateXKeycode(105)->vk_code, 0xA3);  // right Ctrl
  EXPECT_EQ(TranslateXKeycode(37)->vk_code, 0xA2);   // left Ctrl
  EXPECT_EQ(TranslateXKeycode(108)->vk_code, 0xA5);  // AltGr
  EXPECT_FALSE(TranslateXKeycode(7).has_value());
  EXPECT_FALSE(TranslateXKeycode(255).has_value());
}

}  // namespace
}  // namespace trx::macro

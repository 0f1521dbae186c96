// The recorders fed through the hook owner and the key translation table.

#include <gtest/gtest.h>

#include "macro/macro_tables.h"
#include "platform/key_translation.h"
#include "tests/macro/recording_support.h"

namespace trx::macro {
namespace {

using test::FakeClock;

// The main window's part: hook messages to the recorder of the mouse page.
struct Page : IHookTarget, test::RecordingList {
  using RecordingList::RecordingList;
  void SendHookKeyboard(uint32_t message, uint32_t wparam, const KeyEventRecord& r) override {
    OnKey(message, wparam, r, message == 0x812);
  }
  void PostHookMouse(uint32_t message, uint32_t wparam) override { OnMouse(message, wparam, mouse_click, message == 0x813); }
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
  test::FakeInputSource source;
  CDeviceHook hook{source};
  Page page{clock};
};

TEST_F(RecorderTest, KeysBecomeLinesWithTheirDelays) {
  struct Press { uint32_t at; uint16_t vk; bool down; bool extended = false; };
  const struct { const char* what; std::vector<Press> keys; std::vector<std::string> lines; } cases[] = {
      {"A held (auto-repeat), a second, B",
       {{5000, 'A', true}, {5000, 'A', true}, {5000, 'A', true}, {5120, 'A', false}, {6123, 'B', true}, {6200, 'B', false}},
       {"12,0,138,4,1,keyboard_key_A", "100,0,10,4,0,keyboard_key_A", "7,0,138,5,1,keyboard_key_B",
        "0,0,10,5,0,keyboard_key_B"}},
      {"keypad Enter, Enter, left and right Shift, Left arrow stay distinct",
       {{0, 0x0D, true, true}, {0, 0x0D, false, true}, {0, 0x0D, true}, {0, 0x0D, false}, {0, 0xA0, true},
        {0, 0xA0, false}, {0, 0xA1, true}, {0, 0x25, true, true}},
       {"0,0,138,88,1,keyboard_key_Num Enter", "0,0,10,88,0,keyboard_key_Num Enter", "0,0,138,40,1,keyboard_key_Enter",
        "0,0,10,40,0,keyboard_key_Enter", "0,0,137,2,1,keyboard_key_LShift", "0,0,9,2,0,keyboard_key_LShift",
        "0,0,137,32,1,keyboard_key_RShift", "0,0,138,80,1,keyboard_key_Left"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    page.list.clear();
    clock.now = c.keys.front().at;
    page.recorder.Start(false);
    for (const Press& p : c.keys) Key(p.at, p.vk, p.down, p.extended);
    EXPECT_EQ(page.Lines(), c.lines);
  }
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
  // Hand-checked X keycodes (evdev + 8): A, keypad Enter, right Ctrl, left Ctrl, AltGr; none.
  for (auto [x, vk] : {std::pair{38u, 0x41}, {104u, 0x0D}, {105u, 0xA3}, {37u, 0xA2}, {108u, 0xA5}})
    EXPECT_EQ(TranslateXKeycode(x)->vk_code, vk) << x;
  EXPECT_TRUE(TranslateXKeycode(104)->extended);
  for (uint32_t x : {7u, 255u}) EXPECT_FALSE(TranslateXKeycode(x).has_value()) << x;
}

}  // namespace
}  // namespace trx::macro

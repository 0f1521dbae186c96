// The main window as the hooks' target: the WM_HOOK_* messages reach the
// listening page (keyboard sent with the record, mouse posted).

#include <gtest/gtest.h>

#include "tests/app/app_test_support.h"
#include "tests/macro/recording_support.h"
#include "ui/window/win_api.h"

namespace trx::app::testing {
namespace {

// What the macro page will do with the messages.
struct RecordingPage : IHookListener, test::RecordingList {
  using RecordingList::RecordingList;
  void OnHookKeyboard(uint32_t message, uint32_t wparam, const KeyEventRecord& r) override { OnKey(message, wparam, r); }
  void OnHookMouse(uint32_t message, uint32_t wparam) override { OnMouse(message, wparam, true); }
  void OnHooksRemoved() override {
    recorder.Stop();
    ++removed;
  }
  int removed = 0;
};

class InputHooksTest : public MainWndTest {
 protected:
  void SetUp() override {
    MainWndTest::SetUp();
    CreateWindow({.backend = nullptr, .input_source = &source});
    window->SetHookListener(&page);
  }
  void TearDown() override {
    window->SetHookListener(nullptr);
    MainWndTest::TearDown();
  }
  bool Key(uint32_t at, uint32_t vk, bool down) {
    clock.now = at;
    return source.hook->OnKeyboardEvent(down ? kWmKeyDown : kWmKeyUp, {vk, 0, down ? 0u : kKeyFlagUp, at, 0});
  }
  test::FakeInputSource source;
  test::FakeClock clock;
  RecordingPage page{clock};
};

TEST_F(InputHooksTest, RecordingThroughTheWindowMessages) {
  ASSERT_EQ(window->InstallInputHooks(kHookModeMouseMacro, true, true), HookInstallResult::Installed);
  page.recorder.Start(false);
  EXPECT_TRUE(Key(0, 'A', true));
  Key(90, 'A', false);
  source.hook->OnMouseEvent(kWmRButtonDown);
  EXPECT_EQ(page.messages, (std::vector<uint32_t>{0x812, 0x812}));  // the mouse message is posted
  clock.now = 1090;
  Pump();
  Key(1200, 'B', true);
  EXPECT_FALSE(Key(1300, 0x14, true));  // Caps Lock passes on
  EXPECT_EQ(page.Lines(), (std::vector<std::string>{"9,0,138,4,1,keyboard_key_A", "100,0,10,4,0,keyboard_key_A",
                                             "11,0,129,2,1,mouse_key_right", "10,0,138,5,1,keyboard_key_B",
                                             "0,0,138,57,1,keyboard_key_Caplk"}));
}

// Input meant for another program is never captured. A press counts as
// activation: without a window manager nothing hands it back after a
// native edit closed.
TEST_F(InputHooksTest, AnInactiveWindowHasNoHooksUntilActivatedOrPressed) {
  ASSERT_EQ(window->InstallInputHooks(kHookModeMouseMacro, true, true), HookInstallResult::Installed);
  page.recorder.Start(false);
  ui::SendMessage(window->GetHWND(), ui::WM_ACTIVATE, ui::WA_INACTIVE, 0);
  EXPECT_EQ(source.hook, nullptr);
  EXPECT_FALSE(window->Hook().KeyboardHooked());
  EXPECT_FALSE(page.recorder.Recording());
  EXPECT_GE(page.removed, 1);
  EXPECT_EQ(window->InstallInputHooks(kHookModeMouseMacro, true, true), HookInstallResult::Inactive);
  EXPECT_EQ(source.hook, nullptr);
  for (bool press : {false, true}) {
    ui::SendMessage(window->GetHWND(), ui::WM_ACTIVATE, ui::WA_INACTIVE, 0);
    if (press) ui::SendMessage(window->GetHWND(), ui::WM_LBUTTONDOWN, 0, ui::MakeLParam(10, 10));
    else ui::SendMessage(window->GetHWND(), ui::WM_ACTIVATE, ui::WA_ACTIVE, 0);
    EXPECT_EQ(window->InstallInputHooks(kHookModeMouseMacro, true, true), HookInstallResult::Installed) << press;
    EXPECT_NE(source.hook, nullptr);
  }
}

using InputHooksDefault = MainWndTest;

TEST_F(InputHooksDefault, WithoutASourceInstallingFails) {
  CreateWindow();
  EXPECT_EQ(window->InstallInputHooks(kHookModeMouseMacro, true, false), HookInstallResult::Unavailable);
  window->RemoveInputHooks();  // nothing installed: harmless
}

}  // namespace
}  // namespace trx::app::testing

// The Qt event filter of the input capture on the offscreen platform: keys
// by X keycode to the hook's record, swallowed except the lock keys; mouse
// buttons to their messages, passed on; nothing once the hooks are gone.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "tests/ui/qt_test_support.h"
#include "ui/qt/qt_input_capture.h"

namespace trx::ui::qt {
namespace {

struct Target : IHookTarget {
  void SendHookKeyboard(uint32_t message, uint32_t wparam, const KeyEventRecord& r) override {
    keys.push_back({message, wparam, r.vk_code, r.scan_code, r.flags});
  }
  void PostHookMouse(uint32_t message, uint32_t wparam) override { mice.push_back({message, wparam}); }
  std::vector<std::vector<uint32_t>> keys, mice;
};

struct KeyWidget : QWidget {
  void keyPressEvent(QKeyEvent*) override { ++presses; }
  void mousePressEvent(QMouseEvent*) override { ++clicks; }
  int presses = 0, clicks = 0;
};

class QtInputCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::testing::TestApp();
    owned = std::make_unique<KeyWidget>();
    KeyWidget& widget = *owned;
    widget.resize(100, 100);
    widget.show();
    widget.setFocus();
    widget.activateWindow();
    QApplication::processEvents();
    ASSERT_NE(owned->windowHandle(), nullptr);
  }
  bool SendKey(QEvent::Type type, Qt::Key key, quint32 x_keycode, Qt::KeyboardModifiers mods = {}) {
    QKeyEvent e(type, key, mods, x_keycode, 0, 0);
    return QApplication::sendEvent(owned->windowHandle(), &e) && e.isAccepted();
  }
  void Click(Qt::MouseButton button) {
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), button, button, {});
    QApplication::sendEvent(owned->windowHandle(), &e);
  }
  std::unique_ptr<KeyWidget> owned;  // made once the application exists
  QtInputCapture capture;
  CDeviceHook hook{capture};
  Target target;
};

TEST_F(QtInputCaptureTest, KeysBecomeHookRecordsAndAreSwallowed) {
  ASSERT_EQ(hook.InstallHooks(kHookModeMouseMacro, &target, true, true), trx::HookInstallResult::Installed);
  SendKey(QEvent::KeyPress, Qt::Key_A, 38);
  SendKey(QEvent::KeyRelease, Qt::Key_A, 38);
  SendKey(QEvent::KeyPress, Qt::Key_Enter, 104);            // keypad Enter
  SendKey(QEvent::KeyPress, Qt::Key_Alt, 64, Qt::AltModifier);  // left Alt: a system key
  SendKey(QEvent::KeyPress, Qt::Key_CapsLock, 66);
  const std::vector<std::vector<uint32_t>> expected = {{0x812, 0x100, 'A', 0x1E, 0},
                                                       {0x812, 0x101, 'A', 0x1E, 0x80},
                                                       {0x812, 0x100, 0x0D, 0x1C, 0x01},
                                                       {0x812, 0x104, 0xA4, 0x38, 0},
                                                       {0x812, 0x100, 0x14, 0x3A, 0}};
  EXPECT_EQ(target.keys, expected);
  EXPECT_EQ(owned->presses, 1);  // only Caps Lock reached the widget
  Click(Qt::RightButton);
  EXPECT_EQ(target.mice, (std::vector<std::vector<uint32_t>>{{0x813, 0x204}}));
  EXPECT_EQ(owned->clicks, 1);  // mouse input keeps working

  hook.RemoveHooks();
  SendKey(QEvent::KeyPress, Qt::Key_A, 38);
  Click(Qt::LeftButton);
  EXPECT_EQ(target.keys.size(), expected.size());
  EXPECT_EQ(target.mice.size(), 1u);
  EXPECT_EQ(owned->presses, 2);
}

struct Observer : IKeyObserver {
  void OnKeyPressed(const KeyEventRecord& r) override { keys.push_back({r.vk_code, r.flags}); }
  std::vector<std::vector<uint32_t>> keys;
};

TEST_F(QtInputCaptureTest, KeyObserverSeesPressesWithAndWithoutTheHooksAndTakesNothing) {
  Observer observer;
  capture.SetKeyObserver(&observer);
  SendKey(QEvent::KeyPress, Qt::Key_A, 38);     // no hooks: the widget gets it too
  SendKey(QEvent::KeyRelease, Qt::Key_A, 38);   // releases are not reported
  ASSERT_EQ(hook.InstallHooks(kHookModeKeyboardMacro, &target, true, false), trx::HookInstallResult::Installed);
  SendKey(QEvent::KeyPress, Qt::Key_Enter, 104);  // recording: swallowed, still observed
  hook.RemoveHooks();                             // the filter stays for the observer
  SendKey(QEvent::KeyPress, Qt::Key_B, 56);
  capture.SetKeyObserver(nullptr);
  SendKey(QEvent::KeyPress, Qt::Key_C, 54);
  EXPECT_EQ(observer.keys, (std::vector<std::vector<uint32_t>>{{'A', 0}, {0x0D, kKeyFlagExtended}, {'B', 0}}));
  EXPECT_EQ(target.keys.size(), 1u);  // the recorder got its key
  EXPECT_EQ(owned->presses, 3);       // A, B and C reached the widget; Enter went to the recorder only
}

}  // namespace
}  // namespace trx::ui::qt

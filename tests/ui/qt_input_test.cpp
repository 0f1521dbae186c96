// The Qt backend with synthetic input, the queue in Qt's loop, and the input capture's filter.

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <atomic>
#include <thread>

#include "tests/ui/qt_test_support.h"
#include "tests/ui/window_test_support.h"
#include "ui/core/combo.h"
#include "ui/core/edit.h"
#include "ui/qt/qt_input_capture.h"
#include "ui/window/menu_wnd.h"
#include "ui/window/win_api.h"

namespace trx::ui::testing {
namespace {

constexpr const char* kLayout = R"(<Window size="320,240" caption="0,0,0,30"><VerticalLayout name="root" bkcolor="#FF303030">
    <Label name="title" text="title" height="30"/><Button name="apply" text="Apply" height="30"/>
    <HorizontalLayout height="30"><Option name="opt_a" text="A" group="g" selected="true"/><Option name="opt_b" text="B" group="g"/></HorizontalLayout>
    <Edit name="dpi" numberonly="true" maxchar="4" height="26"/>
    <Combo name="combo" height="26">
      <ListLabelElement text="one" height="20"/><ListLabelElement text="two" height="20"/><ListLabelElement text="three" height="20"/>
    </Combo>
  </VerticalLayout></Window>)";

class QtInputTest : public QtTest {
 protected:
  void Open(NotesWindow& w, int x = 100, int y = 100, int cx = 320, int cy = 240) {
    ASSERT_NE(w.Create(nullptr, "t", UI_WNDSTYLE_DIALOG, 0, x, y, cx, cy), nullptr);
    w.ShowWindow(true);
    ASSERT_NE(w.Widget(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.Widget()));
    QApplication::processEvents();
    w.notes.clear();
  }
  static std::vector<std::string> Types(const NotesWindow& w, const std::string& sender) {
    std::vector<std::string> out;
    for (const Note& n : w.notes)
      if (n.sender == sender) out.push_back(n.type);
    return out;
  }
};

TEST_F(QtInputTest, PressMoveReleaseRaisesTheDragNotificationsWithTheModifiers) {
  NotesWindow w(R"(<Window size="320,240"><HorizontalLayout name="root">
      <Button name="k0" width="60" dragnotify="true"/><Button name="k1" width="60" dragnotify="true"/>
    </HorizontalLayout></Window>)");
  Open(w);
  QTest::mousePress(w.Widget(), Qt::LeftButton, Qt::ControlModifier, w.CenterOf("k0"));
  QTest::mouseMove(w.Widget(), w.CenterOf("k1"));
  QTest::mouseRelease(w.Widget(), Qt::LeftButton, Qt::ControlModifier, w.CenterOf("k1"));
  EXPECT_EQ(Types(w, "k0"), (std::vector<std::string>{"setfocus", "dragbegin", "dragmove", "dragend"}));
  EXPECT_TRUE(Types(w, "k1").empty());
  ASSERT_EQ(w.notes.size(), 4u);
  EXPECT_EQ(w.notes[1].wparam, WPARAM{MK_LBUTTON | MK_CONTROL});  // the press: button and Ctrl
  EXPECT_TRUE(w.notes[2].wparam & MK_LBUTTON);                    // the move with the button held
  const QPoint end = w.CenterOf("k1");
  EXPECT_EQ(w.GetPaintManager().GetMousePos(), (UiPoint{end.x(), end.y()}));
}

// Text set by code while editing shows in the overlay.
TEST_F(QtInputTest, TabMovesTheFocusSpaceClicksEditOverlayFiltersAndShowsTextSetByCodeComboListSelects) {
  NotesWindow w(kLayout);
  Open(w);
  QTest::keyClick(w.Widget(), Qt::Key_Tab);
  CControlUI* focus = w.GetPaintManager().GetFocus();
  ASSERT_NE(focus, nullptr);
  EXPECT_EQ(focus->GetName(), "apply");
  QTest::keyClick(w.Widget(), Qt::Key_Space);
  EXPECT_EQ(Types(w, "apply"), (std::vector<std::string>{"setfocus", "click"}));
  auto* edit = static_cast<CEditUI*>(w.GetPaintManager().FindControl("dpi"));
  QTest::mouseClick(w.Widget(), Qt::LeftButton, {}, w.CenterOf("dpi"));
  auto* line = w.Widget()->findChild<QLineEdit*>();
  ASSERT_NE(line, nullptr);
  ASSERT_TRUE(line->isVisible());
  QTest::keyClicks(line, "12ab345");
  QTest::keyClick(line, Qt::Key_Return);
  EXPECT_EQ(edit->GetText(), "1234");  // digits only, at most four
  EXPECT_FALSE(line->isVisible());
  EXPECT_GE(std::ranges::count(Types(w, "dpi"), "textchanged"), 1);
  QTest::mouseClick(w.Widget(), Qt::LeftButton, {}, w.CenterOf("apply"));
  QTest::mouseClick(w.Widget(), Qt::LeftButton, {}, w.CenterOf("dpi"));
  line = w.Widget()->findChild<QLineEdit*>();
  ASSERT_NE(line, nullptr);
  edit->SetText("800");
  EXPECT_EQ(line->text().toStdString(), "800");
  QTest::keyClick(line, Qt::Key_End);
  QTest::keyClicks(line, "1");
  QTest::keyClick(line, Qt::Key_Return);
  EXPECT_EQ(edit->GetText(), "8001");
  // The combo opens a list; a clicked item is selected with a notification.
  QTest::mouseClick(w.Widget(), Qt::LeftButton, {}, w.CenterOf("combo"));
  QWidget* popup = QApplication::activePopupWidget();
  ASSERT_NE(popup, nullptr);
  QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(10, 30));  // second item
  auto* combo = static_cast<CComboUI*>(w.GetPaintManager().FindControl("combo"));
  EXPECT_EQ(combo->GetCurSel(), 1);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_GE(std::ranges::count(Types(w, "combo"), "itemselect"), 1);
  // From the keyboard: the arrows move the highlight only, Enter chooses.
  QTest::mouseClick(w.Widget(), Qt::LeftButton, {}, w.CenterOf("combo"));
  popup = QApplication::activePopupWidget();
  ASSERT_NE(popup, nullptr);
  const size_t before = Types(w, "combo").size();
  QTest::keyClick(popup, Qt::Key_Down);
  QTest::keyClick(popup, Qt::Key_Down);
  EXPECT_EQ(combo->GetCurSel(), 1);
  for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Return}) QTest::keyClick(popup, key);
  EXPECT_EQ(combo->GetCurSel(), 2);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  const auto after = Types(w, "combo");
  EXPECT_EQ(std::count(after.begin() + static_cast<std::ptrdiff_t>(before), after.end(), "itemselect"), 1);
}

// A combo at the screen's corner; the list is as wide as its longest item; the tooltip is the text.
TEST_F(QtInputTest, ComboListStaysInsideTheWorkAreaAndFitsItsItems) {
  constexpr const char* kCornerLayout = R"(<Window size="200,120">
    <VerticalLayout name="root" bkcolor="#FF303030"><Control/>
      <Combo name="combo" width="60" height="26" itemtextpadding="10,0,0,0" dropboxsize="0,300">
        <ListLabelElement text="Three-colour breathing" height="40"/><ListLabelElement text="b" height="40"/>
        <ListLabelElement text="c" height="40"/><ListLabelElement text="d" height="40"/>
      </Combo></VerticalLayout></Window>)";
  NotesWindow w(kCornerLayout);
  const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
  Open(w, avail.right() - 200, avail.bottom() - 120, 200, 120);
  auto* combo = static_cast<CComboUI*>(w.GetPaintManager().FindControl("combo"));
  combo->SelectItem(0, false, false);
  EXPECT_EQ(combo->GetToolTip(), "Three-colour breathing");
  QTest::mouseClick(w.Widget(), Qt::LeftButton, {}, w.CenterOf("combo"));
  QWidget* popup = QApplication::activePopupWidget();
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(avail.contains(popup->geometry())) << "list at " << popup->geometry().x() << "," << popup->geometry().y();
  EXPECT_GT(popup->width(), 100) << "wider than the 60-pixel combo, for its longest item";
  popup->close();
}


// A press below the caption stays a click though its global position (as on Wayland) is inside it.
TEST_F(QtInputTest, DraggingTheCaptionMovesTheWindowAPressBelowItIsAClickMinimiseAndCloseFollowTheDesktop) {
  NotesWindow w(kLayout);
  Open(w);
  const UiRect before = w.GetWindowRect();
  QTest::mousePress(w.Widget(), Qt::LeftButton, {}, QPoint(20, 10));
  QMouseEvent move(QEvent::MouseMove, QPointF(60, 30), w.Widget()->mapToGlobal(QPointF(60, 30)), Qt::NoButton,
                   Qt::LeftButton, {});
  QApplication::sendEvent(w.Widget(), &move);
  QTest::mouseRelease(w.Widget(), Qt::LeftButton, {}, QPoint(60, 30));
  const UiRect after = w.GetWindowRect();
  EXPECT_EQ(after.left - before.left, 40);
  EXPECT_EQ(after.top - before.top, 20);
  EXPECT_TRUE(w.notes.empty());  // the caption label raised nothing
  const QPointF local(20, 45);     // the "apply" button, 15 px below the caption
  const QPointF global(after.left + 20, after.top + 25);
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, {});
  QApplication::sendEvent(w.Widget(), &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, {});
  QApplication::sendEvent(w.Widget(), &release);
  EXPECT_EQ(std::ranges::count(Types(w, "apply"), "click"), 1);
  EXPECT_EQ(w.GetWindowRect().left, after.left);
  // Minimise and close follow the desktop; its close request (Alt+F4) goes through the library window.
  w.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(w.Widget()->isMinimized());
  w.Widget()->showNormal();  // restored from the taskbar
  QApplication::processEvents();
  EXPECT_FALSE(w.IsMinimized());
  EXPECT_TRUE(w.IsWindowVisible());
  const HWND hwnd = w.GetHWND();
  w.Widget()->close();
  QApplication::processEvents();
  EXPECT_FALSE(IsWindow(hwnd));
}

// Opens `menu` from `xml` at (20, 20) of `owner`; its popup widget, shown, or nullptr.
QWidget* OpenMenu(NotesWindow& owner, CMenuWnd& menu, const char* xml) {
  const QPoint at = owner.Widget()->mapToGlobal(QPoint(20, 20));
  menu.Init(nullptr, xml, {at.x(), at.y()}, &owner.GetPaintManager());
  auto* native = dynamic_cast<qt::QtNativeWindow*>(menu.Native());
  if (native == nullptr || !QTest::qWaitForWindowExposed(native->Widget())) return nullptr;
  return native->Widget();
}

// Popups receive presses anywhere on the screen: one outside closes the menu without a command.
TEST_F(QtInputTest, MenuIsAPopupClosedByAPressOutsideAndItsClickReachesTheOwner) {
  NotesWindow owner(kLayout);
  Open(owner);
  const char* xml = R"(<Window><Menu width="120"><MenuElement name="lan_cn" text="cn" height="24"/>
               <MenuElement name="exit" text="exit" height="24"/></Menu></Window>)";
  CMenuWnd outside;
  QWidget* popup = OpenMenu(owner, outside, xml);
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(popup->windowFlags().testFlag(Qt::Popup));
  ASSERT_EQ(CMenuWnd::OpenMenuCount(), 1);
  QTest::mousePress(popup, Qt::LeftButton, {}, QPoint(popup->width() + 40, popup->height() + 40));
  for (int i = 0; i < 20 && CMenuWnd::OpenMenuCount() != 0; ++i) QTest::qWait(10);
  EXPECT_EQ(CMenuWnd::OpenMenuCount(), 0);
  EXPECT_TRUE(owner.commands.empty());
  CMenuWnd menu;
  popup = OpenMenu(owner, menu, xml);
  ASSERT_NE(popup, nullptr);
  QTest::mouseMove(popup, QPoint(40, 36));
  QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(40, 36));  // second item
  QApplication::processEvents();
  EXPECT_EQ(CMenuWnd::OpenMenuCount(), 0);
  ASSERT_EQ(owner.commands.size(), 1u);
  EXPECT_EQ(owner.commands[0].szName, "exit");
}

class QtLoopTest : public QtTest {};

TEST_F(QtLoopTest, WorkerSendIsHandledInsideQtsLoopAndQuitEndsIt) {
  RecordingWindow w;
  const HWND hwnd = w.Create(nullptr, "w", 0, 0);
  w.on_message = [](UINT msg, WPARAM wp, LPARAM, bool* handled) -> LRESULT {
    if (msg != WM_USER + 1) return 0;
    *handled = true;
    return static_cast<LRESULT>(wp + 1);
  };
  std::atomic<LRESULT> result{-1};
  std::thread worker([&] {
    result = SendMessage(hwnd, WM_USER + 1, 41, 0);
    PostQuitMessage(3);
  });
  EXPECT_EQ(CPaintManagerUI::MessageLoop(), 3);
  worker.join();
  EXPECT_EQ(result.load(), 42);
}

TEST_F(QtLoopTest, TimerFiresThroughTheQtLoop) {
  RecordingWindow w;
  w.Create(nullptr, "w", 0, 0);
  w.on_message = [&](UINT msg, WPARAM wp, LPARAM, bool*) -> LRESULT {
    if (msg == WM_TIMER && wp == 7) {
      KillTimer(w, 7);
      PostQuitMessage(0);
    }
    return 0;
  };
  SetTimer(w, 7, 10);
  EXPECT_EQ(CPaintManagerUI::MessageLoop(), 0);
  EXPECT_EQ(w.TimerIds(), (std::vector<WPARAM>{7}));
}

TEST_F(QtLoopTest, ModalLoopNestsInQtAndReturnsTheCloseResult) {
  RecordingWindow owner;
  owner.Create(nullptr, "owner", WS_VISIBLE, 0, 0, 0, 200, 100);
  RecordingWindow box;
  box.Create(owner, "box", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 100, 50);
  CMessageQueue::Instance().PostCallback([&] { box.Close(1); });
  EXPECT_EQ(box.ShowModal(), 1u);
  EXPECT_TRUE(owner.IsEnabled());
}

TEST_F(QtLoopTest, WindowInitFollowsTheFirstPaintEventOnce) {
  NotesWindow w(R"(<Window size="80,40"><VerticalLayout name="root" bkcolor="#FF102030"/></Window>)");
  w.Create(nullptr, "w", 0, 0);
  w.ShowWindow(true);
  auto inits = [&] { return std::count_if(w.notes.begin(), w.notes.end(), [](const Note& n) { return n.type == "windowinit"; }); };
  for (int i = 0; i < 50 && inits() == 0; ++i) QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(inits(), 1);
  w.Widget()->repaint();  // later paints send nothing
  QApplication::processEvents();
  EXPECT_EQ(inits(), 1);
}

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
    TestApp();
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
  qt::QtInputCapture capture;
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
}  // namespace trx::ui::testing

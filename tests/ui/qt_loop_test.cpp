// The message queue driven by Qt's event loop: sends from a worker thread,
// timers, nested modal loops and quit.

#include <algorithm>
#include <atomic>
#include <thread>

#include "tests/ui/qt_test_support.h"
#include "tests/ui/window_test_support.h"
#include "ui/window/win_api.h"

namespace trx::ui::testing {
namespace {

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

}  // namespace
}  // namespace trx::ui::testing

// Posting and sending window messages across threads, registered message
// numbers, and timers on the controllable clock.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/ui/window_test_support.h"
#include "ui/window/win_api.h"

namespace trx::ui::testing {
namespace {

class MessageTest : public WindowTest {};

// Starts a worker sending `msg` to `hwnd` into `result`; returns once it is about to send.
std::thread StartSending(HWND hwnd, UINT msg, std::atomic<LRESULT>& result) {
  std::atomic<bool> sending{false};
  std::thread worker([&sending, &result, hwnd, msg] {
    sending = true;
    result = SendMessage(hwnd, msg, 0, 0);
  });
  while (!sending) std::this_thread::yield();
  return worker;
}

// Posts arrive only when the loop runs; a worker's send blocks until the UI thread handled it.
TEST_F(MessageTest, PostsAndCallbacksRunInOrderSendsReturnTheResult) {
  RecordingWindow w;
  const HWND hwnd = w.Create(nullptr, "m", 0, 0);
  w.log.clear();
  std::vector<int> order;
  std::thread::id handled_on;
  w.on_message = [&](UINT msg, WPARAM wp, LPARAM, bool* handled) -> LRESULT {
    if (msg == WM_USER + 5) order.push_back(1);
    if (msg == 0x0901) {
      handled_on = std::this_thread::get_id();
      PostQuitMessage(0);
    }
    *handled = msg == WM_USER || msg == 0x0901;
    return msg == 0x0901 ? 77 : static_cast<LRESULT>(wp * 2);
  };
  queue().PostCallback([&] { order.push_back(0); });
  EXPECT_TRUE(PostMessage(w, WM_USER + 5, 1, 2));
  EXPECT_TRUE(PostMessage(w, WM_USER + 6, 3, 4));
  queue().PostCallback([&] { order.push_back(2); });
  EXPECT_TRUE(w.log.empty());
  queue().ProcessPending();
  ASSERT_EQ(w.log.size(), 2u);
  EXPECT_EQ(w.log[0].msg, WM_USER + 5);
  EXPECT_EQ(w.log[0].lparam, 2);
  EXPECT_EQ(w.log[1].msg, WM_USER + 6);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(SendMessage(w, WM_USER, 21, 0), 42);
  std::atomic<LRESULT> result{-1};
  std::thread worker([&] { result = SendMessage(hwnd, 0x0901, 0, 0); });
  CPaintManagerUI::MessageLoop();
  worker.join();
  EXPECT_EQ(result.load(), 77);
  EXPECT_EQ(handled_on, std::this_thread::get_id());
}

// The main window waits for its workers after posting quit: a worker's send must not deadlock it.
TEST_F(MessageTest, SendBlockedDuringShutdownReturnsZero) {
  RecordingWindow w;
  const HWND hwnd = w.Create(nullptr, "m", 0, 0);
  std::atomic<LRESULT> result{-1};
  std::thread worker = StartSending(hwnd, 0x0902, result);  // nobody runs the loop
  PostQuitMessage(0);  // what WM_DESTROY does before waiting for the workers
  worker.join();       // hangs here if the send were not released
  EXPECT_EQ(result.load(), 0);
  EXPECT_EQ(SendMessage(hwnd, 0x0902, 0, 0), 0);  // UI thread: still inline
  std::thread late([&] { result = SendMessage(hwnd, 0x0902, 0, 0); });
  late.join();  // a new cross-thread send returns at once
  EXPECT_EQ(result.load(), 0);
  EXPECT_EQ(w.Count(0x0902), 1);
}

TEST_F(MessageTest, SendToAWindowDestroyedWhileWaitingReturnsZero) {
  auto* w = new RecordingWindow;
  const HWND hwnd = w->Create(nullptr, "m", 0, 0);
  std::atomic<LRESULT> result{-1};
  std::thread worker = StartSending(hwnd, WM_USER, result);
  // The send may or may not be queued yet; either way it must return 0.
  w->DestroyWindow();
  delete w;
  worker.join();
  EXPECT_EQ(result.load(), 0);
}

TEST_F(MessageTest, AWindowThatIsGoneLosesItsMessagesAndTimersAndHandlesAreNeverReused) {
  auto* w = new RecordingWindow;
  const HWND hwnd = w->Create(nullptr, "m", 0, 0);
  EXPECT_TRUE(PostMessage(hwnd, WM_USER, 0, 0));
  SetTimer(hwnd, 1, 100);
  w->DestroyWindow();
  delete w;
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(PostMessage(hwnd, WM_USER, 0, 0));
  EXPECT_EQ(SendMessage(hwnd, WM_USER, 0, 0), 0);
  EXPECT_EQ(queue().ProcessPending(), 0);  // the queued one went with the window
  queue().AdvanceTime(1000);               // would dispatch to a dead object if kept
  EXPECT_EQ(SetTimer(hwnd, 1, 100), 0u);
  EXPECT_EQ(queue().MillisToNextTimer(), -1);
  RecordingWindow b;
  EXPECT_NE(b.Create(nullptr, "b", 0, 0), hwnd);
}

TEST_F(MessageTest, RegisteredMessagesAreStablePerNameAndInTheirRange) {
  const UINT a = RegisterWindowMessage("KORVANTE_001");
  const UINT b = RegisterWindowMessage("another_name");
  EXPECT_GE(a, 0xC000u);
  EXPECT_LE(a, 0xFFFFu);
  EXPECT_GE(b, 0xC000u);
  EXPECT_NE(a, b);
  EXPECT_EQ(RegisterWindowMessage("KORVANTE_001"), a);
  EXPECT_EQ(RegisterWindowMessage("korvante_001"), a);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
  EXPECT_EQ(RegisterWindowMessage(nullptr), 0u);
}

// Queries are for the UI thread only; an operation queued for a window gone meanwhile does nothing.
TEST_F(MessageTest, WindowOperationsFromAWorkerAreQueuedToTheUiThread) {
  RecordingWindow w;
  const HWND hwnd = w.Create(nullptr, "m", 0, 0, 0, 0, 100, 100);
  auto* gone = new RecordingWindow;
  const HWND gone_hwnd = gone->Create(nullptr, "g", 0, 0);
  std::thread worker([&] {
    EXPECT_TRUE(ShowWindow(hwnd, SW_SHOW));
    EXPECT_TRUE(SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_TRUE(ShowWindow(gone_hwnd, SW_SHOW));
  });
  worker.join();
  EXPECT_FALSE(w.IsWindowVisible());  // nothing happened on the worker
  gone->DestroyWindow();
  delete gone;
  queue().ProcessPending();  // must not reach the deleted object
  EXPECT_FALSE(ShowWindow(gone_hwnd, SW_SHOW));
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_TRUE(w.IsTopMost());
  EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));  // UI thread: at once
  EXPECT_FALSE(w.IsWindowVisible());
  UiRect rc{};
  EXPECT_TRUE(GetWindowRect(hwnd, &rc));
  EXPECT_EQ(rc, (UiRect{0, 0, 100, 100}));
}

class TimerTest : public WindowTest {};

// A zero period is raised to 10 ms; setting an existing timer restarts its period.
TEST_F(TimerTest, PeriodsMinimumAndRestart) {
  RecordingWindow w;
  ASSERT_NE(w.Create(nullptr, "t", 0, 0), nullptr);
  ASSERT_EQ(SetTimer(w, 2, 100), 2u);
  queue().AdvanceTime(99);
  EXPECT_TRUE(w.TimerIds().empty());
  queue().AdvanceTime(1);
  EXPECT_EQ(w.TimerIds(), (std::vector<WPARAM>{2}));
  queue().AdvanceTime(900);
  EXPECT_EQ(w.TimerIds().size(), 10u);
  EXPECT_EQ(queue().Now(), 1000);
  KillTimer(w, 2);
  w.log.clear();
  SetTimer(w, 3, 0);
  queue().AdvanceTime(9);
  EXPECT_TRUE(w.TimerIds().empty());
  queue().AdvanceTime(1);
  EXPECT_EQ(w.TimerIds().size(), 1u);
  KillTimer(w, 3);
  w.log.clear();
  SetTimer(w, 7, 100);
  queue().AdvanceTime(90);
  SetTimer(w, 7, 10);  // restarted: due 10 ms from now, not at 100 + 90
  queue().AdvanceTime(10);
  EXPECT_EQ(w.TimerIds().size(), 1u);
  queue().AdvanceTime(30);
  EXPECT_EQ(w.TimerIds().size(), 4u);
}

TEST_F(TimerTest, TimersFireInDueOrderWithTheClockAtTheirDueTime) {
  RecordingWindow w;
  w.Create(nullptr, "t", 0, 0);
  std::vector<std::pair<WPARAM, std::int64_t>> fired;
  w.on_message = [&](UINT msg, WPARAM wp, LPARAM, bool*) -> LRESULT {
    if (msg == WM_TIMER) fired.push_back({wp, queue().Now()});
    return 0;
  };
  SetTimer(w, 1, 1000);
  SetTimer(w, 7, 10);
  SetTimer(w, 2, 100);
  queue().AdvanceTime(1000);
  // 100 ticks of timer 7, 10 of timer 2 and one of timer 1, never back in time.
  ASSERT_EQ(fired.size(), 111u);
  EXPECT_EQ(fired[0], (std::pair<WPARAM, std::int64_t>{7, 10}));
  for (std::size_t i = 1; i < fired.size(); ++i) EXPECT_LE(fired[i - 1].second, fired[i].second);
  // At 1000 ms all three are due; the one that waited longest goes first.
  const std::vector<std::pair<WPARAM, std::int64_t>> last(fired.end() - 3, fired.end());
  EXPECT_EQ(last, (std::vector<std::pair<WPARAM, std::int64_t>>{{1, 1000}, {2, 1000}, {7, 1000}}));
}

// A worker's timer fires on the UI thread; the idle headless loop jumps to the next timer.
TEST_F(TimerTest, KilledInItsHandlerSetOnAWorkerAndReachedByTheIdleLoop) {
  RecordingWindow w;
  const HWND hwnd = w.Create(nullptr, "t", 0, 0);
  std::thread::id fired_on;
  w.on_message = [&](UINT msg, WPARAM wp, LPARAM, bool*) -> LRESULT {
    if (msg != WM_TIMER) return 0;
    if (wp == 1) {
      EXPECT_TRUE(KillTimer(w, 1));
    }
    if (wp == 7) fired_on = std::this_thread::get_id();
    if (wp == 9) PostQuitMessage(5);
    return 0;
  };
  SetTimer(w, 1, 1000);
  queue().AdvanceTime(5000);
  EXPECT_EQ(w.TimerIds().size(), 1u);
  EXPECT_FALSE(KillTimer(w, 1));
  std::thread worker([&] { SetTimer(hwnd, 7, 100); });
  worker.join();
  queue().AdvanceTime(100);
  EXPECT_EQ(fired_on, std::this_thread::get_id());
  KillTimer(w, 7);
  queue().SetAutoAdvance(true);
  SetTimer(w, 9, 1000);
  EXPECT_EQ(CPaintManagerUI::MessageLoop(), 5);
  EXPECT_EQ(queue().Now(), 6100);
}

}  // namespace
}  // namespace trx::ui::testing

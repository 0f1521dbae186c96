// Timers on the controllable clock: periods, ordering, stopping and
// restarting, timers of windows that are gone, and timers set on a worker.

#include <gtest/gtest.h>

#include "tests/ui/window_test_support.h"
#include "ui/window/win_api.h"

namespace trx::ui::testing {
namespace {

class TimerTest : public WindowTest {};

// Once per period and not before; a zero period is raised to 10 ms; setting
// an existing timer restarts its period.
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

// A handler may kill its own timer; a timer set on a worker fires on the UI
// thread; the headless loop jumps to the next timer when idle.
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

TEST_F(TimerTest, TimersOfADestroyedWindowAreGoneAndNewOnesRefused) {
  auto* w = new RecordingWindow;
  const HWND hwnd = w->Create(nullptr, "t", 0, 0);
  SetTimer(hwnd, 1, 100);
  w->DestroyWindow();
  delete w;
  queue().AdvanceTime(1000);  // would dispatch to a dead object if kept
  EXPECT_EQ(SetTimer(hwnd, 1, 100), 0u);
  EXPECT_EQ(queue().MillisToNextTimer(), -1);
}

}  // namespace
}  // namespace trx::ui::testing

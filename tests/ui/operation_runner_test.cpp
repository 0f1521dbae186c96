// The operation runner: progress and the end reach the window as posted
// messages in order; operations run one after another; Stop drops queued
// work, asks the running one to stop and waits for it.

#include <atomic>
#include <semaphore>

#include "tests/ui/window_test_support.h"
#include "ui/core/progress.h"
#include "ui/window/operation_runner.h"

namespace trx::ui::testing {
namespace {

constexpr UINT kProgress = 0x0C10;
constexpr UINT kDone = 0x0C11;

class OperationRunnerTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_NE(window_.Create(nullptr, "w", 0, 0), nullptr);
  }
  // (msg, wParam, lParam) of the runner's messages received so far.
  std::vector<std::tuple<UINT, long long, long long>> Log() const {
    std::vector<std::tuple<UINT, long long, long long>> out;
    for (const Received& r : window_.log)
      if (r.msg == kProgress || r.msg == kDone)
        out.emplace_back(r.msg, static_cast<long long>(static_cast<std::intptr_t>(r.wparam)), r.lparam);
    return out;
  }
  void RunUntilDone(int count) {
    queue().RunUntil([&] { return window_.Count(kDone) >= count; });
  }
  RecordingWindow window_;
};

TEST_F(OperationRunnerTest, ProgressThenResultArriveInOrderForEachOperation) {
  COperationRunner runner(window_.GetHWND(), kProgress, kDone);
  ASSERT_TRUE(runner.Run([](IProgressReporter& p) {
    p.Begin(3);
    for (int i = 1; i <= 3; ++i) p.Advance(i);
    p.Advance(7);  // past the total: shown as complete
    return 1;
  }));
  ASSERT_TRUE(runner.Run([](IProgressReporter& p) {
    p.Begin(0);  // at least one step
    return -102;
  }));
  RunUntilDone(2);
  using E = std::tuple<UINT, long long, long long>;
  EXPECT_EQ(Log(), (std::vector<E>{{kProgress, 0, 3}, {kProgress, 1, 3}, {kProgress, 2, 3}, {kProgress, 3, 3},
                                   {kProgress, 3, 3}, {kDone, 1, 0}, {kProgress, 0, 1}, {kDone, -102, 0}}));
}

TEST_F(OperationRunnerTest, StopDropsQueuedWorkAndWaitsForTheRunningOperation) {
  COperationRunner runner(window_.GetHWND(), kProgress, kDone);
  std::binary_semaphore started{0};
  std::atomic<bool> second_ran{false};
  std::atomic<bool> first_saw_stop{false};
  ASSERT_TRUE(runner.Run([&](IProgressReporter& p) {
    started.release();
    while (!p.StopRequested()) std::this_thread::yield();
    first_saw_stop = true;
    return 0;
  }));
  ASSERT_TRUE(runner.Run([&](IProgressReporter&) {
    second_ran = true;
    return 1;
  }));
  started.acquire();
  EXPECT_TRUE(runner.Busy());
  runner.Stop();
  EXPECT_TRUE(first_saw_stop);
  EXPECT_FALSE(second_ran);
  EXPECT_FALSE(runner.Busy());
  EXPECT_FALSE(runner.Run([](IProgressReporter&) { return 1; }));
}

TEST_F(OperationRunnerTest, ShowOperationProgressSetsRangeValueTextAndShows) {
  CProgressUI bar;
  bar.SetVisible(false);
  ShowOperationProgress(&bar, 2, 7);
  EXPECT_TRUE(bar.IsVisible());
  EXPECT_EQ(bar.GetMaxValue(), 7);
  EXPECT_EQ(bar.GetValue(), 2);
  EXPECT_EQ(bar.GetText(), "28%");
  ShowOperationProgress(&bar, 9, 7);
  EXPECT_EQ(bar.GetValue(), 7);
  EXPECT_EQ(bar.GetText(), "100%");
  ShowOperationProgress(nullptr, 1, 2);  // no control: nothing happens
  ShowOperationProgress(&bar, 1, 0);     // no steps: left alone
  EXPECT_EQ(bar.GetText(), "100%");
}

}  // namespace
}  // namespace trx::ui::testing

// The device queue: order, whole operations, the connect-read gate, typed outcomes, stop.

#include "device/device_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <thread>

#include "device/exchange_guard.h"
#include "protocol_sim_fixture.h"

namespace trx::test {
namespace {

// The UI thread's side: posted calls wait until the test runs them.
class QueuedUi : public IUiPost {
 public:
  bool Post(std::function<void()> call) override {
    std::lock_guard<std::mutex> lock(mutex);
    calls.push_back(std::move(call));
    return true;
  }
  int RunAll() {
    std::deque<std::function<void()>> now;
    {
      std::lock_guard<std::mutex> lock(mutex);
      now.swap(calls);
    }
    for (auto& c : now) c();
    return static_cast<int>(now.size());
  }
  std::mutex mutex;  // guards calls
  std::deque<std::function<void()>> calls;
};

class Observer : public IOperationObserver {
 public:
  void OnOperationProgress(const OperationProgress& p) override { progress.push_back(p.done); }
  void OnOperationFinished(const OperationOutcome& o) override { finished.push_back(o.name); }
  std::vector<int> progress;
  std::vector<std::string> finished;
};

class DeviceQueueTest : public SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    channel->ready = true;
    shared = std::shared_ptr<CDeviceChannel>(channel.get(), [](CDeviceChannel*) {});
    queue = std::make_unique<CDeviceQueue>(shared, ui, &observer);
  }
  void TearDown() override {
    queue->Stop();
    SimChannelTest::TearDown();
  }
  OperationOutcome Wait(DeviceOperation op) { return queue->RunAndWait(std::move(op), nullptr); }

  std::shared_ptr<QueuedUi> ui = std::make_shared<QueuedUi>();
  Observer observer;
  std::shared_ptr<CDeviceChannel> shared;
  std::unique_ptr<CDeviceQueue> queue;
};

TEST_F(DeviceQueueTest, RunsInOrderOffTheCallerAndReportsTypedOutcomesOnTheUiSide) {
  std::vector<int> order;
  std::vector<OperationOutcome> outcomes;
  for (int i = 0; i < 3; ++i) {
    DeviceOperation op;
    op.name = "step";
    op.progress = i == 2;
    op.run = [&order, i, this](OperationContext& c) {
      EXPECT_TRUE(queue->OnQueueThread());
      c.Begin(2);
      c.Advance(2);
      order.push_back(i);
      return i == 1 ? kResultStatusFF : kResultOk;
    };
    op.done = [&outcomes](const OperationOutcome& o) { outcomes.push_back(o); };
    if (i < 2) EXPECT_GT(queue->Submit(std::move(op)), 0u);
    else Wait(std::move(op));
  }
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(outcomes.empty());  // nothing reaches the UI side before it runs its calls
  ui->RunAll();
  ASSERT_EQ(outcomes.size(), 3u);
  EXPECT_TRUE(outcomes[0].Ok());
  EXPECT_EQ(outcomes[1].result, kResultStatusFF);
  EXPECT_FALSE(outcomes[1].Ok());
  EXPECT_EQ(outcomes[2].kind, DeviceKind::Mouse);
  EXPECT_EQ(observer.progress, (std::vector<int>{0, 2}));  // only the one showing the ring
  EXPECT_EQ(observer.finished.size(), 3u);
}

// A transfer on the queue keeps every other writer (a busy thread here) out from Begin to End.
TEST_F(DeviceQueueTest, ABeginEndTransferIsNeverCutInto) {
  std::atomic<bool> stop{false};
  std::thread other([&] {
    const uint8_t byte = 1;
    while (!stop) WriteSettingsBytes(*channel, 40, &byte, 1);
  });
  const OperationOutcome o = Wait(Operation("transfer", [](OperationContext& c) {
                                     if (BeginTransfer(c.Channel()) != kResultOk) return kResultNoReply;
                                     for (int i = 0; i < 20; ++i) {
                                       if (ReadSettingsBytes(c.Channel(), 0, nullptr, 0) != kResultOk) return kResultNoReply;
                                       std::this_thread::yield();
                                     }
                                     return EndTransfer(c.Channel());
                                   }));
  stop = true;
  other.join();
  ASSERT_TRUE(o.Ok());
  const auto written = Frames('>');
  const auto [begin, end] = TransferBounds();
  ASSERT_LT(begin, end);
  EXPECT_EQ(end - begin, 21u);
  for (size_t i = begin + 1; i < end; ++i) EXPECT_EQ(written[i][kFrameCommand], kCmdReadSettings) << i;
}

TEST_F(DeviceQueueTest, AConnectedDeviceNotYetReadRunsNothing) {
  bool ran = false;
  channel->ready = false;
  EXPECT_EQ(Wait(Operation("probe", [&](OperationContext&) { return ran = true, kResultOk; })).status, OperationStatus::NotReady);
  channel->connected = 0;  // away altogether: runs (every exchange answers "no reply")
  EXPECT_EQ(Wait(Operation("probe", [&](OperationContext&) { return ran = true, kResultOk; })).status, OperationStatus::Ran);
  EXPECT_TRUE(ran);
}

// An operation on a silent device ends between two exchanges at a stop; nothing queued runs.
TEST_F(DeviceQueueTest, StopEndsARunningOperationBetweenExchanges) {
  Inject({.no_reply = 1000});
  channel->reply_timeout_ms = 50;
  std::atomic<bool> started{false};
  bool later_ran = false;
  queue->Submit(Operation("silent", [&](OperationContext& c) {
    started = true;
    for (int i = 0; i < 100; ++i) ReadSettingsBytes(c.Channel(), 0, nullptr, 0);  // 100 x 4 x 50 ms if never stopped
    return kResultOk;
  }));
  queue->Submit(Operation("later", [&](OperationContext&) { return later_ran = true, kResultOk; }));
  while (!started) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_TRUE(queue->Stop(5000));
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1000));
  EXPECT_FALSE(later_ran);
  EXPECT_EQ(queue->Submit(Operation("after", [](OperationContext&) { return kResultOk; })), 0u);
}

#ifndef NDEBUG
TEST_F(DeviceQueueTest, AnExchangeOnTheUiThreadIsCaught) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        ForbidDeviceExchangesOnThisThread();
        ReadSettingsBytes(*channel, 0, nullptr, 0);
      },
      "");
  // The same read through the queue is fine.
  ForbidDeviceExchangesOnThisThread();
  EXPECT_TRUE(Wait(Operation("read", [](OperationContext& c) { return ReadSettingsBytes(c.Channel(), 0, nullptr, 0); })).Ok());
  ForbidDeviceExchangesOnThisThread(false);
}
#endif

}  // namespace
}  // namespace trx::test

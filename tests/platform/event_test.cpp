#include <gtest/gtest.h>

#include <thread>

#include "platform/event.h"

namespace trx {
namespace {

TEST(EventSemantics, AutoResetIsConsumedByOneWait) {
  CEvent e(CEvent::Reset::Auto);
  ASSERT_TRUE(e.Valid());
  EXPECT_FALSE(e.Wait(0));
  e.Set();
  e.Set();  // repeated sets do not queue a second signal
  EXPECT_TRUE(e.Wait(0));
  EXPECT_FALSE(e.Wait(0));
}

TEST(EventSemantics, ManualResetStaysSetUntilReset) {
  CEvent e(CEvent::Reset::Manual);
  e.Set();
  EXPECT_TRUE(e.Wait(0));
  EXPECT_TRUE(e.Wait(0));
  EXPECT_TRUE(e.IsSet());
  e.ResetEvent();
  EXPECT_FALSE(e.Wait(0));
}

TEST(EventSemantics, WaitWakesWhenAnotherThreadSets) {
  CEvent e(CEvent::Reset::Manual);
  std::thread t([&] { e.Set(); });
  EXPECT_TRUE(e.Wait(5000));
  t.join();
}

TEST(EventSemantics, WaitTimesOutWhenNeverSet) {
  CEvent e;
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(e.Wait(30));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(29));
}

// A 1 ms wait is a real wait, not a poll that returns at once (a loop of
// 1 ms waits would otherwise spin a core).
TEST(EventSemantics, ShortWaitsLastAtLeastTheirTimeout) {
  CEvent e;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 20; ++i) EXPECT_FALSE(e.Wait(1));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
}

}  // namespace
}  // namespace trx

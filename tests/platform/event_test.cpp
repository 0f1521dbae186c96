#include <gtest/gtest.h>

#include <thread>

#include "platform/event.h"

namespace trx {
namespace {

// An auto-reset event is consumed by one wait (sets don't queue); a manual one stays set.
TEST(EventSemantics, AutoAndManualReset) {
  CEvent a(CEvent::Reset::Auto);
  ASSERT_TRUE(a.Valid());
  EXPECT_FALSE(a.Wait(0));
  a.Set();
  a.Set();
  EXPECT_TRUE(a.Wait(0));
  EXPECT_FALSE(a.Wait(0));
  CEvent m(CEvent::Reset::Manual);
  m.Set();
  EXPECT_TRUE(m.Wait(0));
  EXPECT_TRUE(m.Wait(0));
  EXPECT_TRUE(m.IsSet());
  m.ResetEvent();
  EXPECT_FALSE(m.Wait(0));
  std::thread t([&] { m.Set(); });  // a wait wakes when another thread sets
  EXPECT_TRUE(m.Wait(5000));
  t.join();
}

// A wait times out no sooner than asked; a 1 ms wait is a real wait, not a spinning poll.
TEST(EventSemantics, WaitsLastAtLeastTheirTimeout) {
  CEvent e;
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(e.Wait(30));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(29));
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < 20; ++i) EXPECT_FALSE(e.Wait(1));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
}

}  // namespace
}  // namespace trx

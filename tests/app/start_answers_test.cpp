// The window's start asks the desktop nothing on the UI thread: the
// foreground source's Start and the desktop pointer reads (which wait on
// the session bus) block here until released.

#include <gtest/gtest.h>

#include <thread>

#include "pages/mouse_performance_page.h"
#include "pages/profile_link_page.h"
#include "platform/desktop_pointer/desktop_pointer.h"
#include "tests/app/app_test_support.h"

namespace trx::app::testing {
namespace {

// A program-in-front source and a desktop whose first answers wait at the gate.
struct SlowFront : FakeFront {
  explicit SlowFront(Gate& gate) : gate_(gate) {}
  bool Start(foreground::ForegroundUnavailable*) override { gate_.Wait(); return true; }
  Gate& gate_;
};
struct SlowDesktop : desktop::CNoDesktopPointer {
  explicit SlowDesktop(Gate& gate) : gate_(gate) {}
  bool HasPointerSpeed() override { gate_.Wait(); return true; }
  Gate& gate_;
};

class StartAnswersTest : public MainWndTest {};

TEST_F(StartAnswersTest, WindowStartsBeforeTheDesktopAnswersAndShowsTheAnswerOnceItComes) {
  Gate gate(std::chrono::seconds(2));
  SlowDesktop desktop(gate);
  desktop::SetDesktopPointer(&desktop);
  CreateWindow({.backend = nullptr, .foreground = std::make_shared<SlowFront>(gate)});
  pages::CPageSet& pages = window->Pages();
  EXPECT_FALSE(pages.ProfileLinks().LinkingKnown());
  EXPECT_FALSE(pages.MousePerformance().PointerSettingsKnown());

  gate.Open();
  PumpUntil([&] { return pages.ProfileLinks().LinkingKnown() && pages.MousePerformance().PointerSettingsKnown(); });
  EXPECT_TRUE(pages.ProfileLinks().LinkingKnown());
  EXPECT_TRUE(pages.ProfileLinks().LinkingAvailable());
  EXPECT_TRUE(pages.MousePerformance().PointerSettingsKnown());
  const std::vector<std::thread::id> threads = gate.Threads();
  EXPECT_EQ(threads.size(), 2u);
  for (std::thread::id id : threads) EXPECT_NE(id, std::this_thread::get_id());
  window->DestroyWindow();
  window.reset();
  desktop::SetDesktopPointer(nullptr);
}

}  // namespace
}  // namespace trx::app::testing

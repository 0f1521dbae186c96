// The presence threads wired into the main window: simulated devices that
// are plugged in bring the window up through the instance message and
// select their tabs through sent calls on the UI thread; unplugging every
// device shows the notice and hides the window; closing the window stops
// the threads, also while one of them waits in a sent call.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "sim/sim_backend.h"
#include "tests/app/app_test_support.h"
#include "ui/core/container.h"
#include "ui/core/option.h"
#include "ui/window/win_api.h"

namespace trx::app::testing {
namespace {

class PresenceWiringTest : public MainWndTest {
 protected:
  // Runs the UI thread's queue until pred holds (at most 20 s of a busy
  // machine); the workers reach the window only through the queue.
  bool PumpUntil(const std::function<bool()>& pred) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      queue().ProcessPending();
      if (pred()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }
  int Page() { return dynamic_cast<CTabLayoutUI*>(Find("tab_switch"))->GetCurSel(); }

  std::shared_ptr<sim::SimBackend> backend = std::make_shared<sim::SimBackend>();
};

TEST_F(PresenceWiringTest, MouseArrivalShowsTheWindowOnItsTabAndItsDepartureHidesIt) {
  const int mouse = backend->AddDevice(std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse));
  MainWndOptions options;
  options.backend = backend;
  CreateWindow(options, /*presence=*/true);
  EXPECT_TRUE(window->Workers().IsStarted(kWorkerMousePresence));
  EXPECT_TRUE(window->Workers().IsStarted(kWorkerKeyboardSync));
  EXPECT_FALSE(window->Workers().IsStarted(kWorkerMouseLight));  // lighting threads: no body yet

  ASSERT_TRUE(PumpUntil([&] { return window->IsWindowVisible(); }));
  EXPECT_EQ(window->Channel(DeviceKind::Mouse).connected.load(), 1);
  ASSERT_TRUE(PumpUntil([&] { return Page() == 1; }));
  EXPECT_TRUE(dynamic_cast<COptionUI*>(Find("ms_tab"))->IsSelected());
  EXPECT_TRUE(boxes.empty() || boxes.back() != "message_text_1");

  boxes.clear();
  backend->Unplug(mouse);
  ASSERT_TRUE(PumpUntil([&] { return !window->IsWindowVisible(); }));
  ASSERT_TRUE(PumpUntil([&] { return !boxes.empty(); }));
  EXPECT_EQ(boxes, (std::vector<std::string>{"message_text_20"}));
  EXPECT_EQ(window->Channel(DeviceKind::Mouse).connected.load(), 0);

  window->DestroyWindow();
  EXPECT_EQ(window->Workers().RunningCount(), 0);
}

TEST_F(PresenceWiringTest, ClosingWhileDevicesConnectStopsEveryThread) {
  backend = sim::SimBackend::WithStandardDevices();
  MainWndOptions options;
  options.backend = backend;
  options.stop_timeout_ms = 10000;
  CreateWindow(options, /*presence=*/true);
  // Close at once, while the connect reads and their sent calls are under way.
  window->DestroyWindow();
  EXPECT_EQ(window->Workers().RunningCount(), 0);
  EXPECT_FALSE(IsWindow(window->GetHWND()));
}

}  // namespace
}  // namespace trx::app::testing

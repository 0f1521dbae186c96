// Presence driven by events (inotify on the fake tree's dev/ folder, the pty
// node's hang-up): while nothing changes the threads list and probe nothing.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>

#include "tests/presence/presence_fixture.h"

namespace trx {
namespace {

using test::PresenceTest;
using test::RecordingHost;
using test::ThreadRunner;

// Counts the listings and probes made through the real backend; watches and
// connections are the real backend's own.
class ActivityBackend : public IHidBackend {
 public:
  explicit ActivityBackend(std::shared_ptr<IHidBackend> real) : real_(std::move(real)) {}
  bool Enumerate(std::vector<std::string>& paths) override {
    ++listings;
    return real_->Enumerate(paths);
  }
  bool Probe(const std::string& path) override {
    ++probes;
    return real_->Probe(path);
  }
  std::unique_ptr<IHidConnection> Open(const std::string& path, bool r, bool w, bool x) override {
    return real_->Open(path, r, w, x);
  }
  std::unique_ptr<IHidChangeWatch> WatchChanges() override { return real_->WatchChanges(); }

  std::atomic<int> listings{0};
  std::atomic<int> probes{0};

 private:
  std::shared_ptr<IHidBackend> real_;
};

class PresenceEventsTest : public PresenceTest {
 protected:
  // Lets the threads run a while; whatever they do in it is counted.
  static void Idle() { std::this_thread::sleep_for(std::chrono::milliseconds(400)); }

  std::shared_ptr<ActivityBackend> activity = std::make_shared<ActivityBackend>(backend);
};

TEST_F(PresenceEventsTest, ThreadsDoNothingWhileNothingChangesAndFollowPlugUnplugAndReplug) {
  RecordingHost host(activity);
  ThreadRunner detection(MouseDetectionThread, host);
  ThreadRunner sync(MouseSyncThread, host, activity);
  ASSERT_TRUE(Eventually([&] { return activity->listings >= 2; }));  // both threads' first scan
  Idle();
  const int listings = activity->listings;
  Idle();
  EXPECT_EQ(activity->listings, listings);  // no device, no change: no scan
  EXPECT_EQ(activity->probes, 0);

  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse);
  auto mouse = Attach(firmware);
  ASSERT_TRUE(host.WaitFor("timer 7 100"));
  Idle();
  const int probes = activity->probes;
  const int listed = activity->listings;
  Idle();
  EXPECT_EQ(activity->probes, probes);  // connected and unchanged: no probe
  EXPECT_EQ(activity->listings, listed);

  mouse->Unplug();
  ASSERT_TRUE(host.WaitFor("post 0x0C05"));
  EXPECT_EQ(host.Channel(DeviceKind::Mouse).connected.load(), 0);
  mouse.reset();
  mouse = Attach(firmware);
  ASSERT_TRUE(host.WaitFor("timer 7 100", 2));
  EXPECT_EQ(host.Channel(DeviceKind::Mouse).connected.load(), 1);
  // Each arrival shows the window once (the instance message when the
  // device came before the first scan ended).
  EXPECT_TRUE(Eventually([&] { return host.Count("show window") + host.Count("post instance") == 2; }));
}

TEST_F(PresenceEventsTest, ANodeWithoutADeviceBehindItIsLookedAtOnceAndLeftAlone) {
  RecordingHost host(activity);
  ThreadRunner detection(MouseDetectionThread, host);
  ASSERT_TRUE(Eventually([&] { return activity->listings >= 1; }));
  const int before = activity->listings;
  // A node in the device folder that no device in sysfs stands behind.
  ASSERT_EQ(::symlink("/nonexistent", (tree.DevRoot() + "/hidraw90").c_str()), 0);
  ASSERT_TRUE(Eventually([&] { return activity->listings > before; }));
  Idle();
  EXPECT_TRUE(host.Events().empty());
  EXPECT_EQ(host.Channel(DeviceKind::Mouse).connected.load(), 0);

  // A real device after it is still found.
  auto mouse = Attach(std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse));
  ASSERT_TRUE(host.WaitFor("timer 7 100"));
  ::unlink((tree.DevRoot() + "/hidraw90").c_str());
}

TEST_F(PresenceEventsTest, TheSameModeOptionFollowsAnotherDeviceArrivingAndLeaving) {
  RecordingHost host(backend);
  auto mouse = Attach(std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse));
  ThreadRunner mouse_thread(MouseDetectionThread, host);
  ThreadRunner pad_thread(MousePadDetectionThread, host);
  ASSERT_TRUE(host.WaitFor("same mode mouse off"));
  auto pad = Attach(std::make_shared<sim::SimFirmware>(sim::SimKind::MousePad));
  ASSERT_TRUE(host.WaitFor("same mode mouse on"));
  pad->Unplug();
  ASSERT_TRUE(host.WaitFor("same mode mouse off", 2));
}

}  // namespace
}  // namespace trx

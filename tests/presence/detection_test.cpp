// The detection threads on a fake hidraw tree: the connect read, the removal rules, events.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <tuple>

#include "presence/presence_events.h"
#include "profile/profile_families.h"
#include "sim/report_descriptors.h"
#include "tests/presence/presence_fixture.h"

namespace trx::test {
namespace {

using PresenceDetectionTest = PresenceTest;

// The mouse is found past a consumer-collection decoy and another vendor's node, read
// frame by frame and saved; the instance message follows.
TEST_F(PresenceDetectionTest, MouseConnectReadSendsTheConnectSequenceFrameByFrame) {
  ASSERT_GE(tree.AddInterface(0x0C45, 0x652C, sim::ConsumerReportDescriptor()).index, 0);
  ASSERT_GE(tree.AddInterface(0x046D, 0x652C, sim::VendorReportDescriptor()).index, 0);
  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse);
  firmware->SetSettingsByte(0, 3);  // onboard profile 3 active
  auto mouse = Attach(firmware);
  RecordingHost host(backend);
  ThreadRunner thread(MouseDetectionThread, host);
  ASSERT_TRUE(host.WaitFor("post instance"));
  const std::vector<std::string> events = host.Events();  // the same-mode step may follow
  ASSERT_GE(events.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 4),
            (std::vector<std::string>{"routines", "connected mouse device 0 light 0 key 0 read 0", "timer 7 100",
                                      "post instance"}));
  EXPECT_EQ(host.Channel(DeviceKind::Mouse).transport.device_path, tree.PathOf(mouse->VendorIndex()));
  // The complete read saved the device profile (no index yet: named "0").
  const std::vector<uint8_t> file =
      TempHome::ReadBytes(ProfileFilePath(*FindFamily(DeviceKind::Mouse, ProfileFamily::Device), "0", true));
  ASSERT_EQ(file.size(), 16u + 576u);
  EXPECT_EQ(file[0], 0xAA);
  EXPECT_EQ(file[1], 0x55);
  EXPECT_EQ(file[4], 2);  // mouse
  EXPECT_TRUE(std::equal(file.begin() + 16, file.begin() + 16 + 512, firmware->KeyMemory().begin()));

  std::vector<Request> expected = {{1, 0, 0}, {3, 33, 0}};
  AddBlock(expected, 7, 0);
  const int key_address[5] = {0, 126, 252, 378, 504};
  for (int k = 0; k < 5; ++k) {
    expected.push_back({5, 56, k * 64});
    AddBlock(expected, 8, key_address[k]);
  }
  expected.push_back({5, 1, 0});
  expected.push_back({2, 0, 0});
  EXPECT_EQ(Requests(DeviceKind::Mouse), expected);

  // The image holds what the device holds, and record 3 is current.
  const std::vector<uint8_t> settings = firmware->Settings();
  const MouseConfigImage m = WithImage([](ConfigImages& i) { return i.mouse; });
  EXPECT_EQ(0, std::memcmp(m.device_info, firmware->Info().data(), 33));
  EXPECT_EQ(0, std::memcmp(m.key_blocks[4], firmware->KeyMemory().data() + 504, 512));
  EXPECT_EQ(m.current[0], 3);
  EXPECT_EQ(0, std::memcmp(m.current + 1, settings.data() + 3 * 64 + 1, 33));
}

TEST_F(PresenceDetectionTest, DeviceRemovedDuringTheConnectReadLeavesTheProfileFileAsItWas) {
  const std::string path = ProfileFilePath(*FindFamily(DeviceKind::Mouse, ProfileFamily::Device), "0", true);
  std::vector<uint8_t> before = {0xAA, 0x55, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  before.resize(16 + 576, 0x3C);
  TempHome::WriteBytes(path, before);

  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse);
  firmware->SetFaults({.remove_at_frame = 30});  // inside key block 1
  auto mouse = Attach(firmware);
  RecordingHost host(backend);
  ThreadRunner thread(MouseDetectionThread, host);

  ASSERT_TRUE(host.WaitFor("post 0x0C05"));  // connected, then found gone
  EXPECT_EQ(host.Count("post instance"), 1u);
  EXPECT_EQ(TempHome::ReadBytes(path), before);
  // The read stopped short of the end of transfer.
  EXPECT_LT(Requests(DeviceKind::Mouse).size(), 69u);
}

TEST_F(PresenceDetectionTest, TwoDevicesGoingAtOnceLeaveExactlyOneLastDeviceAction) {
  auto mouse = Attach(std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse));
  auto keyboard = Attach(std::make_shared<sim::SimFirmware>(sim::SimKind::Keyboard));
  RecordingHost host(backend);
  ThreadRunner kb_thread(KeyboardDetectionThread, host);
  ThreadRunner ms_thread(MouseDetectionThread, host);
  ASSERT_TRUE(host.WaitFor("post instance", 2));

  keyboard->Unplug();
  mouse->Unplug();
  ASSERT_TRUE(host.WaitFor("left mouse"));
  ASSERT_TRUE(host.WaitFor("left keyboard"));
  // The thread deciding second sees no device left; the first hands over to the other's tab.
  ASSERT_TRUE(Eventually([&] { return host.Count("post 0x0C05") + host.Count("hide window") >= 1; }));
  EXPECT_EQ(host.Count("post 0x0C05") + host.Count("hide window"), 1u);
}

TEST_F(PresenceDetectionTest, WindowChangesAreMadeWithoutTheChannelLockHeld) {
  auto mouse = Attach(std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse));
  RecordingHost host(backend);
  // The UI thread takes channel locks itself: a window change under one would deadlock.
  std::mutex held_mutex;
  std::vector<std::string> held;
  host.on_event = [&](const std::string& event) {
    if (event == "routines") return;  // device I/O, run under the lock by design
    bool free = false;
    std::thread ui([&] {
      std::recursive_mutex& lock = host.Channel(DeviceKind::Mouse).lock;
      free = lock.try_lock();
      if (free) lock.unlock();
    });
    ui.join();
    if (!free) {
      std::lock_guard<std::mutex> guard(held_mutex);
      held.push_back(event);
    }
  };
  ThreadRunner thread(MouseDetectionThread, host);
  ASSERT_TRUE(host.WaitFor("post instance"));
  mouse->Unplug();
  ASSERT_TRUE(host.WaitFor("post 0x0C05"));
  std::lock_guard<std::mutex> guard(held_mutex);
  EXPECT_TRUE(held.empty()) << held.front();
}

// A keyboard block of up to 510 bytes (170 x 3) is read with that size; a
// larger one gets the message and no block reads, and stays connected.
TEST_F(PresenceDetectionTest, KeyboardReportingAnOversizedBlockGetsTheMessageAndNoBlockReads) {
  for (const int units : {171, 170}) {
    SCOPED_TRACE(units);
    const bool oversized = units == 171;
    ClearTrace();
    auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Keyboard, oversized ? 0 : 0x8611);
    firmware->SetInfoByte(5, static_cast<uint8_t>(units));
    auto keyboard = Attach(firmware);
    RecordingHost host(backend);
    ThreadRunner thread(KeyboardDetectionThread, host);
    ASSERT_TRUE(host.WaitFor(oversized ? "message message_text_11" : "post instance"));
    ASSERT_TRUE(host.WaitFor("post instance"));
    std::vector<Request> expected = {{1, 0, 0}, {3, 33, 0}};
    if (!oversized) {
      AddBlock(expected, 7, 0, 510);
      AddBlock(expected, 8, 0, 510);
      AddLightingSlots(expected);
    }
    expected.push_back({2, 0, 0});
    EXPECT_EQ(Requests(DeviceKind::Keyboard), expected);
    EXPECT_EQ(host.Channel(DeviceKind::Keyboard).connected.load(), 1);  // its tab shown
    EXPECT_EQ(host.Count("message message_text_11"), oversized ? 1u : 0u);
    EXPECT_EQ(host.Count("connected keyboard device 0 light 0 key 0 read 3"), oversized ? 1u : 0u);
    if (oversized) continue;
    const KeyboardImage kb = WithImage([](ConfigImages& i) { return i.keyboard; });
    EXPECT_EQ(kb.variant, KeyboardVariant::Full);  // 0x8611
    EXPECT_EQ(0, std::memcmp(kb.main_block, firmware->MainBlock().data(), 510));
  }
}

TEST_F(PresenceDetectionTest, ThreadsEndOnTheirStopEventWithTheirExitLines) {
  RecordingHost host(backend);
  {
    ThreadRunner kb(KeyboardDetectionThread, host);
    ThreadRunner ms(MouseDetectionThread, host);
    ThreadRunner mp(MousePadDetectionThread, host);
    ThreadRunner ms_sync(MouseSyncThread, host, backend);
    ThreadRunner kb_sync(KeyboardSyncThread, host, backend);
  }
  for (const char* line : {"键盘设备侦测线程设定退出", "鼠标设备侦测线程设定退出", "鼠标垫设备侦测线程设定退出",
                           "鼠标同步线程设定测试退出", "键盘同步线程设定退出"})
    EXPECT_GT(LineCount(line), 0u) << line;
  EXPECT_TRUE(host.Events().empty());
}

// The real backend, counting its listings and probes.
class ActivityBackend : public IHidBackend {
 public:
  explicit ActivityBackend(std::shared_ptr<IHidBackend> real) : real_(std::move(real)) {}
  bool Enumerate(std::vector<std::string>& paths) override { return ++listings, real_->Enumerate(paths); }
  bool Probe(const std::string& path) override { return ++probes, real_->Probe(path); }
  std::unique_ptr<IHidConnection> Open(const std::string& p, bool r, bool w, bool x) override { return real_->Open(p, r, w, x); }
  std::unique_ptr<IHidChangeWatch> WatchChanges() override { return real_->WatchChanges(); }

  std::atomic<int> listings{0}, probes{0};

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
  // A node that no device in sysfs stands behind is looked at once and left alone.
  ASSERT_EQ(::symlink("/nonexistent", (tree.DevRoot() + "/hidraw90").c_str()), 0);
  ASSERT_TRUE(Eventually([&] { return activity->listings > listings; }));
  Idle();
  EXPECT_TRUE(host.Events().empty());

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
  // Each arrival shows the window once (the instance message before the first scan ended).
  EXPECT_TRUE(Eventually([&] { return host.Count("show window") + host.Count("post instance") == 2; }));
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

// The removal rules: the tab taking over, the window hiding, the "all devices gone" notice.
TEST(PresenceRemovalPlan, FollowsTheRulesForEveryDeviceAndSurvivorSet) {
  constexpr int K = static_cast<int>(DeviceKind::Keyboard), M = static_cast<int>(DeviceKind::Mouse),
                P = static_cast<int>(DeviceKind::MousePad);
  // Gone; still connected: mouse, keyboard, pad; selected (-1 none), shown, notice, hidden.
  const std::tuple<DeviceKind, bool, bool, bool, int, bool, bool, bool> rows[] = {
      {DeviceKind::Mouse, false, true, true, K, true, false, false},
      {DeviceKind::Mouse, false, true, false, K, true, false, false},
      {DeviceKind::Mouse, false, false, true, P, false, false, false},
      {DeviceKind::Mouse, false, false, false, -1, false, true, false},
      {DeviceKind::Keyboard, true, false, true, M, false, false, false},
      {DeviceKind::Keyboard, false, false, true, P, false, false, false},
      {DeviceKind::Keyboard, false, false, false, -1, false, false, true},
      {DeviceKind::MousePad, true, true, false, K, false, false, false},
      {DeviceKind::MousePad, true, false, false, M, false, false, false},
      {DeviceKind::MousePad, false, false, false, -1, false, false, true},
  };
  for (const auto& [gone, mouse, keyboard, pad, select, shown, notice, hide] : rows) {
    const RemovalPlan plan = PlanRemoval(gone, mouse, keyboard, pad);
    SCOPED_TRACE(std::string(DeviceKindName(gone)) + " " + std::to_string(mouse) + std::to_string(keyboard) +
                 std::to_string(pad));
    EXPECT_EQ(plan.gone, gone);
    EXPECT_EQ(plan.select ? static_cast<int>(*plan.select) : -1, select);
    EXPECT_EQ(plan.show_selected, shown);
    EXPECT_EQ(plan.all_gone_notice, notice);
    EXPECT_EQ(plan.hide_window, hide);
  }
}

}  // namespace
}  // namespace trx::test

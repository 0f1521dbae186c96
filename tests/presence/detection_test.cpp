// The detection threads with simulated devices behind a fake hidraw tree:
// finding a device, the connect read frame by frame, the removal rules and
// the interface matching.

#include <gtest/gtest.h>

#include <cstring>

#include "presence/exit_lines.h"
#include "profile/profile_families.h"
#include "sim/report_descriptors.h"
#include "tests/presence/presence_fixture.h"

namespace trx {
namespace {

using test::PresenceTest;
using test::RecordingHost;
using test::Request;
using test::ThreadRunner;

// The ten frames of a 512-byte block transfer from `base`.
void AddBlock(std::vector<Request>& seq, int command, int base) {
  for (int i = 0; i < 9; ++i) seq.push_back({command, 56, base + 56 * i});
  seq.push_back({command, 8, base + 504});
}

using PresenceDetectionTest = PresenceTest;

// The mouse present at the start is found (past a decoy with its ids but
// the consumer collection, and another vendor's node), read frame by frame,
// saved, and the instance message is posted.
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
      test::TempHome::ReadBytes(ProfileFilePath(*FindFamily(DeviceKind::Mouse, ProfileFamily::Device), "0", true));
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
  std::lock_guard<std::recursive_mutex> image(ImageMutex());
  const MouseConfigImage& m = Images().mouse;
  EXPECT_EQ(0, std::memcmp(m.device_info, firmware->Info().data(), 33));
  EXPECT_EQ(0, std::memcmp(m.key_blocks[4], firmware->KeyMemory().data() + 504, 512));
  EXPECT_EQ(m.current[0], 3);
  EXPECT_EQ(0, std::memcmp(m.current + 1, settings.data() + 3 * 64 + 1, 33));
}

TEST_F(PresenceDetectionTest, DeviceRemovedDuringTheConnectReadLeavesTheProfileFileAsItWas) {
  const std::string path = ProfileFilePath(*FindFamily(DeviceKind::Mouse, ProfileFamily::Device), "0", true);
  std::vector<uint8_t> before = {0xAA, 0x55, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  before.resize(16 + 576, 0x3C);
  test::TempHome::WriteBytes(path, before);

  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse);
  sim::SimFaults faults;
  faults.remove_at_frame = 30;  // inside key block 1
  firmware->SetFaults(faults);
  auto mouse = Attach(firmware);
  RecordingHost host(backend);
  ThreadRunner thread(MouseDetectionThread, host);

  ASSERT_TRUE(host.WaitFor("post 0x0C05"));  // connected, then found gone
  EXPECT_EQ(host.Count("post instance"), 1u);
  EXPECT_EQ(test::TempHome::ReadBytes(path), before);
  // The frames after the removal were never answered: the read stopped
  // short of the end of transfer.
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
  // Whichever thread decides second sees no device left; the first one
  // hands over to the other's tab.
  ASSERT_TRUE(Eventually([&] { return host.Count("post 0x0C05") + host.Count("hide window") >= 1; }));
  EXPECT_EQ(host.Count("post 0x0C05") + host.Count("hide window"), 1u);
}

TEST_F(PresenceDetectionTest, WindowChangesAreMadeWithoutTheChannelLockHeld) {
  auto mouse = Attach(std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse));
  RecordingHost host(backend);
  // The UI thread takes channel locks itself: a window change made while
  // the detection thread held one could never be carried out.
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

TEST_F(PresenceDetectionTest, KeyboardReportingAnOversizedBlockGetsTheMessageAndNoBlockReads) {
  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Keyboard);
  firmware->SetInfoByte(5, 171);  // 513 bytes
  auto keyboard = Attach(firmware);
  RecordingHost host(backend);
  ThreadRunner thread(KeyboardDetectionThread, host);

  ASSERT_TRUE(host.WaitFor("message message_text_11"));
  ASSERT_TRUE(host.WaitFor("post instance"));
  const std::vector<Request> expected = {{1, 0, 0}, {3, 33, 0}, {2, 0, 0}};
  EXPECT_EQ(Requests(DeviceKind::Keyboard), expected);
  // Still connected, with its tab shown.
  EXPECT_EQ(host.Channel(DeviceKind::Keyboard).connected.load(), 1);
  EXPECT_EQ(host.Count("connected keyboard device 0 light 0 key 0 read 3"), 1u);
}

TEST_F(PresenceDetectionTest, KeyboardAtTheLargestBlockIsReadWithThatBlockSize) {
  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Keyboard, 0x8611);
  firmware->SetInfoByte(5, 170);  // 510 bytes
  auto keyboard = Attach(firmware);
  RecordingHost host(backend);
  ThreadRunner thread(KeyboardDetectionThread, host);
  ASSERT_TRUE(host.WaitFor("post instance"));

  std::vector<Request> expected = {{1, 0, 0}, {3, 33, 0}};
  for (int i = 0; i < 9; ++i) expected.push_back({7, 56, 56 * i});
  expected.push_back({7, 6, 504});
  for (int i = 0; i < 9; ++i) expected.push_back({8, 56, 56 * i});
  expected.push_back({8, 6, 504});
  // Then the keyboard's five lighting slots and its active one.
  for (int k = 0; k < 5; ++k) expected.push_back({5, 56, 64 * k});
  expected.push_back({5, 1, 0});
  expected.push_back({2, 0, 0});
  EXPECT_EQ(Requests(DeviceKind::Keyboard), expected);
  EXPECT_EQ(host.Count("message message_text_11"), 0u);
  std::lock_guard<std::recursive_mutex> image(ImageMutex());
  EXPECT_EQ(Images().keyboard.variant, KeyboardVariant::Full);  // 0x8611
  EXPECT_EQ(0, std::memcmp(Images().keyboard.main_block, firmware->MainBlock().data(), 510));
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
    EXPECT_TRUE(HasLine(line)) << line;
  EXPECT_TRUE(host.Events().empty());
}

}  // namespace
}  // namespace trx

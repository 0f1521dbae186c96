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

TEST_F(PresenceDetectionTest, MousePresentAtStartIsFoundReadAndSavedAndPostsTheInstanceMessageOnce) {
  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse);
  auto mouse = Attach(firmware);
  RecordingHost host(backend);
  ThreadRunner thread(MouseDetectionThread, host);

  ASSERT_TRUE(host.WaitFor("post instance"));
  EXPECT_EQ(host.Channel(DeviceKind::Mouse).connected.load(), 1);
  const std::vector<std::string> expected = {"routines", "connected mouse device 0 light 0 key 0 read 0",
                                             "timer 7 100", "post instance"};
  // The thread goes on after the post (the same-mode step may follow).
  const std::vector<std::string> events = host.Events();
  ASSERT_GE(events.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + static_cast<long>(expected.size())), expected);
  // The complete read saved the device profile (no index yet: named "0").
  const std::string path = ProfileFilePath(*FindFamily(DeviceKind::Mouse, ProfileFamily::Device), "0", true);
  const std::vector<uint8_t> file = test::TempHome::ReadBytes(path);
  ASSERT_EQ(file.size(), 16u + 576u);
  EXPECT_EQ(file[0], 0xAA);
  EXPECT_EQ(file[1], 0x55);
  EXPECT_EQ(file[4], 2);  // mouse
  const std::vector<uint8_t> keys = firmware->KeyMemory();
  EXPECT_TRUE(std::equal(keys.begin(), keys.begin() + 512, file.begin() + 16));

  // Gone and back: the window is asked to show, the instance message is not
  // posted again.
  mouse->Unplug();
  ASSERT_TRUE(host.WaitFor("post 0x0C05"));
  mouse.reset();
  mouse = Attach(firmware);
  ASSERT_TRUE(host.WaitFor("show window"));
  EXPECT_EQ(host.Count("post instance"), 1u);
}

TEST_F(PresenceDetectionTest, MouseConnectReadSendsTheConnectSequenceFrameByFrame) {
  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse);
  firmware->SetSettingsByte(0, 3);  // onboard profile 3 active
  auto mouse = Attach(firmware);
  RecordingHost host(backend);
  ThreadRunner thread(MouseDetectionThread, host);
  ASSERT_TRUE(host.WaitFor("post instance"));

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

TEST_F(PresenceDetectionTest, MouseGoneWithTheKeyboardPresentSelectsTheKeyboardTab) {
  auto mouse_fw = std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse);
  auto keyboard_fw = std::make_shared<sim::SimFirmware>(sim::SimKind::Keyboard);
  auto mouse = Attach(mouse_fw);
  auto keyboard = Attach(keyboard_fw);
  RecordingHost host(backend);
  ThreadRunner kb_thread(KeyboardDetectionThread, host);
  ThreadRunner ms_thread(MouseDetectionThread, host);
  ASSERT_TRUE(host.WaitFor("post instance", 2));

  const size_t mark = host.Size();
  mouse->Unplug();
  ASSERT_TRUE(host.WaitFor("select keyboard shown"));
  const std::vector<std::string> after = host.EventsFrom(mark);
  const std::vector<std::string> expected = {"left mouse", "select keyboard shown"};
  std::vector<std::string> removal;
  for (const auto& e : after)
    if (e.find("same mode") == std::string::npos) removal.push_back(e);
  EXPECT_EQ(removal, expected);
  EXPECT_EQ(host.Count("post 0x0C05"), 0u);
  EXPECT_EQ(host.Count("hide window"), 0u);

  // The keyboard goes last: its thread hides the window itself.
  keyboard->Unplug();
  ASSERT_TRUE(host.WaitFor("hide window"));
  EXPECT_EQ(host.Count("post 0x0C05"), 0u);
}

TEST_F(PresenceDetectionTest, LastDeviceGoneFollowsEachThreadsRule) {
  auto mouse_fw = std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse);
  auto pad_fw = std::make_shared<sim::SimFirmware>(sim::SimKind::MousePad);
  auto mouse = Attach(mouse_fw);
  auto pad = Attach(pad_fw);
  RecordingHost host(backend);
  ThreadRunner ms_thread(MouseDetectionThread, host);
  ThreadRunner mp_thread(MousePadDetectionThread, host);
  ASSERT_TRUE(host.WaitFor("post instance", 2));
  // Each device shows its "same mode" option while the other is there.
  ASSERT_TRUE(host.WaitFor("same mode mouse on"));
  ASSERT_TRUE(host.WaitFor("same mode pad on"));

  pad->Unplug();  // the mouse stays: its tab is selected
  ASSERT_TRUE(host.WaitFor("left pad"));
  ASSERT_TRUE(host.WaitFor("select mouse"));
  ASSERT_TRUE(host.WaitFor("same mode mouse off"));
  EXPECT_EQ(host.Count("hide window"), 0u);

  mouse->Unplug();  // the last one: the notice and the hide go through 0x0C05
  ASSERT_TRUE(host.WaitFor("post 0x0C05"));
  EXPECT_EQ(host.Count("hide window"), 0u);
  EXPECT_EQ(host.Channel(DeviceKind::Mouse).connected.load(), 0);
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

// Counts opens and closes of each path on top of the real backend.
class CountingBackend : public IHidBackend {
 public:
  explicit CountingBackend(std::shared_ptr<IHidBackend> real) : real_(std::move(real)) {}
  bool Enumerate(std::vector<std::string>& paths) override { return real_->Enumerate(paths); }
  bool Probe(const std::string& path) override { return real_->Probe(path); }
  std::unique_ptr<IHidConnection> Open(const std::string& path, bool r, bool w, bool x) override {
    auto connection = real_->Open(path, r, w, x);
    if (!connection) return nullptr;
    std::lock_guard<std::mutex> guard(mutex);
    ++opened[path];
    return std::make_unique<Counted>(std::move(connection), this, path);
  }
  int Opened(const std::string& path) {
    std::lock_guard<std::mutex> guard(mutex);
    return opened[path];
  }
  int Closed(const std::string& path) {
    std::lock_guard<std::mutex> guard(mutex);
    return closed[path];
  }

 private:
  class Counted : public IHidConnection {
   public:
    Counted(std::unique_ptr<IHidConnection> inner, CountingBackend* owner, std::string path)
        : inner_(std::move(inner)), owner_(owner), path_(std::move(path)) {}
    ~Counted() override {
      std::lock_guard<std::mutex> guard(owner_->mutex);
      ++owner_->closed[path_];
    }
    HidAttributes Attributes() const override { return inner_->Attributes(); }
    const std::vector<uint8_t>& ReportDescriptor() const override { return inner_->ReportDescriptor(); }
    int TopLevelCollection() const override { return inner_->TopLevelCollection(); }
    HidIo Read(uint8_t* b, size_t l, int t, CEvent& s, size_t& g) override { return inner_->Read(b, l, t, s, g); }
    HidIo Write(const uint8_t* b, size_t l, int t, CEvent& s, size_t& p) override { return inner_->Write(b, l, t, s, p); }
    size_t DrainInput() override { return inner_->DrainInput(); }

   private:
    std::unique_ptr<IHidConnection> inner_;
    CountingBackend* owner_;
    std::string path_;
  };

  std::shared_ptr<IHidBackend> real_;
  std::mutex mutex;
  std::map<std::string, int> opened;
  std::map<std::string, int> closed;
};

TEST_F(PresenceDetectionTest, InterfaceWithTheVendorIdButAnotherCollectionIsOpenedRejectedAndClosed) {
  // Listed first: the mouse's ids, but the consumer collection.
  const int decoy = tree.AddInterface(0x0C45, 0x652C, sim::ConsumerReportDescriptor()).index;
  ASSERT_GE(decoy, 0);
  auto mouse = Attach(std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse));
  auto counting = std::make_shared<CountingBackend>(backend);
  RecordingHost host(counting);
  ThreadRunner thread(MouseDetectionThread, host);
  ASSERT_TRUE(host.WaitFor("post instance"));

  const std::string decoy_path = tree.PathOf(decoy);
  EXPECT_EQ(counting->Opened(decoy_path), 1);
  EXPECT_EQ(counting->Closed(decoy_path), 1);
  EXPECT_EQ(host.Channel(DeviceKind::Mouse).transport.device_path, tree.PathOf(mouse->VendorIndex()));
}

TEST_F(PresenceDetectionTest, OtherVendorsAreNeitherOpenedNorTaken) {
  const int other = tree.AddInterface(0x046D, 0x652C, sim::VendorReportDescriptor()).index;
  ASSERT_GE(other, 0);
  auto counting = std::make_shared<CountingBackend>(backend);
  RecordingHost host(counting);
  {
    ThreadRunner thread(MouseDetectionThread, host);
    // The other vendor's interface is listed on every scan until the mouse
    // appears.
    auto mouse = Attach(std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse));
    ASSERT_TRUE(host.WaitFor("routines"));
    ASSERT_TRUE(host.WaitFor("timer 7 100"));
  }
  EXPECT_EQ(counting->Opened(tree.PathOf(other)), 0);
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
  EXPECT_TRUE(HasLine("键盘设备侦测线程设定退出"));
  EXPECT_TRUE(HasLine("鼠标设备侦测线程设定退出"));
  EXPECT_TRUE(HasLine("鼠标垫设备侦测线程设定退出"));
  EXPECT_TRUE(HasLine("鼠标同步线程设定测试退出"));
  EXPECT_TRUE(HasLine("键盘同步线程设定退出"));
  EXPECT_TRUE(host.Events().empty());
}

}  // namespace
}  // namespace trx

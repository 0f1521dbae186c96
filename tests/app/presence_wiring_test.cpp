// The presence threads wired into the main window on simulated devices.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "app/app_messages.h"
#include "pages/mouse_performance_page.h"
#include "platform/desktop_pointer/desktop_pointer.h"
#include "platform/program_folder.h"
#include "profile/init_profiles.h"
#include "profile/profile_families.h"
#include "profile/profile_file.h"
#include "sim/sim_backend.h"
#include "tests/app/app_test_support.h"
#include "tests/support/wait.h"
#include "ui/core/combo.h"
#include "ui/core/container.h"
#include "ui/core/option.h"
#include "ui/window/win_api.h"

namespace trx::app::testing {
namespace {

class PresenceWiringTest : public MainWndTest {
 protected:
  int Page() { return dynamic_cast<CTabLayoutUI*>(Find("tab_switch"))->GetCurSel(); }

  std::shared_ptr<sim::SimBackend> backend = std::make_shared<sim::SimBackend>();
};

TEST_F(PresenceWiringTest, MouseArrivalShowsTheWindowOnItsTabAndItsDepartureHidesIt) {
  const int mouse = backend->AddDevice(std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse));
  CreateWindow({.backend = backend}, /*presence=*/true);
  for (auto worker : {kWorkerMousePresence, kWorkerKeyboardSync, kWorkerMouseLight, kWorkerLightSync})
    EXPECT_TRUE(window->Workers().IsStarted(worker)) << worker;
  EXPECT_FALSE(window->Workers().IsStarted(kWorkerMpLightLink));  // program links: no body yet

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

// A desktop whose wheel scrolls 7 lines.
class SevenLinesDesktop : public desktop::CNoDesktopPointer {
  bool HasWheelLines() override { return true; }
  desktop::DesktopResult GetWheelLines(int* lines) override { return *lines = 7, desktop::DesktopResult::Ok; }
};

// The first start's profile creation without a window.
struct ProfilesOnly : IProfileLists, IProfileMessages {
  void AddItem(DeviceKind, ProfileFamily, std::string_view, int) override {}
  int ItemCount(DeviceKind, ProfileFamily) const override { return 1; }
  int ShowMessage(std::string_view) override { return 0; }
};

// A first start: each profile made from the defaults takes what its device
// holds (settings record 0 or key block 0), and the arrivals write nothing,
// to the devices or to the desktop; the same when the devices first come on
// a later start.
class FirstStartTest : public PresenceWiringTest {
 protected:
  ~FirstStartTest() override { desktop::SetDesktopPointer(nullptr); }  // after the window's TearDown
  void Start(bool later) {
    desktop::SetDesktopPointer(&desktop_);
    SetProgramFolderOverride("");  // the build tree's default profiles
    CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource("res.xml"));
    if (later) {  // the first start, without devices, made the profiles
      ProfilesOnly first;
      for (DeviceKind kind : {DeviceKind::Mouse, DeviceKind::Keyboard, DeviceKind::MousePad})
        ASSERT_TRUE(InitProfiles(kind, first, first));
    }
    // Device, family, where in the profile's data, key block (else settings), bytes.
    struct Row { int sim; DeviceKind kind; ProfileFamily family; size_t at; bool key_block; size_t length; };
    const Row rows[] = {
        {0, DeviceKind::Mouse, ProfileFamily::Device, 0, true, 512},
        {0, DeviceKind::Mouse, ProfileFamily::Device, 512, false, 34},  // the current record
        {0, DeviceKind::Mouse, ProfileFamily::Light, 0, false, 34},
        {0, DeviceKind::Mouse, ProfileFamily::Key, 0, true, 512},
        {1, DeviceKind::Keyboard, ProfileFamily::Light, 0, false, 56},
        {1, DeviceKind::Keyboard, ProfileFamily::Key, 0, true, 378},
        {2, DeviceKind::MousePad, ProfileFamily::Light, 0, false, 56},
    };
    backend = sim::SimBackend::WithStandardDevices();  // mouse 0, keyboard 1, pad 2
    std::vector<std::vector<uint8_t>> memory;
    for (int i = 0; i < 3; ++i) memory.push_back(backend->Firmware(i)->SaveMemory());
    CreateWindow({.backend = backend}, /*presence=*/true);
    ASSERT_TRUE(PumpUntil([&] {
      for (const char* name : {"ms_device_profile_combo", "kb_deng_profile_combo", "kb_key_profile_combo", "mp_deng_profile_combo"})
        if (dynamic_cast<CComboUI*>(Find(name))->GetCurSel() != 0) return false;
      return window->Pages().MousePerformance().PointerSettingsKnown();
    }));
    for (int tick = 0; tick <= 10; ++tick) {  // the timed sends, had anything been marked
      ASSERT_TRUE(PumpUntil([&] {
        return !window->Queue(DeviceKind::Mouse).Busy() && !window->Queue(DeviceKind::Keyboard).Busy() &&
               !window->Queue(DeviceKind::MousePad).Busy();
      }));
      queue().AdvanceTime(100);
    }
    for (int i = 0; i < 3; ++i) EXPECT_EQ(backend->Firmware(i)->SaveMemory(), memory[i]) << "device " << i;
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(DeviceKindName(row.kind)) + " family " + std::to_string(static_cast<int>(row.family)));
      const ProfileFamilyInfo* info = FindFamily(row.kind, row.family);
      std::vector<uint8_t> data(info->data_size, 0);
      ASSERT_EQ(ReadProfileFile(ProfileFilePath(*info, "profile1", false), data.size(), data.data()), kProfileReadOk);
      const std::vector<uint8_t> held = row.key_block ? backend->Firmware(row.sim)->KeyMemory() : backend->Firmware(row.sim)->Settings();
      EXPECT_TRUE(std::equal(held.begin(), held.begin() + static_cast<long>(row.length), data.begin() + static_cast<long>(row.at)));
    }
    EXPECT_EQ(Find("ms_gunlun_speed_edit")->GetText(), "7");  // the desktop's own: the default was not applied
    window->DestroyWindow();
  }
  SevenLinesDesktop desktop_;
};

TEST_F(FirstStartTest, FillsTheNewProfilesFromTheDevicesAndWritesNothing) { Start(false); }
TEST_F(FirstStartTest, DevicesFirstPluggedInOnALaterStartAreTreatedTheSame) { Start(true); }

TEST_F(PresenceWiringTest, ClosingWhileDevicesConnectStopsEveryThread) {
  backend = sim::SimBackend::WithStandardDevices();
  CreateWindow({.backend = backend, .stop_timeout_ms = 10000}, /*presence=*/true);
  // Close at once, while the connect reads and their sent calls are under way.
  window->DestroyWindow();
  EXPECT_EQ(window->Workers().RunningCount(), 0);
  EXPECT_FALSE(IsWindow(window->GetHWND()));
}

TEST_F(PresenceWiringTest, ClosingWhileASilentDeviceIsReadEndsBetweenExchangesWithinTheBound) {
  // The mouse takes every request and never answers: its connect read
  // alone would cost about 20 s (17 exchanges x 4 attempts x 300 ms).
  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse);
  sim::SimFaults faults;
  faults.no_reply = 1000000;
  firmware->SetFaults(faults);
  backend->AddDevice(firmware);
  CreateWindow({.backend = backend}, /*presence=*/true);
  ASSERT_TRUE(PumpUntil([&] { return firmware->RequestCount() >= 2; }));  // the read is under way

  test::DebugCapture debug;
  window->DestroyWindow();
  EXPECT_GT(debug.Count(kDebugAllEnded), 0u);  // every worker ended inside the 10 s bound: none was let go
  EXPECT_EQ(window->Workers().RunningCount(), 0);
}

// Wraps the simulator: a read on a writable (vendor) handle blocks,
// ignoring its time limit and the stop event, until released, as a
// transfer stuck in a driver would. Records when a handle whose read was
// held is closed.
class StuckReadBackend : public IHidBackend {
 public:
  struct Shared {
    Gate gate{std::chrono::minutes(1)};  // the reads wait on it
    std::atomic<bool> handle_closed{false};
  };

  explicit StuckReadBackend(std::shared_ptr<sim::SimBackend> inner) : inner_(std::move(inner)) {}
  bool Enumerate(std::vector<std::string>& paths) override { return inner_->Enumerate(paths); }
  bool Probe(const std::string& path) override { return inner_->Probe(path); }
  std::unique_ptr<IHidConnection> Open(const std::string& path, bool want_read, bool want_write,
                                       bool exclusive) override {
    auto conn = inner_->Open(path, want_read, want_write, exclusive);
    if (!conn || !want_write) return conn;
    return std::make_unique<Connection>(std::move(conn), shared);
  }

  std::shared_ptr<Shared> shared = std::make_shared<Shared>();

 private:
  class Connection : public IHidConnection {
   public:
    Connection(std::unique_ptr<IHidConnection> inner, std::shared_ptr<Shared> shared)
        : inner_(std::move(inner)), shared_(std::move(shared)) {}
    ~Connection() override {
      if (read_) shared_->handle_closed = true;
    }
    HidAttributes Attributes() const override { return inner_->Attributes(); }
    const std::vector<uint8_t>& ReportDescriptor() const override { return inner_->ReportDescriptor(); }
    int TopLevelCollection() const override { return inner_->TopLevelCollection(); }
    HidIo Read(uint8_t* buf, size_t len, int timeout_ms, CEvent& stop, size_t& got) override {
      read_ = true;
      shared_->gate.Wait();
      return inner_->Read(buf, len, timeout_ms, stop, got);
    }
    HidIo Write(const uint8_t* buf, size_t len, int timeout_ms, CEvent& stop, size_t& put) override {
      return inner_->Write(buf, len, timeout_ms, stop, put);
    }
    size_t DrainInput() override { return inner_->DrainInput(); }

   private:
    std::unique_ptr<IHidConnection> inner_;
    std::shared_ptr<Shared> shared_;
    std::atomic<bool> read_{false};  // this handle's reads were held
  };
  std::shared_ptr<sim::SimBackend> inner_;
};

TEST_F(PresenceWiringTest, WindowDestroyedWhileAWorkerIsStuckInsideATransferFreesNothingItUses) {
  backend->AddDevice(std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse));
  auto stuck = std::make_shared<StuckReadBackend>(backend);
  CreateWindow({.backend = stuck, .stop_timeout_ms = 100}, /*presence=*/true);
  ASSERT_TRUE(PumpUntil([&] { return !stuck->shared->gate.Threads().empty(); }));  // the mouse thread waits inside an exchange

  window->DestroyWindow();
  EXPECT_GE(window->Workers().RunningCount(), 1);  // the stuck one is let go after the bounded wait
  window.reset();                                  // the window and what it owns alone go now

  // The worker comes back into its exchange, finishes its connect read and
  // leaves; its channel (with lock and transport) must still be there.
  stuck->shared->gate.Open();
  // Released with the worker's last reference.
  EXPECT_TRUE(test::Eventually([&] { return stuck->shared->handle_closed.load(); }, std::chrono::seconds(30)));
}

}  // namespace
}  // namespace trx::app::testing

// The progress ring during a save to a simulated mouse, each step checked
// against the device's memory.

#include <gtest/gtest.h>

#include <semaphore>

#include "settings/key_block_upload.h"
#include "tests/app/app_test_support.h"
#include "ui/core/circle_progress.h"

namespace trx::app::testing {
namespace {

// Forwards to the window's reporter, then waits until the test has looked
// at the ring, so every step can be seen on the UI thread.
class SteppedReporter : public IProgressReporter {
 public:
  SteppedReporter(IProgressReporter& inner, std::counting_semaphore<>& go) : inner_(inner), go_(go) {}
  void Begin(int total) override {
    inner_.Begin(total);
    go_.acquire();
  }
  void Advance(int done) override {
    inner_.Advance(done);
    go_.acquire();
  }
  bool StopRequested() const override { return inner_.StopRequested(); }

 private:
  IProgressReporter& inner_;
  std::counting_semaphore<>& go_;
};

class DeviceProgressTest : public SimWindowTest {
 protected:
  void SetUp() override {
    SimWindowTest::SetUp();
    {
      std::lock_guard<std::recursive_mutex> lock(ImageMutex());
      for (int k = 0; k < kOnboardProfileCount; ++k)
        for (size_t i = 0; i < kKeyBlockSize; ++i) Images().mouse.key_blocks[k][i] = static_cast<uint8_t>(k * 40 + i);
    }
    // The real layout, and a mouse device profile to select.
    CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource("res.xml"));
    test::TempHome::WriteBytes(home_.Path("program/msdevicedefault.config"),
                               test::TempHome::ReadBytes(TRX770_TEST_DATA_DIR "/profile/mouse_device.config"));
    CreateOnSimulatedDevices(/*backup=*/true);
    ring = dynamic_cast<ui::CCircleProgressUI*>(Find("setting_progress"));
    ASSERT_NE(ring, nullptr);  // made by the window's creation hook
  }
  void TearDown() override {
    go.release(100);  // never leave the worker waiting
    SimWindowTest::TearDown();
  }
  bool BlockOnDevice(int k) {
    const std::vector<uint8_t> memory = backend->Firmware(0)->KeyMemory();
    for (size_t i = 0; i < kKeyBlockSize; ++i)
      if (memory.at(k * 126 + i) != static_cast<uint8_t>(k * 40 + i)) return false;
    return true;
  }

  ui::CCircleProgressUI* ring = nullptr;
  std::counting_semaphore<> go{0};
};

TEST_F(DeviceProgressTest, SaveStartsAdvancesAndEnds) {
  EXPECT_FALSE(ring->IsVisible());
  ASSERT_TRUE(window->RunDeviceOperation([this](IProgressReporter& progress) {
    SteppedReporter stepped(progress, go);
    return UploadMouseKeyBlocks(window->Channel(DeviceKind::Mouse), stepped);
  }));
  // Shown at 0 before the worker has reported anything.
  EXPECT_TRUE(ring->IsVisible());
  EXPECT_EQ(ring->GetValue(), 0);
  EXPECT_EQ(ring->GetText(), "0%");
  EXPECT_TRUE(window->DeviceOperationBusy());

  // Advances: Begin, Begin transfer, the five key blocks, End transfer.
  const char* texts[] = {"0%", "14%", "28%", "42%", "57%", "71%", "85%", "100%"};
  for (int step = 0; step <= kKeyBlockUploadSteps; ++step) {
    queue().RunUntil([&] { return ring->GetMaxValue() == kKeyBlockUploadSteps && ring->GetValue() == step; });
    SCOPED_TRACE(step);
    EXPECT_TRUE(ring->IsVisible());
    EXPECT_EQ(ring->GetText(), texts[step]);
    EXPECT_EQ(ring->SweepDegrees(), step * 360 / kKeyBlockUploadSteps);
    // Key block k is on the device once step k + 2 is shown.
    if (step >= 2 && step <= 6) { EXPECT_TRUE(BlockOnDevice(step - 2)); }
    if (step >= 1 && step <= 5) { EXPECT_FALSE(BlockOnDevice(step - 1)); }
    go.release();
  }

  queue().RunUntil([&] { return !window->DeviceOperationBusy(); });
  EXPECT_EQ(ring->GetValue(), ring->GetMaxValue());
  queue().AdvanceTime(999);
  EXPECT_TRUE(ring->IsVisible());
  queue().AdvanceTime(1);
  EXPECT_FALSE(ring->IsVisible());
}

TEST_F(DeviceProgressTest, FailedSaveHidesTheRingWithoutCompletingIt) {
  window->Channel(DeviceKind::Mouse).connected = 0;  // nothing is sent: result 0
  go.release(100);
  ASSERT_TRUE(window->RunDeviceOperation([this](IProgressReporter& progress) {
    return UploadMouseKeyBlocks(window->Channel(DeviceKind::Mouse), progress);
  }));
  queue().RunUntil([&] { return !window->DeviceOperationBusy(); });
  EXPECT_TRUE(ring->IsVisible());
  EXPECT_LT(ring->GetValue(), ring->GetMaxValue());
  queue().AdvanceTime(1000);
  EXPECT_FALSE(ring->IsVisible());
}

// The ring is for what the user started: the selects of a device's arrival
// (its stored profiles put back) run without it, where they showed it full
// at the window's first paint.
TEST_F(DeviceProgressTest, OnlyTheUsersProfileSelectShowsTheRing) {
  for (bool users : {false, true}) {
    if (users) Notify("ms_device_profile_combo", "itemselect");
    else window->OnDeviceConnected(DeviceKind::Mouse, {});
    EXPECT_EQ(ring->IsVisible(), users);
    // Polled: the worker clears Busy after its last post, which wakes no one.
    ASSERT_TRUE(PumpUntil([&] { return !window->Queue(DeviceKind::Mouse).Busy(); }));
    queue().AdvanceTime(1000);
  }
}

}  // namespace
}  // namespace trx::app::testing

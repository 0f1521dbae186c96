// Onboard profile switches against the simulated mouse; the closing profile saves.

#include "settings/onboard_profile.h"

#include <gtest/gtest.h>

#include <cstring>

#include "settings/config_images.h"
#include "settings/record_apply.h"
#include "settings/settings_host.h"
#include "tests/device/protocol_sim_fixture.h"

namespace trx {
namespace {

using test::FrameKey;
using test::KeyOf;

class RecordingHost : public ISettingsHost {
 public:
  void MarkSettingsPending(DeviceKind kind) override { calls.push_back(kind == DeviceKind::Mouse ? "pending ms" : "pending"); }
  void HideMouseFunctionPanel() override { calls.push_back("hide"); }
  void RefreshMousePages() override { calls.push_back("refresh"); }
  std::vector<std::string> calls;
};

class OnboardSwitchTest : public test::SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    ResetImagesToBuiltIn();
    SetSettingsHost(&host_);
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    MouseConfigImage& m = Images().mouse;
    for (int k = 0; k < 5; ++k) std::memset(m.settings[k], 0x10 * (k + 1), 64);
    for (int i = 0; i < 34; ++i) m.current[i] = static_cast<uint8_t>(0xA0 + i);
    m.current[0] = 0;
  }
  void TearDown() override {
    SetSettingsHost(nullptr);
    ResetImagesToBuiltIn();
    SimChannelTest::TearDown();
  }
  MouseConfigImage Mouse() { return WithImage([](ConfigImages& im) { return im.mouse; }); }
  std::vector<FrameKey> Sent() {
    std::vector<FrameKey> keys;
    for (auto& f : Frames('>')) keys.push_back(KeyOf(f));
    return keys;
  }
  RecordingHost host_;
};

TEST_F(OnboardSwitchTest, SwitchStoresCurrentWritesIndexReadsSlotAndRefreshes) {
  firmware->SetSettingsByte(0, 0);
  for (size_t i = 0; i < 56; ++i) firmware->SetSettingsByte(3 * 64 + i, static_cast<uint8_t>(0x30 + i));

  ASSERT_EQ(SwitchOnboardProfile(*channel, 3), kSwitchDone);

  EXPECT_EQ(Sent(), (std::vector<FrameKey>{{5, 1, 0}, {6, 1, 0}, {5, 56, 192}}));
  EXPECT_EQ(firmware->Settings()[0], 3);
  MouseConfigImage m = Mouse();
  EXPECT_EQ(m.settings[0][1], 0xA1);  // the old current record went into slot 0
  EXPECT_EQ(m.settings[0][33], 0xA0 + 33);
  EXPECT_EQ(m.settings[0][34], 0x10);  // bytes past the current record untouched
  EXPECT_EQ(m.settings[3][0], 0x30);   // slot 3 as read
  EXPECT_EQ(m.settings[3][55], 0x30 + 55);
  EXPECT_EQ(m.settings[3][56], 0x40);  // slot padding is not exchanged
  EXPECT_EQ(m.ProfileIndex(), 3);
  EXPECT_EQ(m.current[1], 0x31);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"hide", "refresh"}));
}

// A switch that does not happen changes nothing; at most the active index was read.
TEST_F(OnboardSwitchTest, ASwitchThatDoesNotHappenChangesNothing) {
  // `device_index`: the active index on the device; -1: its read is refused.
  struct Case { const char* what; int device_index; bool connected; int k; OnboardSwitchResult result; size_t frames; };
  const Case cases[] = {
      {"already active", 2, true, 2, kSwitchAlreadyActive, 1},
      {"index unreadable", -1, true, 1, OnboardSwitchResult::StatusFF, 1},
      {"device index outside the slots", 7, true, 1, kSwitchDeviceIndexInvalid, 1},
      {"requested above the slots", 0, true, 5, kSwitchBadIndex, 0},
      {"requested below the slots", 0, true, -1, kSwitchBadIndex, 0},
      {"mouse disconnected", 0, false, 1, OnboardSwitchResult::NoReply, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    trace.clear();
    firmware->SetSettingsByte(0, static_cast<uint8_t>(c.device_index < 0 ? 0 : c.device_index));
    Inject({.status_count = c.device_index < 0 ? 1 : 0});  // the index read refused
    channel->connected = c.connected ? 1 : 0;
    const MouseConfigImage before = Mouse();
    EXPECT_EQ(SwitchOnboardProfile(*channel, c.k), c.result);
    EXPECT_EQ(Sent(), std::vector<FrameKey>(c.frames, FrameKey{5, 1, 0}));
    EXPECT_EQ(firmware->Settings()[0], c.device_index < 0 ? 0 : c.device_index);
    const MouseConfigImage after = Mouse();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    EXPECT_TRUE(host_.calls.empty());
  }
  // The timed apply of the current record to the mouse gone in the last case.
  EXPECT_EQ(SendCurrentRecord(*channel), kResultNoReply);
  EXPECT_TRUE(Frames('>').empty());
}

class RecordingSaver : public IProfileSaver {
 public:
  ProfileSaveResult SaveCurrentProfile(DeviceKind kind, ProfileFamily family) override {
    calls.push_back({kind, family});
    return results.empty() ? ProfileSaveResult::Saved : results[calls.size() - 1];
  }
  std::vector<std::pair<DeviceKind, ProfileFamily>> calls;
  std::vector<ProfileSaveResult> results;
};

TEST(SaveLightAndDeviceProfileTest, SavesLightThenDeviceAndReportsTheFirstFailure) {
  RecordingSaver saver;
  SetProfileSaver(&saver);
  EXPECT_EQ(SaveLightAndDeviceProfile(), ProfileSaveResult::Saved);
  using P = std::pair<DeviceKind, ProfileFamily>;
  EXPECT_EQ(saver.calls, (std::vector<P>{{DeviceKind::Mouse, ProfileFamily::Light},
                                         {DeviceKind::Mouse, ProfileFamily::Device}}));
  saver.calls.clear();
  saver.results = {ProfileSaveResult::Saved, ProfileSaveResult::Failed};
  EXPECT_EQ(SaveLightAndDeviceProfile(), ProfileSaveResult::Failed);
  EXPECT_EQ(saver.calls.size(), 2u);  // a failed save doesn't skip the other
  SetProfileSaver(nullptr);
  EXPECT_EQ(SaveLightAndDeviceProfile(), ProfileSaveResult::Saved);
}

}  // namespace
}  // namespace trx

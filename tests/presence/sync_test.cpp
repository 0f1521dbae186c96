// The synchronisation threads: only the device's notifications lead to re-reads.

#include <gtest/gtest.h>

#include <tuple>

#include "presence/presence_messages.h"
#include "profile/profile_families.h"
#include "tests/presence/presence_fixture.h"

namespace trx::test {
namespace {

class PresenceSyncTest : public PresenceTest {
 protected:
  // Connects the device through its detection thread, then starts its sync thread.
  void Start(sim::SimKind kind) {
    firmware = std::make_shared<sim::SimFirmware>(kind);
    attachment = Attach(firmware);
    host = std::make_unique<RecordingHost>(backend);
    const bool mouse = kind == sim::SimKind::Mouse;
    detection = std::make_unique<ThreadRunner>(mouse ? MouseDetectionThread : KeyboardDetectionThread, *host);
    ASSERT_TRUE(host->WaitFor("post instance"));
    sync = std::make_unique<ThreadRunner>(mouse ? MouseSyncThread : KeyboardSyncThread, *host, backend);
  }
  void TearDown() override {
    sync.reset();
    detection.reset();
    attachment.reset();
    PresenceTest::TearDown();
  }
  std::shared_ptr<sim::SimFirmware> firmware;
  std::unique_ptr<sim::HidrawSimAttachment> attachment;
  std::unique_ptr<RecordingHost> host;
  std::unique_ptr<ThreadRunner> detection;
  std::unique_ptr<ThreadRunner> sync;

  // The window messages and lighting refreshes asked for since event `mark`.
  std::vector<std::string> SyncEvents(size_t mark) {
    std::vector<std::string> all = host->Events(), events;
    for (size_t i = mark; i < all.size(); ++i)
      if (all[i].rfind("send", 0) == 0 || all[i] == "lighting refresh") events.push_back(all[i]);
    return events;
  }
};

// The profile button re-reads the active record, the DPI button the whole device, also after a replug.
TEST_F(PresenceSyncTest, MouseButtonsRereadWhatTheyChangedAlsoAfterAReplug) {
  Start(sim::SimKind::Mouse);
  firmware->SetSettingsByte(2 * 64 + 2, 77);  // brightness of record 2
  ClearTrace();
  firmware->PressProfileButton();  // 0 -> 1, usage 0x401
  ASSERT_TRUE(host->WaitFor("send 0x0902"));
  firmware->PressProfileButton();  // 1 -> 2
  ASSERT_TRUE(host->WaitFor("send 0x0902", 2));
  const std::vector<Request> both = {{5, 1, 0}, {5, 56, 64}, {5, 1, 0}, {5, 56, 128}};
  EXPECT_EQ(Requests(DeviceKind::Mouse), both);
  EXPECT_EQ(host->Count("refresh mouse"), 2u);  // the two re-reads (the connect has its own event)
  const MouseConfigImage m = WithImage([](ConfigImages& i) { return i.mouse; });
  EXPECT_EQ(m.current[0], 2);
  EXPECT_EQ(m.current[2], 77);
  EXPECT_EQ(m.settings[2][2], 77);

  ClearTrace();
  const uint8_t level_before = firmware->Settings()[2 * 64 + 19];
  firmware->PressDpiButton();  // usage 0x402
  ASSERT_TRUE(host->WaitFor("send 0x0901"));
  const std::vector<Request> sent = Requests(DeviceKind::Mouse);
  ASSERT_EQ(sent.size(), 69u);  // the whole connect read again
  EXPECT_EQ(sent.front(), (Request{1, 0, 0}));
  EXPECT_EQ(sent.back(), (Request{2, 0, 0}));
  EXPECT_EQ(WithImage([](ConfigImages& i) { return i.mouse.current[19]; }), (level_before + 1) % 4);

  attachment->Unplug();
  ASSERT_TRUE(host->WaitFor("post 0x0C05"));
  attachment.reset();  // the old attachment lets go of the firmware first
  attachment = Attach(firmware);
  ASSERT_TRUE(host->WaitFor("show window"));
  firmware->PressProfileButton();
  ASSERT_TRUE(host->WaitFor("send 0x0902", 3));
}

// Each kind's notifications send its window messages (the mouse's lighting
// usage a refresh; unknown usages, and lighting on the keyboard, nothing); a
// thread stopped while listening writes its exit line once.
TEST_F(PresenceSyncTest, NotificationsSendTheirMessagesAndAStopWritesTheExitLineOnce) {
  // Kind, usages (0x401 and 0x402 by the device's buttons), messages, exit line.
  const std::tuple<sim::SimKind, std::vector<uint16_t>, std::vector<std::string>, const char*> rows[] = {
      {sim::SimKind::Mouse, {0x404, 0x400, 0x403, 0x401}, {"lighting refresh", "send 0x0902"}, "鼠标同步线程设定测试退出"},
      {sim::SimKind::Keyboard, {0x403, 0x401, 0x402}, {"send 0x0B02", "send 0x0B01"}, "键盘同步线程设定退出"},
  };
  for (const auto& [kind, usages, sent, exit_line] : rows) {
    SCOPED_TRACE(exit_line);
    Start(kind);
    const size_t mark = host->Events().size();
    for (uint16_t u : usages) u == 0x401 ? firmware->PressProfileButton() : u == 0x402 ? firmware->PressDpiButton() : firmware->Notify(u);
    ASSERT_TRUE(host->WaitFor(sent.back()));
    EXPECT_EQ(SyncEvents(mark), sent);
    if (kind == sim::SimKind::Keyboard) { EXPECT_EQ(WithImage([](ConfigImages& i) { return i.keyboard.current_record[0]; }), 1); }
    sync->Stop();
    EXPECT_EQ(LineCount(exit_line), 1u);
    sync.reset();
    detection.reset();
    attachment.reset();
  }
}

// The read messages handled directly, as the main window does.
using PresenceReadMessageTest = PresenceTest;

TEST_F(PresenceReadMessageTest, PadMessagesReadThePadAndRefreshItsPage) {
  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::MousePad);
  firmware->SetSettingsByte(0, 4);
  firmware->SetSettingsByte(4 * 64 + 6, 0xC8);  // colour red of record 4
  auto pad = Attach(firmware);
  RecordingHost host(backend);
  {
    ThreadRunner detection(MousePadDetectionThread, host);
    ASSERT_TRUE(host.WaitFor("post instance"));
  }
  std::vector<Request> expected = {{1, 0, 0}, {3, 33, 0}};
  AddLightingSlots(expected);
  expected.push_back({2, 0, 0});
  EXPECT_EQ(Requests(DeviceKind::MousePad), expected);
  MousePadImage pad_image = WithImage([](ConfigImages& i) { return i.pad; });
  EXPECT_EQ(pad_image.current_record[0], 4);
  EXPECT_EQ(pad_image.current_record[6], 0xC8);

  ClearTrace();
  firmware->SetSettingsByte(0, 1);
  ASSERT_TRUE(HandlePresenceMessage(host, kMsgPadProfileChanged));
  EXPECT_EQ(Requests(DeviceKind::MousePad), (std::vector<Request>{{5, 1, 0}, {5, 56, 64}}));
  EXPECT_EQ(host.Count("refresh pad"), 1u);
  pad_image = WithImage([](ConfigImages& i) { return i.pad; });
  EXPECT_EQ(pad_image.current_record[0], 1);
  EXPECT_EQ(pad_image.lighting_records[4][6], 0xC8);  // the old current record went back to its slot

  // A refused command keeps the rest of the read but saves no file.
  const std::string path = ProfileFilePath(*FindFamily(DeviceKind::MousePad, ProfileFamily::Light), "0", true);
  std::vector<uint8_t> marker = {0xAA, 0x55, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  marker.resize(16 + 64, 0x5A);
  TempHome::WriteBytes(path, marker);

  firmware->SetSettingsByte(3 * 64 + 7, 0x21);  // record 3 changed on the device
  firmware->SetFaults({.status_count = 1, .status = sim::kStatusOutOfRange});  // Begin transfer is refused
  ASSERT_TRUE(HandlePresenceMessage(host, kMsgPadReadAll));

  EXPECT_EQ(WithImage([](ConfigImages& i) { return i.pad.lighting_records[3][7]; }), 0x21);  // the rest of the read landed
  EXPECT_EQ(TempHome::ReadBytes(path), marker);    // but no file from a partial read
}

// The key capture writes the layout's default key file; without a keyboard, nothing.
TEST_F(PresenceReadMessageTest, KeyCaptureWritesTheDefaultKeyFileOfTheLayout) {
  RecordingHost host(backend);
  EXPECT_FALSE(HandlePresenceMessage(host, 0x0C05));  // not a read message
  EXPECT_FALSE(HandlePresenceMessage(host, 0x0903));
  EXPECT_TRUE(host.Events().empty());
  ASSERT_TRUE(HandlePresenceMessage(host, kMsgKeyboardCaptureKeys));  // never connected
  EXPECT_FALSE(std::filesystem::exists(home.Path("program/kbkey15default.pro")));
  EXPECT_FALSE(std::filesystem::exists(home.Path("program/kbkeydefault.pro")));

  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Keyboard);  // 0x6556: variant 1
  auto keyboard = Attach(firmware);
  ThreadRunner detection(KeyboardDetectionThread, host);
  ASSERT_TRUE(host.WaitFor("post instance"));

  ASSERT_TRUE(HandlePresenceMessage(host, kMsgKeyboardCaptureKeys));
  const std::vector<uint8_t> file = TempHome::ReadBytes(home.Path("program/kbkey15default.pro"));
  ASSERT_EQ(file.size(), 16u + 512u);
  EXPECT_EQ(file[0], 0xAA);
  EXPECT_EQ(file[4], 1);  // keyboard
  const std::vector<uint8_t> main_block = firmware->MainBlock();  // 378 bytes
  EXPECT_TRUE(std::equal(main_block.begin(), main_block.end(), file.begin() + 16));
}

}  // namespace
}  // namespace trx::test

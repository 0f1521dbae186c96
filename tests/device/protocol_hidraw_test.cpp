// The exchange through the real hidraw backend: a simulated mouse behind a
// fake hidraw tree (pty nodes), found by enumeration.
#include <gtest/gtest.h>

#include <vector>

#include "device/commands.h"
#include "device/hidraw_backend.h"
#include "sim/connect_read.h"
#include "sim/hidraw_attach.h"
#include "sim/hidraw_fake_tree.h"

namespace trx {
namespace {

TEST(ProtocolThroughHidraw, LostRepliesAreRetriedAndAVanishingDeviceIsNotWaitedFor) {
  FakeHidrawTree tree;
  ASSERT_TRUE(tree.Valid());
  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse);
  sim::HidrawSimAttachment attachment(tree, firmware);
  ASSERT_TRUE(attachment.Valid());
  CDeviceChannel channel(DeviceKind::Mouse, tree.MakeBackend());
  channel.SetIdentity(0x0C45, 0x652C, 0xFF1C, 0x92);
  channel.reply_timeout_ms = 100;  // short, yet long enough for a loaded machine
  ASSERT_EQ(sim::ConnectMatchingInterface(channel), 1);

  sim::SimFaults f;
  f.no_reply = 2;
  firmware->SetFaults(f);
  uint8_t record[56] = {};
  EXPECT_EQ(ReadSettingsBytes(channel, 128, record, sizeof record), kResultOk);
  EXPECT_EQ(record[0], 2);
  ASSERT_EQ(firmware->RequestCount(), 3u);
  EXPECT_EQ(firmware->Requests()[0], firmware->Requests()[2]);  // the retry repeats the request

  // The node hangs up while the host waits for the reply: one request, no
  // retries, result 0.
  f = {};
  f.remove_at_frame = 1;
  firmware->SetFaults(f);
  firmware->ClearRequests();
  std::vector<uint8_t> block(512, 0xEE);
  EXPECT_EQ(ReadMainBlock(channel, block.data()), kResultNoReply);
  EXPECT_EQ(channel.transport.LastIo(), HidIo::Gone);
  EXPECT_EQ(block[0], 0xEE);
  const CommandResult next = BeginTransfer(channel);  // fails at once, nothing reaches the device
  EXPECT_TRUE(next == kResultWriteFailed || next == kResultNoReply) << CommandCode(next);
  EXPECT_EQ(firmware->RequestCount(), 1u);
}

}  // namespace
}  // namespace trx

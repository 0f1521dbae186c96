// The whole mouse connect read through the real hidraw backend: a simulated
// mouse behind a fake hidraw tree (pty nodes), found by enumeration, read
// frame by frame, and checked against the trace file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "device/commands.h"
#include "device/frame_trace.h"
#include "device/hidraw_backend.h"
#include "protocol_sim_fixture.h"
#include "sim/connect_read.h"
#include "sim/hidraw_attach.h"
#include "sim/hidraw_fake_tree.h"
#include "sim/report_descriptors.h"

namespace trx {
namespace {

using test::FrameKey;
using test::KeyOf;

// Ten frames of a 512-byte whole-block transfer from `base`.
std::vector<FrameKey> Block(int command, int base) {
  return {{command, 56, base},       {command, 56, base + 56},  {command, 56, base + 112}, {command, 56, base + 168},
          {command, 56, base + 224}, {command, 56, base + 280}, {command, 56, base + 336}, {command, 56, base + 392},
          {command, 56, base + 448}, {command, 8, base + 504}};
}

std::vector<FrameKey> ExpectedMouseConnectRead() {
  std::vector<FrameKey> seq = {{1, 0, 0}, {3, 33, 0}};
  for (auto& k : Block(7, 0)) seq.push_back(k);
  const int record_address[5] = {0, 64, 128, 192, 256};
  const int key_address[5] = {0, 126, 252, 378, 504};
  for (int k = 0; k < 5; ++k) {
    seq.push_back({5, 56, record_address[k]});
    for (auto& f : Block(8, key_address[k])) seq.push_back(f);
  }
  seq.push_back({5, 1, 0});
  seq.push_back({2, 0, 0});
  return seq;
}

class ProtocolThroughHidraw : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree.Valid());
    trace_path = tree.Root() + "/trace.txt";
  }
  void TearDown() override { SetFrameTraceFile(""); }

  std::vector<FrameTraceRecord> ReadTrace() {
    std::vector<FrameTraceRecord> records;
    std::ifstream in(trace_path);
    std::string line;
    while (std::getline(in, line)) {
      FrameTraceRecord r;
      EXPECT_TRUE(ParseTraceLine(line, r)) << line;
      records.push_back(r);
    }
    return records;
  }

  FakeHidrawTree tree;
  std::string trace_path;
};

TEST_F(ProtocolThroughHidraw, MouseConnectReadMatchesTheExpectedFramesOneByOne) {
  // A decoy first: same ids, but the consumer collection; it must be skipped.
  ASSERT_GE(tree.AddInterface(0x0C45, 0x652C, sim::ConsumerReportDescriptor()).index, 0);
  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse);
  firmware->SetSettingsByte(0, 3);  // active onboard profile 3
  sim::HidrawSimAttachment attachment(tree, firmware);
  ASSERT_TRUE(attachment.Valid());

  CDeviceChannel channel(DeviceKind::Mouse, tree.MakeBackend());
  channel.SetIdentity(0x0C45, 0x652C, 0xFF1C, 0x92);
  ASSERT_EQ(sim::ConnectMatchingInterface(channel), 1);
  EXPECT_EQ(channel.transport.device_path, tree.PathOf(attachment.VendorIndex()));

  ASSERT_TRUE(SetFrameTraceFile(trace_path));
  sim::MouseSnapshot snapshot;
  ASSERT_EQ(sim::ReadMouseSnapshot(channel, snapshot), kResultOk);
  SetFrameTraceFile("");

  const auto records = ReadTrace();
  const auto expected = ExpectedMouseConnectRead();
  ASSERT_EQ(records.size(), 2 * expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const auto& request = records[2 * i];
    const auto& reply = records[2 * i + 1];
    ASSERT_EQ(request.direction, '>') << i;
    ASSERT_EQ(reply.direction, '<') << i;
    EXPECT_EQ(request.kind, DeviceKind::Mouse);
    ASSERT_EQ(request.bytes.size(), 64u);
    ASSERT_EQ(reply.bytes.size(), 64u);
    EXPECT_EQ(KeyOf(request.bytes), expected[i]) << "frame " << i;
    EXPECT_EQ(KeyOf(reply.bytes), expected[i]) << "the simulator echoes the request, frame " << i;
    EXPECT_LE(request.time_us, reply.time_us);
  }
  // What came over the wire is what the device holds.
  EXPECT_EQ(snapshot.active_profile, 3);
  EXPECT_EQ(snapshot.info[9], 0x25);
  EXPECT_EQ(snapshot.info[10], 0x33);
  EXPECT_EQ(snapshot.main_block, sim::FactoryMainBlock(512));
  const auto keys = firmware->KeyMemory();
  EXPECT_TRUE(std::equal(snapshot.key_blocks[4].begin(), snapshot.key_blocks[4].end(), keys.begin() + 504));
  const auto settings = firmware->Settings();
  EXPECT_TRUE(std::equal(snapshot.settings[2].begin(), snapshot.settings[2].begin() + 56, settings.begin() + 128));
}

TEST_F(ProtocolThroughHidraw, UnplugDuringUseFailsTheNextCommandAtOnce) {
  auto firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse);
  sim::HidrawSimAttachment attachment(tree, firmware);
  ASSERT_TRUE(attachment.Valid());
  CDeviceChannel channel(DeviceKind::Mouse, tree.MakeBackend());
  channel.SetIdentity(0x0C45, 0x652C, 0xFF1C, 0x92);
  ASSERT_EQ(sim::ConnectMatchingInterface(channel), 1);
  ASSERT_EQ(BeginTransfer(channel), kResultOk);
  attachment.Unplug();
  const CommandResult result = BeginTransfer(channel);
  EXPECT_TRUE(result == kResultWriteFailed || result == kResultNoReply) << CommandCode(result);
  EXPECT_EQ(firmware->RequestCount(), 1u);
}

TEST_F(ProtocolThroughHidraw, LostRepliesAreRetriedAndAVanishingDeviceIsNotWaitedFor) {
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
  EXPECT_EQ(firmware->RequestCount(), 3u);

  // The node hangs up while the host waits for the reply: one request, no
  // retries, result 0.
  f = {};
  f.remove_at_frame = 1;
  firmware->SetFaults(f);
  firmware->ClearRequests();
  std::vector<uint8_t> block(512, 0xEE);
  EXPECT_EQ(ReadMainBlock(channel, block.data()), kResultNoReply);
  EXPECT_EQ(firmware->RequestCount(), 1u);
  EXPECT_EQ(channel.transport.LastIo(), HidIo::Gone);
  EXPECT_EQ(block[0], 0xEE);
}

}  // namespace
}  // namespace trx

// The exchange against the simulated mouse with injected faults, and through hidraw.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <latch>
#include <numeric>
#include <thread>
#include <tuple>
#include <utility>

#include "device/hidraw_backend.h"
#include "protocol_sim_fixture.h"
#include "sim/connect_read.h"
#include "sim/hidraw_attach.h"
#include "sim/hidraw_fake_tree.h"
#include "tests/support/wait.h"

namespace trx::test {
namespace {

class ProtocolResultCodes : public SimChannelTest {};

TEST_F(ProtocolResultCodes, StatusFFAndFEMapToMinus102AndMinus103AndLeaveTheDestination) {
  Inject({.status_count = 1, .status = 0xFF});
  uint8_t dst[33] = {9, 9, 9, 9};
  EXPECT_EQ(ReadSettingsBytes(*channel, 0, dst, 4), kResultStatusFF);
  EXPECT_EQ(dst[0], 9);
  Inject({.status_count = 1, .status = 0xFE});
  EXPECT_EQ(ReadDeviceInformation(*channel, dst), kResultStatusFE);  // 33 bytes asked; none copied
  EXPECT_EQ(dst[0], 9);
  EXPECT_EQ(firmware->RequestCount(), 2u);  // a status answer is not retried
  Inject({.status_count = 1, .status = 0x00});  // any other status is acceptance
  EXPECT_EQ(BeginTransfer(*channel), kResultOk);
}

// Requests refused before anything is sent (no device, bad key block, too
// long, past the address range); empty transfers succeed without sending.
TEST_F(ProtocolResultCodes, RequestsRefusedOrEmptySendNothing) {
  using Result = decltype(BeginTransfer(std::declval<CDeviceChannel&>()));
  uint8_t buf[512] = {};
  std::vector<uint8_t> image(0x10001, 0);
  const std::tuple<const char*, int, std::function<Result(CDeviceChannel&)>, Result> rows[] = {  // connected, call, result
      {"begin, not connected", 0, [](CDeviceChannel& c) { return BeginTransfer(c); }, kResultNoReply},
      {"read settings, not connected", 0, [&](CDeviceChannel& c) { return ReadSettingsBytes(c, 0, buf, 1); }, kResultNoReply},
      {"read main block, not connected", 0, [&](CDeviceChannel& c) { return ReadMainBlock(c, buf); }, kResultNoReply},
      {"reset, not connected", 0, [](CDeviceChannel& c) { return ResetToDefaults(c); }, kResultNoReply},
      {"end, not connected", 0, [](CDeviceChannel& c) { return EndTransfer(c); }, kResultNoReply},
      {"read key block 5", 1, [&](CDeviceChannel& c) { return ReadKeyBlock(c, 5, buf); }, kResultBadKeyIndex},
      {"write key block 5", 1, [&](CDeviceChannel& c) { return WriteKeyBlock(c, 5, buf); }, kResultBadKeyIndex},
      {"read key block -1", 1, [&](CDeviceChannel& c) { return ReadKeyBlock(c, -1, buf); }, kResultBadKeyIndex},
      {"write key block 7, not connected", 0, [&](CDeviceChannel& c) { return WriteKeyBlock(c, 7, buf); }, kResultBadKeyIndex},
      {"read 57 settings bytes", 1, [&](CDeviceChannel& c) { return ReadSettingsBytes(c, 0, buf, 57); }, kResultWriteFailed},
      {"write 57 settings bytes", 1, [&](CDeviceChannel& c) { return WriteSettingsBytes(c, 0, buf, 57); }, kResultWriteFailed},
      {"macro memory past 0xFFFF", 1, [&](CDeviceChannel& c) { return WriteMacroMemory(c, image.data(), image.size()); },
       kResultWriteFailed},
      {"empty macro write, not connected", 0, [](CDeviceChannel& c) { return WriteMacroMemory(c, nullptr, 0); }, kResultOk},
      {"empty routine read, not connected", 0, [](CDeviceChannel& c) { return ReadRoutineMemory(c, nullptr, 0); }, kResultOk},
      {"block size 0", 1, [&](CDeviceChannel& c) { return c.block_size = 0, ReadMainBlock(c, buf); }, kResultOk},
  };
  for (const auto& [what, connected, call, result] : rows) {
    channel->connected = connected;
    EXPECT_EQ(call(*channel), result) << what;
  }
  EXPECT_EQ(firmware->RequestCount(), 0u);
  EXPECT_EQ(Written(), 0u);
}

TEST_F(ProtocolResultCodes, WriteSettingsOfZeroBytesStillSendsAFrameOfLength0) {
  channel->follows_synchronised_lighting = 1;
  EXPECT_EQ(WriteSettingsBytes(*channel, 0, nullptr, 0), kResultOk);
  auto sent = Frames('>');
  ASSERT_EQ(sent.size(), 1u);
  std::vector<uint8_t> expected = {0x04, 0x06, 0x00, 0x06};  // checksum 6: command 6 + length 0
  expected.resize(64, 0);
  EXPECT_EQ(sent[0], expected);
  EXPECT_EQ(channel->follows_synchronised_lighting.load(), 0);
}

TEST_F(ProtocolResultCodes, ResetSendsOneUnsummedFrameAndRestoresTheFactorySettings) {
  firmware->SetSettingsByte(64 + 2, 0x33);
  EXPECT_EQ(ResetToDefaults(*channel), kResultOk);
  auto sent = Frames('>');
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(std::vector<uint8_t>(sent[0].begin() + 1, sent[0].begin() + 4), (std::vector<uint8_t>{0, 0, 0x0D}));
  EXPECT_EQ(firmware->Settings()[64 + 2], sim::FactorySettings(sim::SimKind::Mouse)[64 + 2]);
  Inject({.no_reply = 100});  // a reset that gets no reply is not sent again
  EXPECT_EQ(ResetToDefaults(*channel), kResultNoReply);
  EXPECT_EQ(firmware->RequestCount(), 2u);
}

class ProtocolDeviceLoss : public SimChannelTest {};

TEST_F(ProtocolDeviceLoss, DisconnectBetweenChunksEndsTheTransferWith0) {
  // The presence thread clears `connected` while a chunked read runs.
  int replies = 0;
  SetFrameTraceHook([this, &replies](const FrameTraceRecord& r) {
    std::lock_guard<std::mutex> guard(trace_mutex);
    trace.push_back(r);
    if (r.direction == '<' && ++replies == 2) channel->connected = 0;
  });
  std::vector<uint8_t> dst(512, 0xEE);
  EXPECT_EQ(ReadMainBlock(*channel, dst.data()), kResultNoReply);
  EXPECT_EQ(Written(), 2u);
  EXPECT_EQ(dst[111], sim::FactoryMainBlock(512)[111]);
  EXPECT_EQ(dst[112], 0xEE);
  // A device that vanished fails the next write at once, without a retry.
  channel->connected = 1;
  backend->Unplug(device_id);
  EXPECT_EQ(BeginTransfer(*channel), kResultWriteFailed);
  EXPECT_EQ(Written(), 3u);
}

class ProtocolReplyPairing : public SimChannelTest {};

TEST_F(ProtocolReplyPairing, LateReplyIsNotTakenAsTheAnswerToTheNextRequest) {
  // The first reply comes long after the exchange gave up on it; the retry
  // is answered at once. The late reply then sits in the input queue.
  Inject({.delay_count = 1, .delay = std::chrono::milliseconds(200)});
  uint8_t first[1] = {};
  ASSERT_EQ(ReadSettingsBytes(*channel, 64, first, 1), kResultOk);
  EXPECT_EQ(first[0], 1);
  Eventually([&] { return backend->QueuedReports(device_id) != 0; }, std::chrono::seconds(2));
  ASSERT_EQ(backend->QueuedReports(device_id), 1u);
  uint8_t second[1] = {};
  ASSERT_EQ(ReadSettingsBytes(*channel, 128, second, 1), kResultOk);
  EXPECT_EQ(second[0], 2);  // record 2's byte 0, not the stale record 1 answer
}

TEST_F(ProtocolReplyPairing, TwoThreadsOnOneChannelAlwaysGetTheirOwnReplies) {
  // Every settings record has its own byte pattern; two threads read two of them.
  for (size_t a = 0; a < 320; ++a) firmware->SetSettingsByte(a, static_cast<uint8_t>(a / 64 * 40 + a % 64));
  firmware->SetRecording(false);
  SetFrameTraceHook(nullptr);
  std::atomic<int> wrong{0};
  std::atomic<int> failed{0};
  std::latch start(2);
  auto reader = [&](uint16_t record) {
    start.arrive_and_wait();
    for (int i = 0; i < 3000; ++i) {
      uint8_t dst[56] = {};
      if (ReadSettingsBytes(*channel, static_cast<uint16_t>(record * 64), dst, 56) != kResultOk) {
        ++failed;
        continue;
      }
      for (int b = 0; b < 56; ++b)
        if (dst[b] != static_cast<uint8_t>(record * 40 + b)) {
          ++wrong;
          break;
        }
    }
  };
  std::thread t1(reader, 1);
  std::thread t2(reader, 3);
  t1.join();
  t2.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(failed.load(), 0);
}

// The connect read sets the block size under the channel lock while another
// thread's block command reads it (ThreadSanitizer checks the pair).
TEST_F(ProtocolReplyPairing, BlockSizeSetByAConnectReadIsReadSafelyByAnotherThread) {
  std::atomic<bool> done{false};
  std::thread connect_read([&] {
    for (uint16_t size : {512, 200, 512, 56, 512}) {
      std::lock_guard<std::recursive_mutex> hold(channel->lock);
      channel->block_size = size;
    }
    done = true;
  });
  std::vector<uint8_t> block(512, 0);
  int transfers = 0;
  while (!done.load() || transfers == 0) {
    EXPECT_EQ(ReadMainBlock(*channel, block.data()), kResultOk);
    ++transfers;
  }
  connect_read.join();
  EXPECT_EQ(channel->block_size.load(), 512);
}

class ProtocolChunks : public SimChannelTest {};

TEST_F(ProtocolChunks, BlockSizeOf3IsOneFrameOf3) {
  channel->block_size = 3;
  uint8_t dst[3] = {};
  ASSERT_EQ(ReadKeyBlock(*channel, 0, dst), kResultOk);
  ASSERT_EQ(Written(), 1u);
  EXPECT_EQ(KeyOf(Frames('>')[0]), (FrameKey{8, 3, 0}));
  EXPECT_EQ(dst[0], 0x10);
  EXPECT_EQ(dst[1], 0x01);
}

TEST_F(ProtocolChunks, WriteKeyBlockCarriesTheSourceBytesInOrder) {
  std::vector<uint8_t> src(512);
  std::iota(src.begin(), src.end(), 0);  // 0,1,..,255,0,1,..
  ASSERT_EQ(WriteKeyBlock(*channel, 4, src.data()), kResultOk);
  auto sent = Frames('>');
  ASSERT_EQ(sent.size(), 10u);
  EXPECT_EQ(KeyOf(sent[0]), (FrameKey{9, 56, 504}));
  EXPECT_EQ(sent[1][8], 56);    // first byte of the second chunk
  EXPECT_EQ(sent[9][8], 0xF8);  // byte 504 of the source
  EXPECT_EQ(sent[9][15], 0xFF);
  EXPECT_EQ(sent[9][16], 0);    // nothing past the 8-byte tail
  const auto memory = firmware->KeyMemory();
  EXPECT_TRUE(std::equal(src.begin(), src.end(), memory.begin() + 504));
}

TEST_F(ProtocolChunks, FailureMidwayKeepsLaterDestinationBytesUntouched) {
  // Chunks 1-3 answer, the fourth gets status 0xFE.
  std::vector<uint8_t> dst(512, 0xEE);
  int replies = 0;
  SetFrameTraceHook([&](const FrameTraceRecord& r) {
    if (r.direction == '<' && ++replies == 3) firmware->SetFaults({.status_count = 1, .status = 0xFE});
  });
  EXPECT_EQ(ReadMainBlock(*channel, dst.data()), kResultStatusFE);
  EXPECT_EQ(firmware->RequestCount(), 4u);  // the transfer stops at the failing chunk
  const auto factory = sim::FactoryMainBlock(512);
  EXPECT_TRUE(std::equal(dst.begin(), dst.begin() + 168, factory.begin()));
  EXPECT_TRUE(std::all_of(dst.begin() + 168, dst.end(), [](uint8_t b) { return b == 0xEE; }));
}

// Through the hidraw backend: a simulated mouse behind a fake hidraw tree.
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

  firmware->SetFaults({.no_reply = 2});
  uint8_t record[56] = {};
  EXPECT_EQ(ReadSettingsBytes(channel, 128, record, sizeof record), kResultOk);
  EXPECT_EQ(record[0], 2);
  ASSERT_EQ(firmware->RequestCount(), 3u);
  EXPECT_EQ(firmware->Requests()[0], firmware->Requests()[2]);  // the retry repeats the request

  // The node hangs up while the host waits for the reply: one request, no retries.
  firmware->SetFaults({.remove_at_frame = 1});
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
}  // namespace trx::test

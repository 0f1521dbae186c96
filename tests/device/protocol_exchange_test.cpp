// Retries, result codes and reply pairing of the exchange, against the
// simulated mouse with injected faults.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <latch>
#include <thread>

#include "protocol_sim_fixture.h"

namespace trx {
namespace {

using test::SimChannelTest;

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
}

TEST_F(ProtocolResultCodes, ReplyChecksumAndEchoAreIgnoredOnlyTheStatusCounts) {
  // Begin transfer: the simulator echoes the command, but any status other
  // than 0xFF/0xFE is acceptance.
  Inject({.status_count = 1, .status = 0x00});
  EXPECT_EQ(BeginTransfer(*channel), kResultOk);
}

TEST_F(ProtocolResultCodes, NotConnectedReturns0AndSendsNothing) {
  channel->connected = 0;
  uint8_t buf[512] = {};
  EXPECT_EQ(BeginTransfer(*channel), kResultNoReply);
  EXPECT_EQ(ReadSettingsBytes(*channel, 0, buf, 1), kResultNoReply);
  EXPECT_EQ(ReadMainBlock(*channel, buf), kResultNoReply);
  EXPECT_EQ(ResetToDefaults(*channel), kResultNoReply);
  EXPECT_EQ(EndTransfer(*channel), kResultNoReply);
  EXPECT_EQ(firmware->RequestCount(), 0u);
  EXPECT_EQ(Written(), 0u);
}

TEST_F(ProtocolResultCodes, KeyBlockIndexOutOfRangeReturnsMinus201AndSendsNothing) {
  uint8_t buf[512] = {};
  EXPECT_EQ(ReadKeyBlock(*channel, 5, buf), kResultBadKeyIndex);
  EXPECT_EQ(WriteKeyBlock(*channel, 5, buf), kResultBadKeyIndex);
  EXPECT_EQ(ReadKeyBlock(*channel, -1, buf), kResultBadKeyIndex);
  channel->connected = 0;
  EXPECT_EQ(WriteKeyBlock(*channel, 7, buf), kResultBadKeyIndex);
  EXPECT_EQ(Written(), 0u);
}

TEST_F(ProtocolResultCodes, SettingsLongerThanOneFrameAreRefusedUnsent) {
  uint8_t buf[64] = {};
  EXPECT_EQ(ReadSettingsBytes(*channel, 0, buf, 57), kResultWriteFailed);
  EXPECT_EQ(WriteSettingsBytes(*channel, 0, buf, 57), kResultWriteFailed);
  EXPECT_EQ(Written(), 0u);
}

TEST_F(ProtocolResultCodes, WriteSettingsOfZeroBytesStillSendsAFrameOfLength0) {
  channel->follows_synchronised_lighting = 1;
  EXPECT_EQ(WriteSettingsBytes(*channel, 0, nullptr, 0), kResultOk);
  auto sent = Frames('>');
  ASSERT_EQ(sent.size(), 1u);
  std::vector<uint8_t> expected(64, 0);
  expected[0] = 0x04;
  expected[1] = 0x06;
  expected[3] = 0x06;
  EXPECT_EQ(sent[0], expected);
  EXPECT_EQ(channel->follows_synchronised_lighting.load(), 0);
}

TEST_F(ProtocolResultCodes, ResetSendsOneUnsummedFrameAndRestoresTheFactorySettings) {
  firmware->SetSettingsByte(64 + 2, 0x33);
  EXPECT_EQ(ResetToDefaults(*channel), kResultOk);
  auto sent = Frames('>');
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0][1], 0);
  EXPECT_EQ(sent[0][2], 0);
  EXPECT_EQ(sent[0][3], 0x0D);
  EXPECT_EQ(firmware->Settings()[64 + 2], sim::FactorySettings(sim::SimKind::Mouse)[64 + 2]);
  Inject({.no_reply = 100});  // a reset that gets no reply is not sent again
  EXPECT_EQ(ResetToDefaults(*channel), kResultNoReply);
  EXPECT_EQ(firmware->RequestCount(), 2u);
}

class ProtocolDeviceLoss : public SimChannelTest {};

TEST_F(ProtocolDeviceLoss, WriteToAVanishedDeviceFailsAtOnceWithoutRetry) {
  backend->Unplug(device_id);
  EXPECT_EQ(BeginTransfer(*channel), kResultWriteFailed);
  EXPECT_EQ(Written(), 1u);
}

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
}

class ProtocolReplyPairing : public SimChannelTest {};

TEST_F(ProtocolReplyPairing, LateReplyIsNotTakenAsTheAnswerToTheNextRequest) {
  // The first reply comes long after the exchange gave up on it; the retry
  // is answered at once. The late reply then sits in the input queue.
  Inject({.delay_count = 1, .delay = std::chrono::milliseconds(200)});
  uint8_t first[1] = {};
  ASSERT_EQ(ReadSettingsBytes(*channel, 64, first, 1), kResultOk);
  EXPECT_EQ(first[0], 1);
  for (int i = 0; i < 400 && backend->QueuedReports(device_id) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(backend->QueuedReports(device_id), 1u);
  uint8_t second[1] = {};
  ASSERT_EQ(ReadSettingsBytes(*channel, 128, second, 1), kResultOk);
  EXPECT_EQ(second[0], 2);  // record 2's byte 0, not the stale record 1 answer
}

TEST_F(ProtocolReplyPairing, TwoThreadsOnOneChannelAlwaysGetTheirOwnReplies) {
  // Give every settings record a distinct byte pattern, then let two threads
  // read different records concurrently and check each answer.
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

// The keyboard's connect read sets the block size under the channel lock
// while another thread's block command reads it (the ThreadSanitizer run
// checks the pair); each transfer uses one value for all its frames.
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

}  // namespace
}  // namespace trx

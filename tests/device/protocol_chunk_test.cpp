// Chunked transfers: frame sizes, device addresses, data placement and what
// a failure in mid-transfer leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "protocol_sim_fixture.h"

namespace trx {
namespace {

using test::FrameKey;
using test::KeyOf;
using test::SimChannelTest;

class ProtocolChunks : public SimChannelTest {
 protected:
  std::vector<FrameKey> SentKeys() {
    std::vector<FrameKey> keys;
    for (auto& f : Frames('>')) keys.push_back(KeyOf(f));
    return keys;
  }
};

TEST_F(ProtocolChunks, BlockSizeOf3IsOneFrameOf3) {
  channel->block_size = 3;
  uint8_t dst[3] = {};
  ASSERT_EQ(ReadKeyBlock(*channel, 0, dst), kResultOk);
  EXPECT_EQ(SentKeys(), (std::vector<FrameKey>{{8, 3, 0}}));
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
    if (r.direction == '<' && ++replies == 3) {
      sim::SimFaults f;
      f.status_count = 1;
      f.status = 0xFE;
      firmware->SetFaults(f);
    }
  });
  EXPECT_EQ(ReadMainBlock(*channel, dst.data()), kResultStatusFE);
  EXPECT_EQ(firmware->RequestCount(), 4u);  // the transfer stops at the failing chunk
  const auto factory = sim::FactoryMainBlock(512);
  EXPECT_TRUE(std::equal(dst.begin(), dst.begin() + 168, factory.begin()));
  EXPECT_TRUE(std::all_of(dst.begin() + 168, dst.end(), [](uint8_t b) { return b == 0xEE; }));
}

TEST_F(ProtocolChunks, ZeroLengthTransfersSucceedWithoutSendingEvenWhenDisconnected) {
  channel->connected = 0;
  EXPECT_EQ(WriteMacroMemory(*channel, nullptr, 0), kResultOk);
  EXPECT_EQ(ReadRoutineMemory(*channel, nullptr, 0), kResultOk);
  channel->connected = 1;
  channel->block_size = 0;
  uint8_t none[1] = {};
  EXPECT_EQ(ReadMainBlock(*channel, none), kResultOk);
  EXPECT_EQ(Written(), 0u);
}

TEST_F(ProtocolChunks, TransferPastTheAddressRangeIsRefusedUnsent) {
  std::vector<uint8_t> image(0x10001, 0);
  EXPECT_EQ(WriteMacroMemory(*channel, image.data(), image.size()), kResultWriteFailed);
  EXPECT_EQ(Written(), 0u);
}

}  // namespace
}  // namespace trx

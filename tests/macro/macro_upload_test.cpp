// The upload to a simulated mouse: the image on the wire and in the macro
// memory, the key block after it, the capacity refusal, and a device that
// vanishes or refuses at every frame of the upload.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "macro/macro_upload.h"
#include "tests/device/protocol_sim_fixture.h"
#include "tests/platform/temp_home.h"

namespace trx::macro {
namespace {

class MacroUploadTest : public test::SimChannelTest {
 protected:
  void SetUp() override {
    test::SimChannelTest::SetUp();
    store = MacroStoreFor(DeviceKind::Mouse);
    for (const char* name : {"first.mac", "second.mac"})
      std::filesystem::copy_file(std::string(TRX770_TEST_DATA_DIR) + "/macro/" + name, store.folder + name);
    std::ofstream(store.index_path) << "[MACROCOUNT]\ncount=2\n[MACRONAME]\n0=first\n1=second\n";
    for (size_t i = 0; i < key_block.size(); ++i) key_block[i] = static_cast<uint8_t>(i * 7);
  }
  MacroUploadReport Upload() {
    const std::vector<uint8_t> info = firmware->Info();
    return UploadMacroLibrary(*channel, store, info.data(), 2, key_block.data(), progress);
  }
  std::string Snapshot() {
    return test::TempHome::ReadText(store.index_path) + test::TempHome::ReadText(store.folder + "first.mac") +
           test::TempHome::ReadText(store.folder + "second.mac");
  }
  struct Progress : IProgressReporter {
    void Begin(int total) override { this->total = total; }
    void Advance(int done) override { last = done; }
    int total = 0, last = -1;
  } progress;
  test::TempHome home;
  MacroStore store;
  std::array<uint8_t, 512> key_block{};
};

std::vector<uint8_t> Golden() {
  std::ifstream in(std::string(TRX770_TEST_DATA_DIR) + "/macro/two_macros.bin", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST_F(MacroUploadTest, ImageThenKeyBlockOnTheWire) {
  const MacroUploadReport r = Upload();
  ASSERT_EQ(r.result, MacroResult::Ok) << DescribeUpload(r);
  EXPECT_EQ(r.image.total_size, 60u);
  EXPECT_EQ(r.image.capacity, 4096u);
  const std::vector<uint8_t> golden = Golden();
  const std::vector<uint8_t> memory = firmware->MacroMemory();
  EXPECT_EQ(std::vector<uint8_t>(memory.begin(), memory.begin() + 60), golden);
  const auto frames = Frames('>');
  std::vector<test::FrameKey> keys;
  for (const auto& f : frames) keys.push_back(test::KeyOf(f));
  std::vector<test::FrameKey> expected = {{1, 0, 0}, {0x15, 56, 0}, {0x15, 4, 56}, {2, 0, 0}, {1, 0, 0}};
  for (int off = 0; off < 512; off += 56) expected.push_back({9, std::min(56, 512 - off), 252 + off});
  expected.push_back({2, 0, 0});
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(std::vector<uint8_t>(frames[1].begin() + 8, frames[1].end()),
            std::vector<uint8_t>(golden.begin(), golden.begin() + 56));
  EXPECT_EQ(std::vector<uint8_t>(frames[2].begin() + 8, frames[2].begin() + 12),
            std::vector<uint8_t>(golden.begin() + 56, golden.end()));
  EXPECT_EQ(progress.total, kMacroUploadSteps);
  EXPECT_EQ(progress.last, kMacroUploadSteps);
}

TEST_F(MacroUploadTest, TooLargeIsRefusedWithTheSurplusAndSendsNothing) {
  firmware->SetInfoByte(6, 1);  // 128 bytes
  std::ofstream(store.index_path) << "[MACROCOUNT]\ncount=1\n[MACRONAME]\n0=big\n";
  std::ofstream(store.folder + "big.mac") << "[MACROACTIONCOUNT]\ncount=29\n";
  const MacroUploadReport r = Upload();
  EXPECT_EQ(r.result, MacroResult::TooLarge);
  EXPECT_EQ(r.image.total_size, 138u);
  EXPECT_EQ(r.image.surplus, 3u);
  EXPECT_EQ(Written(), 0u);
  EXPECT_EQ(DescribeUpload(r),
            "the macros need 138 bytes but the device holds 128: remove at least 3 actions; nothing was sent");
}

TEST_F(MacroUploadTest, EmptyLibrarySendsOnlyTheKeyBlock) {
  std::ofstream(store.index_path) << "[MACROCOUNT]\ncount=0\n";
  EXPECT_EQ(Upload().result, MacroResult::Ok);
  for (const auto& f : Frames('>')) EXPECT_NE(f[3], 0x15);
}

TEST_F(MacroUploadTest, RefusedChunkStillEndsAndSendsTheKeyBlock) {
  const std::string before = Snapshot();
  // The device claims 4096 bytes of macro memory but has none: it refuses
  // the first chunk as out of range.
  std::vector<uint8_t> info = firmware->Info();
  firmware->SetInfoByte(6, 0);
  const MacroUploadReport r = UploadMacroLibrary(*channel, store, info.data(), 2, key_block.data(), progress);
  EXPECT_EQ(r.result, MacroResult::DeviceError);
  EXPECT_EQ(r.image_result, kResultStatusFE);
  EXPECT_EQ(r.key_block_result, kResultOk);
  std::vector<int> commands;
  for (const auto& f : Frames('>')) commands.push_back(f[3]);
  EXPECT_EQ(commands, (std::vector<int>{1, 0x15, 2, 1, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 2}));
  EXPECT_EQ(DescribeUpload(r),
            "the upload did not complete: the macro memory write failed (the device refused the request (status 0xFE)), so the "
            "device's macros are incomplete");
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(MacroUploadTest, DeviceRemovedAtEveryFrameIsReportedAndChangesNoFile) {
  const std::string before = Snapshot();
  const size_t total_frames = 4 + 12;
  std::filesystem::remove_all(store.folder);
  TearDown();
  for (size_t at = 1; at <= total_frames; ++at) {
    SetUp();  // a fresh device, channel and library
    sim::SimFaults faults;
    faults.remove_at_frame = static_cast<int>(at);
    Inject(faults);
    const MacroUploadReport r = Upload();
    EXPECT_EQ(r.result, MacroResult::DeviceError) << "frame " << at;
    EXPECT_NE(DescribeUpload(r).find("did not complete"), std::string::npos) << DescribeUpload(r);
    EXPECT_EQ(Snapshot(), before) << "frame " << at;
    TearDown();
    std::filesystem::remove_all(store.folder);
  }
}

}  // namespace
}  // namespace trx::macro

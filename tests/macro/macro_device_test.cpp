// Macro upload and delete-everywhere against a simulated mouse.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "macro/macro_delete.h"
#include "macro/macro_upload.h"
#include "platform/ini_file.h"
#include "profile/profile_families.h"
#include "profile/profile_file.h"
#include "settings/key_assignment.h"
#include "tests/device/protocol_sim_fixture.h"
#include "tests/platform/temp_home.h"
#include "tests/support/golden.h"

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

TEST_F(MacroUploadTest, ImageThenKeyBlockOnTheWire) {
  const MacroUploadReport r = Upload();
  ASSERT_EQ(r.result, MacroResult::Ok) << DescribeUpload(r);
  EXPECT_EQ(r.image.total_size, 60u);
  EXPECT_EQ(r.image.capacity, 4096u);
  const std::vector<uint8_t> memory = firmware->MacroMemory();
  EXPECT_EQ(std::vector<uint8_t>(memory.begin(), memory.begin() + 60), test::ReadGoldenHex("macro/two_macros.hex"));
  EXPECT_EQ(Frames('>'), test::ReadGoldenHexLines("macro/upload_frames.hex"));
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
  // The device claims 4096 bytes of macro memory but has none: the first chunk is refused.
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
    Inject({.remove_at_frame = static_cast<int>(at)});
    const MacroUploadReport r = Upload();
    EXPECT_EQ(r.result, MacroResult::DeviceError) << "frame " << at;
    EXPECT_NE(DescribeUpload(r).find("did not complete"), std::string::npos) << DescribeUpload(r);
    EXPECT_EQ(Snapshot(), before) << "frame " << at;
    TearDown();
    std::filesystem::remove_all(store.folder);
  }
}

using Block = std::vector<uint8_t>;

class MacroDeleteTest : public test::SimChannelTest {
 protected:
  void SetUp() override {
    test::SimChannelTest::SetUp();
    store = MacroStoreFor(DeviceKind::Mouse);
    for (int i = 0; i < 3; ++i) {
      std::string name;
      ASSERT_EQ(CreateMacro(store, name), MacroResult::Ok);
      ASSERT_EQ(SaveMacro(store, i, {"5,0,129,2,1,mouse_key_right"}), MacroResult::Ok);
    }
    // Profile 1 button 1 runs macro 2, profile 4 button 2 macro 1 (reset), 5/3 macro 0.
    const std::pair<int, std::array<uint8_t, 3>> uses[] = {{0, {0x70, 2, 0}}, {3, {0x71, 1, 0}}, {4, {0x70, 0, 0}}};
    ASSERT_EQ(BeginTransfer(*channel), kResultOk);
    for (const auto& [k, entry] : uses) {
      Block b = Device(k);
      std::copy(entry.begin(), entry.end(), b.begin() + 3 * (k == 0 ? 0 : k == 3 ? 1 : 2));
      ASSERT_EQ(WriteKeyBlock(*channel, k, b.data()), kResultOk);
    }
    ASSERT_EQ(EndTransfer(*channel), kResultOk);
    // A stored key profile whose button 1 runs macro 2.
    const ProfileFamilyInfo& key = *FindFamily(DeviceKind::Mouse, ProfileFamily::Key);
    ASSERT_TRUE(WritePrivateProfileStrings({{key.count_section, "count", "1"}, {key.name_section, "0", "mine"}},
                                           ProfileIniPath(DeviceKind::Mouse)));
    Block stored(kKeyBlockSize, 0);
    stored[0] = 0x70, stored[1] = 2;
    pro = ProfileFilePath(key, "mine", true);
    ASSERT_EQ(WriteProfileFile(pro, DeviceKind::Mouse, stored.size(), stored.data()), kProfileWriteOk);
    before = Snapshot();
  }
  Block Device(int k) {
    Block b(kKeyBlockSize, 0);
    const CommandResult rc = ReadKeyBlock(*channel, k, b.data());
    EXPECT_EQ(rc, kResultOk);
    return b;
  }
  // The library, the stored profile and the five blocks.
  std::vector<Block> Snapshot() {
    std::vector<Block> s;
    for (const std::string& name : LoadMacroNames(store)) s.push_back(Block(name.begin(), name.end()));
    s.push_back(test::TempHome::ReadBytes(pro));
    for (int k = 0; k < kKeyBlockCount; ++k) s.push_back(Device(k));
    return s;
  }

  test::TempHome home;
  MacroStore store;
  std::string pro;
  std::vector<Block> before;
};

TEST_F(MacroDeleteTest, LibraryDeviceAndStoredProfilesAreRenumberedTogether) {
  const MacroDeleteReport r = DeleteMacroEverywhere(store, DeviceKind::Mouse, 1, channel.get(), nullptr);
  ASSERT_EQ(r.result, MacroResult::Ok) << DescribeMacroDelete(r);
  EXPECT_TRUE(r.left_to_do.empty());
  EXPECT_EQ(r.resets, (std::vector<ButtonReset>{{3, 1}}));
  EXPECT_EQ(LoadMacroNames(store), (std::vector<std::string>{"name_1", "name_3"}));
  EXPECT_FALSE(std::filesystem::exists(store.folder + "name_2.mac"));
  const Block main = firmware->MainBlock();
  const Block p1 = Device(0), p4 = Device(3), p5 = Device(4);
  EXPECT_EQ(Block(p1.begin(), p1.begin() + 3), (Block{0x70, 1, 0}));
  EXPECT_EQ(Block(p4.begin() + 3, p4.begin() + 6), Block(main.begin() + 3, main.begin() + 6));
  EXPECT_EQ(Block(p5.begin() + 6, p5.begin() + 9), (Block{0x70, 0, 0}));
  const Block stored = test::TempHome::ReadBytes(pro);
  EXPECT_EQ(stored[16 + 1], 1);
}

TEST_F(MacroDeleteTest, ADeviceFailureBeforeAnyWriteChangesNothing) {
  Inject({.remove_at_frame = 5});  // gone while the blocks are read
  const MacroDeleteReport r = DeleteMacroEverywhere(store, DeviceKind::Mouse, 1, channel.get(), nullptr);
  EXPECT_EQ(r.result, MacroResult::DeviceError);
  EXPECT_TRUE(r.left_to_do.empty());
  EXPECT_NE(DescribeMacroDelete(r).find("nothing was changed"), std::string::npos);
  firmware->SetFaults({});
  EXPECT_EQ(LoadMacroNames(store), (std::vector<std::string>{"name_1", "name_2", "name_3"}));
  EXPECT_TRUE(std::filesystem::exists(store.folder + "name_2.mac"));
  EXPECT_EQ(test::TempHome::ReadBytes(pro), before[3]);
}

TEST_F(MacroDeleteTest, ADeviceLostWhileWritingNamesTheProfilesLeftAndTheMacroStaysDeleted) {
  // Reads: begin, 6 x 10 frames, end; writes: begin, block 1; gone during block 4.
  Inject({.remove_at_frame = 62 + 1 + 10 + 5});
  const MacroDeleteReport r = DeleteMacroEverywhere(store, DeviceKind::Mouse, 1, channel.get(), nullptr);
  EXPECT_EQ(r.result, MacroResult::DeviceError);
  EXPECT_NE(r.left_to_do.find("onboard profiles 1, 4 on the mouse"), std::string::npos) << r.left_to_do;
  // Deleted for good: a second delete finds no such macro to renumber.
  EXPECT_EQ(LoadMacroNames(store), (std::vector<std::string>{"name_1", "name_3"}));
}

}  // namespace
}  // namespace trx::macro

// Deleting a macro everywhere against a simulated mouse: the library, the
// five onboard blocks and a stored key profile renumbered together; a
// device failure before anything was written changes nothing; one after
// blocks were written says what is left and never leaves the library
// listing the macro (so a second run can't renumber twice).

#include <gtest/gtest.h>

#include <filesystem>

#include "macro/macro_delete.h"
#include "platform/ini_file.h"
#include "profile/profile_families.h"
#include "profile/profile_file.h"
#include "settings/key_assignment.h"
#include "tests/device/protocol_sim_fixture.h"
#include "tests/platform/temp_home.h"

namespace trx::macro {
namespace {

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
    // Profile 1 button 1 runs macro 2, profile 4 button 2 macro 1 (to be
    // reset), profile 5 button 3 macro 0 (kept).
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
  // Reads: begin, 6 blocks of 10 frames, end; then begin, block 1 (10
  // frames), and the device goes during block 4.
  Inject({.remove_at_frame = 62 + 1 + 10 + 5});
  const MacroDeleteReport r = DeleteMacroEverywhere(store, DeviceKind::Mouse, 1, channel.get(), nullptr);
  EXPECT_EQ(r.result, MacroResult::DeviceError);
  EXPECT_NE(r.left_to_do.find("onboard profiles 1, 4 on the mouse"), std::string::npos) << r.left_to_do;
  // Deleted for good: a second delete finds no such macro to renumber.
  EXPECT_EQ(LoadMacroNames(store), (std::vector<std::string>{"name_1", "name_3"}));
}

}  // namespace
}  // namespace trx::macro

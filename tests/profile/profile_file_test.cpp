// Profile file reading and writing: header bytes, result codes, short files,
// failed writes.

#include "profile/profile_file.h"

#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "tests/profile/profile_fixture.h"

namespace trx {
namespace {

using test::ProfileTest;
using test::TempHome;

class ProfileFileTest : public ProfileTest {};

TEST_F(ProfileFileTest, WriteGivesHeaderThenData) {
  const uint8_t data[] = {0x11, 0x22, 0x33};
  const std::string path = home_.Path("x.pro");
  ASSERT_EQ(WriteProfileFile(path, DeviceKind::Mouse, sizeof data, data), kProfileWriteOk);
  EXPECT_EQ(TempHome::ReadBytes(path), (std::vector<uint8_t>{0xAA, 0x55, 0x00, 0x00, 0x02, 0x00, 0, 0, 0, 0, 0, 0, 0,
                                                             0, 0, 0, 0x11, 0x22, 0x33}));
  ASSERT_EQ(WriteProfileFile(path, DeviceKind::MousePad, 0, nullptr), kProfileWriteOk);
  EXPECT_EQ(TempHome::ReadBytes(path), (std::vector<uint8_t>{0xAA, 0x55, 0, 0, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ProfileFileTest, ReadReturnsDataOfGoldenFile) {
  std::vector<uint8_t> golden = Golden("keyboard_key.pro");
  std::vector<uint8_t> data(512, 0xEE);
  ASSERT_EQ(ReadProfileFile(std::string(TRX770_TEST_DATA_DIR) + "/profile/keyboard_key.pro", 512, data.data()),
            kProfileReadOk);
  EXPECT_EQ(data[0], 9);     // p(512, 13, 9): byte 0
  EXPECT_EQ(data[1], 22);    // byte 1 = 13 + 9
  EXPECT_EQ(data[511], (511 * 13 + 9) & 0xFF);
  EXPECT_EQ(std::vector<uint8_t>(golden.begin() + 16, golden.end()), data);
}

TEST_F(ProfileFileTest, MissingFileOrFolderIsOneAndLeavesBuffer) {
  std::vector<uint8_t> data(64, 0xEE);
  EXPECT_EQ(ReadProfileFile(home_.Path("none.led"), 64, data.data()), kProfileMissing);
  std::filesystem::create_directories(home_.Path("dir.led"));
  EXPECT_EQ(ReadProfileFile(home_.Path("dir.led"), 64, data.data()), kProfileMissing);
  EXPECT_EQ(data, std::vector<uint8_t>(64, 0xEE));
}

TEST_F(ProfileFileTest, WrongMagicIsMinusOneAndReadsNoData) {
  std::vector<uint8_t> bytes = FileBytes(2, std::vector<uint8_t>(64, 0x42));
  bytes[0] = 0x55;  // byte-swapped magic
  bytes[1] = 0xAA;
  TempHome::WriteBytes(home_.Path("bad.led"), bytes);
  TempHome::WriteBytes(home_.Path("tiny.led"), {0xAA});
  TempHome::WriteBytes(home_.Path("empty.led"), {});
  std::vector<uint8_t> data(64, 0);
  EXPECT_EQ(ReadProfileFile(home_.Path("bad.led"), 64, data.data()), kProfileBadMagic);
  EXPECT_EQ(ReadProfileFile(home_.Path("tiny.led"), 64, data.data()), kProfileBadMagic);
  EXPECT_EQ(ReadProfileFile(home_.Path("empty.led"), 64, data.data()), kProfileBadMagic);
  EXPECT_EQ(data, std::vector<uint8_t>(64, 0));
}

TEST_F(ProfileFileTest, KindAndReservedFieldsAreNotExamined) {
  std::vector<uint8_t> bytes = FileBytes(3, std::vector<uint8_t>(576, 0x5A));
  bytes[2] = 0x77;
  bytes[10] = 0x99;
  TempHome::WriteBytes(home_.Path("pad.config"), bytes);
  std::vector<uint8_t> data(576, 0);
  EXPECT_EQ(ReadProfileFile(home_.Path("pad.config"), 576, data.data()), kProfileReadOk);
  EXPECT_EQ(data, std::vector<uint8_t>(576, 0x5A));
}

TEST_F(ProfileFileTest, ShortFileFillsOnlyWhatItHas) {
  // 100 bytes: the header and 84 data bytes.
  TempHome::WriteBytes(home_.Path("short.config"), FileBytes(2, std::vector<uint8_t>(84, 0x31)));
  std::vector<uint8_t> data(576, 0);
  ASSERT_EQ(ReadProfileFile(home_.Path("short.config"), 576, data.data()), kProfileReadOk);
  EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.begin() + 84), std::vector<uint8_t>(84, 0x31));
  EXPECT_EQ(std::vector<uint8_t>(data.begin() + 84, data.end()), std::vector<uint8_t>(492, 0));
  // A header cut short after the magic reads as a profile with no data.
  TempHome::WriteBytes(home_.Path("stub.config"), {0xAA, 0x55, 0, 0});
  std::vector<uint8_t> untouched(576, 0x7E);
  EXPECT_EQ(ReadProfileFile(home_.Path("stub.config"), 576, untouched.data()), kProfileReadOk);
  EXPECT_EQ(untouched, std::vector<uint8_t>(576, 0x7E));
}

TEST_F(ProfileFileTest, UpperCaseLookupFindsLowerCaseFile) {
  TempHome::WriteBytes(home_.Path("keys.pro"), FileBytes(2, std::vector<uint8_t>(512, 0x10)));
  std::vector<uint8_t> data(512, 0);
  EXPECT_EQ(ReadProfileFile(home_.Path("keys.PRO"), 512, data.data()), kProfileReadOk);
  EXPECT_EQ(data[0], 0x10);
}

TEST_F(ProfileFileTest, WriteReplacesTwinWithOtherExtensionCase) {
  TempHome::WriteBytes(home_.Path("keys.PRO"), FileBytes(2, std::vector<uint8_t>(512, 0x10)));
  const std::vector<uint8_t> fresh(512, 0x20);
  ASSERT_EQ(WriteProfileFile(home_.Path("keys.pro"), DeviceKind::Mouse, fresh.size(), fresh.data()), kProfileWriteOk);
  EXPECT_EQ(TempHome::List(home_.root()), (std::vector<std::string>{"keys.pro", "program"}));
  std::vector<uint8_t> data(512, 0);
  ASSERT_EQ(ReadProfileFile(home_.Path("keys.PRO"), 512, data.data()), kProfileReadOk);
  EXPECT_EQ(data, fresh);
}

TEST_F(ProfileFileTest, FailedWriteKeepsOldFileAndReports) {
  const std::vector<uint8_t> old_bytes = FileBytes(2, std::vector<uint8_t>(64, 0x01));
  TempHome::WriteBytes(home_.Path("p.led"), old_bytes);
  SetAtomicWriteHookForTesting([](const std::string&) { return false; });
  const std::vector<uint8_t> fresh(64, 0x02);
  EXPECT_EQ(WriteProfileFile(home_.Path("p.led"), DeviceKind::Mouse, fresh.size(), fresh.data()), kProfileWriteFailed);
  SetAtomicWriteHookForTesting(nullptr);
  EXPECT_EQ(TempHome::ReadBytes(home_.Path("p.led")), old_bytes);
  EXPECT_EQ(DebugLines(), std::vector<std::string>{"文件打开失败"});
  // A folder that does not exist fails the same way.
  EXPECT_EQ(WriteProfileFile(home_.Path("gone/p.led"), DeviceKind::Mouse, fresh.size(), fresh.data()),
            kProfileWriteFailed);
}

}  // namespace
}  // namespace trx

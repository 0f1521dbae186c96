// Profile file reading and writing: header bytes, result codes, short files.

#include "profile/profile_file.h"

#include <gtest/gtest.h>

#include <optional>

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
  EXPECT_EQ(WriteProfileFile(home_.Path("gone/p.led"), DeviceKind::Mouse, sizeof data, data), kProfileWriteFailed);
}

// What a read makes of a file: the header's magic alone decides (kind and
// reserved bytes are not examined); a missing file or a folder leaves the
// buffer; a short file fills only what it has.
TEST_F(ProfileFileTest, ReadOutcomes) {
  std::vector<uint8_t> swapped = FileBytes(2, std::vector<uint8_t>(64, 0x42));
  std::swap(swapped[0], swapped[1]);
  std::vector<uint8_t> odd_fields = FileBytes(3, std::vector<uint8_t>(576, 0x5A));
  odd_fields[2] = 0x77;
  odd_fields[10] = 0x99;
  std::vector<uint8_t> short_data(84, 0x31);  // 100 bytes: the header and 84 data bytes
  short_data.resize(576, 0x7E);
  struct Case {
    const char* name;
    std::optional<std::vector<uint8_t>> file;  // none: no file
    int result;
    std::vector<uint8_t> data;  // the buffer after the read, 0x7E before
  };
  const Case cases[] = {
      {"none.led", std::nullopt, kProfileMissing, std::vector<uint8_t>(576, 0x7E)},
      {"bad.led", swapped, kProfileBadMagic, std::vector<uint8_t>(576, 0x7E)},
      {"tiny.led", std::vector<uint8_t>{0xAA}, kProfileBadMagic, std::vector<uint8_t>(576, 0x7E)},
      {"empty.led", std::vector<uint8_t>{}, kProfileBadMagic, std::vector<uint8_t>(576, 0x7E)},
      {"pad.config", odd_fields, kProfileReadOk, std::vector<uint8_t>(576, 0x5A)},
      {"short.config", FileBytes(2, std::vector<uint8_t>(84, 0x31)), kProfileReadOk, short_data},
      // A header cut short after the magic reads as a profile with no data.
      {"stub.config", std::vector<uint8_t>{0xAA, 0x55, 0, 0}, kProfileReadOk, std::vector<uint8_t>(576, 0x7E)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.file) TempHome::WriteBytes(home_.Path(c.name), *c.file);
    std::vector<uint8_t> data(576, 0x7E);
    EXPECT_EQ(ReadProfileFile(home_.Path(c.name), 576, data.data()), c.result);
    EXPECT_EQ(data, c.data);
  }
  std::filesystem::create_directories(home_.Path("dir.led"));
  std::vector<uint8_t> data(64, 0xEE);
  EXPECT_EQ(ReadProfileFile(home_.Path("dir.led"), 64, data.data()), kProfileMissing);
  EXPECT_EQ(data, std::vector<uint8_t>(64, 0xEE));
}

}  // namespace
}  // namespace trx

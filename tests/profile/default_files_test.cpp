// The default profile files made at build time lie in the program folder
// (this test's own folder) with the bytes documented for them.

#include <gtest/gtest.h>

#include "platform/program_folder.h"
#include "tests/platform/temp_home.h"

namespace trx {
namespace {

using test::TempHome;

std::vector<uint8_t> Header(uint8_t kind) { return {0xAA, 0x55, 0, 0, kind, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; }

// The built-in main block: six entries, 0x05 filler, two zero bytes.
std::vector<uint8_t> MainBlock() {
  std::vector<uint8_t> b = {0x10, 0x01, 0x00, 0x10, 0x04, 0x00, 0x10, 0x02, 0x00,
                            0x10, 0x10, 0x00, 0x10, 0x08, 0x00, 0x13, 0x03, 0x00};
  b.resize(510, 0x05);
  b.push_back(0);
  b.push_back(0);
  return b;
}

std::vector<uint8_t> MouseRecord() {
  std::vector<uint8_t> r(64, 0);
  const uint8_t lighting[9] = {0x00, 0x00, 0x0A, 0x07, 0x00, 0x01, 0xFF, 0x00, 0x00};
  std::copy(lighting, lighting + 9, r.begin());
  r[15] = 7;   // 800 DPI at base 100, step 100
  r[16] = 15;  // 1600
  r[17] = 31;  // 3200
  r[18] = 63;  // 6400
  const uint8_t colours[12] = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
  std::copy(colours, colours + 12, r.begin() + 21);
  r[34] = 10;  // pointer speed
  r[35] = 3;   // wheel lines
  return r;
}

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(DefaultProfileFilesTest, MouseFilesHoldTheBuiltInDefaults) {
  const std::string dir = ProgramFolder();
  EXPECT_EQ(TempHome::ReadBytes(dir + "msdevicedefault.config"), Concat(Concat(Header(2), MainBlock()), MouseRecord()));
  EXPECT_EQ(TempHome::ReadBytes(dir + "msdengdefault.Led"), Concat(Header(2), MouseRecord()));
  EXPECT_EQ(TempHome::ReadBytes(dir + "mskeydefault.pro"), Concat(Header(2), MainBlock()));
}

TEST(DefaultProfileFilesTest, PadAndKeyboardFiles) {
  const std::string dir = ProgramFolder();
  std::vector<uint8_t> lighting(64, 0);
  const uint8_t bytes[9] = {0x00, 0x00, 0x0A, 0x07, 0x00, 0x01, 0xFF, 0x00, 0x00};
  std::copy(bytes, bytes + 9, lighting.begin());
  EXPECT_EQ(TempHome::ReadBytes(dir + "mpdengdefault.Led"), Concat(Header(3), lighting));
  std::vector<uint8_t> kb_light = lighting;
  kb_light.resize(1958, 0);
  std::vector<uint8_t> kb_keys(510, 0x05);
  kb_keys.push_back(0);
  kb_keys.push_back(0);
  for (const char* name : {"kbdengdefault.led", "kb15dengdefault.led", "kb16dengdefault.led"})
    EXPECT_EQ(TempHome::ReadBytes(dir + name), Concat(Header(1), kb_light)) << name;
  for (const char* name : {"kbkeydefault.pro", "kbkey15default.pro", "kbkey16default.pro"})
    EXPECT_EQ(TempHome::ReadBytes(dir + name), Concat(Header(1), kb_keys)) << name;
}

}  // namespace
}  // namespace trx

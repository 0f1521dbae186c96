// The action line, the two tables and the device image.

#include <gtest/gtest.h>

#include <set>

#include "macro/macro_action.h"
#include "macro/macro_image.h"
#include "macro/macro_tables.h"
#include "tests/support/golden.h"

namespace trx::macro {
namespace {

TEST(MacroActionLine, ParsesFromTheRightKeepingLowBits) {
  struct Case { const char* line; bool ok; MacroAction expected; };
  const MacroAction start{0x1234, 0x55, 0x66, 7, "old"};
  const Case cases[] = {
      {"0,0,138,4,1,keyboard_key_A", true, {0, 0x8A, 4, 1, "keyboard_key_A"}},
      {"300,0,138,4,1,keyboard_key_A", true, {44, 0x8A, 4, 1, "keyboard_key_A"}},
      {"44,1,266,260,65537,x", true, {300, 10, 4, 1, "x"}},
      {"-1, 2 ,3x,,1,n", true, {0x02FF, 3, 0, 1, "n"}},
      // A sixth comma belongs to the low-byte text, read as far as its digits.
      {"5,9,0,1,2,1,name", true, {5 | (0 << 8), 1, 2, 1, "name"}},
      {"1,2,3,4,mouse", false, {0x1234, 2, 3, 4, "mouse"}},  // 4 commas: delay kept
      {"1,2,keyboard_key_A", false, {0x1234, 0x55, 0x66, 2, "keyboard_key_A"}},
      {"no comma", false, start},
      {"", false, start},
  };
  for (const Case& c : cases) {
    MacroAction a = start;
    EXPECT_EQ(ParseActionLine(c.line, a), c.ok) << c.line;
    EXPECT_EQ(a, c.expected) << c.line;
  }
  // The delay goes out as its low and high byte.
  EXPECT_EQ(FormatActionLine({300, 0x8A, 4, 1, "keyboard_key_A"}), "44,1,138,4,1,keyboard_key_A");
  EXPECT_EQ(FormatActionLine({65535, 0x8A, 4, 1, "keyboard_key_A"}), "255,255,138,4,1,keyboard_key_A");
}

TEST(MacroTables, KeyRowsAreConsistent) {
  std::set<uint16_t> vks;
  std::set<std::string> names;
  for (const MacroKeyRow& r : MacroKeyTable) {
    EXPECT_TRUE(vks.insert(r.virtual_key).second) << r.name;
    EXPECT_TRUE(names.insert(r.name).second) << r.name;
    EXPECT_EQ(r.group, 0x20);
    EXPECT_NE(r.usage == 0, r.modifier_bit == 0) << r.name;  // exactly one of the two
  }
  // Spot rows written from the key list by hand.
  struct Spot { size_t row; uint16_t vk; uint8_t usage; uint8_t bit; const char* name; };
  const Spot spots[] = {{0, 0xA2, 0, 0x01, "keyboard_key_LCtrl"},  {7, 0x5C, 0, 0x80, "keyboard_key_RWin"},
                        {8, 0x41, 0x04, 0, "keyboard_key_A"},      {43, 0x30, 0x27, 0, "keyboard_key_0"},
                        {44, 0x0D, 0x28, 0, "keyboard_key_Enter"}, {53, 0xDC, 0x31, 0, "keyboard_key_xiegang"},
                        {57, 0xBC, 0x36, 0, "keyboard_key_<"},      {72, 0x7B, 0x45, 0, "keyboard_key_F12"},
                        {91, 0x101, 0x58, 0, "keyboard_key_Num Enter"}, {100, 0x69, 0x61, 0, "keyboard_key_Num 9"},
                        {101, 0x60, 0x62, 0, "keyboard_key_Num 0"}, {103, 0x5D, 0x65, 0, "keyboard_key_App"}};
  for (const Spot& s : spots) {
    const MacroKeyRow& r = MacroKeyTable[s.row];
    EXPECT_EQ(r.virtual_key, s.vk) << s.row;
    EXPECT_EQ(r.usage, s.usage) << s.row;
    EXPECT_EQ(r.modifier_bit, s.bit) << s.row;
    EXPECT_STREQ(r.name, s.name);
    EXPECT_EQ(FindKeyRow(s.vk), s.row);
  }
  EXPECT_FALSE(FindKeyRow(0xFF).has_value());
  const MacroAction shift = KeyAction(MacroKeyTable[1], true);
  EXPECT_EQ(FormatActionLine(shift), "0,0,137,2,1,keyboard_key_LShift");
  EXPECT_EQ(KeyAction(MacroKeyTable[1], false).type, 0x09);
  EXPECT_EQ(FormatActionLine(KeyAction(MacroKeyTable[91], true)), "0,0,138,88,1,keyboard_key_Num Enter");
}

TEST(MacroTables, MouseRows) {
  ASSERT_EQ(MacroMouseTable.size(), 15u);
  EXPECT_EQ(FormatActionLine(MouseAction(MacroMouseTable[2])), "0,0,129,2,1,mouse_key_right");
  EXPECT_EQ(FormatActionLine(MouseAction(MacroMouseTable[1])), "0,0,1,1,0,mouse_key_left");
  EXPECT_EQ(FindRecordedMouseRow(0x0208), 5u);
  EXPECT_FALSE(FindRecordedMouseRow(0x020B).has_value());  // side buttons are inserted by hand
  EXPECT_FALSE(FindRecordedMouseRow(0x0200).has_value());  // moves are not recorded
}

TEST(MacroImage, TwoMacrosMatchTheHandWrittenImage) {
  const std::vector<ImageMacro> macros = {
      {{10, 0, 0x8A, 4}, {100, 0, 0x0A, 4}, {0, 0, 0x89, 2}},
      {{44, 1, 0x81, 1}, {5, 0, 0x01, 1}, {0, 0, 0x84, 16}, {255, 255, 5, 7}, {0, 0, 0x0A, 0x28}},
  };
  const std::vector<uint8_t> image = BuildMacroImage(macros);
  EXPECT_EQ(image, test::ReadGoldenHex("macro/two_macros.hex"));
  EXPECT_EQ(image.size(), 60u);
  std::vector<ImageMacro> decoded;
  ASSERT_TRUE(DecodeMacroImage(image.data(), image.size(), decoded));
  EXPECT_EQ(decoded, macros);
}

TEST(MacroImage, SizesCapacityAndRefusals) {
  EXPECT_EQ(MacroImageSize(2, 8), 60u);
  uint8_t info[33] = {};
  info[6] = 1;
  EXPECT_EQ(MacroCapacity(info), 128u);
  EXPECT_EQ(MacroImageSize(1, 29), 138u);
  EXPECT_EQ(SurplusActions(138, 128), 3u);
  EXPECT_EQ(SurplusActions(128, 128), 0u);
  EXPECT_EQ(BuildMacroImage({}), (std::vector<uint8_t>{0xAA, 0x55, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(BuildMacroImage(std::vector<ImageMacro>(51)).empty());
  EXPECT_TRUE(BuildMacroImage({ImageMacro(16380)}).empty());  // over 65535 bytes

  std::vector<uint8_t> image = test::ReadGoldenHex("macro/two_macros.hex");
  std::vector<ImageMacro> out;
  EXPECT_FALSE(DecodeMacroImage(image.data(), 59, out));  // size field past the data
  image[18] = 60;                                         // second record at the end
  EXPECT_FALSE(DecodeMacroImage(image.data(), image.size(), out));
  image[18] = 36;
  image[36] = 6;  // six actions don't fit
  EXPECT_FALSE(DecodeMacroImage(image.data(), image.size(), out));
  image[0] = 0;
  EXPECT_FALSE(DecodeMacroImage(image.data(), image.size(), out));
}

}  // namespace
}  // namespace trx::macro

// The mouse image's built-in state, records, assignments and DPI; keyboard variant.

#include "settings/mouse_config_image.h"

#include <gtest/gtest.h>

#include <cstring>

#include "settings/device_records.h"

namespace trx {
namespace {

TEST(MouseImageBuiltInTest, MainBlockBeforeAnyDeviceOrProfile) {
  MouseConfigImage m = MouseConfigImage::BuiltIn();
  const KeyAssignment buttons[] = {{0x10, 0x01, 0x00}, {0x10, 0x04, 0x00}, {0x10, 0x02, 0x00}, {0x10, 0x10, 0x00},
                                   {0x10, 0x08, 0x00}, {0x13, 0x03, 0x00}, {0x05, 0x05, 0x05}};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(m.DefaultAssignment(i), buttons[i]) << i;
  for (int i = 18; i < 510; ++i) ASSERT_EQ(m.main_block[i], 0x05) << i;
  EXPECT_EQ(m.main_block[510], 0);
  EXPECT_EQ(m.main_block[511], 0);
  // Everything else is zero.
  MouseConfigImage zero;
  std::memcpy(zero.main_block, m.main_block, sizeof m.main_block);
  EXPECT_EQ(std::memcmp(&zero, &m, sizeof m), 0);
}

// A load takes a slot's bytes and sets the index; a store writes bytes 0-33 of its slot only.
TEST(MouseImageRecordTest, LoadAndStoreCurrentRecord) {
  MouseConfigImage m;
  for (int i = 0; i < 64; ++i) m.settings[3][i] = static_cast<uint8_t>(0x80 + i);
  ASSERT_TRUE(m.LoadCurrentRecord(3));
  EXPECT_EQ(m.ProfileIndex(), 3);
  EXPECT_EQ(m.current[1], 0x81);
  EXPECT_EQ(m.current[33], 0x80 + 33);
  EXPECT_FALSE(m.LoadCurrentRecord(5));
  EXPECT_FALSE(m.LoadCurrentRecord(-1));
  EXPECT_EQ(m.ProfileIndex(), 3);

  std::memset(m.settings[2], 0xEE, 64);
  std::memset(m.current, 0x11, sizeof m.current);
  m.current[0] = 2;
  ASSERT_TRUE(m.StoreCurrentRecord());
  EXPECT_EQ(m.settings[2][0], 2);
  EXPECT_EQ(m.settings[2][33], 0x11);
  EXPECT_EQ(m.settings[2][34], 0xEE);
  EXPECT_EQ(m.settings[1][0], 0);
  m.current[0] = 9;  // no such slot
  EXPECT_FALSE(m.StoreCurrentRecord());
}

TEST(MouseImageKeyTest, AssignmentsAreThreeBytesPerEntry) {
  MouseConfigImage m;
  ASSERT_TRUE(m.SetAssignment(2, 6, 0x20, 0x04, 0x01));
  EXPECT_EQ(std::vector<uint8_t>(m.key_blocks[2] + 18, m.key_blocks[2] + 21), (std::vector<uint8_t>{0x20, 0x04, 0x01}));
  EXPECT_EQ(m.Assignment(2, 6), (KeyAssignment{0x20, 0x04, 0x01}));
  EXPECT_TRUE(m.SetAssignment(4, 169, 1, 2, 3));  // last whole entry: bytes 507-509
  EXPECT_EQ(m.key_blocks[4][509], 3);
  EXPECT_FALSE(m.SetAssignment(4, 170, 1, 2, 3));
  EXPECT_FALSE(m.SetAssignment(5, 0, 1, 2, 3));
  EXPECT_EQ(m.key_blocks[4][510], 0);
}

TEST(MouseImageDpiTest, LevelDpiIsBasePlusPositionTimesStep) {
  MouseConfigImage m;
  m.SetDpiBase(200);
  m.device_info[11] = 50;
  m.current[16] = 10;  // DPI level 2
  EXPECT_EQ(m.LevelDpi(2), 700);
  EXPECT_EQ(m.device_info[13], 200);
  EXPECT_EQ(m.device_info[14], 0);
  m.device_info[9] = 0x60;
  m.device_info[10] = 0x33;
  EXPECT_EQ(m.SensorId(), 0x3360);
}

TEST(KeyboardVariantTest, ProductIdPicksTheLayout) {
  EXPECT_EQ(KeyboardVariantFromProductId(0x8611, KeyboardVariant::V16), KeyboardVariant::Full);
  EXPECT_EQ(KeyboardVariantFromProductId(0x6556, KeyboardVariant::Full), KeyboardVariant::V15);
  EXPECT_EQ(KeyboardVariantFromProductId(0x7200, KeyboardVariant::Full), KeyboardVariant::V16);
  EXPECT_EQ(KeyboardVariantFromProductId(0x1234, KeyboardVariant::V15), KeyboardVariant::V15);
}

}  // namespace
}  // namespace trx

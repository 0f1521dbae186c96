// DecodeInputUsages on element tables built by CHidDevice::Open from real
// descriptors (opened through a fake hidraw tree).
#include <gtest/gtest.h>

#include "device/hid_device.h"
#include "device/hidraw_backend.h"
#include "hid_test_descriptors.h"
#include "sim/hidraw_fake_tree.h"

namespace trx {
namespace {

class HidUsageDecode : public ::testing::Test {
 protected:
  // Opens an interface with this descriptor; the element table is ready.
  void OpenWith(const std::vector<uint8_t>& descriptor) {
    ASSERT_TRUE(tree_.Valid());
    const int n = tree_.AddInterface(0x0C45, 0x652C, descriptor).index;
    ASSERT_GE(n, 0);
    dev_.device_path = tree_.PathOf(n);
    dev_.want_read = true;
    ASSERT_EQ(dev_.Open(), 1);
  }
  bool Decode(const std::vector<uint8_t>& report) {
    return DecodeInputUsages(dev_.input_elements, report.data(), report.size(), dev_.descriptor);
  }

  FakeHidrawTree tree_;
  CHidDevice dev_{tree_.MakeBackend()};
};

TEST_F(HidUsageDecode, ConsumerNotificationsDecodeToTheirUsage) {
  OpenWith(test::kConsumerDescriptor);
  ASSERT_EQ(dev_.input_elements.size(), 1u);
  HidReportElement& e = dev_.input_elements[0];
  EXPECT_EQ(e.is_button, 1);
  EXPECT_EQ(e.report_id, 3);
  EXPECT_EQ(e.usage_minimum, 0);
  EXPECT_EQ(e.usage_maximum, 0x4FF);
  ASSERT_EQ(e.capacity, 1u);

  const struct {
    std::vector<uint8_t> report;
    uint16_t usage;
  } cases[] = {
      {{0x03, 0x01, 0x04}, 0x401},  // profile changed on the device
      {{0x03, 0x02, 0x04}, 0x402},  // settings changed on the device
      {{0x03, 0x03, 0x04}, 0x403},  // lighting changed on the device
      {{0x03, 0xE9, 0x00}, 0x0E9},  // volume up
      {{0x03, 0x00, 0x00}, 0},      // key released: nothing
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(Decode(c.report));
    EXPECT_EQ(e.status, kHidpStatusSuccess);
    EXPECT_EQ(e.updated, 1);
    EXPECT_EQ(e.usage_list[0], c.usage) << std::hex << c.usage;
  }
  // The 16-bit field cut off: a failure in the element's status only.
  ASSERT_TRUE(Decode({0x03, 0x01}));
  EXPECT_EQ(e.status, kHidpStatusInvalidReportLength);
  EXPECT_EQ(e.usage_list[0], 0);
}

TEST_F(HidUsageDecode, ReportOfAnotherIdLeavesElementsNotUpdated) {
  OpenWith(test::CompositeDescriptor());
  // Consumer button element first, then the vendor value element.
  ASSERT_EQ(dev_.input_elements.size(), 2u);
  HidReportElement& consumer = dev_.input_elements[0];
  HidReportElement& vendor = dev_.input_elements[1];
  ASSERT_TRUE(Decode({0x03, 0x02, 0x04}));
  EXPECT_EQ(consumer.updated, 1);
  EXPECT_EQ(vendor.updated, 0);

  std::vector<uint8_t> frame(64, 0);
  frame[0] = 0x04;
  frame[1] = 0x7B;
  ASSERT_TRUE(Decode(frame));
  EXPECT_EQ(consumer.updated, 0);
  EXPECT_EQ(consumer.usage_list[0], 0x402);  // left as the last decode of report 3 found it
  EXPECT_EQ(vendor.updated, 1);
  EXPECT_EQ(vendor.usage_maximum, 0x7B);  // raw value of the first field

  ASSERT_TRUE(Decode({0x09, 0x01, 0x04}));  // an id no element has
  EXPECT_EQ(consumer.updated, 0);
  EXPECT_EQ(vendor.updated, 0);
}

TEST_F(HidUsageDecode, ButtonsArePackedPerElementRangeAndZeroTerminated) {
  OpenWith(test::kSplitButtonsDescriptor);
  ASSERT_EQ(dev_.input_elements.size(), 2u);
  HidReportElement& low = dev_.input_elements[0];   // buttons 1..3
  HidReportElement& high = dev_.input_elements[1];  // buttons 4..5
  ASSERT_EQ(low.capacity, 5u);  // every button of the page fits one list
  ASSERT_EQ(high.capacity, 5u);

  // Bits: button 2 (bit 1) and button 4 (bit 3).
  ASSERT_TRUE(Decode({0x01, 0x0A}));
  EXPECT_EQ(low.usage_list, (std::vector<uint16_t>{2, 0, 0, 0, 0}));
  EXPECT_EQ(high.usage_list, (std::vector<uint16_t>{4, 0, 0, 0, 0}));

  // All five down, then only button 3: no leftovers from the previous decode.
  ASSERT_TRUE(Decode({0x01, 0x1F}));
  EXPECT_EQ(low.usage_list, (std::vector<uint16_t>{1, 2, 3, 0, 0}));
  EXPECT_EQ(high.usage_list, (std::vector<uint16_t>{4, 5, 0, 0, 0}));
  ASSERT_TRUE(Decode({0x01, 0x04}));
  EXPECT_EQ(low.usage_list, (std::vector<uint16_t>{3, 0, 0, 0, 0}));
  EXPECT_EQ(high.usage_list[0], 0);
}

TEST_F(HidUsageDecode, ValuesGetRawAndSignedScaledValues) {
  OpenWith(test::kBootMouseDescriptor);
  EXPECT_FALSE(dev_.descriptor.uses_report_ids);
  EXPECT_EQ(dev_.descriptor.input_report_byte_length, 4);  // the id byte counts though there is none
  EXPECT_EQ(dev_.descriptor.input_button_caps.size(), 1u);  // padding makes no cap
  EXPECT_EQ(MaxInputUsageListLength(dev_.descriptor, 0x09), 3u);
  ASSERT_EQ(dev_.input_elements.size(), 3u);  // buttons, X, Y
  const HidReportElement& buttons = dev_.input_elements[0];
  const HidReportElement& x = dev_.input_elements[1];
  const HidReportElement& y = dev_.input_elements[2];
  EXPECT_EQ(x.usage_minimum, 0x30);
  EXPECT_EQ(y.usage_minimum, 0x31);

  // Buttons 1 and 3, X = -1, Y = +2; the id byte is 0 for this device.
  ASSERT_TRUE(Decode({0x00, 0x05, 0xFF, 0x02}));
  EXPECT_EQ(buttons.usage_list, (std::vector<uint16_t>{1, 3, 0}));
  EXPECT_EQ(x.usage_maximum, 0xFF);
  EXPECT_EQ(static_cast<int32_t>(x.capacity), -1);
  EXPECT_EQ(x.status, kHidpStatusSuccess);
  EXPECT_EQ(y.usage_maximum, 0x02);
  EXPECT_EQ(static_cast<int32_t>(y.capacity), 2);

  // -128 lies outside the logical range -127..127.
  ASSERT_TRUE(Decode({0x00, 0x00, 0x80, 0x00}));
  EXPECT_EQ(x.status, kHidpStatusValueOutOfRange);

  // Too short for a value: the decode fails.
  EXPECT_FALSE(Decode({0x00, 0x01}));
  EXPECT_EQ(x.status, kHidpStatusInvalidReportLength);
  EXPECT_FALSE(DecodeInputUsages(dev_.input_elements, nullptr, 0, dev_.descriptor));
}

}  // namespace
}  // namespace trx

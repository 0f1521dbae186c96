// The report-descriptor parser on descriptors as devices send them, and on malformed ones.
#include "device/hid_descriptor.h"

#include <gtest/gtest.h>

#include <tuple>

#include "hid_test_descriptors.h"

namespace trx::test {
namespace {

// Usage page, usage, input, output and feature report lengths.
using Summary = std::tuple<int, int, int, int, int>;
Summary SummaryOf(const HidDescriptorInfo& i) {
  return {i.usage_page, i.usage, i.input_report_byte_length, i.output_report_byte_length, i.feature_report_byte_length};
}
// Page, report id, first usage, bit offset, size, count, logical maximum (+ last usage, array, range).
using ValueFields = std::tuple<int, int, int, uint32_t, int, int, int64_t>;
using ButtonFields = std::tuple<int, int, int, uint32_t, int, int, int64_t, int, bool, bool>;
ValueFields FieldsOf(const HidValueCap& v) {
  return {v.usage_page, v.report_id, v.usage, v.bit_offset, v.report_size, v.report_count, v.logical_max};
}
ButtonFields FieldsOf(const HidButtonCap& b) {
  return {b.usage_page, b.report_id, b.usage_min, b.bit_offset, b.report_size,
          b.report_count, b.logical_max, b.usage_max, b.is_array, b.is_range};
}

TEST(HidDescriptor, ConsumerArrayFieldIsOneButtonCap) {
  HidDescriptorInfo info;
  ASSERT_EQ(ParseHidDescriptor(kConsumerDescriptor, info), 1);
  EXPECT_EQ(SummaryOf(info), (Summary{0x0C, 0x01, 3, 0, 0}));
  ASSERT_EQ(info.input_button_caps.size(), 1u);
  EXPECT_EQ(FieldsOf(info.input_button_caps[0]), (ButtonFields{0x0C, 3, 0, 8, 16, 1, 0x4FF, 0x4FF, true, true}));
  EXPECT_TRUE(info.input_value_caps.empty());
  EXPECT_EQ(MaxInputUsageListLength(info, 0x0C), 1u);
  EXPECT_EQ(MaxInputUsageListLength(info, 0x09), 0u);
}

TEST(HidDescriptor, OneCollectionCanBeDescribedAloneAsItsOwnInterface) {
  const std::vector<uint8_t> d = CompositeDescriptor();
  HidDescriptorInfo whole, consumer, vendor;
  ASSERT_EQ(ParseHidDescriptor(d, whole), 1);
  EXPECT_EQ(whole.input_report_ids, (std::vector<uint8_t>{3, 4}));
  EXPECT_EQ(whole.usage_page, 0x0C);  // several top-level collections: the first one wins
  ASSERT_EQ(whole.top_level.size(), 2u);
  EXPECT_EQ(whole.top_level[1].usage_page, 0xFF1C);
  EXPECT_EQ(whole.top_level[1].usage, 0x92);
  EXPECT_EQ(whole.input_report_byte_length, 64);  // the longest input report

  ASSERT_EQ(ParseHidDescriptor(d, consumer, nullptr, 0), 1);
  EXPECT_EQ(SummaryOf(consumer), (Summary{0x0C, 0x01, 3, 0, 0}));
  EXPECT_EQ(consumer.input_button_caps.size(), 1u);
  EXPECT_TRUE(consumer.input_value_caps.empty());
  EXPECT_EQ(consumer.input_report_ids, (std::vector<uint8_t>{3}));

  ASSERT_EQ(ParseHidDescriptor(d, vendor, nullptr, 1), 1);
  EXPECT_EQ(SummaryOf(vendor), (Summary{0xFF1C, 0x92, 64, 64, 0}));
  EXPECT_TRUE(vendor.uses_report_ids);
  EXPECT_TRUE(vendor.input_button_caps.empty());
  // 63 fields on one usage: one value cap; 26 FF 00 is 255 when the minimum is not negative.
  ASSERT_EQ(vendor.input_value_caps.size(), 1u);
  EXPECT_EQ(FieldsOf(vendor.input_value_caps[0]), (ValueFields{0xFF1C, 4, 1, 8, 8, 63, 255}));
  EXPECT_EQ(vendor.input_report_ids, (std::vector<uint8_t>{4}));

  std::string reason;
  EXPECT_EQ(ParseHidDescriptor(d, vendor, &reason, 2), 0);
  EXPECT_NE(reason.find("no such collection"), std::string::npos);
}

TEST(HidDescriptor, ExtendedUsageCarriesItsOwnPage) {
  const std::vector<uint8_t> d = {
      0x05, 0x01,                    // Usage Page (Generic Desktop)
      0x0B, 0x01, 0x00, 0x0C, 0x00,  // Usage (Consumer:Consumer Control), 4-byte form
      0xA1, 0x01, 0xC0,              // Collection (Application), End Collection
  };
  HidDescriptorInfo info;
  ASSERT_EQ(ParseHidDescriptor(d, info), 1);
  EXPECT_EQ(info.usage_page, 0x0C);
  EXPECT_EQ(info.usage, 0x01);
}

TEST(HidDescriptor, LimitsThemselvesAreAccepted) {
  // 32-bit fields, push depth 8 and 32 nested collections are all legal.
  std::vector<uint8_t> d = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75, 0x20, 0x95, 0x01, 0x09, 0x30, 0x81, 0x02};
  for (int i = 0; i < 8; ++i) d.push_back(0xA4);
  for (int i = 0; i < 8; ++i) d.push_back(0xB4);
  for (int i = 1; i < kHidMaxCollectionDepth; ++i) d.insert(d.end(), {0xA1, 0x00});
  for (int i = 0; i < kHidMaxCollectionDepth; ++i) d.push_back(0xC0);
  HidDescriptorInfo info;
  std::string reason;
  EXPECT_EQ(ParseHidDescriptor(d, info, &reason), 1) << reason;
  EXPECT_EQ(info.input_report_byte_length, 5);
}

std::vector<uint8_t> Wrap(std::vector<uint8_t> body) {
  std::vector<uint8_t> d = {0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01};
  d.insert(d.end(), body.begin(), body.end());
  d.push_back(0xC0);
  return d;
}

std::vector<uint8_t> Repeat(std::vector<uint8_t> unit, int times, std::vector<uint8_t> tail = {}) {
  std::vector<uint8_t> d;
  for (int i = 0; i < times; ++i) d.insert(d.end(), unit.begin(), unit.end());
  d.insert(d.end(), tail.begin(), tail.end());
  return d;
}

TEST(HidDescriptor, MalformedDescriptorsAreRejectedWithAReason) {
  const std::tuple<const char*, std::vector<uint8_t>, const char*> cases[] = {  // what, bytes, reason
      {"empty", {}, "empty"},
      {"item data cut off", {0x05}, "truncated"},
      {"two-byte data cut off", {0x06, 0x1C, 0xFF, 0x26, 0xFF}, "truncated"},
      {"long item", {0xFE, 0x02, 0x00, 0x01, 0x02}, "long item"},
      {"reserved item type", {0x0C}, "reserved"},
      {"collection left open", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01}, "unbalanced"},
      {"end without open", {0xC0}, "without open"},
      {"pop with empty stack", Wrap({0xB4}), "underflow"},
      {"nine pushes", Wrap(Repeat({0xA4}, 9)), "overflow"},
      {"report size 33", Wrap({0x75, 0x21}), "report size"},
      {"report count 32769", Wrap({0x96, 0x01, 0x80}), "report count"},
      {"size times count too large", Wrap({0x75, 0x20, 0x96, 0x00, 0x10, 0x81, 0x02}), "field too large"},
      {"report over 4096 bytes", Wrap({0x75, 0x08, 0x96, 0x00, 0x0C, 0x81, 0x02, 0x81, 0x02}), "report too long"},
      {"report id 0", Wrap({0x85, 0x00}), "report id 0"},
      {"inverted usage range", Wrap({0x19, 0x05, 0x29, 0x01, 0x75, 0x01, 0x95, 0x01, 0x81, 0x02}), "inverted"},
      {"usage minimum alone", Wrap({0x19, 0x05, 0x75, 0x01, 0x95, 0x01, 0x81, 0x02}), "unpaired"},
      {"nested 33 deep", Repeat({0xA1, 0x00}, 33, Repeat({0xC0}, 33)), "too deep"},
      {"field outside any collection", {0x75, 0x08, 0x95, 0x01, 0x81, 0x02}, "outside"},
      {"no application collection", {0xA1, 0x00, 0xC0}, "no application"},
      {"numbered after unnumbered", Wrap({0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0x85, 0x01}), "after unnumbered"},
      {"unnumbered after numbered", Wrap({0xA4, 0x85, 0x01, 0xB4, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02}), "unnumbered"},
      {"too long", std::vector<uint8_t>(kHidMaxDescriptorBytes + 1, 0x00), "too long"},
      // One 2-byte item pair asking for 16384 value caps: refused, not allocated.
      {"huge fan-out", Wrap({0x19, 0x01, 0x2A, 0xFF, 0xFF, 0x75, 0x02, 0x96, 0x00, 0x40, 0x81, 0x02}), "too many fields"},
  };
  for (const auto& [what, bytes, expected] : cases) {
    HidDescriptorInfo info;
    info.usage_page = 0x1234;
    std::string reason;
    EXPECT_EQ(ParseHidDescriptor(bytes, info, &reason), 0) << what;
    EXPECT_NE(reason.find(expected), std::string::npos) << what << ": " << reason;
    EXPECT_EQ(info.usage_page, 0) << what << " left a partial result";
    EXPECT_TRUE(info.input_button_caps.empty()) << what;
  }
}

}  // namespace
}  // namespace trx::test

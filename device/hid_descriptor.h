#pragma once
// A small, strict HID report-descriptor parser.
//
// The descriptor comes from the device (sysfs report_descriptor), so every
// byte is untrusted: the parser never throws, never reads past the input and
// rejects anything malformed or absurdly large with false and a reason.
//
// Report geometry follows the convention the rest of the HID layer uses: a
// report buffer always starts with the report id byte (0 when the device
// uses no report ids), so field bit offsets count from the start of that
// buffer and the first data bit of every report is bit 8. Report byte
// lengths are the longest report of a direction plus that id byte; 0 when
// the direction has no report at all.
//
// Thread safety: ParseHidDescriptor is reentrant; HidDescriptorInfo is a
// plain value.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace trx {

// Limits that keep a hostile descriptor from costing more than a real one.
inline constexpr size_t kHidMaxDescriptorBytes = 4096;   // as the kernel's limit
inline constexpr uint32_t kHidMaxReportBytes = 4096;     // one report, without the id byte
inline constexpr uint32_t kHidMaxReportSizeBits = 32;    // one field
inline constexpr uint32_t kHidMaxReportCount = 4096 * 8; // fields in one main item
inline constexpr int kHidMaxCollectionDepth = 32;
inline constexpr int kHidMaxPushDepth = 8;
inline constexpr size_t kHidMaxLocalUsages = 256;        // usage items before one main item
inline constexpr size_t kHidMaxCaps = 4096;              // button + value caps together

// An input field of 1-bit variables or an array: its usages are "buttons".
struct HidButtonCap {
  uint16_t usage_page = 0;
  uint8_t report_id = 0;
  uint16_t usage_min = 0;
  uint16_t usage_max = 0;       // == usage_min when not a range
  bool is_range = false;
  bool is_array = false;
  uint32_t bit_offset = 0;      // first field, from the start of the report buffer
  uint16_t report_size = 0;     // bits per field
  uint16_t report_count = 0;    // fields
  int64_t logical_min = 0;
  int64_t logical_max = 0;
  // Array fields: index, within the main item's usage list, of usage_min
  // (a field value v selects list entry v - logical_min).
  uint32_t array_index_base = 0;
  // Main items with several usage entries give several caps; they share this.
  uint32_t main_item = 0;
};

// An input variable field wider than 1 bit; one cap per usage.
struct HidValueCap {
  uint16_t usage_page = 0;
  uint8_t report_id = 0;
  uint16_t usage = 0;
  uint32_t bit_offset = 0;      // first field carrying this usage
  uint16_t report_size = 0;
  uint16_t report_count = 0;    // consecutive fields carrying this usage
  int64_t logical_min = 0;      // signed when negative, else the unsigned item value
  int64_t logical_max = 0;
  int64_t physical_min = 0;
  int64_t physical_max = 0;
  bool has_null = false;
};

struct HidCollectionId {
  uint16_t usage_page = 0;
  uint16_t usage = 0;
};

struct HidDescriptorInfo {
  // Top-level usage page and usage: the first application collection.
  uint16_t usage_page = 0;
  uint16_t usage = 0;
  // Every top-level application collection in order (a hidraw node carries
  // the whole descriptor, which may hold several).
  std::vector<HidCollectionId> top_level;
  bool uses_report_ids = false;
  // Report ids that carry input fields (of the selected collection); empty
  // when the device uses no report ids.
  std::vector<uint8_t> input_report_ids;
  uint16_t input_report_byte_length = 0;
  uint16_t output_report_byte_length = 0;
  uint16_t feature_report_byte_length = 0;
  std::vector<HidButtonCap> input_button_caps;
  std::vector<HidValueCap> input_value_caps;
};

// Which fields a parse describes: kHidWholeDescriptor for all of them (the
// top level is then the first application collection), or the index of one
// top-level application collection, 0 for the first, to describe it alone as
// a separate interface would (its usage, its report lengths, its caps). The
// whole descriptor is validated either way; a missing index is an error.
inline constexpr int kHidWholeDescriptor = -1;

// Parses a descriptor. Returns true and fills info, or false with info
// cleared and a one-line reason in *reason (when given).
bool ParseHidDescriptor(const uint8_t* data, size_t size, HidDescriptorInfo& info, std::string* reason = nullptr,
                       int collection = kHidWholeDescriptor);
inline bool ParseHidDescriptor(const std::vector<uint8_t>& bytes, HidDescriptorInfo& info,
                              std::string* reason = nullptr, int collection = kHidWholeDescriptor) {
  return ParseHidDescriptor(bytes.data(), bytes.size(), info, reason, collection);
}

// HidP_MaxUsageListLength for the input direction: how many usages of
// usage_page (0: any page) one input report can carry at most.
uint32_t MaxInputUsageListLength(const HidDescriptorInfo& info, uint16_t usage_page);

}  // namespace trx

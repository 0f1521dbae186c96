// Feeds arbitrary bytes to the report-descriptor parser and, when they parse,
// describes each top-level collection alone and decodes a report built from
// the same bytes against the resulting tables: none of it may crash, read
// out of bounds or hit undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/hid_descriptor.h"
#include "device/hid_device.h"

namespace {

// Builds the element table the way CHidDevice::Open does.
std::vector<trx::HidReportElement> Elements(const trx::HidDescriptorInfo& info) {
  std::vector<trx::HidReportElement> elements;
  for (const trx::HidButtonCap& cap : info.input_button_caps) {
    trx::HidReportElement e;
    e.is_button = 1;
    e.usage_page = cap.usage_page;
    e.report_id = cap.report_id;
    e.usage_minimum = cap.usage_min;
    e.usage_maximum = cap.usage_max;
    e.capacity = trx::MaxInputUsageListLength(info, cap.usage_page);
    e.usage_list.assign(e.capacity, 0);
    elements.push_back(std::move(e));
  }
  for (const trx::HidValueCap& cap : info.input_value_caps) {
    trx::HidReportElement e;
    e.usage_page = cap.usage_page;
    e.report_id = cap.report_id;
    e.usage_minimum = cap.usage;
    elements.push_back(std::move(e));
  }
  return elements;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  trx::HidDescriptorInfo info;
  std::string reason;
  if (!trx::ParseHidDescriptor(data, size, info, &reason)) {
    if (reason.empty()) __builtin_trap();  // a rejection always says why
    return 0;
  }
  if (info.input_button_caps.size() + info.input_value_caps.size() > trx::kHidMaxCaps) __builtin_trap();
  // Every listed collection can be described alone, and holds no more than
  // the whole.
  for (size_t c = 0; c < info.top_level.size() && c < 4; ++c) {
    trx::HidDescriptorInfo one;
    if (!trx::ParseHidDescriptor(data, size, one, nullptr, static_cast<int>(c))) __builtin_trap();
    if (one.input_button_caps.size() > info.input_button_caps.size() ||
        one.input_value_caps.size() > info.input_value_caps.size() ||
        one.input_report_byte_length > info.input_report_byte_length) {
      __builtin_trap();
    }
  }
  std::vector<trx::HidReportElement> elements = Elements(info);
  // The report: the descriptor's own tail, cut to at most the input length,
  // starting with each report id that occurs.
  const size_t take = size < info.input_report_byte_length ? size : info.input_report_byte_length;
  std::vector<uint8_t> report(data + size - take, data + size);
  if (report.empty()) report.push_back(0);
  for (const trx::HidButtonCap& cap : info.input_button_caps) {
    report[0] = cap.report_id;
    trx::DecodeInputUsages(elements, report.data(), report.size(), info);
  }
  for (const trx::HidValueCap& cap : info.input_value_caps) {
    report[0] = cap.report_id;
    trx::DecodeInputUsages(elements, report.data(), report.size(), info);
  }
  return 0;
}

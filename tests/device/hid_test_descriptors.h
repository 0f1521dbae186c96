#pragma once
// Report descriptors shared by the HID tests.
#include <cstdint>
#include <vector>

#include "sim/report_descriptors.h"
#include "tests/support/golden.h"

namespace trx::test {

// The simulated devices' vendor (id 4, 63 bytes each way) and consumer
// (id 3, one 16-bit array field, usages 0..0x4FF) collections.
inline const std::vector<uint8_t>& kVendorDescriptor = sim::VendorReportDescriptor();
inline const std::vector<uint8_t>& kConsumerDescriptor = sim::ConsumerReportDescriptor();

// Under tests/data/device: the usual boot mouse (3 buttons, 5 bits padding,
// X and Y, no report ids); buttons 1..3 and 4..5 in two fields of report id 1.
inline const std::vector<uint8_t> kBootMouseDescriptor = ReadGoldenHex("device/boot_mouse_descriptor.hex");
inline const std::vector<uint8_t> kSplitButtonsDescriptor = ReadGoldenHex("device/split_buttons_descriptor.hex");

// Consumer (report id 3) and vendor (report id 4) in one descriptor.
inline std::vector<uint8_t> CompositeDescriptor() {
  std::vector<uint8_t> d = kConsumerDescriptor;
  d.insert(d.end(), kVendorDescriptor.begin(), kVendorDescriptor.end());
  return d;
}

}  // namespace trx::test

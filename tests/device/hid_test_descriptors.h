#pragma once
// Report descriptors shared by the HID tests.
#include <cstdint>
#include <vector>

#include "sim/report_descriptors.h"

namespace trx::test {

// The simulated devices' vendor (id 4, 63 bytes each way) and consumer
// (id 3, one 16-bit array field, usages 0..0x4FF) collections.
inline const std::vector<uint8_t>& kVendorDescriptor = sim::VendorReportDescriptor();
inline const std::vector<uint8_t>& kConsumerDescriptor = sim::ConsumerReportDescriptor();

// The usual boot mouse: 3 buttons, 5 bits padding, X and Y, no report ids.
inline const std::vector<uint8_t> kBootMouseDescriptor = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,  // Usage Page (Generic Desktop), Usage (Mouse), Collection (Application)
    0x09, 0x01, 0xA1, 0x00,              //   Usage (Pointer), Collection (Physical)
    0x05, 0x09, 0x19, 0x01, 0x29, 0x03,  //     Usage Page (Button), Usages 1..3
    0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02,  // Logical 0..1, 3 x 1 bit, Input (Data, Variable)
    0x95, 0x01, 0x75, 0x05, 0x81, 0x01,                          // 1 x 5 bits, Input (Constant)
    0x05, 0x01, 0x09, 0x30, 0x09, 0x31,                          // Usage Page (Generic Desktop), X, Y
    0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06,  // Logical -127..127, 2 x 8 bits, Input (Relative)
    0xC0, 0xC0,                                                  // End Collection x 2
};

// Buttons 1..3 and 4..5 in two separate fields of report id 1.
inline const std::vector<uint8_t> kSplitButtonsDescriptor = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,  // Usage Page (Generic Desktop), Usage (Mouse), Collection (Application)
    0x85, 0x01, 0x05, 0x09, 0x19, 0x01, 0x29, 0x03,  // Report ID 1, Usage Page (Button), Usages 1..3
    0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02,  // Logical 0..1, 3 x 1 bit, Input (Data, Variable)
    0x19, 0x04, 0x29, 0x05, 0x95, 0x02, 0x81, 0x02,              // Usages 4..5, 2 x 1 bit, Input (Data, Variable)
    0x95, 0x03, 0x81, 0x01, 0xC0,                                // 3 x 1 bit, Input (Constant), End Collection
};

// Consumer (report id 3) and vendor (report id 4) in one descriptor.
inline std::vector<uint8_t> CompositeDescriptor() {
  std::vector<uint8_t> d = kConsumerDescriptor;
  d.insert(d.end(), kVendorDescriptor.begin(), kVendorDescriptor.end());
  return d;
}

}  // namespace trx::test

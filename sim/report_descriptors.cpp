#include "sim/report_descriptors.h"

namespace trx::sim {

const std::vector<uint8_t>& VendorReportDescriptor() {
  static const std::vector<uint8_t> descriptor = {
      0x06, 0x1C, 0xFF,  // Usage Page (0xFF1C)
      0x09, 0x92,        // Usage (0x92)
      0xA1, 0x01,        // Collection (Application)
      0x85, 0x04,        //   Report ID (4)
      0x15, 0x00,        //   Logical Minimum (0)
      0x26, 0xFF, 0x00,  //   Logical Maximum (255)
      0x75, 0x08,        //   Report Size (8)
      0x95, 0x3F,        //   Report Count (63)
      0x09, 0x01,        //   Usage (1)
      0x81, 0x02,        //   Input (Data, Variable, Absolute)
      0x09, 0x01,        //   Usage (1)
      0x91, 0x02,        //   Output (Data, Variable, Absolute)
      0xC0,              // End Collection
  };
  return descriptor;
}

const std::vector<uint8_t>& ConsumerReportDescriptor() {
  static const std::vector<uint8_t> descriptor = {
      0x05, 0x0C,        // Usage Page (Consumer)
      0x09, 0x01,        // Usage (Consumer Control)
      0xA1, 0x01,        // Collection (Application)
      0x85, 0x03,        //   Report ID (3)
      0x15, 0x00,        //   Logical Minimum (0)
      0x26, 0xFF, 0x04,  //   Logical Maximum (0x4FF)
      0x19, 0x00,        //   Usage Minimum (0)
      0x2A, 0xFF, 0x04,  //   Usage Maximum (0x4FF)
      0x75, 0x10,        //   Report Size (16)
      0x95, 0x01,        //   Report Count (1)
      0x81, 0x00,        //   Input (Data, Array, Absolute)
      0xC0,              // End Collection
  };
  return descriptor;
}

}  // namespace trx::sim

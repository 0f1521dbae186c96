#pragma once
// Report descriptors shared by the HID tests, written out item by item.
#include <cstdint>
#include <vector>

namespace trx::test {

// Vendor collection 0xFF1C/0x92, report id 4, 63 data bytes each way.
inline const std::vector<uint8_t> kVendorDescriptor = {
    0x06, 0x1C, 0xFF,  // Usage Page (0xFF1C)
    0x09, 0x92,        // Usage (0x92)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x04,        //   Report ID (4)
    0x09, 0x01,        //   Usage (1)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x3F,        //   Report Count (63)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x09, 0x01,        //   Usage (1)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
};

// Consumer control, report id 3, one 16-bit array field, usages 0..0x4FF.
inline const std::vector<uint8_t> kConsumerDescriptor = {
    0x05, 0x0C,        // Usage Page (Consumer)
    0x09, 0x01,        // Usage (Consumer Control)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x03,        //   Report ID (3)
    0x19, 0x00,        //   Usage Minimum (0)
    0x2A, 0xFF, 0x04,  //   Usage Maximum (0x4FF)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x04,  //   Logical Maximum (0x4FF)
    0x75, 0x10,        //   Report Size (16)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x00,        //   Input (Data, Array, Absolute)
    0xC0,              // End Collection
};

// The usual boot mouse: 3 buttons, 5 bits padding, X and Y, no report ids.
inline const std::vector<uint8_t> kBootMouseDescriptor = {
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x02,  // Usage (Mouse)
    0xA1, 0x01,  // Collection (Application)
    0x09, 0x01,  //   Usage (Pointer)
    0xA1, 0x00,  //   Collection (Physical)
    0x05, 0x09,  //     Usage Page (Button)
    0x19, 0x01,  //     Usage Minimum (1)
    0x29, 0x03,  //     Usage Maximum (3)
    0x15, 0x00,  //     Logical Minimum (0)
    0x25, 0x01,  //     Logical Maximum (1)
    0x95, 0x03,  //     Report Count (3)
    0x75, 0x01,  //     Report Size (1)
    0x81, 0x02,  //     Input (Data, Variable, Absolute)
    0x95, 0x01,  //     Report Count (1)
    0x75, 0x05,  //     Report Size (5)
    0x81, 0x01,  //     Input (Constant)
    0x05, 0x01,  //     Usage Page (Generic Desktop)
    0x09, 0x30,  //     Usage (X)
    0x09, 0x31,  //     Usage (Y)
    0x15, 0x81,  //     Logical Minimum (-127)
    0x25, 0x7F,  //     Logical Maximum (127)
    0x75, 0x08,  //     Report Size (8)
    0x95, 0x02,  //     Report Count (2)
    0x81, 0x06,  //     Input (Data, Variable, Relative)
    0xC0,        //   End Collection
    0xC0,        // End Collection
};

// Buttons 1..3 and 4..5 in two separate fields of report id 1.
inline const std::vector<uint8_t> kSplitButtonsDescriptor = {
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x02,  // Usage (Mouse)
    0xA1, 0x01,  // Collection (Application)
    0x85, 0x01,  //   Report ID (1)
    0x05, 0x09,  //   Usage Page (Button)
    0x19, 0x01,  //   Usage Minimum (1)
    0x29, 0x03,  //   Usage Maximum (3)
    0x15, 0x00,  //   Logical Minimum (0)
    0x25, 0x01,  //   Logical Maximum (1)
    0x75, 0x01,  //   Report Size (1)
    0x95, 0x03,  //   Report Count (3)
    0x81, 0x02,  //   Input (Data, Variable, Absolute)
    0x19, 0x04,  //   Usage Minimum (4)
    0x29, 0x05,  //   Usage Maximum (5)
    0x95, 0x02,  //   Report Count (2)
    0x81, 0x02,  //   Input (Data, Variable, Absolute)
    0x95, 0x03,  //   Report Count (3)
    0x81, 0x01,  //   Input (Constant)
    0xC0,        // End Collection
};

// Consumer (report id 3) and vendor (report id 4) in one descriptor.
inline std::vector<uint8_t> CompositeDescriptor() {
  std::vector<uint8_t> d = kConsumerDescriptor;
  d.insert(d.end(), kVendorDescriptor.begin(), kVendorDescriptor.end());
  return d;
}

}  // namespace trx::test

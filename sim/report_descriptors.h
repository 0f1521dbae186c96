#pragma once
// The HID report descriptors the simulated devices present: the vendor
// collection that carries the 64-byte configuration frames, and the
// consumer-control collection that carries the device's notifications.

#include <cstdint>
#include <vector>

#include "device/device_ids.h"

namespace trx::sim {

inline constexpr uint16_t kVendorUsagePage = trx::kVendorUsagePage;
inline constexpr uint16_t kVendorUsage = trx::kVendorUsage;
inline constexpr uint16_t kConsumerUsagePage = trx::kConsumerUsagePage;
inline constexpr uint16_t kConsumerUsage = 0x01;
inline constexpr uint8_t kConsumerReportId = 3;

// Usage page 0xFF1C, usage 0x92, report id 4: 63 data bytes in each
// direction (64 with the report id).
const std::vector<uint8_t>& VendorReportDescriptor();
// Usage page 0x0C, usage 1, report id 3: one 16-bit array field carrying a
// usage 0..0x4FF (3 bytes with the report id).
const std::vector<uint8_t>& ConsumerReportDescriptor();

}  // namespace trx::sim

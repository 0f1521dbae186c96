#pragma once
// The family's USB identities, defined once: detection, synchronisation,
// the simulator, the command-line tool and the udev rule test read them
// from here.
//
//   kind       vendor  products                 vendor collection
//   mouse      0x0C45  0x652C                   usage page 0xFF1C, usage 0x92
//   keyboard   0x0C45  0x6556, 0x8611, 0x7200   usage page 0xFF1C, usage 0x92
//   mouse pad  0x0C45  0x6758                   usage page 0xFF1C, usage 0x92
//
// The first product id of a kind is the one its channel is given at start
// (the keyboard's other two ids are accepted by the detection as well).
// Device notifications arrive on the consumer collection (usage page 0x0C).

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "device/device_channel.h"

namespace trx {

inline constexpr uint16_t kFamilyVendorId = 0x0C45;
inline constexpr uint16_t kVendorUsagePage = 0xFF1C;
inline constexpr uint16_t kVendorUsage = 0x0092;
inline constexpr uint16_t kConsumerUsagePage = 0x000C;

inline constexpr uint16_t kMouseProductId = 0x652C;
inline constexpr uint16_t kKeyboardProductId = 0x6556;
inline constexpr uint16_t kKeyboardProductIdFull = 0x8611;
inline constexpr uint16_t kKeyboardProductIdV16 = 0x7200;
inline constexpr uint16_t kMousePadProductId = 0x6758;

struct DeviceIdentity {
  DeviceKind kind;
  uint16_t vendor_id;
  // Accepted product ids; the first is the channel's own.
  std::array<uint16_t, 3> product_ids;
  uint8_t product_count;
  uint16_t usage_page;
  uint16_t usage;

  std::span<const uint16_t> Products() const { return {product_ids.data(), product_count}; }
  uint16_t PrimaryProductId() const { return product_ids[0]; }
  bool AcceptsProduct(uint16_t pid) const {
    for (uint16_t p : Products())
      if (p == pid) return true;
    return false;
  }
};

inline constexpr std::array<DeviceIdentity, 3> kDeviceIdentities{{
    {DeviceKind::Keyboard, kFamilyVendorId, {kKeyboardProductId, kKeyboardProductIdFull, kKeyboardProductIdV16}, 3,
     kVendorUsagePage, kVendorUsage},
    {DeviceKind::Mouse, kFamilyVendorId, {kMouseProductId, 0, 0}, 1, kVendorUsagePage, kVendorUsage},
    {DeviceKind::MousePad, kFamilyVendorId, {kMousePadProductId, 0, 0}, 1, kVendorUsagePage, kVendorUsage},
}};

// The identity of a kind (always found: every kind has one).
const DeviceIdentity& IdentityOf(DeviceKind kind);
// The kind whose identity accepts this vendor and product, if any.
std::optional<DeviceKind> KindOfProduct(uint16_t vendor_id, uint16_t product_id);
// Gives the channel its kind's identity (primary product id).
void ApplyIdentity(CDeviceChannel& channel);
// "mouse", "keyboard", "pad" (also "mousepad") to a kind.
std::optional<DeviceKind> ParseDeviceKind(std::string_view name);

}  // namespace trx

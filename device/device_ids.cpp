#include "device/device_ids.h"

#include <cctype>
#include <string>

namespace trx {

const DeviceIdentity& IdentityOf(DeviceKind kind) {
  for (const DeviceIdentity& id : kDeviceIdentities)
    if (id.kind == kind) return id;
  return kDeviceIdentities[1];  // unreachable: every kind is in the table
}

std::optional<DeviceKind> KindOfProduct(uint16_t vendor_id, uint16_t product_id) {
  for (const DeviceIdentity& id : kDeviceIdentities)
    if (id.vendor_id == vendor_id && id.AcceptsProduct(product_id)) return id.kind;
  return std::nullopt;
}

void ApplyIdentity(CDeviceChannel& channel) {
  const DeviceIdentity& id = IdentityOf(channel.kind);
  channel.SetIdentity(id.vendor_id, id.PrimaryProductId(), id.usage_page, id.usage);
}

std::optional<DeviceKind> ParseDeviceKind(std::string_view name) {
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "mouse") return DeviceKind::Mouse;
  if (lower == "keyboard") return DeviceKind::Keyboard;
  if (lower == "pad" || lower == "mousepad") return DeviceKind::MousePad;
  return std::nullopt;
}

}  // namespace trx

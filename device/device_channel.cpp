#include "device/device_channel.h"

namespace trx {

const char* DeviceKindName(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::Keyboard:
      return "keyboard";
    case DeviceKind::Mouse:
      return "mouse";
    case DeviceKind::MousePad:
      return "pad";
  }
  return "unknown";
}

CDeviceChannel::CDeviceChannel(DeviceKind device_kind, std::shared_ptr<IHidBackend> backend)
    : kind(device_kind), transport(std::move(backend)) {}

CDeviceChannel::~CDeviceChannel() { Reset(); }

void CDeviceChannel::SetIdentity(uint16_t vid, uint16_t pid, uint16_t page, uint16_t use) {
  vendor_id = vid;
  product_id = pid;
  usage_page = page;
  usage = use;
}

void CDeviceChannel::Reset() {
  connected = 0;
  ready = false;
  follows_synchronised_lighting = 0;
  vendor_id = 0;
  product_id = 0;
  usage = 0;
  usage_page = 0;
}

}  // namespace trx

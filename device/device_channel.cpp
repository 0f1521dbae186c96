#include "device/device_channel.h"

#include "device/commands.h"

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

void CDeviceChannel::BeforeWrite() {
  if (!before_first_write_ || !connected.load()) return;
  const uint32_t serial = transport.OpenSerial();
  if (serial == 0 || hooked_open_.load() == serial) return;
  std::lock_guard<std::recursive_mutex> hold(lock);
  if (hooked_open_.load() == serial) return;
  // Marked first: the hook runs once per connection even when it fails or
  // itself reaches a write.
  hooked_open_ = serial;
  const bool was_open = transfer_open.load();
  if (was_open) EndTransfer(*this);
  before_first_write_(*this);
  if (was_open) BeginTransfer(*this);
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

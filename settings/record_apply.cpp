#include "settings/record_apply.h"

#include <cstring>
#include <mutex>

#include "device/commands.h"
#include "settings/config_images.h"

namespace trx {
namespace {

// The parts of the mouse's record the apply sends: {address, length}.
struct Span {
  uint16_t address;
  size_t length;
};
constexpr Span kMouseSpans[] = {{0, 14}, {15, 4}, {20, 36}};

}  // namespace

CommandResult SendCurrentRecord(CDeviceChannel& channel) {
  std::lock_guard<std::recursive_mutex> channel_guard(channel.lock);
  uint8_t buffer[kSettingsDeviceBytes] = {};
  {
    std::lock_guard<std::recursive_mutex> image_guard(ImageMutex());
    const ConfigImages& images = Images();
    switch (channel.kind) {
      case DeviceKind::Mouse:
        std::memcpy(buffer, images.mouse.current, kCurrentRecordSize);
        break;
      case DeviceKind::Keyboard:
        std::memcpy(buffer, images.keyboard.current_record, kCurrentLightingSize);
        break;
      case DeviceKind::MousePad:
        std::memcpy(buffer, images.pad.current_record, kCurrentLightingSize);
        break;
    }
  }
  if (channel.kind != DeviceKind::Mouse) return WriteSettingsBytes(channel, 0, buffer, sizeof buffer);
  return SendMouseRecord(channel, buffer);
}

CommandResult SendMouseRecordWhole(CDeviceChannel& mouse) {
  std::lock_guard<std::recursive_mutex> channel_guard(mouse.lock);
  uint8_t record[kCurrentRecordSize];
  {
    std::lock_guard<std::recursive_mutex> image_guard(ImageMutex());
    std::memcpy(record, Images().mouse.current, kCurrentRecordSize);
  }
  return WriteSettingsBytes(mouse, 0, record, kCurrentRecordSize);
}

CommandResult SendMouseRecord(CDeviceChannel& mouse, const uint8_t* record) {
  std::lock_guard<std::recursive_mutex> channel_guard(mouse.lock);
  uint8_t buffer[kSettingsDeviceBytes] = {};
  std::memcpy(buffer, record, kCurrentRecordSize);
  CommandResult result = kResultOk;
  for (const Span& span : kMouseSpans) {
    const CommandResult rc = WriteSettingsBytes(mouse, span.address, buffer + span.address, span.length);
    if (result == kResultOk && rc != kResultOk) result = rc;
  }
  return result;
}

}  // namespace trx

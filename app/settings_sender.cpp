#include "app/settings_sender.h"

#include <cstring>
#include <mutex>

#include "app/app_messages.h"
#include "device/commands.h"
#include "platform/debug_log.h"
#include "settings/config_images.h"

namespace trx::app {
namespace {

using Block = uint8_t[kFramePayload];

void Write(CDeviceChannel& channel, uint16_t address, const uint8_t* bytes, size_t n) {
  const int rc = WriteSettingsBytes(channel, address, bytes, n);
  if (rc != kResultOk)
    DebugLineF("settings send to the %s failed at address %u: %d", DeviceKindName(channel.kind), address, rc);
}

}  // namespace

int SendPendingSettings(PendingSettings& pending, CDeviceChannel& keyboard, CDeviceChannel& mouse,
                        CDeviceChannel& pad) {
  int sent = 0;
  if (pending.Take(DeviceKind::Keyboard)) {
    Block block = {};
    {
      std::lock_guard<std::recursive_mutex> lock(ImageMutex());
      std::memcpy(block, Images().keyboard.current_record, kCurrentLightingSize);
    }
    Write(keyboard, 0, block, kFramePayload);
    ++sent;
  }
  if (pending.Take(DeviceKind::Mouse)) {
    DebugLine(kDebugMouseSend);
    Block block = {};
    {
      std::lock_guard<std::recursive_mutex> lock(ImageMutex());
      std::memcpy(block, Images().mouse.CurrentRecord(), kCurrentRecordSize);
    }
    Write(mouse, 0, block, 14);        // bytes 0-13
    Write(mouse, 15, block + 15, 4);   // bytes 15-18
    Write(mouse, 20, block + 20, 36);  // bytes 20-55
    ++sent;
  }
  if (pending.Take(DeviceKind::MousePad)) {
    Block block = {};
    {
      std::lock_guard<std::recursive_mutex> lock(ImageMutex());
      std::memcpy(block, Images().pad.current_record, kCurrentLightingSize);
    }
    Write(pad, 0, block, kFramePayload);
    ++sent;
  }
  return sent;
}

}  // namespace trx::app

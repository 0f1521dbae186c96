#include "settings/lighting_bytes.h"

#include "settings/mouse_config_image.h"

namespace trx {

namespace {
LightingBytes g_sync_lighting;  // guarded by ImageMutex()
}

uint8_t LightingBytes::SpeedFromSlider(int value) {
  const int speed = kLightSliderMax - value;
  return static_cast<uint8_t>(speed < 0 ? 0 : speed > 255 ? 255 : speed);
}

int LightingBytes::SliderFromSpeed(uint8_t speed) {
  const int value = kLightSliderMax - speed;
  return value < 0 ? 0 : value;
}

uint8_t* LightingRecordOf(DeviceKind kind) {
  ConfigImages& images = Images();
  switch (kind) {
    case DeviceKind::Keyboard: return images.keyboard.current_record;
    case DeviceKind::MousePad: return images.pad.current_record;
    case DeviceKind::Mouse: break;
  }
  return images.mouse.CurrentRecord();
}

LightingBytes LoadLightingLocked(const uint8_t* record) {
  LightingBytes b;
  b.mode = record[kRecLightMode];
  b.brightness = record[kRecLightBrightness];
  b.speed = record[kRecLightSpeed];
  b.direction = record[kRecLightDirection];
  b.colour_cycle = record[kRecColourCycle];
  b.red = record[kRecLightColour];
  b.green = record[kRecLightColour + 1];
  b.blue = record[kRecLightColour + 2];
  return b;
}

void StoreLightingLocked(uint8_t* record, const LightingBytes& b) {
  record[kRecLightMode] = b.mode;
  record[kRecLightBrightness] = b.brightness;
  record[kRecLightSpeed] = b.speed;
  record[kRecLightDirection] = b.direction;
  record[kRecColourCycle] = b.colour_cycle;
  record[kRecLightColour] = b.red;
  record[kRecLightColour + 1] = b.green;
  record[kRecLightColour + 2] = b.blue;
}

LightingBytes ReadLighting(DeviceKind kind) {
  std::lock_guard<std::recursive_mutex> lock(ImageMutex());
  return LoadLightingLocked(LightingRecordOf(kind));
}

void WriteLighting(DeviceKind kind, const LightingBytes& bytes) {
  std::lock_guard<std::recursive_mutex> lock(ImageMutex());
  StoreLightingLocked(LightingRecordOf(kind), bytes);
}

LightingBytes ReadSyncLighting() {
  std::lock_guard<std::recursive_mutex> lock(ImageMutex());
  return g_sync_lighting;
}

void WriteSyncLighting(const LightingBytes& bytes) {
  std::lock_guard<std::recursive_mutex> lock(ImageMutex());
  g_sync_lighting = bytes;
}

}  // namespace trx

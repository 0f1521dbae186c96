#include "profile/profile_data.h"

#include <cstring>

namespace trx {
namespace {

uint8_t AtLeastOne(uint8_t v) { return v == 0 ? 1 : v; }

// Keyboard light data offsets.
constexpr size_t kKbLightExtra = 64;
constexpr size_t kKbLightColours = 68;

void FoldMouseCurrent(MouseConfigImage& m) {
  std::memcpy(m.settings[0], m.current, kCurrentRecordSize);
  m.settings[0][kRecPointerSpeed] = m.pointer_speed;
  m.settings[0][kRecWheelLines] = m.wheel_lines;
}

void TakeMouseRecord(MouseConfigImage& m, const uint8_t* record) {
  std::memcpy(m.settings[0], record, kSettingsSlotSize);
  std::memcpy(m.current, m.settings[0], kCurrentRecordSize);
  m.pointer_speed = AtLeastOne(m.settings[0][kRecPointerSpeed]);
  m.wheel_lines = AtLeastOne(m.settings[0][kRecWheelLines]);
}

// A light profile is the lighting part only: its bytes 1-8 (mode to blue)
// and the computer's pointer speed and wheel lines it carries. The DPI
// levels, their colours, the report rate and the rest of the record stay
// as they are (a light profile file holds the whole record of when it was
// saved, which is not what choosing a lighting means).
void TakeMouseLighting(MouseConfigImage& m, const uint8_t* record) {
  constexpr size_t first = kRecLightMode;
  constexpr size_t count = kRecLightColour + 3 - kRecLightMode;
  std::memcpy(m.settings[0] + first, record + first, count);
  std::memcpy(m.current + first, record + first, count);
  m.pointer_speed = AtLeastOne(record[kRecPointerSpeed]);
  m.wheel_lines = AtLeastOne(record[kRecWheelLines]);
}

}  // namespace

std::vector<uint8_t> BuildProfileData(ConfigImages& images, const ProfileFamilyInfo& info) {
  std::vector<uint8_t> data(info.data_size, 0);
  MouseConfigImage& m = images.mouse;
  switch (info.kind) {
    case DeviceKind::Mouse:
      FoldMouseCurrent(m);
      if (info.family == ProfileFamily::Device) {
        std::memcpy(data.data(), m.key_blocks[0], kKeyBlockSize);
        std::memcpy(data.data() + kKeyBlockSize, m.settings[0], kSettingsSlotSize);
      } else if (info.family == ProfileFamily::Light) {
        std::memcpy(data.data(), m.settings[0], kSettingsSlotSize);
      } else {
        std::memcpy(data.data(), m.key_blocks[0], kKeyBlockSize);
      }
      break;
    case DeviceKind::Keyboard: {
      KeyboardImage& kb = images.keyboard;
      if (info.family == ProfileFamily::Light) {
        std::memcpy(kb.lighting_records[0], kb.current_record, kCurrentLightingSize);
        std::memcpy(data.data(), kb.lighting_records[0], kLightingRecordSize);
        for (size_t i = 0; i < 4; ++i) data[kKbLightExtra + i] = static_cast<uint8_t>(kb.lighting_extra >> (8 * i));
        std::memcpy(data.data() + kKbLightColours, kb.key_colours, kKeyboardKeyColoursSize);
      } else {
        std::memcpy(data.data(), kb.key_block, kKeyBlockSize);
      }
      break;
    }
    case DeviceKind::MousePad: {
      MousePadImage& pad = images.pad;
      std::memcpy(pad.lighting_records[0], pad.current_record, kCurrentLightingSize);
      std::memcpy(data.data(), pad.lighting_records[0], kLightingRecordSize);
      break;
    }
  }
  return data;
}

void ApplyProfileData(ConfigImages& images, const ProfileFamilyInfo& info, const uint8_t* data) {
  MouseConfigImage& m = images.mouse;
  switch (info.kind) {
    case DeviceKind::Mouse:
      if (info.family == ProfileFamily::Device) {
        std::memcpy(m.key_blocks[0], data, kKeyBlockSize);
        TakeMouseRecord(m, data + kKeyBlockSize);
      } else if (info.family == ProfileFamily::Light) {
        TakeMouseLighting(m, data);
      } else {
        std::memcpy(m.key_blocks[0], data, kKeyBlockSize);
      }
      break;
    case DeviceKind::Keyboard: {
      KeyboardImage& kb = images.keyboard;
      if (info.family == ProfileFamily::Light) {
        std::memcpy(kb.lighting_records[0], data, kLightingRecordSize);
        std::memcpy(kb.current_record, data, kCurrentLightingSize);
        kb.lighting_extra = 0;
        for (size_t i = 0; i < 4; ++i) kb.lighting_extra |= uint32_t{data[kKbLightExtra + i]} << (8 * i);
        std::memcpy(kb.key_colours, data + kKbLightColours, kKeyboardKeyColoursSize);
      } else {
        std::memcpy(kb.key_block, data, kKeyBlockSize);
      }
      break;
    }
    case DeviceKind::MousePad:
      // The current record follows too: the next save stores it back into
      // record 0, which would otherwise undo the load.
      std::memcpy(images.pad.lighting_records[0], data, kLightingRecordSize);
      std::memcpy(images.pad.current_record, data, kCurrentLightingSize);
      break;
  }
}

}  // namespace trx

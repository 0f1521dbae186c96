#include "settings/mouse_config_image.h"

#include <cstddef>
#include <cstring>

namespace trx {

static_assert(offsetof(MouseConfigImage, main_block) == 33);
static_assert(offsetof(MouseConfigImage, key_blocks) == 545);
static_assert(offsetof(MouseConfigImage, settings) == 3105);
static_assert(offsetof(MouseConfigImage, current) == 3425);
static_assert(offsetof(MouseConfigImage, pointer_speed) == 3459);
static_assert(offsetof(MouseConfigImage, wheel_lines) == 3460);

namespace {

bool ValidSlot(int k) { return k >= 0 && k < kOnboardProfileCount; }
bool ValidEntry(int i) { return i >= 0 && static_cast<size_t>(i) < kKeyAssignmentsPerBlock; }

KeyAssignment EntryAt(const uint8_t* block, int i) {
  const uint8_t* e = block + static_cast<size_t>(i) * kKeyAssignmentSize;
  return KeyAssignment{e[0], e[1], e[2]};
}

}  // namespace

void FillBuiltInMainBlock(uint8_t (&block)[kKeyBlockSize]) {
  static const uint8_t kEntries[6][3] = {
      {0x10, 0x01, 0x00}, {0x10, 0x04, 0x00}, {0x10, 0x02, 0x00},
      {0x10, 0x10, 0x00}, {0x10, 0x08, 0x00}, {0x13, 0x03, 0x00},
  };
  std::memcpy(block, kEntries, sizeof kEntries);
  std::memset(block + sizeof kEntries, kKeyTypeNone, 510 - sizeof kEntries);
  block[510] = 0;
  block[511] = 0;
}

MouseConfigImage MouseConfigImage::BuiltIn() {
  MouseConfigImage image;
  FillBuiltInMainBlock(image.main_block);
  return image;
}

bool MouseConfigImage::StoreCurrentRecord() {
  int k = ProfileIndex();
  if (!ValidSlot(k)) return false;
  std::memcpy(settings[k], current, kCurrentRecordSize);
  return true;
}

bool MouseConfigImage::LoadCurrentRecord(int k) {
  if (!ValidSlot(k)) return false;
  std::memcpy(current, settings[k], kCurrentRecordSize);
  current[kRecOnboardProfile] = static_cast<uint8_t>(k);
  return true;
}

KeyAssignment MouseConfigImage::Assignment(int k, int i) const {
  if (!ValidSlot(k) || !ValidEntry(i)) return {};
  return EntryAt(key_blocks[k], i);
}

bool MouseConfigImage::SetAssignment(int k, int i, uint8_t type, uint8_t param1, uint8_t param2) {
  if (!ValidSlot(k) || !ValidEntry(i)) return false;
  uint8_t* e = key_blocks[k] + static_cast<size_t>(i) * kKeyAssignmentSize;
  e[0] = type;
  e[1] = param1;
  e[2] = param2;
  return true;
}

KeyAssignment MouseConfigImage::DefaultAssignment(int i) const {
  if (!ValidEntry(i)) return {};
  return EntryAt(main_block, i);
}

uint16_t MouseConfigImage::SensorId() const {
  return static_cast<uint16_t>(device_info[kInfoSensorId] | device_info[kInfoSensorId + 1] << 8);
}

uint16_t MouseConfigImage::DpiBase() const {
  return static_cast<uint16_t>(device_info[kInfoDpiBase] | device_info[kInfoDpiBase + 1] << 8);
}

void MouseConfigImage::SetDpiBase(uint16_t base) {
  device_info[kInfoDpiBase] = static_cast<uint8_t>(base & 0xFF);
  device_info[kInfoDpiBase + 1] = static_cast<uint8_t>(base >> 8);
}

int MouseConfigImage::LevelDpi(int n) const {
  if (n < 1 || n > 4) return 0;
  return DpiBase() + current[kRecDpiLevels + static_cast<size_t>(n - 1)] * DpiStep();
}

}  // namespace trx

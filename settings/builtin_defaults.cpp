#include "settings/builtin_defaults.h"

#include <cstring>

namespace trx {
namespace {

// Bytes 0-8 shared by every device's lighting record.
void FillLighting(uint8_t* record) {
  record[kRecOnboardProfile] = 0;
  record[kRecLightMode] = 0;
  record[kRecLightBrightness] = 10;
  record[kRecLightSpeed] = 7;
  record[kRecLightDirection] = 0;
  record[kRecColourCycle] = 1;
  record[kRecLightColour + 0] = 0xFF;
  record[kRecLightColour + 1] = 0x00;
  record[kRecLightColour + 2] = 0x00;
}

uint8_t DpiPosition(int dpi) { return static_cast<uint8_t>((dpi - kDefaultDpiBase) / kDefaultDpiStep); }

}  // namespace

void DefaultMouseSettingsRecord(uint8_t (&record)[kSettingsSlotSize]) {
  std::memset(record, 0, sizeof record);
  FillLighting(record);
  record[kRecReportRate] = 0;
  const int kDpi[4] = {800, 1600, 3200, 6400};
  for (size_t n = 0; n < 4; ++n) record[kRecDpiLevels + n] = DpiPosition(kDpi[n]);
  const uint8_t kColours[4][3] = {{0xFF, 0, 0}, {0, 0xFF, 0}, {0, 0, 0xFF}, {0xFF, 0xFF, 0}};
  std::memcpy(record + kRecDpiColours, kColours, sizeof kColours);
  record[kRecPointerSpeed] = kDefaultPointerSpeed;
  record[kRecWheelLines] = kDefaultWheelLines;
}

void DefaultLightingRecord(uint8_t (&record)[kLightingRecordSize]) {
  std::memset(record, 0, sizeof record);
  FillLighting(record);
}

void DefaultKeyboardKeyBlock(uint8_t (&block)[kKeyBlockSize]) {
  std::memset(block, kKeyTypeNone, 510);
  block[510] = 0;
  block[511] = 0;
}

}  // namespace trx

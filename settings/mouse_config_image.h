#pragma once
// MouseConfigImage: the program's mirror of everything the mouse stores.
// A plain record: the same bytes go over the wire and into the profile
// files, so the member layout is exact (no padding, offsets below).
//
//   offset  size        member
//   0       33          device_info      reply bytes 8-40 of Read device information
//   33      512         main_block       factory key assignments (key block layout)
//   545     5 x 512     key_blocks[k]    button assignments of onboard profile k
//   3105    5 x 64      settings[k]      settings record of onboard profile k
//   3425    34          current          working copy of bytes 0-33 of the active record
//   3459    1           pointer_speed    the computer's pointer speed, 1-20
//   3460    1           wheel_lines      the computer's wheel scroll lines, 1-100
//   3461                (size)
//
// Device information (33 bytes; other bytes unused):
//   byte 6       macro memory size in units of 128 bytes
//   bytes 9-10   sensor id, little-endian (0x3325, 0x3050, 0x3360, 0x3310)
//   byte 11      DPI per slider step
//   byte 12      highest DPI slider position
//   bytes 13-14  DPI base (DPI at slider position 0), little-endian
//
// Settings record (64-byte slot; bytes 0-55 are the device's, 0-33 the
// current record):
//   0      onboard profile index 0-4 (current record: the active one)
//   1      light mode            2  light brightness     3  light speed (14 - slider)
//   4      direction 1 left/0 right                      5  colour cycle flag
//   6-8    light colour r, g, b  9  breathing colour set (lighting engine)
//   10-13  reserved              14 report rate (list index)
//   15-18  DPI levels 1-4 (slider positions)            19 current DPI level 0-5
//   20     reserved              21-32 DPI colours 1-4, r, g, b each
//   33     reserved              34 pointer speed copy (files only)
//   35     wheel lines copy (files only)                36-55 reserved
//   56-63  slot padding, never exchanged with the device
//
// Thread safety: the record itself takes no lock. The process-wide instance
// (config_images.h) is guarded by ImageMutex().

#include <cstddef>
#include <cstdint>

#include "settings/key_assignment.h"

namespace trx {

inline constexpr int kOnboardProfileCount = 5;
inline constexpr size_t kSettingsSlotSize = 64;
inline constexpr size_t kSettingsDeviceBytes = 56;  // bytes of a slot exchanged with the device
inline constexpr size_t kCurrentRecordSize = 34;

// Settings record byte offsets.
inline constexpr size_t kRecOnboardProfile = 0;
inline constexpr size_t kRecLightMode = 1;
inline constexpr size_t kRecLightBrightness = 2;
inline constexpr size_t kRecLightSpeed = 3;
inline constexpr size_t kRecLightDirection = 4;
inline constexpr size_t kRecColourCycle = 5;
inline constexpr size_t kRecLightColour = 6;  // 3 bytes r, g, b
inline constexpr size_t kRecBreathingSet = 9;
inline constexpr size_t kRecReportRate = 14;
inline constexpr size_t kRecDpiLevels = 15;  // 4 bytes, levels 1-4
inline constexpr size_t kRecCurrentDpiLevel = 19;
inline constexpr size_t kRecDpiColours = 21;  // 4 x 3 bytes
inline constexpr size_t kRecPointerSpeed = 34;
inline constexpr size_t kRecWheelLines = 35;

// Device information byte offsets.
inline constexpr size_t kInfoMacroMemoryUnits = 6;
inline constexpr size_t kInfoSensorId = 9;  // 2 bytes LE
inline constexpr size_t kInfoDpiStep = 11;
inline constexpr size_t kInfoDpiMaxPosition = 12;
inline constexpr size_t kInfoDpiBase = 13;  // 2 bytes LE

struct MouseConfigImage {
  uint8_t device_info[33] = {};
  uint8_t main_block[kKeyBlockSize] = {};
  uint8_t key_blocks[kOnboardProfileCount][kKeyBlockSize] = {};
  uint8_t settings[kOnboardProfileCount][kSettingsSlotSize] = {};
  uint8_t current[kCurrentRecordSize] = {};
  uint8_t pointer_speed = 0;
  uint8_t wheel_lines = 0;

  // All zero except the built-in main block.
  static MouseConfigImage BuiltIn();

  uint8_t* CurrentRecord() { return current; }
  const uint8_t* CurrentRecord() const { return current; }
  uint8_t ProfileIndex() const { return current[kRecOnboardProfile]; }

  // Copies the current record into bytes 0-33 of slot ProfileIndex().
  // False (nothing copied) when that index is not 0-4.
  bool StoreCurrentRecord();
  // Copies bytes 0-33 of slot k into the current record, byte 0 := k.
  // False (nothing changed) when k is not 0-4.
  bool LoadCurrentRecord(int k);

  // Entry i (0-169) of key block k (0-4); a zero entry when out of range.
  KeyAssignment Assignment(int k, int i) const;
  // False (nothing written) when k or i is out of range.
  bool SetAssignment(int k, int i, uint8_t type, uint8_t param1, uint8_t param2);
  // Entry i of the main block.
  KeyAssignment DefaultAssignment(int i) const;

  uint16_t SensorId() const;
  uint16_t DpiBase() const;
  void SetDpiBase(uint16_t base);
  uint8_t DpiStep() const { return device_info[kInfoDpiStep]; }
  // DPI of level n (1-4) of the current record: base + position * step.
  int LevelDpi(int n) const;
};

static_assert(sizeof(MouseConfigImage) == 3461, "MouseConfigImage layout is a file and wire format");

// The built-in main block: entries 0-5 below, bytes 18-509 0x05, 510-511 0.
//   entry  type  p1    p2    function
//   0      0x10  0x01  0x00  left button
//   1      0x10  0x04  0x00  middle button
//   2      0x10  0x02  0x00  right button
//   3      0x10  0x10  0x00  forward button
//   4      0x10  0x08  0x00  back button
//   5      0x13  0x03  0x00  DPI loop
void FillBuiltInMainBlock(uint8_t (&block)[kKeyBlockSize]);

}  // namespace trx

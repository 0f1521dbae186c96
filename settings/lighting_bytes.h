#pragma once
// The lighting bytes 1-8 of a device's current record, as one unit.
//
//   byte 1 mode   2 brightness   3 speed (14 - slider, never below 0)
//   4 direction (1 left, 0 right)   5 colour cycle flag   6-8 colour r, g, b
//
// The same eight bytes sit at the same offsets in the mouse's current record
// and in the keyboard's and the mouse pad's 21-byte current lighting
// records; the synchronised-lighting settings hold them too.
//
// Publication. The UI thread writes these bytes while the lighting threads
// read them to animate the LEDs and the preview. A reader must never see a
// colour half written (red new, blue old), so every read and write of the
// unit goes through the functions below, which hold ImageMutex() for the
// copy: a reader gets all eight bytes as one writer left them.
//
// Any thread. None of these functions does device I/O or file I/O.

#include <cstdint>

#include "device/device_channel.h"

namespace trx {

inline constexpr int kLightSliderMax = 14;

struct LightingBytes {
  uint8_t mode = 0;
  uint8_t brightness = 0;
  uint8_t speed = 0;  // 14 - speed slider value
  uint8_t direction = 0;
  uint8_t colour_cycle = 0;
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;

  // Speed byte for a slider value: 14 - value, never below 0.
  static uint8_t SpeedFromSlider(int value);
  // Slider value for a speed byte (the inverse, clamped to 0-14).
  static int SliderFromSpeed(uint8_t speed);
  uint32_t Argb() const { return 0xFF000000u | uint32_t{red} << 16 | uint32_t{green} << 8 | blue; }
  void SetColour(uint32_t argb) {
    red = static_cast<uint8_t>(argb >> 16);
    green = static_cast<uint8_t>(argb >> 8);
    blue = static_cast<uint8_t>(argb);
  }
  bool operator==(const LightingBytes&) const = default;
};

// A consistent copy of the device's bytes 1-8.
LightingBytes ReadLighting(DeviceKind kind);
// Replaces the device's bytes 1-8 at once.
void WriteLighting(DeviceKind kind, const LightingBytes& bytes);
// Read, change, write as one step under the image mutex; returns the
// bytes written.
template <typename Fn>
LightingBytes UpdateLighting(DeviceKind kind, Fn&& change);

// The synchronised-lighting settings (the same eight bytes).
LightingBytes ReadSyncLighting();
void WriteSyncLighting(const LightingBytes& bytes);

// The record's first byte (bytes 1-8 follow it). Hold ImageMutex().
uint8_t* LightingRecordOf(DeviceKind kind);

}  // namespace trx

#include <mutex>

#include "settings/config_images.h"

namespace trx {

LightingBytes LoadLightingLocked(const uint8_t* record);
void StoreLightingLocked(uint8_t* record, const LightingBytes& bytes);

template <typename Fn>
LightingBytes UpdateLighting(DeviceKind kind, Fn&& change) {
  std::lock_guard<std::recursive_mutex> lock(ImageMutex());
  uint8_t* record = LightingRecordOf(kind);
  LightingBytes bytes = LoadLightingLocked(record);
  change(bytes);
  StoreLightingLocked(record, bytes);
  return bytes;
}

}  // namespace trx

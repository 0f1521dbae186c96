#pragma once
// The DPI range by sensor: the sensor id (device information bytes 9-10,
// little endian) gives the DPI base; the step (byte 11) and the highest
// slider position (byte 12) always come from the device.
//
//   sensor id   DPI base   range shown
//   0x3325      200        200 - 5000
//   0x3050      250        250 - 4000
//   0x3360      100        100 - 12000
//   0x3310       50         50 - 5000
//   other       device information bytes 13-14 (the device's own value)

#include <cstdint>
#include <optional>

namespace trx {

struct SensorRange {
  uint16_t sensor_id;
  int dpi_base;
  int dpi_min;
  int dpi_max;
};

inline constexpr SensorRange kSensorRanges[] = {
    {0x3325, 200, 200, 5000},
    {0x3050, 250, 250, 4000},
    {0x3360, 100, 100, 12000},
    {0x3310, 50, 50, 5000},
};

// The range of a known sensor.
std::optional<SensorRange> RangeOfSensor(uint16_t sensor_id);
// The DPI base for this device information (33 bytes): the sensor's, else
// the device's own (bytes 13-14).
int DpiBase(const uint8_t* info);
// DPI of a slider position: base + position x step (byte 11).
int DpiOfPosition(const uint8_t* info, uint8_t position);
// The highest DPI: the position of byte 12.
int DpiMax(const uint8_t* info);
// The slider position showing `dpi`, or nothing when base and step can't
// reach it (below the base, above DpiMax, or between two steps).
std::optional<uint8_t> PositionOfDpi(const uint8_t* info, int dpi);
// The position whose DPI is nearest to `dpi`, within 0 .. byte 12.
uint8_t NearestPositionOfDpi(const uint8_t* info, int dpi);

}  // namespace trx

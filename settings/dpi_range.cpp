#include "settings/dpi_range.h"

#include "settings/mouse_config_image.h"

namespace trx {

std::optional<SensorRange> RangeOfSensor(uint16_t sensor_id) {
  for (const SensorRange& r : kSensorRanges)
    if (r.sensor_id == sensor_id) return r;
  return std::nullopt;
}

int DpiBase(const uint8_t* info) {
  const uint16_t sensor = static_cast<uint16_t>(info[kInfoSensorId] | (info[kInfoSensorId + 1] << 8));
  if (auto range = RangeOfSensor(sensor)) return range->dpi_base;
  return info[kInfoDpiBase] | (info[kInfoDpiBase + 1] << 8);
}

int DpiOfPosition(const uint8_t* info, uint8_t position) { return DpiBase(info) + position * info[kInfoDpiStep]; }

}  // namespace trx

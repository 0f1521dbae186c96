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

int DpiMax(const uint8_t* info) { return DpiOfPosition(info, info[kInfoDpiMaxPosition]); }

std::optional<uint8_t> PositionOfDpi(const uint8_t* info, int dpi) {
  const int base = DpiBase(info);
  const int step = info[kInfoDpiStep];
  if (dpi < base || dpi > DpiMax(info)) return std::nullopt;
  if (step == 0) return dpi == base ? std::optional<uint8_t>(0) : std::nullopt;
  if ((dpi - base) % step != 0) return std::nullopt;
  return static_cast<uint8_t>((dpi - base) / step);
}

uint8_t NearestPositionOfDpi(const uint8_t* info, int dpi) {
  const int base = DpiBase(info);
  const int step = info[kInfoDpiStep];
  const int highest = info[kInfoDpiMaxPosition];
  if (step == 0 || dpi <= base) return 0;
  const int position = (dpi - base + step / 2) / step;
  return static_cast<uint8_t>(position > highest ? highest : position);
}

}  // namespace trx

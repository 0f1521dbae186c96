#include "services/device_snapshot.h"

#include <mutex>

#include "device/commands.h"
#include "settings/dpi_range.h"
#include "settings/mouse_config_image.h"

namespace trx {

CommandResult ReadDeviceSnapshot(CDeviceChannel& channel, DeviceSnapshot& out) {
  std::lock_guard<std::recursive_mutex> hold(channel.lock);
  out.kind = channel.kind;
  const CommandResult rc = BeginTransfer(channel);
  if (rc != kResultOk) return rc;
  CommandResult first_failure = kResultOk;
  auto note = [&](CommandResult result) {
    if (result != kResultOk && first_failure == kResultOk) first_failure = result;
    return result == kResultOk;
  };
  if (note(ReadDeviceInformation(channel, out.info.data())) && channel.kind == DeviceKind::Keyboard)
    out.block_size = out.info[5] * 3;
  else if (channel.kind == DeviceKind::Mouse)
    out.block_size = channel.block_size;  // the pad has no key blocks
  for (int k = 0; k < 5 && first_failure == kResultOk; ++k)
    note(ReadSettingsBytes(channel, static_cast<uint16_t>(k * kSettingsSlotSize), out.records[k].data(),
                           kSnapshotRecordBytes));
  uint8_t active = 0;
  if (first_failure == kResultOk && note(ReadSettingsBytes(channel, 0, &active, 1))) out.active_profile = active;
  note(EndTransfer(channel));
  return first_failure;
}

MouseRecordView DecodeMouseRecord(const uint8_t* info, const uint8_t* record) {
  MouseRecordView v;
  v.light_mode = record[kRecLightMode];
  v.brightness = record[kRecLightBrightness];
  v.speed = record[kRecLightSpeed];
  v.direction = record[kRecLightDirection];
  v.colour_cycle = record[kRecColourCycle] != 0;
  for (int i = 0; i < 3; ++i) v.light_colour[i] = record[kRecLightColour + i];
  v.report_rate_index = record[kRecReportRate];
  v.report_rate_hz = v.report_rate_index < 4 ? kReportRatesHz[v.report_rate_index] : 0;
  for (int level = 0; level < 4; ++level) {
    v.dpi_positions[level] = record[kRecDpiLevels + level];
    v.dpi[level] = DpiOfPosition(info, record[kRecDpiLevels + level]);
    for (int i = 0; i < 3; ++i) v.dpi_colours[level][i] = record[kRecDpiColours + 3 * level + i];
  }
  v.current_dpi_level = record[kRecCurrentDpiLevel];
  return v;
}

}  // namespace trx

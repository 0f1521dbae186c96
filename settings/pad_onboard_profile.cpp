#include "settings/pad_onboard_profile.h"

#include <cstring>
#include <mutex>

#include "device/commands.h"
#include "platform/debug_log.h"
#include "settings/config_images.h"

namespace trx {

OnboardSwitchResult SwitchPadOnboardProfile(CDeviceChannel& pad, int k) {
  if (k < 0 || k >= kLightingRecordCount) return kSwitchBadIndex;
  std::lock_guard<std::recursive_mutex> channel_guard(pad.lock);

  uint8_t active = 0;
  CommandResult rc = ReadSettingsBytes(pad, 0, &active, 1);
  if (rc != kResultOk) {
    DebugLineF("pad onboard profile switch: active index unreadable (%d), nothing changed", CommandCode(rc));
    return SwitchResultOf(rc);
  }
  if (active >= kLightingRecordCount) {
    DebugLineF("pad onboard profile switch: device reports index %u, nothing changed", active);
    return kSwitchDeviceIndexInvalid;
  }
  if (active == k) return kSwitchAlreadyActive;
  {
    std::lock_guard<std::recursive_mutex> image_guard(ImageMutex());
    MousePadImage& image = Images().pad;
    std::memcpy(image.lighting_records[active], image.current_record, kCurrentLightingSize);
  }
  const auto index = static_cast<uint8_t>(k);
  rc = WriteSettingsBytes(pad, 0, &index, 1);
  if (rc != kResultOk) {
    DebugLineF("pad onboard profile switch: writing index %d failed (%d)", k, CommandCode(rc));
    return SwitchResultOf(rc);
  }
  uint8_t slot[kSettingsDeviceBytes];
  const CommandResult read_rc = ReadSettingsBytes(pad, static_cast<uint16_t>(k * kLightingRecordSize), slot, sizeof slot);
  std::lock_guard<std::recursive_mutex> image_guard(ImageMutex());
  MousePadImage& image = Images().pad;
  if (read_rc == kResultOk) std::memcpy(image.lighting_records[k], slot, sizeof slot);
  else DebugLineF("pad onboard profile switch: reading slot %d failed (%d), its stored bytes are used", k, CommandCode(read_rc));
  std::memcpy(image.current_record, image.lighting_records[k], kCurrentLightingSize);
  image.current_record[0] = index;
  return kSwitchDone;
}

}  // namespace trx

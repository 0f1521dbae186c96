#include "settings/onboard_profile.h"

#include <cstring>
#include <mutex>

#include "device/commands.h"
#include "platform/debug_log.h"
#include "settings/config_images.h"
#include "settings/settings_host.h"

namespace trx {

const char* OnboardSwitchResultName(OnboardSwitchResult result) {
  switch (result) {
    case OnboardSwitchResult::Done: return "switched";
    case OnboardSwitchResult::AlreadyActive: return "already active";
    case OnboardSwitchResult::RequestOutOfRange: return "onboard profile number out of range";
    case OnboardSwitchResult::DeviceIndexInvalid: return "the device reports an invalid active profile";
    default: break;
  }
  return CommandResultName(static_cast<CommandResult>(static_cast<int>(result)));
}

OnboardSwitchResult SwitchOnboardProfile(CDeviceChannel& mouse, int k) {
  if (k < 0 || k >= kOnboardProfileCount) return kSwitchBadIndex;
  {
    std::lock_guard<std::recursive_mutex> channel_guard(mouse.lock);

    uint8_t active = 0;
    CommandResult rc = ReadSettingsBytes(mouse, 0, &active, 1);
    if (rc != kResultOk) {
      DebugLineF("onboard profile switch: active index unreadable (%d), nothing changed", CommandCode(rc));
      return SwitchResultOf(rc);
    }
    if (active >= kOnboardProfileCount) {
      DebugLineF("onboard profile switch: device reports index %u, nothing changed", active);
      return kSwitchDeviceIndexInvalid;
    }
    if (active == k) return kSwitchAlreadyActive;

    {
      std::lock_guard<std::recursive_mutex> image_guard(ImageMutex());
      MouseConfigImage& image = Images().mouse;
      std::memcpy(image.settings[active], image.current, kCurrentRecordSize);
    }

    uint8_t index = static_cast<uint8_t>(k);
    rc = WriteSettingsBytes(mouse, 0, &index, 1);
    if (rc != kResultOk) {
      DebugLineF("onboard profile switch: writing index %d failed (%d)", k, CommandCode(rc));
      return SwitchResultOf(rc);
    }

    uint8_t slot[kSettingsDeviceBytes];
    CommandResult read_rc = ReadSettingsBytes(mouse, static_cast<uint16_t>(k * kSettingsSlotSize), slot, sizeof slot);
    std::lock_guard<std::recursive_mutex> image_guard(ImageMutex());
    MouseConfigImage& image = Images().mouse;
    if (read_rc == kResultOk) std::memcpy(image.settings[k], slot, sizeof slot);
    image.LoadCurrentRecord(k);
  }
  if (ISettingsHost* host = SettingsHost()) {
    host->HideMouseFunctionPanel();
    host->RefreshMousePages();
  }
  return kSwitchDone;
}

ProfileSaveResult SaveLightAndDeviceProfile() {
  IProfileSaver* saver = ProfileSaver();
  if (!saver) return ProfileSaveResult::Saved;
  const ProfileSaveResult light = saver->SaveCurrentProfile(DeviceKind::Mouse, ProfileFamily::Light);
  const ProfileSaveResult device = saver->SaveCurrentProfile(DeviceKind::Mouse, ProfileFamily::Device);
  return light != ProfileSaveResult::Saved ? light : device;
}

}  // namespace trx

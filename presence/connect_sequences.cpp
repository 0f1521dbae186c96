#include "presence/connect_sequences.h"

#include <mutex>

#include "platform/debug_log.h"
#include "presence/device_reads.h"
#include "presence/presence_messages.h"
#include "presence/presence_threads.h"
#include "profile/effective_profile.h"
#include "profile/new_profiles.h"
#include "profile/profile_store.h"
#include "settings/config_images.h"

namespace trx {
namespace {

int Selected(DeviceKind kind, ProfileFamily family) {
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  return info != nullptr ? EffectiveProfileIndex(*info) : 0;  // the linked one while its program is in front
}

bool ReadWhole(ReadOutcome read) { return read == ReadOutcome::kReadComplete || read == ReadOutcome::kReadSaveFailed; }

// A new profile (the first run's, from the defaults) holds no choice of
// the user's: it takes the device's own settings from a whole read
// (computer-side values, such as the keyboard's per-key colours, stay from
// the default file the connect loaded) and is not applied on arrival. A
// read cut short leaves it marked for the next connect.
void FillNewProfiles(DeviceKind kind, ReadOutcome read) {
  if (!ReadWhole(read)) return;
  for (const ProfileFamilyInfo* info : FamiliesOf(kind)) {
    if (!IsNewProfile(kind, info->family)) continue;
    if (SaveCurrentProfile(kind, info->family) == ProfileSaveResult::Saved) ClearNewProfile(kind, info->family);
    else DebugLineF("%s: new profile not filled from the device", DeviceKindName(kind));
  }
}

// Keyboard and pad: a new profile's computer-side values come from its
// file; the read then replaces what the device holds.
void LoadNewProfiles(DeviceKind kind) {
  for (const ProfileFamilyInfo* info : FamiliesOf(kind))
    if (IsNewProfile(kind, info->family)) LoadProfile(kind, info->family, Selected(kind, info->family));
}

}  // namespace

ConnectResult ConnectDevice(IPresenceHost& host, DeviceKind kind, CEvent& stop) {
  CDeviceChannel& channel = host.Channel(kind);
  ConnectResult result;
  switch (kind) {
    case DeviceKind::Mouse:
      // The device profile brings the computer-side values (pointer speed,
      // wheel lines) the device does not hold.
      result.device_profile = Selected(kind, ProfileFamily::Device);
      result.device_profile_new = IsNewProfile(kind, ProfileFamily::Device);
      LoadProfile(kind, ProfileFamily::Device, result.device_profile);
      result.read = ReadMouseDevice(host);
      FillNewProfiles(kind, result.read);
      host.ReadMouseRoutines();
      break;
    case DeviceKind::Keyboard: {
      {
        std::lock_guard<std::recursive_mutex> image(ImageMutex());
        KeyboardImage& kb = Images().keyboard;
        kb.variant = KeyboardVariantFromProductId(channel.transport.attributes.product_id, kb.variant);
      }
      // Gives the keyboard a moment after the open before the first frame.
      stop.Wait(kKeyboardConnectPauseMs);
      channel.connected = 1;
      result.light_profile_new = IsNewProfile(kind, ProfileFamily::Light);
      result.key_profile_new = IsNewProfile(kind, ProfileFamily::Key);
      LoadNewProfiles(kind);
      result.read = ReadKeyboardDevice(host);
      FillNewProfiles(kind, result.read);
      result.light_profile = Selected(kind, ProfileFamily::Light);
      result.key_profile = Selected(kind, ProfileFamily::Key);
      break;
    }
    case DeviceKind::MousePad:
      channel.connected = 1;
      result.light_profile_new = IsNewProfile(kind, ProfileFamily::Light);
      LoadNewProfiles(kind);
      result.read = ReadMousePadDevice(host);
      FillNewProfiles(kind, result.read);
      result.light_profile = Selected(kind, ProfileFamily::Light);
      break;
  }
  return result;
}

void ShowConnectedDevice(IPresenceHost& host, DeviceKind kind, const ConnectResult& result) {
  host.OnDeviceConnected(kind, result);
  // (Only the keyboard's read has an outcome the user must see.)
  ShowReadOutcome(host, result.read);
  host.StartTimer(kRepaintTimerId, kRepaintTimerAfterConnectMs);
}

}  // namespace trx

#include "presence/connect_sequences.h"

#include <mutex>

#include "presence/presence_messages.h"
#include "presence/presence_threads.h"
#include "profile/effective_profile.h"
#include "profile/profile_store.h"
#include "settings/config_images.h"

namespace trx {
namespace {

int Selected(DeviceKind kind, ProfileFamily family) {
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  return info != nullptr ? EffectiveProfileIndex(*info) : 0;  // the linked one while its program is in front
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
      LoadProfile(kind, ProfileFamily::Device, result.device_profile);
      result.read = ReadMouseDevice(host);
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
      result.read = ReadKeyboardDevice(host);
      result.light_profile = Selected(kind, ProfileFamily::Light);
      result.key_profile = Selected(kind, ProfileFamily::Key);
      break;
    }
    case DeviceKind::MousePad:
      channel.connected = 1;
      result.read = ReadMousePadDevice(host);
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

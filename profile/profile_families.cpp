#include "profile/profile_families.h"

#include "platform/user_folders.h"
#include "profile/profile_keys.h"
#include "profile/profile_names.h"

namespace trx {
namespace {

constexpr ProfileFamilyInfo kFamilies[] = {
    {DeviceKind::Mouse, ProfileFamily::Device, kSecDeviceCount, kSecDeviceName, kSecDeviceSelect, kSecDeviceLink,
     kSecDeviceProcess, ".config", ".config", kMouseDeviceDataSize},
    {DeviceKind::Mouse, ProfileFamily::Light, kSecLightCount, kSecLightName, kSecLightSelect, kSecLightLink,
     kSecLightProcess, ".led", ".led", kMouseLightDataSize},
    {DeviceKind::Mouse, ProfileFamily::Key, kSecKeyCount, kSecKeyName, kSecKeySelect, kSecKeyLink, kSecKeyProcess,
     ".PRO", ".pro", kKeyDataSize},
    {DeviceKind::Keyboard, ProfileFamily::Light, kSecLightCount, kSecLightName, kSecLightSelect, kSecLightLink,
     kSecLightProcess, ".led", ".led", kKeyboardLightDataSize},
    {DeviceKind::Keyboard, ProfileFamily::Key, kSecKeyCount, kSecKeyName, kSecKeySelect, kSecKeyLink,
     kSecKeyProcess, ".PRO", ".pro", kKeyDataSize},
    {DeviceKind::MousePad, ProfileFamily::Light, kSecLightCount, kSecLightName, kSecLightSelect, kSecLightLink,
     kSecLightProcess, ".led", ".led", kPadLightDataSize},
};

const char* FolderName(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::Keyboard: return kKeyboardFolder;
    case DeviceKind::MousePad: return kPadFolder;
    case DeviceKind::Mouse: break;
  }
  return kMouseFolder;
}

const char* IniName(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::Keyboard: return kKeyboardIni;
    case DeviceKind::MousePad: return kPadIni;
    case DeviceKind::Mouse: break;
  }
  return kMouseIni;
}

}  // namespace

const ProfileFamilyInfo* FindFamily(DeviceKind kind, ProfileFamily family) {
  for (const ProfileFamilyInfo& info : kFamilies)
    if (info.kind == kind && info.family == family) return &info;
  return nullptr;
}

std::vector<const ProfileFamilyInfo*> FamiliesOf(DeviceKind kind) {
  std::vector<const ProfileFamilyInfo*> out;
  for (const ProfileFamilyInfo& info : kFamilies)
    if (info.kind == kind) out.push_back(&info);
  return out;
}

std::string ProfileFolder(DeviceKind kind) {
  std::string folder = UserDataFolder() + FolderName(kind) + "/";
  EnsureFolder(folder);
  return folder;
}

std::string ProfileIniPath(DeviceKind kind) { return ProfileFolder(kind) + IniName(kind); }

bool IsValidProfileName(const std::string& name) { return ProfileNameProblem(name).empty(); }

std::string ProfileFilePath(const ProfileFamilyInfo& info, const std::string& name, bool for_write) {
  if (!IsValidProfileName(name)) return {};
  return ProfileFolder(info.kind) + name + (for_write ? info.write_extension : info.read_extension);
}

std::string DefaultProfileFileName(const ProfileFamilyInfo& info, int keyboard_variant) {
  if (keyboard_variant < 0 || keyboard_variant > 2) keyboard_variant = 0;
  switch (info.kind) {
    case DeviceKind::Mouse:
      return info.family == ProfileFamily::Device ? kDefaultMouseDevice
             : info.family == ProfileFamily::Light ? kDefaultMouseLight
                                                   : kDefaultMouseKey;
    case DeviceKind::Keyboard:
      return info.family == ProfileFamily::Light ? kDefaultKeyboardLight[keyboard_variant]
                                                 : kDefaultKeyboardKey[keyboard_variant];
    case DeviceKind::MousePad:
      break;
  }
  return kDefaultPadLight;
}

}  // namespace trx

#pragma once
// The profile families of each device: where their index entries are, the
// file type and its data size and the default file of the program folder.
//
//   device    family  read ext  write ext  data bytes  data
//   mouse     device  .config   .config    576   key block 0 (512), settings record 0 (64)
//   mouse     light   .led      .led        64   settings record 0
//   mouse     key     .PRO      .pro       512   key block 0
//   keyboard  light   .led      .led      1958   lighting record 0 (64), lighting extra
//                                                (4, LE), per-key colours (1888), 0, 0
//   keyboard  key     .PRO      .pro       512   key block
//   pad       light   .led      .led        64   lighting record 0
//
// Reads find the file whatever the case of its extension; writes use the
// lower-case one.

#include <cstddef>
#include <string>
#include <vector>

#include "device/device_channel.h"
#include "settings/settings_host.h"

namespace trx {

struct ProfileFamilyInfo {
  DeviceKind kind;
  ProfileFamily family;
  const char* count_section;
  const char* name_section;
  const char* select_section;
  const char* link_section;
  const char* process_section;
  const char* read_extension;
  const char* write_extension;
  size_t data_size;
};

inline constexpr size_t kMouseDeviceDataSize = 576;
inline constexpr size_t kMouseLightDataSize = 64;
inline constexpr size_t kKeyDataSize = 512;
inline constexpr size_t kKeyboardLightDataSize = 1958;
inline constexpr size_t kPadLightDataSize = 64;

// Null when the device has no such family (mouse pad keys, keyboard device).
const ProfileFamilyInfo* FindFamily(DeviceKind kind, ProfileFamily family);
// The device's families in initialisation order (device, light, key).
std::vector<const ProfileFamilyInfo*> FamiliesOf(DeviceKind kind);

// The device folder ("<Documents>/Dirari DovevO1/ms/" ...), created on the
// way, with a trailing '/'.
std::string ProfileFolder(DeviceKind kind);
// The device's INI index in its folder.
std::string ProfileIniPath(DeviceKind kind);

// A profile name is used as a file name: ProfileNameProblem
// (profile/profile_names.h) says nothing against it.
bool IsValidProfileName(const std::string& name);

// Folder + name + extension; empty when the name is not valid.
std::string ProfileFilePath(const ProfileFamilyInfo& info, const std::string& name, bool for_write);

// The default file name in the program folder; the keyboard's depends on
// its layout variant (0-2).
std::string DefaultProfileFileName(const ProfileFamilyInfo& info, int keyboard_variant);

}  // namespace trx

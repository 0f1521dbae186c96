// SelectProfile and RestoreDefaultProfile: the operations that move a
// profile into the image and onto the device (contract in
// profile_operations.h).

#include <cstring>
#include <memory>
#include <mutex>

#include "device/commands.h"
#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "platform/program_folder.h"
#include "profile/effective_profile.h"
#include "profile/new_profiles.h"
#include "profile/profile_data.h"
#include "profile/profile_file.h"
#include "profile/profile_keys.h"
#include "profile/profile_operations.h"
#include "profile/profile_store.h"
#include "settings/config_images.h"

namespace trx {
namespace {

// A mouse device profile leaves the current record's report rate and
// active DPI level as they were: both are the mouse's own state until a
// whole record is sent.
bool KeepsRateAndLevel(const ProfileFamilyInfo& info) {
  return info.kind == DeviceKind::Mouse && info.family == ProfileFamily::Device;
}

// The profile's data put into `images` as a load does.
void Load(ConfigImages& images, const ProfileFamilyInfo& info, const std::vector<uint8_t>& data) {
  const uint8_t rate = images.mouse.current[kRecReportRate];
  const uint8_t level = images.mouse.current[kRecCurrentDpiLevel];
  ApplyProfileData(images, info, data.data());
  if (KeepsRateAndLevel(info)) {
    images.mouse.current[kRecReportRate] = rate;
    images.mouse.current[kRecCurrentDpiLevel] = level;
  }
}

bool SendsKeyBlock(const ProfileFamilyInfo& info) {
  return info.family == ProfileFamily::Key || (info.kind == DeviceKind::Mouse && info.family == ProfileFamily::Device);
}
bool MarksPending(const ProfileFamilyInfo& info) { return info.family != ProfileFamily::Key; }
bool HasPointerSettings(const ProfileFamilyInfo& info) {
  return info.kind == DeviceKind::Mouse && info.family != ProfileFamily::Key;
}

// What the device gets, copied from an image with the profile loaded.
struct DeviceWrites {
  bool record = false;  // mouse device: the whole first 34 bytes of settings record 0
  uint8_t settings[kCurrentRecordSize] = {};
  bool key_block = false;
  uint8_t keys[kKeyBlockSize] = {};
};

DeviceWrites WritesOf(const ConfigImages& images, const ProfileFamilyInfo& info) {
  DeviceWrites w;
  if (info.kind == DeviceKind::Mouse && info.family == ProfileFamily::Device) {
    w.record = true;
    std::memcpy(w.settings, images.mouse.settings[0], kCurrentRecordSize);
  }
  if (SendsKeyBlock(info)) {
    w.key_block = true;
    std::memcpy(w.keys, info.kind == DeviceKind::Keyboard ? images.keyboard.key_block : images.mouse.key_blocks[0],
                kKeyBlockSize);
  }
  return w;
}

// Sends the writes; Ok when every command was taken (or there is no
// connected device), else the first failure's command result.
CommandResult Send(const DeviceWrites& w, CDeviceChannel* channel) {
  if (channel == nullptr || !channel->connected) return kResultOk;
  if (w.record) {
    const CommandResult rc = WriteSettingsBytes(*channel, 0, w.settings, kCurrentRecordSize);
    if (rc != kResultOk) return rc;
  }
  if (w.key_block) {
    if (channel->block_size > kKeyBlockSize) return kResultWriteFailed;  // the image's blocks are 512 bytes
    return WriteKeyBlock(*channel, 0, w.keys);
  }
  return kResultOk;
}

ProfileSelection SelectionOf(const ProfileFamilyInfo& info, int index, bool restored) {
  ProfileSelection s;
  s.kind = info.kind;
  s.family = info.family;
  s.index = index;
  s.restored = restored;
  if (HasPointerSettings(info)) {
    WithImage([&s](ConfigImages& images) {
      s.pointer_speed = images.mouse.pointer_speed;
      s.wheel_lines = images.mouse.wheel_lines;
    });
  }
  const std::string ini = ProfileIniPath(info.kind);
  s.linked = GetPrivateProfileLong(info.link_section, std::to_string(index), ini) == 1;
  if (s.linked) GetPrivateProfileString(info.process_section, std::to_string(index), " ", s.linked_program, ini);
  return s;
}

}  // namespace

ProfileOpResult SelectProfile(DeviceKind kind, ProfileFamily family, int index, IProfileSelectTarget& target,
                              SelectBy by) {
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  if (!info) return ProfileOpResult::NoSuchFamily;
  const std::vector<std::string> names = ProfileNames(*info);
  if (index < 0 || index >= static_cast<int>(names.size())) return ProfileOpResult::NoSuchProfile;
  const std::string path = ProfileFilePath(*info, names[index], false);
  std::vector<uint8_t> data(info->data_size, 0);
  const ProfileReadResult rc = path.empty() ? kProfileMissing : ReadProfileFile(path, data.size(), data.data());
  if (rc != kProfileReadOk) {
    DebugLine(rc == kProfileBadMagic ? kDebugProfileBadFormat : kDebugProfileMissing);
    return rc == kProfileBadMagic ? ProfileOpResult::FileBad : ProfileOpResult::FileMissing;
  }

  // The device first, from a copy: a device that fails (or goes) here
  // leaves the image, the index and every file as they were.
  auto writes = std::make_unique<DeviceWrites>();
  auto copy = std::make_unique<ConfigImages>();
  WithImage([&copy](ConfigImages& images) { *copy = images; });
  Load(*copy, *info, data);
  *writes = WritesOf(*copy, *info);
  const CommandResult sent = Send(*writes, target.Channel(kind));
  if (sent != kResultOk) {
    DebugLineF("profile select (%s %d): the %s answered %s; nothing changed", DeviceKindName(kind), index,
               DeviceKindName(kind), CommandResultName(sent));
    return ProfileOpResult::DeviceFailed;
  }
  WithImage([&](ConfigImages& images) { Load(images, *info, data); });
  SetEffectiveProfile(*info, index);
  ClearNewProfile(kind, family);  // applied: the device holds it now
  if (by == SelectBy::User &&
      !WritePrivateProfileString(info->select_section, kIniKeySelect, std::to_string(index), ProfileIniPath(kind)))
    DebugLine(kDebugFileOpenFailed);
  if (MarksPending(*info)) target.MarkSettingsPending(kind);
  target.ProfileSelected(SelectionOf(*info, index, false));
  return ProfileOpResult::Ok;
}

ProfileOpResult RestoreDefaultProfile(DeviceKind kind, ProfileFamily family, IProfileSelectTarget& target) {
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  if (!info) return ProfileOpResult::NoSuchFamily;
  const int selected = EffectiveProfileIndex(*info);
  if (selected < 0 || selected >= static_cast<int>(ProfileNames(*info).size())) return ProfileOpResult::NoSuchProfile;
  const int variant = WithImage([](ConfigImages& images) { return static_cast<int>(images.keyboard.variant); });
  std::vector<uint8_t> data(info->data_size, 0);
  const ProfileReadResult rc = ReadProfileFile(ProgramFolder() + DefaultProfileFileName(*info, variant), data.size(), data.data());
  if (rc != kProfileReadOk) return rc == kProfileBadMagic ? ProfileOpResult::FileBad : ProfileOpResult::FileMissing;

  auto writes = std::make_unique<DeviceWrites>();
  {
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    Load(Images(), *info, data);
    *writes = WritesOf(Images(), *info);
    writes->record = false;  // the restore sends the record through the timed send only
  }
  ClearNewProfile(kind, family);  // the user's own defaults now
  ProfileOpResult result = ProfileOpResult::Ok;
  if (SaveCurrentProfile(kind, family) != ProfileSaveResult::Saved) result = ProfileOpResult::WriteFailed;
  if (kind == DeviceKind::Mouse && family == ProfileFamily::Light &&
      SaveCurrentProfile(kind, ProfileFamily::Device) != ProfileSaveResult::Saved)
    result = ProfileOpResult::WriteFailed;
  if (MarksPending(*info)) target.MarkSettingsPending(kind);
  const CommandResult sent = Send(*writes, target.Channel(kind));
  if (sent != kResultOk) {
    DebugLineF("profile restore (%s): the %s answered %s", DeviceKindName(kind), DeviceKindName(kind),
               CommandResultName(sent));
    if (result == ProfileOpResult::Ok) result = ProfileOpResult::DeviceFailed;
  }
  target.ProfileSelected(SelectionOf(*info, selected, true));
  return result;
}

}  // namespace trx

#include "profile/profile_store.h"

#include <mutex>
#include <vector>

#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "profile/effective_profile.h"
#include "profile/profile_data.h"
#include "profile/profile_file.h"
#include "profile/profile_keys.h"

namespace trx {

int SelectedProfileIndex(const ProfileFamilyInfo& info) {
  return static_cast<int>(GetPrivateProfileLong(info.select_section, kIniKeySelect, ProfileIniPath(info.kind)));
}

std::string ProfileNameAt(const ProfileFamilyInfo& info, int index) {
  std::string name;
  GetPrivateProfileString(info.name_section, std::to_string(index), kIniDefault, name, ProfileIniPath(info.kind));
  return name;
}

ProfileReadResult LoadProfile(DeviceKind kind, ProfileFamily family, int index) {
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  if (!info) {
    DebugLine(kDebugProfileMissing);
    return kProfileMissing;
  }
  std::string path = ProfileFilePath(*info, ProfileNameAt(*info, index), false);
  std::vector<uint8_t> data(info->data_size, 0);
  const ProfileReadResult rc = path.empty() ? kProfileMissing : ReadProfileFile(path, data.size(), data.data());
  if (rc == kProfileMissing) {
    DebugLine(kDebugProfileMissing);
  } else if (rc == kProfileBadMagic) {
    DebugLine(kDebugProfileBadFormat);
  } else {
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    ApplyProfileData(Images(), *info, data.data());
  }
  return rc;
}

ProfileSaveResult SaveCurrentProfile(DeviceKind kind, ProfileFamily family) {
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  if (!info) return ProfileSaveResult::NoSuchFamily;
  std::string path = ProfileFilePath(*info, ProfileNameAt(*info, EffectiveProfileIndex(*info)), true);
  if (path.empty()) {
    DebugLine(kDebugFileOpenFailed);
    return ProfileSaveResult::Failed;
  }
  std::vector<uint8_t> data;
  {
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    data = BuildProfileData(Images(), *info);
  }
  return WriteProfileFile(path, kind, data.size(), data.data()) == kProfileWriteOk ? ProfileSaveResult::Saved
                                                                                   : ProfileSaveResult::Failed;
}

namespace {
class ProfileStoreSaver : public IProfileSaver {
 public:
  ProfileSaveResult SaveCurrentProfile(DeviceKind kind, ProfileFamily family) override { return trx::SaveCurrentProfile(kind, family); }
};
}  // namespace

void InstallProfileSaver() {
  static ProfileStoreSaver saver;
  SetProfileSaver(&saver);
}

}  // namespace trx

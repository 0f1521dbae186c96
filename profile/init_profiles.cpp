#include "profile/init_profiles.h"

#include <mutex>
#include <string>
#include <vector>

#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "platform/program_folder.h"
#include "profile/profile_families.h"
#include "profile/profile_file.h"
#include "profile/profile_keys.h"
#include "profile/profile_store.h"
#include "settings/config_images.h"

namespace trx {
namespace {

int KeyboardVariantNow() {
  std::lock_guard<std::recursive_mutex> guard(ImageMutex());
  return static_cast<int>(Images().keyboard.variant);
}

// Creates "profile1" from the default file. 1 done, 0 stop.
int CreateFirstProfile(const ProfileFamilyInfo& info, IProfileLists& lists, IProfileMessages& messages) {
  std::string default_path = ProgramFolder() + DefaultProfileFileName(info, KeyboardVariantNow());
  std::vector<uint8_t> data(info.data_size, 0);
  int rc = ReadProfileFile(default_path, data.size(), data.data());
  if (rc == kProfileMissing) {
    messages.ShowMessage(kMessageDefaultMissing);
    return 0;
  }
  if (rc == kProfileBadMagic) {
    messages.ShowMessage(kMessageDefaultBad);
    return 0;
  }
  std::string path = ProfileFilePath(info, kFirstProfileName, true);
  WriteProfileFile(path, info.kind, data.size(), data.data());  // reports its own failure

  lists.AddItem(info.kind, info.family, kFirstProfileName, kProfileComboItemHeight);
  std::string ini = ProfileIniPath(info.kind);
  bool ok = WritePrivateProfileString(info.count_section, kIniKeyCount, std::to_string(lists.ItemCount(info.kind, info.family)), ini);
  ok = WritePrivateProfileString(info.link_section, "0", "0", ini) && ok;
  ok = WritePrivateProfileString(info.name_section, "0", kFirstProfileName, ini) && ok;
  ok = WritePrivateProfileString(info.select_section, kIniKeySelect, "0", ini) && ok;
  if (!ok) DebugLine(kDebugFileOpenFailed);
  return 1;
}

}  // namespace

int InitProfiles(DeviceKind kind, IProfileLists& lists, IProfileMessages& messages) {
  for (const ProfileFamilyInfo* info : FamiliesOf(kind)) {
    long count = GetPrivateProfileLong(info->count_section, kIniKeyCount, ProfileIniPath(kind));
    if (count > 0) {
      for (long i = 0; i < count; ++i)
        lists.AddItem(info->kind, info->family, ProfileNameAt(*info, static_cast<int>(i)), kProfileComboItemHeight);
    } else if (!CreateFirstProfile(*info, lists, messages)) {
      return 0;
    }
  }
  return 1;
}

}  // namespace trx

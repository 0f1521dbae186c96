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

// Index keys a first-run creation stores; written together per INI file.
struct PendingKey {
  std::string section, key, value;
};

// Creates "profile1" from the default file and queues its index keys.
// 1 done, 0 stop.
int CreateFirstProfile(const ProfileFamilyInfo& info, IProfileLists& lists, IProfileMessages& messages,
                       std::vector<PendingKey>& keys) {
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

  lists.AddItem(info.combo, kFirstProfileName, kProfileComboItemHeight);
  keys.push_back({info.count_section, kIniKeyCount, std::to_string(lists.ItemCount(info.combo))});
  keys.push_back({info.link_section, "0", "0"});
  keys.push_back({info.name_section, "0", kFirstProfileName});
  keys.push_back({info.select_section, kIniKeySelect, "0"});
  return 1;
}

// One read-modify-write of the device's INI index for all queued keys.
void StoreKeys(DeviceKind kind, const std::vector<PendingKey>& keys) {
  if (keys.empty()) return;
  std::vector<IniEntry> entries;
  for (const PendingKey& k : keys) entries.push_back({k.section, k.key, k.value});
  if (!WritePrivateProfileStrings(entries, ProfileIniPath(kind))) DebugLine(kDebugFileOpenFailed);
}

}  // namespace

int InitProfiles(DeviceKind kind, IProfileLists& lists, IProfileMessages& messages) {
  std::vector<PendingKey> keys;
  for (const ProfileFamilyInfo* info : FamiliesOf(kind)) {
    long count = GetPrivateProfileLong(info->count_section, kIniKeyCount, ProfileIniPath(kind));
    if (count > 0) {
      for (long i = 0; i < count; ++i)
        lists.AddItem(info->combo, ProfileNameAt(*info, static_cast<int>(i)), kProfileComboItemHeight);
    } else if (!CreateFirstProfile(*info, lists, messages, keys)) {
      StoreKeys(kind, keys);  // the families handled before the stop keep their profile
      return 0;
    }
  }
  StoreKeys(kind, keys);
  return 1;
}

}  // namespace trx

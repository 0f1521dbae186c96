#include "profile/init_profiles.h"

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "platform/program_folder.h"
#include "profile/profile_families.h"
#include "profile/profile_file.h"
#include "profile/profile_keys.h"
#include "profile/new_profiles.h"
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
// True done, false stop.
bool CreateFirstProfile(const ProfileFamilyInfo& info, IProfileLists& lists, IProfileMessages& messages,
                       std::vector<PendingKey>& keys) {
  std::string default_path = ProgramFolder() + DefaultProfileFileName(info, KeyboardVariantNow());
  std::vector<uint8_t> data(info.data_size, 0);
  const ProfileReadResult rc = ReadProfileFile(default_path, data.size(), data.data());
  if (rc == kProfileMissing) {
    messages.ShowMessage(kMessageDefaultMissing);
    return false;
  }
  if (rc == kProfileBadMagic) {
    messages.ShowMessage(kMessageDefaultBad);
    return false;
  }
  std::string path = ProfileFilePath(info, kFirstProfileName, true);
  WriteProfileFile(path, info.kind, data.size(), data.data());  // reports its own failure

  lists.AddItem(info.kind, info.family, kFirstProfileName, kProfileComboItemHeight);
  keys.push_back({info.count_section, kIniKeyCount, std::to_string(lists.ItemCount(info.kind, info.family))});
  keys.push_back({info.link_section, "0", "0"});
  keys.push_back({info.name_section, "0", kFirstProfileName});
  keys.push_back({info.select_section, kIniKeySelect, "0"});
  keys.push_back({info.select_section, kIniKeyNew, "1"});  // the device's first read fills it
  return true;
}

// One read-modify-write of the device's INI index for all queued keys.
void StoreKeys(DeviceKind kind, const std::vector<PendingKey>& keys) {
  if (keys.empty()) return;
  std::vector<IniEntry> entries;
  for (const PendingKey& k : keys) entries.push_back({k.section, k.key, k.value});
  if (!WritePrivateProfileStrings(entries, ProfileIniPath(kind))) DebugLine(kDebugFileOpenFailed);
}

// Fills the family's combo from its index: one item per index below
// `count`, showing its name ("0" where the name is missing). A count above
// kProfileCountLimit or above the number of names present is not believed:
// the items then go only as far as the names do (up to the first missing
// index). The names are read in one pass over the file.
void FillCombo(const ProfileFamilyInfo& info, long count, IProfileLists& lists) {
  const std::string ini = ProfileIniPath(info.kind);
  std::unordered_map<std::string, std::string> names;
  for (auto& [key, value] : GetPrivateProfileSection(info.name_section, ini)) names.emplace(key, std::move(value));
  long items = count;
  if (count > kProfileCountLimit || count > static_cast<long>(names.size())) {
    items = 0;
    while (items < count && names.count(std::to_string(items)) != 0) ++items;
    DebugLineF("profile index %s [%s]: count %ld but %zu names; %ld read", ini.c_str(), info.count_section, count,
               names.size(), items);
  }
  for (long i = 0; i < items; ++i) {
    auto it = names.find(std::to_string(i));
    lists.AddItem(info.kind, info.family, it != names.end() ? std::string_view(it->second) : std::string_view(kIniDefault),
                  kProfileComboItemHeight);
  }
}

}  // namespace

bool InitProfiles(DeviceKind kind, IProfileLists& lists, IProfileMessages& messages) {
  std::vector<PendingKey> keys;
  for (const ProfileFamilyInfo* info : FamiliesOf(kind)) {
    long count = GetPrivateProfileLong(info->count_section, kIniKeyCount, ProfileIniPath(kind));
    if (count > 0) {
      FillCombo(*info, count, lists);
    } else if (!CreateFirstProfile(*info, lists, messages, keys)) {
      StoreKeys(kind, keys);  // the families handled before the stop keep their profile
      return false;
    }
  }
  StoreKeys(kind, keys);
  return true;
}

}  // namespace trx

#include "profile/new_profiles.h"

#include "platform/debug_log.h"
#include "platform/ini_file.h"

namespace trx {

bool IsNewProfile(DeviceKind kind, ProfileFamily family) {
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  return info != nullptr && GetPrivateProfileLong(info->select_section, kIniKeyNew, ProfileIniPath(kind)) == 1;
}

void ClearNewProfile(DeviceKind kind, ProfileFamily family) {
  if (!IsNewProfile(kind, family)) return;  // an index without the mark is left as it is
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  if (!DeletePrivateProfileKey(info->select_section, kIniKeyNew, ProfileIniPath(kind)))
    DebugLineF("%s: the new profile's mark could not be removed", DeviceKindName(kind));
}

}  // namespace trx

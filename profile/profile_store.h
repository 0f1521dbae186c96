#pragma once
// Loading a profile into the configuration image and saving the selected
// profile from it.
//
// Thread: the UI thread, or a presence thread during a connect (with its
// channel lock held; the image mutex is taken after it).

#include <string>

#include "profile/profile_families.h"
#include "profile/profile_file.h"
#include "settings/settings_host.h"

namespace trx {

// Reads the file named by index `index` of the family's name section
// (folder + name + extension) and copies it into the image. Returns the
// ReadProfileFile result: Ok loaded; Missing (debug line "配置文件丢失");
// BadMagic (debug line "配置文件格式错误"). The image is unchanged
// unless Ok. A name that is not valid as a file name counts as missing.
ProfileReadResult LoadProfile(DeviceKind kind, ProfileFamily family, int index);

// Writes the family's profile in effect (profile/effective_profile.h: the
// linked one while its program is in front, else "select"; then that
// index's name) from a snapshot of the image taken under the
// image mutex. Returns Saved when written, Failed when the file could not be
// written (debug line "文件打开失败"; the old file stays whole) or the name
// is not valid as a file name; NoSuchFamily when the device has no such family.
ProfileSaveResult SaveCurrentProfile(DeviceKind kind, ProfileFamily family);

// Reads "select" of the family's selected section (0 when absent).
int SelectedProfileIndex(const ProfileFamilyInfo& info);
// The name at `index` of the family's name section ("0" when absent).
std::string ProfileNameAt(const ProfileFamilyInfo& info, int index);

// Installs the process-wide IProfileSaver (settings/settings_host.h) that
// forwards to SaveCurrentProfile.
void InstallProfileSaver();

}  // namespace trx

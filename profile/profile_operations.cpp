#include "profile/profile_operations.h"

#include <cstdio>
#include <mutex>
#include <unordered_map>

#include "platform/atomic_file.h"
#include "platform/debug_log.h"
#include "platform/file_lookup.h"
#include "platform/file_read.h"
#include "platform/ini_file.h"
#include "platform/program_folder.h"
#include "profile/init_profiles.h"
#include "profile/profile_data.h"
#include "profile/profile_file.h"
#include "profile/profile_keys.h"
#include "profile/profile_names.h"
#include "profile/profile_store.h"
#include "settings/config_images.h"

namespace trx {
namespace {

constexpr const char* kCopySuffix = " copy";
constexpr const char* kUnlinkedProgram = " ";

// Index keys written together in one read-modify-write of the INI file.
class IniBatch {
 public:
  void Set(const char* section, std::string key, std::string value) {
    keys_.push_back({section, std::move(key), std::move(value)});
  }
  bool Store(DeviceKind kind) const {
    std::vector<IniEntry> entries;
    for (const Key& k : keys_) entries.push_back({k.section, k.key, k.value});
    return entries.empty() || WritePrivateProfileStrings(entries, ProfileIniPath(kind));
  }

 private:
  struct Key {
    const char* section;
    std::string key, value;
  };
  std::vector<Key> keys_;
};

std::string Str(long v) { return std::to_string(v); }

std::string IniValue(const char* section, int index, const ProfileFamilyInfo& info) {
  std::string value;
  GetPrivateProfileString(section, Str(index), kIniDefault, value, ProfileIniPath(info.kind));
  return value;
}

ProfileOpOutcome Fail(ProfileOpResult r, std::string detail = {}) {
  ProfileOpOutcome o;
  o.result = r;
  o.detail = std::move(detail);
  return o;
}

ProfileOpResult OfRead(ProfileReadResult rc) {
  return rc == kProfileReadOk ? ProfileOpResult::Ok
         : rc == kProfileBadMagic ? ProfileOpResult::FileBad
                                  : ProfileOpResult::FileMissing;
}

std::string ReadProblem(ProfileReadResult rc, const std::string& path) {
  return rc == kProfileBadMagic ? "'" + path + "' is not a profile file (no 0x55AA header)"
                                : "'" + path + "' is missing or can't be opened";
}

// Reads the profile `name` of the family into `data` (data_size bytes).
ProfileOpResult ReadNamed(const ProfileFamilyInfo& info, const std::string& name, std::vector<uint8_t>& data,
                          std::string& detail) {
  data.assign(info.data_size, 0);
  const std::string path = ProfileFilePath(info, name, false);
  if (path.empty()) {
    detail = "the profile name '" + name + "' can't be a file name";
    return ProfileOpResult::FileMissing;
  }
  const ProfileReadResult rc = ReadProfileFile(path, data.size(), data.data());
  if (rc != kProfileReadOk) {
    detail = ReadProblem(rc, ResolveExtensionCase(path));
    DebugLine(rc == kProfileBadMagic ? kDebugProfileBadFormat : kDebugProfileMissing);
  }
  return OfRead(rc);
}

ProfileOpResult ReadDefault(const ProfileFamilyInfo& info, std::vector<uint8_t>& data, std::string& detail) {
  int variant = 0;
  {
    std::lock_guard<std::recursive_mutex> guard(ImageMutex());
    variant = static_cast<int>(Images().keyboard.variant);
  }
  const std::string path = ProgramFolder() + DefaultProfileFileName(info, variant);
  data.assign(info.data_size, 0);
  const ProfileReadResult rc = ReadProfileFile(path, data.size(), data.data());
  if (rc != kProfileReadOk) detail = ReadProblem(rc, path);
  return OfRead(rc);
}

bool WriteNamed(const ProfileFamilyInfo& info, const std::string& name, const std::vector<uint8_t>& data) {
  const std::string path = ProfileFilePath(info, name, true);
  return !path.empty() && WriteProfileFile(path, info.kind, data.size(), data.data()) == kProfileWriteOk;
}

void RemoveNamed(const ProfileFamilyInfo& info, const std::string& name) {
  const std::string path = ProfileFilePath(info, name, true);
  if (path.empty()) return;
  RemoveExtensionCaseTwins(path);
  if (std::remove(path.c_str()) != 0) DebugLineF("profile file %s not removed (it may not exist)", path.c_str());
}

bool NameTaken(const std::vector<std::string>& names, const std::string& name) {
  for (const std::string& n : names)
    if (SameProfileName(n, name)) return true;
  return false;
}

// Appends `name` to the index with an unlinked link.
bool AppendToIndex(const ProfileFamilyInfo& info, int count, const std::string& name) {
  IniBatch ini;
  ini.Set(info.count_section, kIniKeyCount, Str(count + 1));
  ini.Set(info.name_section, Str(count), name);
  ini.Set(info.link_section, Str(count), kIniDefault);
  ini.Set(info.process_section, Str(count), kUnlinkedProgram);
  return ini.Store(info.kind);
}

}  // namespace

const char* ProfileOpResultName(ProfileOpResult result) {
  switch (result) {
    case ProfileOpResult::Ok: return "ok";
    case ProfileOpResult::FileMissing: return "file missing";
    case ProfileOpResult::FileBad: return "not a profile file";
    case ProfileOpResult::OnlyOneProfile: return "only one profile";
    case ProfileOpResult::EmptyName: return "empty name";
    case ProfileOpResult::DuplicateName: return "name taken";
    case ProfileOpResult::BadName: return "name not allowed";
    case ProfileOpResult::NoSuchProfile: return "no such profile";
    case ProfileOpResult::NoSuchFamily: return "no such profile family";
    case ProfileOpResult::WriteFailed: return "write failed";
    case ProfileOpResult::ImportRefused: return "import refused";
    case ProfileOpResult::DeviceFailed: return "device command failed";
  }
  return "unknown";
}

std::vector<std::string> ProfileNames(const ProfileFamilyInfo& info) {
  const std::string ini = ProfileIniPath(info.kind);
  const long count = GetPrivateProfileLong(info.count_section, kIniKeyCount, ini);
  std::unordered_map<std::string, std::string> names;
  for (auto& [key, value] : GetPrivateProfileSection(info.name_section, ini)) names.emplace(key, std::move(value));
  std::vector<std::string> out;
  const bool believed = count <= kProfileCountLimit && count <= static_cast<long>(names.size());
  for (long i = 0; i < count; ++i) {
    auto it = names.find(Str(i));
    if (it == names.end() && !believed) break;  // as the start-up fill cuts an absurd count
    out.push_back(it != names.end() ? it->second : kIniDefault);
  }
  return out;
}

int FindProfile(const ProfileFamilyInfo& info, const std::string& name) {
  const std::vector<std::string> names = ProfileNames(info);
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<int>(i);
  for (size_t i = 0; i < names.size(); ++i)
    if (SameProfileName(names[i], name)) return static_cast<int>(i);
  return -1;
}

std::string NextProfileName(const std::vector<std::string>& names) {
  for (size_t n = 1;; ++n) {
    std::string candidate = "profile" + std::to_string(n);
    if (!NameTaken(names, candidate)) return candidate;
  }
}

std::string CopyProfileName(const std::vector<std::string>& names, const std::string& source) {
  std::string candidate = source + kCopySuffix;
  while (NameTaken(names, candidate)) candidate += kCopySuffix;
  return candidate;
}

ProfileOpOutcome AddProfile(DeviceKind kind, ProfileFamily family) {
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  if (!info) return Fail(ProfileOpResult::NoSuchFamily);
  const std::vector<std::string> names = ProfileNames(*info);
  ProfileOpOutcome o;
  o.name = NextProfileName(names);
  o.index = static_cast<int>(names.size());
  if (!AppendToIndex(*info, o.index, o.name)) return Fail(ProfileOpResult::WriteFailed, "the profile index could not be written");
  RemoveNamed(*info, o.name);
  std::vector<uint8_t> data;
  o.result = ReadDefault(*info, data, o.detail);
  if (o.result != ProfileOpResult::Ok) return o;  // the entry stays, as the index already lists it
  if (!WriteNamed(*info, o.name, data)) {
    o.result = ProfileOpResult::WriteFailed;
    o.detail = "the file of '" + o.name + "' could not be written";
  }
  return o;
}

ProfileOpOutcome DeleteProfile(DeviceKind kind, ProfileFamily family, int index) {
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  if (!info) return Fail(ProfileOpResult::NoSuchFamily);
  const std::vector<std::string> names = ProfileNames(*info);
  const int count = static_cast<int>(names.size());
  if (index < 0 || index >= count) return Fail(ProfileOpResult::NoSuchProfile);
  if (count == 1) return Fail(ProfileOpResult::OnlyOneProfile);

  IniBatch ini;
  ini.Set(info->count_section, kIniKeyCount, Str(count - 1));
  for (int i = index; i < count - 1; ++i) {
    ini.Set(info->name_section, Str(i), names[i + 1]);
    ini.Set(info->link_section, Str(i), IniValue(info->link_section, i + 1, *info));
    ini.Set(info->process_section, Str(i), IniValue(info->process_section, i + 1, *info));
  }
  ini.Set(info->select_section, kIniKeySelect, Str(count - 2));
  if (!ini.Store(kind)) return Fail(ProfileOpResult::WriteFailed, "the profile index could not be written");
  RemoveNamed(*info, names[index]);

  ProfileOpOutcome o;
  o.index = count - 2;
  o.name = names[count - 1 == index ? count - 2 : count - 1];
  // The image must not keep the deleted profile under the last one's name
  // (the next save would write it there), whatever the device does next.
  LoadProfile(kind, family, o.index);
  return o;
}

ProfileOpOutcome CopyProfile(DeviceKind kind, ProfileFamily family, int index) {
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  if (!info) return Fail(ProfileOpResult::NoSuchFamily);
  const std::vector<std::string> names = ProfileNames(*info);
  if (index < 0 || index >= static_cast<int>(names.size())) return Fail(ProfileOpResult::NoSuchProfile);
  ProfileOpOutcome o;
  o.name = CopyProfileName(names, names[index]);
  o.index = static_cast<int>(names.size());
  if (std::string problem = ProfileNameProblem(o.name); !problem.empty())
    return Fail(ProfileOpResult::BadName, "'" + o.name + "': " + problem);
  std::vector<uint8_t> data;
  o.result = ReadNamed(*info, names[index], data, o.detail);
  if (o.result != ProfileOpResult::Ok) return o;
  if (!WriteNamed(*info, o.name, data)) return Fail(ProfileOpResult::WriteFailed, "the file of '" + o.name + "' could not be written");
  if (!AppendToIndex(*info, o.index, o.name)) {
    RemoveNamed(*info, o.name);
    return Fail(ProfileOpResult::WriteFailed, "the profile index could not be written");
  }
  return o;
}

ProfileOpOutcome RenameProfile(DeviceKind kind, ProfileFamily family, int index, const std::string& new_name) {
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  if (!info) return Fail(ProfileOpResult::NoSuchFamily);
  const std::vector<std::string> names = ProfileNames(*info);
  if (index < 0 || index >= static_cast<int>(names.size())) return Fail(ProfileOpResult::NoSuchProfile);
  if (new_name.empty()) return Fail(ProfileOpResult::EmptyName);
  if (NameTaken(names, new_name)) return Fail(ProfileOpResult::DuplicateName, "'" + new_name + "' is taken");
  if (std::string problem = ProfileNameProblem(new_name); !problem.empty())
    return Fail(ProfileOpResult::BadName, "'" + new_name + "': " + problem);

  ProfileOpOutcome o;
  o.index = index;
  o.name = new_name;
  std::vector<uint8_t> data;
  o.result = ReadNamed(*info, names[index], data, o.detail);
  if (o.result != ProfileOpResult::Ok) return o;
  if (!WriteNamed(*info, new_name, data)) return Fail(ProfileOpResult::WriteFailed, "the file of '" + new_name + "' could not be written");
  IniBatch ini;
  ini.Set(info->name_section, Str(index), new_name);
  if (!ini.Store(kind)) {
    RemoveNamed(*info, new_name);
    return Fail(ProfileOpResult::WriteFailed, "the profile index could not be written");
  }
  RemoveNamed(*info, names[index]);
  return o;
}

ProfileOpResult CheckImportFile(const ProfileFamilyInfo& info, const std::string& path, std::vector<uint8_t>& data,
                                std::string& detail) {
  std::vector<uint8_t> bytes;
  // Larger than any profile of any family: refused before it is read whole.
  constexpr size_t kMaxProfileFileBytes = 64u << 10;
  if (const FileReadResult read = ReadRegularFile(path, bytes, kMaxProfileFileBytes); read != FileReadResult::Ok) {
    detail = DescribeFileRead(read, path, kMaxProfileFileBytes);
    return read == FileReadResult::TooLarge ? ProfileOpResult::ImportRefused : ProfileOpResult::FileMissing;
  }
  const size_t want = kProfileHeaderSize + info.data_size;
  if (bytes.size() < 2 || (bytes[0] | bytes[1] << 8) != kProfileMagic) {
    detail = "'" + path + "' has a wrong header (no 0x55AA profile header)";
    return ProfileOpResult::ImportRefused;
  }
  const int file_kind = bytes.size() >= 6 ? (bytes[4] | bytes[5] << 8) : -1;
  if (file_kind != static_cast<int>(info.kind)) {
    detail = "'" + path + "' is of the wrong kind (a " +
             (file_kind == 1 ? "keyboard" : file_kind == 2 ? "mouse" : file_kind == 3 ? "mouse pad" : "unknown device's") +
             " profile, not a " + DeviceKindName(info.kind) + " one)";
    return ProfileOpResult::ImportRefused;
  }
  if (bytes.size() != want) {
    detail = "'" + path + "' has the wrong size (" + std::to_string(bytes.size()) + " bytes, a " +
             info.write_extension + " profile of the " + DeviceKindName(info.kind) + " has " + std::to_string(want) + ")";
    return ProfileOpResult::ImportRefused;
  }
  data.assign(bytes.begin() + kProfileHeaderSize, bytes.end());
  return ProfileOpResult::Ok;
}

ProfileOpOutcome ImportProfile(DeviceKind kind, ProfileFamily family, const std::string& path) {
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  if (!info) return Fail(ProfileOpResult::NoSuchFamily);
  std::vector<uint8_t> data;
  std::string detail;
  const ProfileOpResult checked = CheckImportFile(*info, path, data, detail);
  if (checked != ProfileOpResult::Ok) return Fail(checked, detail);
  ProfileOpOutcome o = AddProfile(kind, family);
  if (o.index < 0) return o;  // nothing added
  if (!WriteNamed(*info, o.name, data)) {
    o.result = ProfileOpResult::WriteFailed;
    o.detail = "the file of '" + o.name + "' could not be written";
    return o;
  }
  o.result = ProfileOpResult::Ok;  // the default's absence no longer matters: the file has its data
  o.detail.clear();
  return o;
}

ProfileOpOutcome ExportProfile(DeviceKind kind, ProfileFamily family, int index, const std::string& path) {
  const ProfileFamilyInfo* info = FindFamily(kind, family);
  if (!info) return Fail(ProfileOpResult::NoSuchFamily);
  const std::vector<std::string> names = ProfileNames(*info);
  if (index < 0 || index >= static_cast<int>(names.size())) return Fail(ProfileOpResult::NoSuchProfile);
  ProfileOpOutcome o;
  o.index = index;
  o.name = names[index];
  std::vector<uint8_t> data;
  o.result = ReadNamed(*info, o.name, data, o.detail);
  if (o.result != ProfileOpResult::Ok) return o;
  // A fresh header; written atomically, and nothing else beside the
  // user's file is touched.
  std::vector<uint8_t> bytes(kProfileHeaderSize, 0);
  bytes[0] = kProfileMagic & 0xFF;
  bytes[1] = kProfileMagic >> 8;
  bytes[4] = static_cast<uint8_t>(kind);
  bytes.insert(bytes.end(), data.begin(), data.end());
  if (!WriteFileAtomic(path, bytes.data(), bytes.size())) {
    o.result = ProfileOpResult::WriteFailed;
    o.detail = "'" + path + "' could not be written";
  }
  return o;
}

}  // namespace trx

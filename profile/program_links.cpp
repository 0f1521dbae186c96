#include "profile/program_links.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/ini_file.h"
#include "profile/init_profiles.h"
#include "profile/profile_keys.h"

namespace trx {
namespace {

long AsLong(const std::string& value) { return std::strtol(value.c_str(), nullptr, 10); }

}  // namespace

int ProfileCount(const ProfileFamilyInfo& info) {
  const long count = GetPrivateProfileLong(info.count_section, kIniKeyCount, ProfileIniPath(info.kind));
  return static_cast<int>(std::clamp(count, 0L, kProfileCountLimit));
}

std::vector<ProgramLink> ReadProgramLinks(const ProfileFamilyInfo& info, int count) {
  const std::string ini = ProfileIniPath(info.kind);
  count = static_cast<int>(std::clamp(static_cast<long>(count), 0L, kProfileCountLimit));
  std::vector<ProgramLink> links(static_cast<size_t>(count));
  auto index_of = [&](const std::string& key) {
    char* end = nullptr;
    const long i = std::strtol(key.c_str(), &end, 10);
    return (!key.empty() && *end == '\0' && i >= 0 && i < count) ? static_cast<int>(i) : -1;
  };
  // The first spelling of a key counts, as GetPrivateProfileString reads it.
  for (const auto& [key, value] : GetPrivateProfileSection(info.link_section, ini))
    if (int i = index_of(key); i >= 0) links[static_cast<size_t>(i)].linked = AsLong(value) == 1;
  for (const auto& [key, value] : GetPrivateProfileSection(info.process_section, ini))
    if (int i = index_of(key); i >= 0) links[static_cast<size_t>(i)].program = value;
  return links;
}

ProgramLink ReadProgramLink(const ProfileFamilyInfo& info, int index) {
  const std::string ini = ProfileIniPath(info.kind);
  const std::string key = std::to_string(index);
  ProgramLink link;
  link.linked = GetPrivateProfileLong(info.link_section, key, ini) == 1;
  GetPrivateProfileString(info.process_section, key, kUnlinkedProgram, link.program, ini);
  return link;
}

bool WriteProgramLink(const ProfileFamilyInfo& info, int index, std::string_view program) {
  const std::string key = std::to_string(index);
  return WritePrivateProfileStrings({{info.link_section, key, kLinkFlagOn}, {info.process_section, key, program}},
                                    ProfileIniPath(info.kind));
}

bool ClearProgramLink(const ProfileFamilyInfo& info, int index) {
  const std::string key = std::to_string(index);
  return WritePrivateProfileStrings({{info.link_section, key, kLinkFlagOff}, {info.process_section, key, kUnlinkedProgram}},
                                    ProfileIniPath(info.kind));
}

bool SameProgram(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

int FindLinkedProfile(const std::vector<ProgramLink>& links, std::string_view program) {
  if (program.empty()) return -1;
  for (size_t i = 0; i < links.size(); ++i)
    if (links[i].linked && SameProgram(links[i].program, program)) return static_cast<int>(i);
  return -1;
}

std::string LinkedProgramName(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(slash + 1));
}

bool IsLinkableProgram(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const bool exe_name = path.size() > 4 && SameProgram(std::string_view(path).substr(path.size() - 4), ".exe");
  return exe_name || access(path.c_str(), X_OK) == 0;
}

}  // namespace trx

#pragma once
// A profile's link to a program, kept in its device's INI index: the link
// flag (the family's link section, key = index) and the linked program (its
// process section, key = index). A profile is linked when its flag reads as
// the number 1; its program is then the full path of an executable (for a
// Wine program, the Linux path of its ".exe", platform/foreground/
// process_identity.h). An unlinked profile has flag "0" and program " ".
//
// Linked paths are only compared (ASCII case ignored) with the path of the
// program in front; they are never executed or opened.
//
// Thread: any (each INI call is complete in itself).

#include <string>
#include <string_view>
#include <vector>

#include "platform/text_ids.h"
#include "profile/profile_families.h"

namespace trx {

inline constexpr const char* kLinkFlagOn = "1";
inline constexpr const char* kLinkFlagOff = "0";
inline constexpr const char* kUnlinkedProgram = " ";
// Shown when the chosen program is already linked to a profile of the family.
inline constexpr const char* kMessageProgramLinked = text::kProgramLinked;

struct ProgramLink {
  bool linked = false;
  std::string program;  // meaningful only when linked
};

// The family's profile count ("count" of its count section), within 0 ..
// kProfileCountLimit (profile/init_profiles.h): a damaged index never sizes
// anything beyond that.
int ProfileCount(const ProfileFamilyInfo& info);
// Links of profiles 0 .. count-1 (count cut to kProfileCountLimit), read in
// one pass per section.
std::vector<ProgramLink> ReadProgramLinks(const ProfileFamilyInfo& info, int count);
ProgramLink ReadProgramLink(const ProfileFamilyInfo& info, int index);
// Flag "1" and the program / flag "0" and " ". True when written.
bool WriteProgramLink(const ProfileFamilyInfo& info, int index, std::string_view program);
bool ClearProgramLink(const ProfileFamilyInfo& info, int index);

// The first profile among `links` linked to `program` (ASCII case
// ignored); -1 when none.
int FindLinkedProfile(const std::vector<ProgramLink>& links, std::string_view program);
bool SameProgram(std::string_view a, std::string_view b);

// The file name shown for a linked path: the part after the last '/';
// empty when the path has no '/'.
std::string LinkedProgramName(std::string_view path);

// What the program chooser accepts: a regular file that is executable, or
// a Windows program (".exe", run through Wine, often not marked
// executable). Only the file's type and mode are looked at.
bool IsLinkableProgram(const std::string& path);

}  // namespace trx

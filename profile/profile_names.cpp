#include "profile/profile_names.h"

#include "platform/file_names.h"

namespace trx {

std::string ProfileNameProblem(const std::string& name) { return FileNameProblem(name, kMaxProfileNameBytes); }

bool SameProfileName(const std::string& a, const std::string& b) { return SameNameIgnoringCase(a, b); }

}  // namespace trx

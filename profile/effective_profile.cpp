#include "profile/effective_profile.h"

#include <map>
#include <mutex>
#include <string>
#include <tuple>

#include "profile/profile_store.h"

namespace trx {
namespace {

struct Effective {
  std::mutex mutex;  // guards index (a leaf)
  std::map<std::tuple<std::string, int, int>, int> index;
};

Effective& State() {
  static Effective state;
  return state;
}

// Per index file: a profile folder that changes (tests, another user
// folder) starts from its own "select".
std::tuple<std::string, int, int> KeyOf(const ProfileFamilyInfo& info) {
  return {ProfileIniPath(info.kind), static_cast<int>(info.kind), static_cast<int>(info.family)};
}

}  // namespace

int EffectiveProfileIndex(const ProfileFamilyInfo& info) {
  {
    std::lock_guard<std::mutex> lock(State().mutex);
    const auto it = State().index.find(KeyOf(info));
    if (it != State().index.end()) return it->second;
  }
  return SelectedProfileIndex(info);
}

void SetEffectiveProfile(const ProfileFamilyInfo& info, int index) {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().index[KeyOf(info)] = index;
}

void ForgetEffectiveProfiles() {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().index.clear();
}

}  // namespace trx

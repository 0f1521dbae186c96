#include "profile/new_profiles.h"

#include <mutex>
#include <set>
#include <string>
#include <tuple>

#include "profile/profile_families.h"

namespace trx {
namespace {

using Key = std::tuple<std::string, int, int>;

struct Marks {
  std::mutex mutex;  // guards keys (a leaf)
  std::set<Key> keys;
};

Marks& State() {
  static Marks state;
  return state;
}

Key KeyOf(DeviceKind kind, ProfileFamily family) {
  return {ProfileIniPath(kind), static_cast<int>(kind), static_cast<int>(family)};
}

}  // namespace

void MarkNewProfile(DeviceKind kind, ProfileFamily family) {
  Key key = KeyOf(kind, family);
  std::lock_guard<std::mutex> lock(State().mutex);
  State().keys.insert(std::move(key));
}

bool IsNewProfile(DeviceKind kind, ProfileFamily family) {
  const Key key = KeyOf(kind, family);
  std::lock_guard<std::mutex> lock(State().mutex);
  return State().keys.count(key) != 0;
}

void ClearNewProfile(DeviceKind kind, ProfileFamily family) {
  const Key key = KeyOf(kind, family);
  std::lock_guard<std::mutex> lock(State().mutex);
  State().keys.erase(key);
}

}  // namespace trx

#include "device/open_matching.h"

#include <vector>

namespace trx {

OpenMatch OpenMatchingInterface(CHidDevice& hid, const InterfaceWanted& wanted) {
  if (!hid.EnumerateHidPaths()) return OpenMatch::ListFailed;
  const std::vector<std::string> paths = std::move(hid.path_list);
  hid.path_list.clear();
  bool listed = false;
  for (const std::string& path : paths) {
    if (!wanted.listed(path)) continue;
    listed = true;
    hid.want_read = true;
    hid.want_write = wanted.want_write;
    hid.overlapped = true;
    hid.exclusive = wanted.exclusive;
    hid.device_path = path;
    if (!hid.Open()) {
      if (wanted.refused) wanted.refused(path, LastHidOpenError());
      continue;
    }
    if (wanted.matches(hid)) return OpenMatch::Opened;
    hid.Close();
  }
  return listed ? OpenMatch::NoneMatched : OpenMatch::NotListed;
}

}  // namespace trx

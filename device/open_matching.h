#pragma once
// The one loop that finds and opens a device's interface: list every HID
// interface, try the ones whose path the caller accepts, open each with the
// caller's flags and keep the first whose attributes and capabilities the
// caller accepts. The others are closed again.
//
// Thread: the caller's; `hid` must be owned by the caller for the call
// (the channel's lock, or a thread owning the record alone).

#include <functional>
#include <string>

#include "device/hid_device.h"

namespace trx {

struct InterfaceWanted {
  // Which listed paths to try (vendor/product ids in the path). Required.
  std::function<bool(const std::string& path)> listed;
  // Whether an opened interface is the one (attributes, usage). Required.
  std::function<bool(const CHidDevice& hid)> matches;
  bool want_write = true;
  bool exclusive = false;
  // Optional: told of each tried path whose open failed, with
  // LastHidOpenError() of that open.
  std::function<void(const std::string& path, int error)> refused;
};

enum class OpenMatch {
  Opened,       // `hid` is open on the matching interface (hid.device_path)
  ListFailed,   // the interfaces could not be listed
  NotListed,    // no listed path was accepted
  NoneMatched,  // paths were tried, none opened and matched
};

// hid.path_list holds nothing afterwards.
OpenMatch OpenMatchingInterface(CHidDevice& hid, const InterfaceWanted& wanted);

}  // namespace trx

#pragma once
// Finding and opening one device of the family for a program that is not
// the GUI (the command-line tool): the same enumeration, identity table and
// transport the presence threads use, but an exclusive open, so a device
// the GUI already holds is refused rather than shared (two programs
// interleaving exchanges would take each other's replies).
//
// Thread: any; a session belongs to the thread that opened it.

#include <memory>
#include <string>
#include <vector>

#include "device/device_channel.h"
#include "device/hid_backend.h"

namespace trx {

enum class OpenResult {
  Opened,      // the channel is open, matched and marked connected
  NotPresent,  // no interface of that kind is listed
  NoAccess,    // present, but the node can't be opened (permissions)
  InUse,       // present, but another program holds it (the GUI)
  Failed,      // present, but no interface matched or opened
};

struct OpenReport {
  OpenResult result = OpenResult::NotPresent;
  std::string path;   // the interface opened, or the one that refused
  int error = 0;      // errno of the refusal (NoAccess, InUse)
};

// The family's vendor interfaces listed for `kind` (by the ids their paths
// carry), whether or not they can be opened.
std::vector<std::string> ListInterfaces(IHidBackend& backend, DeviceKind kind);

// Opens the kind's configuration interface into `channel` (whose identity
// is set from the table first). On Opened the channel is connected and its
// block size is the kind's default (the keyboard's comes with its device
// information).
OpenReport OpenDevice(CDeviceChannel& channel);

// A one-line description of a failed open for a person ("the mouse is
// connected but ... "), naming the fix where there is one.
std::string DescribeOpenFailure(DeviceKind kind, const OpenReport& report);

}  // namespace trx

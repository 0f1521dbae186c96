#include "services/device_session.h"

#include <cerrno>
#include <cstring>

#include "device/device_ids.h"
#include "device/hid_device.h"

namespace trx {

namespace {

bool Listed(const std::string& path, const DeviceIdentity& id) {
  return ParsePathVendorId(path) == id.vendor_id && id.AcceptsProduct(ParsePathProductId(path));
}

}  // namespace

std::vector<std::string> ListInterfaces(IHidBackend& backend, DeviceKind kind) {
  std::vector<std::string> paths;
  std::vector<std::string> out;
  if (!backend.Enumerate(paths)) return out;
  const DeviceIdentity& id = IdentityOf(kind);
  for (const std::string& path : paths)
    if (Listed(path, id)) out.push_back(path);
  return out;
}

OpenReport OpenDevice(CDeviceChannel& channel) {
  ApplyIdentity(channel);
  const DeviceIdentity& id = IdentityOf(channel.kind);
  CHidDevice& hid = channel.transport;
  OpenReport report;
  if (hid.EnumerateHidPaths() != 1) {
    report.result = OpenResult::Failed;
    return report;
  }
  const std::vector<std::string> paths = hid.path_list;
  bool listed = false;
  for (const std::string& path : paths) {
    if (!Listed(path, id)) continue;
    listed = true;
    hid.want_read = true;
    hid.want_write = true;
    hid.exclusive = true;
    hid.device_path = path;
    if (hid.Open() != 1) {
      const int error = LastHidOpenError();
      if (error == EWOULDBLOCK) {
        report = {OpenResult::InUse, path, error};
      } else if ((error == EACCES || error == EPERM) && report.result != OpenResult::InUse) {
        report = {OpenResult::NoAccess, path, error};
      }
      continue;
    }
    if (hid.capabilities.usage_page == id.usage_page && hid.capabilities.usage == id.usage) {
      channel.connected = 1;
      return {OpenResult::Opened, path, 0};
    }
    hid.Close();
  }
  if (report.result == OpenResult::InUse || report.result == OpenResult::NoAccess) return report;
  report.result = listed ? OpenResult::Failed : OpenResult::NotPresent;
  return report;
}

std::string DescribeOpenFailure(DeviceKind kind, const OpenReport& report) {
  const std::string device = std::string("the ") + (kind == DeviceKind::MousePad ? "mouse pad" : DeviceKindName(kind));
  switch (report.result) {
    case OpenResult::Opened: return {};
    case OpenResult::NotPresent: return "no " + device.substr(4) + " is connected";
    case OpenResult::NoAccess:
      return device + " is connected (" + report.path + ") but cannot be opened: " + std::strerror(report.error) +
             "; install the udev rule: sudo install -m 644 70-trx770.rules /etc/udev/rules.d/ && "
             "sudo udevadm control --reload && sudo udevadm trigger";
    case OpenResult::InUse:
      return device + " is in use by another program (is trx770 running?); close it first";
    case OpenResult::Failed: break;
  }
  return device + " is connected but its configuration interface could not be opened";
}

}  // namespace trx

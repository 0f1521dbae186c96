#include "services/device_session.h"

#include <cerrno>
#include <cstring>

#include "device/device_ids.h"
#include "device/hid_device.h"
#include "device/open_matching.h"

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
  InterfaceWanted wanted;
  wanted.listed = [&id](const std::string& path) { return Listed(path, id); };
  wanted.matches = [&id](const CHidDevice& h) {
    return h.capabilities.usage_page == id.usage_page && h.capabilities.usage == id.usage;
  };
  wanted.exclusive = true;
  wanted.refused = [&report](const std::string& path, int error) {
    if (error == EWOULDBLOCK) {
      report = {OpenResult::InUse, path, error};
    } else if ((error == EACCES || error == EPERM) && report.result != OpenResult::InUse) {
      report = {OpenResult::NoAccess, path, error};
    }
  };
  switch (OpenMatchingInterface(hid, wanted)) {
    case OpenMatch::Opened:
      channel.connected = 1;
      return {OpenResult::Opened, hid.device_path, 0};
    case OpenMatch::ListFailed:
      report.result = OpenResult::Failed;
      return report;
    case OpenMatch::NotListed:
      report.result = OpenResult::NotPresent;
      return report;
    case OpenMatch::NoneMatched: break;
  }
  if (report.result == OpenResult::InUse || report.result == OpenResult::NoAccess) return report;
  report.result = OpenResult::Failed;
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

#pragma once
// The names of the program's session-bus API (docs/dbus-api.md), shared by
// the service in the program and its client, trx770ctl. Header only: the
// tool does not link the service.
//
// Version rule: an interface name ends in its major version ("Manager1").
// Within a version only additions are made (methods, properties, signals,
// error names, members of a JSON document); anything else is a new
// interface ("Manager2") served beside the old one for a while.

#include <cstdint>
#include <string_view>

namespace trx::bus {

inline constexpr const char* kBusName = "org.trx770.trx770";
inline constexpr const char* kManagerPath = "/org/trx770/trx770";
inline constexpr const char* kManagerInterface = "org.trx770.Manager1";
inline constexpr const char* kDeviceInterface = "org.trx770.Device1";
inline constexpr const char* kProfilesInterface = "org.trx770.Profiles1";
inline constexpr uint32_t kApiVersion = 1;

// The device objects: kManagerPath + "/" + "mouse", "keyboard" or "pad".
inline constexpr const char* kDevicePathPrefix = "/org/trx770/trx770/";

// Reasons carried by ProfileChanged.
inline constexpr const char* kReasonUser = "user";
inline constexpr const char* kReasonProgramLink = "program-link";
inline constexpr const char* kReasonDeviceButton = "device-button";

// The D-Bus error of each of trx770ctl's exit codes (1-8); its message is
// the tool's one-line reason. Null for 0 and unknown codes.
inline const char* ErrorNameOfExit(int code) {
  switch (code) {
    case 1: return "org.trx770.Error.DeviceError";
    case 2: return "org.trx770.Error.Usage";
    case 3: return "org.trx770.Error.NoDevice";
    case 4: return "org.trx770.Error.NoAccess";
    case 5: return "org.trx770.Error.Busy";
    case 6: return "org.trx770.Error.NotAvailable";
    case 7: return "org.trx770.Error.Refused";
    case 8: return "org.trx770.Error.FileError";
    default: return nullptr;
  }
}

// The program's reasons start as the tool prints them; the error message
// leaves the tool's name out.
inline std::string_view ReasonOfLine(std::string_view line) {
  constexpr std::string_view kPrefix = "trx770ctl: ";
  if (line.substr(0, kPrefix.size()) == kPrefix) line.remove_prefix(kPrefix.size());
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

}  // namespace trx::bus

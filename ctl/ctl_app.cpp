#include "ctl/ctl_app.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>

#include "backup/backup_store.h"
#include "ctl/ctl_backup.h"
#include "ctl/bus_client.h"
#include "ctl/ctl_button.h"
#include "ctl/ctl_watch.h"
#include "ctl/ctl_command.h"
#include "ctl/ctl_macro.h"
#include "ctl/ctl_routine.h"
#include "ctl/ctl_profile.h"
#include "platform/debug_log.h"
#include "platform/folder_lock.h"
#include "platform/user_folders.h"
#include "ctl/exit_codes.h"
#include "ctl/json_writer.h"
#include "ctl/light_command.h"
#include "device/commands.h"
#include "device/device_ids.h"
#include "device/hid_device.h"
#include "services/device_session.h"
#include "services/device_snapshot.h"
#include "services/mouse_record_edit.h"
#include "platform/desktop_pointer/session_pointer.h"
#include "settings/dpi_range.h"
#include "settings/mouse_config_image.h"
#include "settings/onboard_profile.h"
#include "sim/demo_devices.h"
#include "sim/sim_options.h"

#ifndef TRX770_VERSION
#define TRX770_VERSION "0"
#endif

namespace trx::ctl {

namespace {

constexpr const char* kUsage =
    "usage: trx770ctl [--simulate[=mouse,keyboard,pad]] [--sim-state DIR] [--json] [--verbose] COMMAND [ARGS]\n"
    "       trx770ctl --help | --version\n"
    "commands:\n"
    "  devices            list the connected devices\n"
    "  dump [DEVICE]      device information, onboard settings records and active profile\n"
    "  onboard DEVICE N   make onboard profile N (1-5) the active one (mouse)\n"
    "  light show DEVICE  the lighting: mode, brightness, speed, direction, colour cycle, colour\n"
    "  light set DEVICE [--mode NAME|N] [--brightness N] [--speed N] [--direction left|right]\n"
    "                   [--cycle on|off] [--colour RRGGBB]   change the lighting (sliders 0-14)\n"
    "  light copy-to-all DEVICE   give the other connected devices this device's lighting\n"
    "  dpi DEVICE LEVEL VALUE         DPI level LEVEL (1-4) of the active onboard profile, in DPI (mouse)\n"
    "  dpi-colour DEVICE LEVEL RRGGBB indicator colour of DPI level LEVEL (mouse)\n"
    "  rate DEVICE HZ     report rate: 125, 250, 500 or 1000 (mouse)\n"
    "  pointer-speed N    this desktop's pointer speed, 1-20 (10: the desktop's default)\n"
    "  wheel-lines N      this desktop's wheel scroll lines, 1-100\n"
    "  light key-colours keyboard FILE   per-key colours (lines \"KEY RRGGBB\") into the light profile\n"
    "  macro list|show|new|import|export|delete|upload DEVICE ...\n"
    "                     the macro library of the mouse or keyboard (see the manual)\n"
    "  routine show|import|export|reset N ..., routine upload|read\n"
    "                     the mouse's four fire-key routines (see the manual)\n"
    "  profile list|select|add|copy|rename|delete|import|export|reset DEVICE [FAMILY] ...\n"
    "                     the profiles on this computer; FAMILY: device, light or key (see the manual)\n"
    "  watch              one line per event of the running trx770 until interrupted: device added or\n"
    "                     removed, settings changed, profile in effect changed and why\n"
    "  backup DEVICE FILE [--force]   everything the device holds, to FILE\n"
    "  backup --list [DEVICE]         the automatic backups kept on this computer\n"
    "  restore DEVICE FILE            FILE checked, written back and read back to compare\n";

// After the commands (the button commands' help comes between).
constexpr const char* kUsageTail =
    "DEVICE is mouse, keyboard or pad.\n"
    "While trx770 runs, device and profile commands go to it over the session bus (same output and\n"
    "exit status); otherwise the tool opens the devices itself. --verbose says which path was taken.\n"
    "--json prints one document whose first member is \"schema_version\".\n"
    "exit status: 0 ok, 1 device error, 2 usage, 3 no device, 4 no access, 5 in use,\n"
    "             6 not available on this desktop, 7 refused (macro library, profiles), 8 file error\n";

constexpr DeviceKind kKinds[] = {DeviceKind::Mouse, DeviceKind::Keyboard, DeviceKind::MousePad};

struct Options : sim::SimOptions {
  bool json = false;
  bool verbose = false;            // say which path a command takes
  std::vector<std::string> words;  // command and its arguments
};

std::string Hex(const uint8_t* data, size_t n) {
  std::string s;
  char b[4];
  for (size_t i = 0; i < n; ++i) {
    std::snprintf(b, sizeof b, "%02x", data[i]);
    s += b;
  }
  return s;
}

std::string Colour(const std::array<uint8_t, 3>& rgb) { return "#" + Hex(rgb.data(), 3); }

const char* KindWord(DeviceKind kind) { return kind == DeviceKind::MousePad ? "pad" : DeviceKindName(kind); }


void PrintInfoJson(JsonWriter& j, const DeviceSnapshot& s) {
  j.String("information", Hex(s.info.data(), s.info.size()));
  j.Int("block_size", s.block_size);
}

ExitCode Devices(const OpenChannel& open, const Options& o, std::ostream& out, std::ostream& err) {
  JsonWriter j(out);
  if (o.json) j.BeginArray("devices");
  int found = 0;
  ExitCode worst = ExitCode::NoDevice;
  for (DeviceKind kind : kKinds) {
    OpenReport report;
    CDeviceChannel* channel = open(kind, report);
    if (channel == nullptr) {
      if (report.result != OpenResult::NotPresent) {
        err << "trx770ctl: " << DescribeOpenFailure(kind, report) << "\n";
        worst = ExitOf(report.result);
      }
      continue;
    }
    DeviceSnapshot snap;
    const CommandResult rc = ReadDeviceSnapshot(*channel, snap);
    ++found;
    if (o.json) {
      j.BeginObject().String("kind", KindWord(kind)).String("path", report.path);
      if (rc == kResultOk) PrintInfoJson(j, snap);
      else j.String("error", CommandResultName(rc));
      j.EndObject();
    } else {
      out << KindWord(kind) << "\t" << report.path << "\t";
      if (rc == kResultOk) out << "info " << Hex(snap.info.data(), snap.info.size()) << "\tblock " << snap.block_size;
      else out << "error: " << CommandResultName(rc);
      out << "\n";
    }
  }
  if (o.json) {
    j.EndArray();
    j.Finish();
  }
  if (found > 0) return ExitCode::Ok;
  if (worst == ExitCode::NoDevice) err << "trx770ctl: no TRX770 device is connected\n";
  return worst;
}

ExitCode Dump(const OpenChannel& open, const Options& o, std::ostream& out, std::ostream& err) {
  if (o.words.size() > 2) {
    err << "trx770ctl: dump takes at most one device\n";
    return ExitCode::Usage;
  }
  std::vector<DeviceKind> candidates(std::begin(kKinds), std::end(kKinds));
  if (o.words.size() == 2) {
    auto kind = ParseDeviceKind(o.words[1]);
    if (!kind) {
      err << "trx770ctl: unknown device '" << o.words[1] << "' (mouse, keyboard or pad)\n";
      return ExitCode::Usage;
    }
    candidates = {*kind};
  }
  OpenReport report;
  CDeviceChannel* channel = nullptr;
  DeviceKind kind = candidates.front();
  std::optional<std::pair<DeviceKind, OpenReport>> refusal;
  for (DeviceKind k : candidates) {
    channel = open(k, report);
    if (channel != nullptr) {
      kind = k;
      break;
    }
    if (report.result != OpenResult::NotPresent && !refusal) refusal = {{k, report}};
  }
  if (channel == nullptr) {
    if (refusal) {
      err << "trx770ctl: " << DescribeOpenFailure(refusal->first, refusal->second) << "\n";
      return ExitOf(refusal->second.result);
    }
    if (candidates.size() > 1) err << "trx770ctl: no TRX770 device is connected\n";
    else err << "trx770ctl: " << DescribeOpenFailure(kind, report) << "\n";
    return ExitCode::NoDevice;
  }
  DeviceSnapshot snap;
  const CommandResult rc = ReadDeviceSnapshot(*channel, snap);
  if (rc != kResultOk) {
    err << "trx770ctl: reading the " << KindWord(kind) << " failed: " << CommandResultName(rc) << "\n";
    return ExitOf(rc);
  }
  JsonWriter j(out);
  if (o.json) {
    j.BeginObject().String("kind", KindWord(kind)).String("path", report.path);
    PrintInfoJson(j, snap);
    j.Int("onboard_profile", snap.active_profile + 1);
    if (kind == DeviceKind::Mouse)
      j.BeginObject("dpi_range")
          .Int("min", DpiBase(snap.info.data()))
          .Int("max", DpiMax(snap.info.data()))
          .Int("step", snap.info[kInfoDpiStep])
          .EndObject();
    j.BeginArray("records");
  } else {
    out << "device: " << KindWord(kind) << " (" << report.path << ")\n"
        << "information: " << Hex(snap.info.data(), snap.info.size()) << "\n"
        << "block size: " << snap.block_size << "\n"
        << "onboard profile: " << snap.active_profile + 1 << "\n";
    // The range the window's DPI scales show.
    if (kind == DeviceKind::Mouse)
      out << "DPI range: " << DpiBase(snap.info.data()) << "-" << DpiMax(snap.info.data()) << " in steps of "
          << int{snap.info[kInfoDpiStep]} << "\n";
  }
  for (int k = 0; k < 5; ++k) {
    const uint8_t* rec = snap.records[k].data();
    if (o.json) j.BeginObject().Int("profile", k + 1).String("bytes", Hex(rec, kSnapshotRecordBytes));
    else out << "profile " << k + 1 << (k == snap.active_profile ? " (active)" : "") << ":\n";
    if (kind == DeviceKind::Mouse) {
      const MouseRecordView v = DecodeMouseRecord(snap.info.data(), rec);
      if (o.json) {
        j.Ints("dpi", {v.dpi.begin(), v.dpi.end()});
        j.BeginArray("dpi_colours");
        for (const auto& c : v.dpi_colours) j.String({}, Colour(c));
        j.EndArray();
        // The level in use numbered 1-4 as the window shows it (byte 19 + 1).
        j.Int("dpi_level", v.current_dpi_level + 1).Int("report_rate_hz", v.report_rate_hz);
        j.BeginObject("lighting")
            .Int("mode", v.light_mode)
            .Int("brightness", v.brightness)
            .Int("speed", v.speed)
            .Int("direction", v.direction)
            .Bool("colour_cycle", v.colour_cycle)
            .String("colour", Colour(v.light_colour))
            .EndObject();
      } else {
        out << "  dpi:";
        for (int level = 0; level < 4; ++level) out << " " << v.dpi[level] << " " << Colour(v.dpi_colours[level]);
        out << "  (level in use " << v.current_dpi_level + 1 << ")\n"
            << "  report rate: " << v.report_rate_hz << " Hz\n"
            << "  lighting: mode " << v.light_mode << ", brightness " << v.brightness << ", speed " << v.speed
            << ", direction " << v.direction << ", colour " << Colour(v.light_colour)
            << (v.colour_cycle ? ", colour cycle" : "") << "\n";
      }
    } else if (!o.json) {
      out << "  " << Hex(rec, kSnapshotRecordBytes) << "\n";
    }
    if (o.json) j.EndObject();
  }
  if (o.json) {
    j.EndArray().EndObject();
    j.Finish();
  }
  return ExitCode::Ok;
}

ExitCode Onboard(const OpenChannel& open, const Options& o, std::ostream& out, std::ostream& err) {
  if (o.words.size() != 3) {
    err << "trx770ctl: usage: onboard DEVICE N (N = 1-5)\n";
    return ExitCode::Usage;
  }
  auto kind = ParseDeviceKind(o.words[1]);
  if (!kind) {
    err << "trx770ctl: unknown device '" << o.words[1] << "' (mouse, keyboard or pad)\n";
    return ExitCode::Usage;
  }
  const std::string& n = o.words[2];
  if (n.size() != 1 || n[0] < '1' || n[0] > '5') {
    err << "trx770ctl: onboard profile must be 1-5, not '" << n << "'\n";
    return ExitCode::Usage;
  }
  if (*kind != DeviceKind::Mouse) {
    err << "trx770ctl: onboard profiles are switched on the mouse only\n";
    return ExitCode::Usage;
  }
  OpenReport report;
  CDeviceChannel* channel = open(*kind, report);
  if (channel == nullptr) return RefuseOpen(*kind, report, err);
  const OnboardSwitchResult rc = SwitchOnboardProfile(*channel, n[0] - '1');
  if (rc != kSwitchDone && rc != kSwitchAlreadyActive) {
    err << "trx770ctl: onboard profile " << n << " could not be made active: " << OnboardSwitchResultName(rc)
        << "\n";
    return ExitOf(rc);
  }
  if (o.json) {
    JsonWriter j(out);
    j.BeginObject().String("kind", KindWord(*kind)).Int("onboard_profile", n[0] - '0');
    j.Bool("changed", rc == kSwitchDone).EndObject();
    j.Finish();
  } else {
    out << "mouse: onboard profile " << n << (rc == kSwitchDone ? " is now active" : " was already active") << "\n";
  }
  return ExitCode::Ok;
}

ExitCode Light(const OpenChannel& open, const Options& o, std::ostream& out, std::ostream& err) {
  auto open_reporting = [&](DeviceKind kind, bool quiet_absent, ExitCode* code) -> CDeviceChannel* {
    OpenReport report;
    CDeviceChannel* channel = open(kind, report);
    if (channel != nullptr) return channel;
    *code = ExitOf(report.result);
    if (!(quiet_absent && report.result == OpenResult::NotPresent))
      err << "trx770ctl: " << DescribeOpenFailure(kind, report) << "\n";
    return nullptr;
  };
  return RunLight(o.words, o.json, open_reporting, out, err);
}

// The mouse named by `word` opened for a record edit; null with `code` set.
CDeviceChannel* OpenMouse(const OpenChannel& open, const std::string& word, const char* command, std::ostream& err,
                          ExitCode& code) {
  auto kind = ParseDeviceKind(word);
  if (!kind) {
    err << "trx770ctl: unknown device '" << word << "' (mouse, keyboard or pad)\n";
    code = ExitCode::Usage;
    return nullptr;
  }
  if (*kind != DeviceKind::Mouse) {
    err << "trx770ctl: " << command << " is a setting of the mouse only\n";
    code = ExitCode::Usage;
    return nullptr;
  }
  OpenReport report;
  CDeviceChannel* channel = open(*kind, report);
  if (channel == nullptr) {
    err << "trx770ctl: " << DescribeOpenFailure(*kind, report) << "\n";
    code = ExitOf(report.result);
  }
  return channel;
}

// A whole decimal number in [lo, hi].
std::optional<int> ParseInt(const std::string& s, int lo, int hi) {
  if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  const int v = std::stoi(s);
  if (v < lo || v > hi) return std::nullopt;
  return v;
}

ExitCode ReportEdit(const RecordEditOutcome& r, const char* what, std::ostream& err) {
  switch (r.result) {
    case RecordEditResult::Done: break;
    case RecordEditResult::ReadFailed:
      err << "trx770ctl: reading the mouse failed: " << CommandResultName(r.detail) << "\n";
      break;
    case RecordEditResult::NoActiveRecord:
      err << "trx770ctl: the mouse reports onboard profile " << r.active + 1 << ", which does not exist\n";
      break;
    case RecordEditResult::Refused: err << "trx770ctl: " << r.reason << "; nothing was sent\n"; break;
    case RecordEditResult::WriteFailed:
      err << "trx770ctl: writing the " << what << " failed: " << CommandResultName(r.detail) << "\n";
      break;
  }
  return ExitOf(r.result);
}

// dpi mouse LEVEL VALUE / dpi-colour mouse LEVEL RRGGBB / rate mouse HZ
ExitCode MouseSetting(const OpenChannel& open, const Options& o, std::ostream& out, std::ostream& err) {
  const std::string& command = o.words[0];
  const bool rate = command == "rate";
  if (o.words.size() != (rate ? 3u : 4u)) {
    err << "trx770ctl: usage: "
        << (rate ? "rate DEVICE HZ" : command == "dpi" ? "dpi DEVICE LEVEL VALUE (LEVEL 1-4, VALUE in DPI)"
                                                       : "dpi-colour DEVICE LEVEL RRGGBB (LEVEL 1-4)")
        << "\n";
    return ExitCode::Usage;
  }
  int level = 0;
  if (!rate) {
    auto l = ParseInt(o.words[2], 1, 4);
    if (!l) {
      err << "trx770ctl: DPI level must be 1-4, not '" << o.words[2] << "'\n";
      return ExitCode::Usage;
    }
    level = *l;
  }
  int number = 0;  // DPI, colour or rate index
  if (command == "dpi") {
    auto v = ParseInt(o.words[3], 0, 999999);
    if (!v) {
      err << "trx770ctl: DPI must be a whole number, not '" << o.words[3] << "'\n";
      return ExitCode::Usage;
    }
    number = *v;
  } else if (command == "dpi-colour") {
    const std::string& c = o.words[3];
    if (c.size() != 6 || c.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
      err << "trx770ctl: colour must be six hex digits RRGGBB, not '" << c << "'\n";
      return ExitCode::Usage;
    }
    number = static_cast<int>(std::stoul(c, nullptr, 16));
  } else {
    auto hz = ParseInt(o.words[2], 1, 100000);
    number = -1;
    for (size_t i = 0; hz && i < std::size(kReportRatesHz); ++i)
      if (kReportRatesHz[i] == *hz) number = static_cast<int>(i);
    if (number < 0) {
      err << "trx770ctl: report rate must be 125, 250, 500 or 1000 Hz, not '" << o.words[2] << "'\n";
      return ExitCode::Usage;
    }
  }
  ExitCode code = ExitCode::Ok;
  CDeviceChannel* mouse = OpenMouse(open, o.words[1], command.c_str(), err, code);
  if (mouse == nullptr) return code;

  int shown = number;
  auto edit = [&](const uint8_t* info, uint8_t* record, std::string& reason) {
    if (command == "dpi") {
      auto position = PositionOfDpi(info, number);
      if (!position) {
        reason = std::to_string(number) + " DPI is not reachable by this sensor: " + std::to_string(DpiBase(info)) +
                 "-" + std::to_string(DpiMax(info)) + " DPI in steps of " + std::to_string(info[kInfoDpiStep]);
        return false;
      }
      record[kRecDpiLevels + level - 1] = *position;
    } else if (command == "dpi-colour") {
      uint8_t* rgb = record + kRecDpiColours + 3 * (level - 1);
      rgb[0] = static_cast<uint8_t>(number >> 16);
      rgb[1] = static_cast<uint8_t>(number >> 8);
      rgb[2] = static_cast<uint8_t>(number);
    } else {
      record[kRecReportRate] = static_cast<uint8_t>(number);
      shown = kReportRatesHz[number];
    }
    return true;
  };
  // The report rate reaches the mouse only with a whole record.
  const RecordEditOutcome r =
      EditActiveMouseRecord(*mouse, rate ? RecordSend::WholeRecord : RecordSend::Frames3, edit);
  code = ReportEdit(r, command == "dpi" ? "DPI level" : command == "rate" ? "report rate" : "DPI colour", err);
  if (code != ExitCode::Ok) return code;
  if (o.json) {
    JsonWriter j(out);
    j.BeginObject().String("kind", "mouse").Int("onboard_profile", r.active + 1);
    if (command == "dpi") j.Int("level", level).Int("dpi", number);
    else if (command == "dpi-colour") j.Int("level", level).String("colour", "#" + o.words[3]);
    else j.Int("report_rate_hz", shown);
    j.EndObject();
    j.Finish();
  } else if (command == "dpi") {
    out << "mouse: onboard profile " << r.active + 1 << ", DPI level " << level << " is now " << number << " DPI\n";
  } else if (command == "dpi-colour") {
    out << "mouse: onboard profile " << r.active + 1 << ", DPI level " << level << " colour is now #" << o.words[3]
        << "\n";
  } else {
    out << "mouse: onboard profile " << r.active + 1 << ", report rate is now " << shown << " Hz\n";
  }
  return ExitCode::Ok;
}

// pointer-speed N / wheel-lines N: the running desktop's settings.
// A selected profile's pointer speed and wheel lines, to this desktop
// (where it has them; the profile is selected either way).
void ApplyProfilePointer(int speed, int lines) {
  auto pointer = desktop::OpenSessionDesktopPointer();
  if (pointer->HasPointerSpeed() && pointer->SetPointerSpeed(speed) != desktop::DesktopResult::Ok)
    DebugLineF("profile pointer speed %d not applied (%s)", speed, pointer->Name());
  if (pointer->HasWheelLines() && pointer->SetWheelLines(lines) != desktop::DesktopResult::Ok)
    DebugLineF("profile wheel lines %d not applied (%s)", lines, pointer->Name());
}

ExitCode DesktopSetting(const Options& o, std::ostream& out, std::ostream& err) {
  const bool speed = o.words[0] == "pointer-speed";
  const int hi = speed ? desktop::kPointerSpeedMax : desktop::kWheelLinesMax;
  auto n = o.words.size() == 2 ? ParseInt(o.words[1], 1, hi) : std::nullopt;
  if (!n) {
    err << "trx770ctl: usage: " << o.words[0] << " N (N = 1-" << hi << ")\n";
    return ExitCode::Usage;
  }
  auto pointer = desktop::OpenSessionDesktopPointer();
  const desktop::DesktopResult r = speed ? pointer->SetPointerSpeed(*n) : pointer->SetWheelLines(*n);
  const char* what = speed ? "pointer speed" : "wheel scroll lines";
  if (r == desktop::DesktopResult::NotAvailable) {
    err << "trx770ctl: " << what << " is not available on this desktop (" << pointer->Name() << ")\n";
    return ExitOf(r);
  }
  if (r != desktop::DesktopResult::Ok) {
    err << "trx770ctl: the " << what << " could not be set on this desktop (" << pointer->Name() << ")\n";
    return ExitOf(r);
  }
  if (o.json) {
    JsonWriter j(out);
    j.BeginObject().String("desktop", pointer->Name()).Int(speed ? "pointer_speed" : "wheel_lines", *n).EndObject();
    j.Finish();
  } else {
    out << what << " is now " << *n << " (" << pointer->Name() << ")\n";
  }
  return ExitCode::Ok;
}

// Checks the command word and the arguments every path checks the same
// way; false with the one-line reason.
ExitCode CheckCommand(const std::vector<std::string>& words, std::ostream& err) {
  if (words.empty()) {
    err << "trx770ctl: no command (see --help)\n";
    return ExitCode::Usage;
  }
  if (!IsServedCommand(words[0]) && words[0] != "pointer-speed" && words[0] != "wheel-lines" && words[0] != "watch") {
    err << "trx770ctl: unknown command '" << words[0] << "' (see --help)\n";
    return ExitCode::Usage;
  }
  const bool watch_json = words[0] == "watch" && words.size() == 2 && words[1] == "--json";
  if ((words[0] == "devices" || words[0] == "watch") && words.size() > 1 && !watch_json) {
    err << "trx770ctl: " << words[0] << " takes no arguments\n";
    return ExitCode::Usage;
  }
  return ExitCode::Ok;
}

}  // namespace

bool IsServedCommand(const std::string& command) {
  static constexpr const char* kServed[] = {"devices", "dump",    "onboard", "light",   "dpi",    "dpi-colour", "rate",
                                            "macro",   "button",  "routine", "profile", "backup", "restore"};
  for (const char* c : kServed)
    if (command == c) return true;
  return false;
}

namespace {

ExitCode RunServed(const std::vector<std::string>& words, bool json, const CommandDevices& devices,
                   std::ostream& out, std::ostream& err);

}  // namespace

bool IsReadOnlyCommand(const std::vector<std::string>& w) {
  if (w.empty()) return true;
  const std::string& c = w[0];
  const std::string sub = w.size() > 1 ? w[1] : "";
  if (c == "devices" || c == "dump" || c == "backup") return true;  // a backup writes only its own file
  if (c == "light") return sub == "show";
  if (c == "macro") return sub == "list" || sub == "show" || sub == "export";
  if (c == "button") return sub == "list";
  if (c == "routine") return sub == "show" || sub == "export";
  if (c == "profile") return sub == "list" || sub == "export";
  return false;
}

ExitCode RunCommand(const std::vector<std::string>& words, bool json, const CommandDevices& devices,
                    std::ostream& out, std::ostream& err) {
  if (!json) return RunServed(words, json, devices, out, err);
  // Commands without a document of their own (a save, an upload, a select)
  // print their text lines; --json gives them as one document too.
  std::ostringstream text;
  const ExitCode code = RunServed(words, json, devices, text, err);
  const std::string printed = text.str();
  if (printed.empty() || printed[0] == '{') {
    out << printed;
    return code;
  }
  JsonWriter j(out);
  j.BeginArray("messages");
  size_t begin = 0;
  while (begin < printed.size()) {
    size_t end = printed.find('\n', begin);
    if (end == std::string::npos) end = printed.size();
    j.String({}, std::string_view(printed).substr(begin, end - begin));
    begin = end + 1;
  }
  j.EndArray();
  j.Finish();
  return code;
}

namespace {

ExitCode RunServed(const std::vector<std::string>& words, bool json, const CommandDevices& devices,
                   std::ostream& out, std::ostream& err) {
  if (ExitCode check = CheckCommand(words, err); check != ExitCode::Ok) return check;
  const std::string& command = words[0];
  if (!IsServedCommand(command)) {
    err << "trx770ctl: " << command << " is not a device command\n";
    return ExitCode::Usage;
  }
  Options o;
  o.words = words;
  o.json = json;
  const OpenChannel& open = devices.open;
  if (command == "devices") return Devices(open, o, out, err);
  if (command == "dump") return Dump(open, o, out, err);
  if (command == "light") return Light(open, o, out, err);
  if (command == "dpi" || command == "dpi-colour" || command == "rate") return MouseSetting(open, o, out, err);
  if (command == "button") return RunButtonCommand(words, json, open, out, err);
  if (command == "routine") return RunRoutineCommand(words, json, open, out, err);
  if (command == "profile") return RunProfileCommand(words, json, open, devices.profile_hooks, out, err);
  if (command == "macro") return RunMacroCommand(words, json, open, out, err);
  if (command == "backup" || command == "restore") return RunBackupCommand(words, json, open, out, err);
  return Onboard(open, o, out, err);
}

}  // namespace

ExitCode RunCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    // The program's own options count before and after the command
    // ("trx770ctl devices --json"); any other option after the command is
    // the command's own ("--force", "--mode", "--onboard").
    const bool global = a == "--json" || a == "--verbose" || a == "-v" || sim::IsSimOption(a);
    if (!o.words.empty() && !global) {
      o.words.push_back(a);
    } else if (a == "--help" || a == "-h") {
      out << kUsage << kButtonHelp << kUsageTail;
      return ExitCode::Ok;
    } else if (a == "--version") {
      out << "trx770ctl " << TRX770_VERSION << "\n";
      return ExitCode::Ok;
    } else if (a == "--onboard" && !o.words.empty() && o.words[0] == "button") {
      o.words.push_back(a);  // button list's own option
    } else if (a == "--json") {
      o.json = true;
    } else if (a == "--verbose" || a == "-v") {
      o.verbose = true;
    } else if (sim::IsSimOption(a)) {
      std::string error;
      if (sim::TakeSimOption(args, i, o, error) == sim::SimOptionResult::Bad) {
        err << "trx770ctl: " << error << "\n";
        return ExitCode::Usage;
      }
    } else if (!a.empty() && a[0] == '-') {
      err << "trx770ctl: unknown option '" << a << "' (see --help)\n";
      return ExitCode::Usage;
    } else {
      o.words.push_back(a);
    }
  }
  if (ExitCode check = CheckCommand(o.words, err); check != ExitCode::Ok) return check;
  if (std::string error; !sim::CheckSimOptions(o, error)) {
    err << "trx770ctl: " << error << "\n";
    return ExitCode::Usage;
  }
  const std::string& command = o.words[0];
  if (command == "pointer-speed" || command == "wheel-lines") return DesktopSetting(o, out, err);
  if (command == "watch") return RunWatch(o.json || o.words.size() == 2, {}, out, err);

  // The running program holds the devices: it runs the command itself.
  // Simulated devices are the tool's own, never the program's.
  if (!o.simulate) {
    CBusClient bus;
    if (bus.Connect()) {
      if (o.verbose) err << "trx770ctl: sending the command to the running trx770 (session bus)\n";
      return bus.Run(o.words, o.json, out, err);
    }
  }
  if (o.verbose) err << "trx770ctl: no trx770 on the session bus; opening the devices directly\n";

  std::unique_ptr<sim::SimulatedDevices> simulated;
  std::shared_ptr<IHidBackend> backend = DefaultHidBackend();
  if (o.simulate) {
    sim::SimulateSelection selection;
    std::string error;
    if (!sim::ParseSimulateList(o.simulate_list, selection, error)) {
      err << "trx770ctl: " << error << "\n";
      return ExitCode::Usage;
    }
    simulated = std::make_unique<sim::SimulatedDevices>(selection, o.sim_state);
    if (!simulated->Valid()) {
      err << "trx770ctl: the simulated devices could not be created\n";
      return ExitCode::DeviceError;
    }
    if (!simulated->StateWarning().empty()) err << "trx770ctl: warning: " << simulated->StateWarning() << "\n";
    backend = simulated->Backend();
  }
  ExitCode code = ExitCode::Ok;
  {
    // The tool's own exclusive opens, one channel per kind asked for.
    std::vector<std::unique_ptr<CDeviceChannel>> channels;
    CommandDevices devices;
    devices.open = [&](DeviceKind kind, OpenReport& report) -> CDeviceChannel* {
      auto channel = std::make_unique<CDeviceChannel>(kind, backend);
      // A device never backed up on this computer is, before its first write.
      backup::InstallAutomaticBackup(*channel);
      report = OpenDevice(*channel);
      if (report.result != OpenResult::Opened) return nullptr;
      channels.push_back(std::move(channel));
      return channels.back().get();
    };
    devices.profile_hooks.apply_pointer = ApplyProfilePointer;
    // Another trx770ctl may be editing the same files: one read-modify-write
    // at a time.
    std::optional<CFolderLock> folder_lock;
    if (!IsReadOnlyCommand(o.words)) folder_lock.emplace(UserDataFolder());
    code = RunCommand(o.words, o.json, devices, out, err);
  }
  if (simulated && !simulated->SaveState()) {
    err << "trx770ctl: the simulated devices' state could not be saved in " << o.sim_state << "\n";
    if (code == ExitCode::Ok) code = ExitCode::DeviceError;
  }
  return code;
}

}  // namespace trx::ctl

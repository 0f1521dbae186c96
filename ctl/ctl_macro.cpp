#include "ctl/ctl_macro.h"

#include <cstdio>
#include <optional>

#include "ctl/action_names.h"
#include "ctl/exit_codes.h"
#include "ctl/json_writer.h"
#include "device/commands.h"
#include "device/device_ids.h"
#include "macro/macro_delete.h"
#include "macro/macro_library.h"
#include "macro/macro_tables.h"
#include "macro/macro_upload.h"
#include "platform/progress_reporter.h"
#include "services/device_snapshot.h"
#include "settings/key_assignment.h"

namespace trx::ctl {

namespace {

using macro::MacroResult;

constexpr const char* kMacroUsage =
    " (macro list|new|upload DEVICE, show|delete DEVICE NAME, import DEVICE FILE, export DEVICE NAME FILE)\n";



// Index of `name` (any case) in the library; nullopt with a message.
std::optional<int> FindMacro(const macro::MacroStore& store, const std::string& name, std::ostream& err) {
  const auto names = macro::LoadMacroNames(store);
  for (size_t i = 0; i < names.size(); ++i)
    if (macro::SameMacroName(names[i], name)) return static_cast<int>(i);
  err << "trx770ctl: no macro named '" << name << "'\n";
  return std::nullopt;
}

// "press", "release", "left 12" ... for one action.
std::string Describe(const macro::MacroAction& a) {
  const bool bit7 = (a.type & macro::kTypePressedBit) != 0;
  switch (static_cast<macro::MacroKind>(a.Kind())) {
    case macro::MacroKind::PointerMoveX: return (bit7 ? "move left " : "move right ") + std::to_string(a.code);
    case macro::MacroKind::PointerMoveY: return (bit7 ? "move up " : "move down ") + std::to_string(a.code);
    default: return a.pressed ? "press" : "release";
  }
}

struct DeviceState {
  CDeviceChannel* channel = nullptr;
  DeviceSnapshot snap;
};

// Opens the device and reads what the commands need; an exit code other
// than Ok when that failed (the reason printed).
ExitCode OpenAndRead(DeviceKind kind, const OpenChannel& open, DeviceState& s, std::ostream& err) {
  OpenReport report;
  s.channel = open(kind, report);
  if (s.channel == nullptr) return RefuseOpen(kind, report, err);
  const CommandResult rc = ReadDeviceSnapshot(*s.channel, s.snap);
  if (rc != kResultOk) {
    err << "trx770ctl: reading the " << DeviceKindName(kind) << " failed: " << CommandResultName(rc) << "\n";
    return ExitOf(rc);
  }
  if (s.snap.block_size <= 0 || static_cast<size_t>(s.snap.block_size) > kKeyBlockSize) {
    err << "trx770ctl: the " << DeviceKindName(kind) << " reports an unusable key block size\n";
    return ExitCode::DeviceError;
  }
  s.channel->block_size = s.snap.block_size;
  if (s.snap.active_profile < 0 || s.snap.active_profile >= kKeyBlockCount) s.snap.active_profile = 0;
  return ExitCode::Ok;
}

ExitCode Upload(const macro::MacroStore& store, DeviceState& s, const uint8_t* key_block, std::ostream& out,
                std::ostream& err) {
  NullProgress progress;
  const macro::MacroUploadReport r = macro::UploadMacroLibrary(*s.channel, store, s.snap.info.data(),
                                                               s.snap.active_profile, key_block, progress);
  if (r.result != MacroResult::Ok) {
    err << "trx770ctl: " << macro::DescribeUpload(r) << "\n";
    return ExitOf(r.result);
  }
  out << macro::DescribeUpload(r) << "\n";
  return ExitCode::Ok;
}

}  // namespace

ExitCode RunMacroCommand(const std::vector<std::string>& w, bool json, const OpenChannel& open, std::ostream& out,
                         std::ostream& err) {
  static const std::pair<const char*, size_t> kArity[] = {{"list", 3},   {"show", 4},   {"new", 3},   {"import", 4},
                                                          {"export", 5}, {"delete", 4}, {"upload", 3}};
  const std::string sub = w.size() > 1 ? w[1] : "";
  bool known = false;
  for (const auto& [name, n] : kArity) {
    if (sub != name) continue;
    known = true;
    if (w.size() != n) {
      err << "trx770ctl: wrong number of arguments for 'macro " << sub << "'" << kMacroUsage;
      return ExitCode::Usage;
    }
  }
  if (!known) {
    err << "trx770ctl: " << (sub.empty() ? "macro needs a subcommand" : "unknown macro subcommand '" + sub + "'")
        << kMacroUsage;
    return ExitCode::Usage;
  }
  const auto kind = ParseDeviceKind(w[2]);
  if (!kind || (*kind != DeviceKind::Mouse && *kind != DeviceKind::Keyboard)) {
    err << "trx770ctl: macros are kept for the mouse and the keyboard, not '" << w[2] << "'\n";
    return ExitCode::Usage;
  }
  const macro::MacroStore store = macro::MacroStoreFor(*kind);
  JsonWriter j(out);

  if (sub == "list") {
    const auto names = macro::LoadMacroNames(store);
    if (json) j.BeginArray("macros");
    for (size_t i = 0; i < names.size(); ++i) {
      MacroResult loaded = MacroResult::Ok;
      const size_t count = macro::LoadMacroLines(store, names[i], &loaded).size();
      const bool damaged = loaded != MacroResult::Ok;
      if (json) {
        j.BeginObject().Int("number", static_cast<int>(i)).String("name", names[i]).Int("actions", static_cast<int>(count));
        if (damaged) j.Bool("damaged", true);
        j.EndObject();
      } else if (damaged) {
        out << i << "\t" << names[i] << "\tdamaged (more actions than a macro can hold)\n";
      } else {
        out << i << "\t" << names[i] << "\t" << count << (count == 1 ? " action" : " actions") << "\n";
      }
    }
    if (json) {
      j.EndArray();
      j.Finish();
    }
    return ExitCode::Ok;
  }
  if (sub == "show") {
    const auto index = FindMacro(store, w[3], err);
    if (!index) return ExitCode::Refused;
    const auto names = macro::LoadMacroNames(store);
    MacroResult loaded = MacroResult::Ok;
    const auto lines = macro::LoadMacroLines(store, names[static_cast<size_t>(*index)], &loaded);
    if (loaded != MacroResult::Ok) {
      err << "trx770ctl: the file of '" << names[static_cast<size_t>(*index)]
          << "' is damaged: it counts more actions than a macro can hold\n";
      return ExitCode::FileError;
    }
    if (json) j.BeginArray("actions");
    for (size_t i = 0; i < lines.size(); ++i) {
      macro::MacroAction a;
      const bool ok = macro::ParseActionLine(lines[i], a);
      const unsigned ms = a.delay * macro::kDelayUnitMs;
      if (json) {
        j.BeginObject().String("line", lines[i]).Bool("valid", ok);
        if (ok)
          j.String("name", a.name)
              .String("label", ReadableActionName(a.name))
              .String("action", Describe(a))
              .Int("delay_ms", static_cast<int>(ms));
        j.EndObject();
        continue;
      }
      char row[96];
      if (ok) {
        std::snprintf(row, sizeof row, "%3zu  %-12s %-28s then %u ms", i, Describe(a).c_str(),
                      ReadableActionName(a.name).c_str(), ms);
        out << row << "\n";
      } else {
        std::snprintf(row, sizeof row, "%3zu  (malformed line) ", i);
        out << row << lines[i] << "\n";
      }
    }
    if (json) {
      j.EndArray();
      j.Finish();
    }
    return ExitCode::Ok;
  }
  if (sub == "new" || sub == "import") {
    std::string name, problem;
    const MacroResult r =
        sub == "new" ? macro::CreateMacro(store, name) : macro::ImportMacro(store, w[3], name, &problem);
    if (r != MacroResult::Ok) {
      err << "trx770ctl: " << (problem.empty() ? std::string(MacroResultName(r)) : problem) << "\n";
      return ExitOf(r);
    }
    out << name << "\n";
    return ExitCode::Ok;
  }
  if (sub == "export") {
    const MacroResult r = macro::ExportMacro(store, w[3], w[4]);
    if (r == MacroResult::NoSuchMacro) err << "trx770ctl: no macro named '" << w[3] << "'\n";
    else if (r != MacroResult::Ok)
      err << "trx770ctl: the macro could not be copied to '" << w[4] << "' (a macro never saved has no file)\n";
    return ExitOf(r);
  }

  // delete and upload need the device.
  std::optional<int> index;
  if (sub == "delete") {
    index = FindMacro(store, w[3], err);
    if (!index) return ExitCode::Refused;
  }
  DeviceState s;
  if (ExitCode e = OpenAndRead(*kind, open, s, err); e != ExitCode::Ok) return e;
  if (sub == "delete") {
    // The library first, then all five onboard blocks, then the stored
    // profiles; a failure puts back what it can and names what is left, so
    // running the command again never renumbers twice.
    const macro::MacroDeleteReport d = macro::DeleteMacroEverywhere(store, *kind, *index, s.channel, nullptr);
    if (d.result != MacroResult::Ok) {
      err << "trx770ctl: " << macro::DescribeMacroDelete(d) << "\n";
      return ExitOf(d.result);
    }
    for (const macro::ButtonReset& b : d.resets)
      out << "profile " << b.profile + 1 << " button " << b.button + 1 << " is back to its default\n";
    if (!d.left_to_do.empty()) err << "trx770ctl: warning: " << d.left_to_do << "\n";
    out << "deleted '" << w[3] << "'\n";
  }
  uint8_t block[kKeyBlockSize] = {};
  CommandResult rc = BeginTransfer(*s.channel);
  if (rc == kResultOk) rc = ReadKeyBlock(*s.channel, s.snap.active_profile, block);
  if (const CommandResult end = EndTransfer(*s.channel); rc == kResultOk) rc = end;
  if (rc != kResultOk) {
    err << "trx770ctl: reading the key block failed: " << CommandResultName(rc) << "\n";
    return ExitOf(rc);
  }
  return Upload(store, s, block, out, err);
}

}  // namespace trx::ctl

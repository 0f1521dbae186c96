#include "ctl/ctl_button.h"

#include <optional>

#include "ctl/exit_codes.h"
#include "ctl/json_writer.h"
#include "device/commands.h"
#include "device/device_ids.h"
#include "keys/function_tables.h"
#include "keys/function_text.h"
#include "keys/key_upload.h"
#include "macro/macro_library.h"
#include "macro/macro_upload.h"
#include "platform/debug_log.h"
#include "platform/progress_reporter.h"
#include "routine/routine_device.h"
#include "services/device_session.h"
#include "services/device_snapshot.h"
#include "settings/key_assignment.h"

namespace trx::ctl {

const char* const kButtonHelp =
    "  button list mouse [--onboard N]      each button's function (onboard profile N, 1-5)\n"
    "  button set mouse BUTTON FUNCTION     give a button a function and save it to the mouse\n"
    "  button default mouse BUTTON          give a button its factory function back\n"
    "        BUTTON: 1-7 or left, wheel, right, forward, back, dpi, dpi-2\n"
    "        FUNCTION: left, right, middle, back, forward, dpi-up, dpi-down, dpi-loop,\n"
    "                  key:Ctrl+C, media:volume-up, system:sleep|power|wake-up,\n"
    "                  macro:NAME[:repeat=N|mode=M], routine:N, fire:A,B,\n"
    "                  swing:left|right|up|down,COUNT,HIGH,LOW, disabled, default\n";

namespace {

constexpr const char* kButtonUsage =
    " (button list mouse [--onboard N], button set mouse BUTTON FUNCTION, button default mouse BUTTON)\n";
constexpr KeyAssignment kLeftClick{keys::kTypeMouseButton, 0x01, 0x00};
constexpr int kGuardedEntries = 9;

KeyAssignment EntryOf(const uint8_t* block, int i) {
  return {block[i * kKeyAssignmentSize], block[i * kKeyAssignmentSize + 1], block[i * kKeyAssignmentSize + 2]};
}


}  // namespace

ExitCode RunButtonCommand(const std::vector<std::string>& words, bool json, const OpenChannel& open,
                          std::ostream& out, std::ostream& err) {
  // Take "--onboard N" out of the words.
  std::vector<std::string> w;
  std::optional<int> onboard;
  for (size_t i = 0; i < words.size(); ++i) {
    if (words[i] == "--onboard") {
      if (i + 1 >= words.size() || words[i + 1].size() != 1 || words[i + 1][0] < '1' || words[i + 1][0] > '5') {
        err << "trx770ctl: --onboard takes an onboard profile 1-5\n";
        return ExitCode::Usage;
      }
      onboard = words[++i][0] - '1';
    } else {
      w.push_back(words[i]);
    }
  }
  const std::string sub = w.size() > 1 ? w[1] : "";
  const size_t arity = sub == "list" ? 3 : sub == "set" ? 5 : sub == "default" ? 4 : 0;
  if (arity == 0 || w.size() != arity || (onboard && sub != "list")) {
    err << "trx770ctl: usage:" << kButtonUsage;
    return ExitCode::Usage;
  }
  if (w[2] != "mouse") {
    err << "trx770ctl: button works on the mouse only ('" << w[2] << "')\n";
    return ExitCode::Usage;
  }
  std::optional<int> button;
  if (sub != "list") {
    button = keys::ParseMouseButton(w[3]);
    if (!button) {
      err << "trx770ctl: no button '" << w[3] << "' (1-7 or left, wheel, right, forward, back, dpi, dpi-2)\n";
      return ExitCode::Usage;
    }
  }
  const macro::MacroStore store = macro::MacroStoreFor(DeviceKind::Mouse);
  const std::vector<std::string> macros = macro::LoadMacroNames(store);
  keys::ParsedFunction function;
  if (sub == "set") {
    function = keys::ParseFunction(w[4], macros);
    if (!function.ok) {
      err << "trx770ctl: " << function.reason << "\n";
      return function.reason.rfind("no macro", 0) == 0 ? ExitCode::Refused : ExitCode::Usage;
    }
  }

  OpenReport report;
  CDeviceChannel* channel = open(DeviceKind::Mouse, report);
  if (channel == nullptr) return RefuseOpen(DeviceKind::Mouse, report, err);
  DeviceSnapshot snap;
  CommandResult rc = ReadDeviceSnapshot(*channel, snap);
  if (rc != kResultOk) {
    err << "trx770ctl: reading the mouse failed: " << CommandResultName(rc) << "\n";
    return ExitOf(rc);
  }
  if (snap.block_size <= 0 || static_cast<size_t>(snap.block_size) > kKeyBlockSize) {
    err << "trx770ctl: the mouse reports an unusable key block size\n";
    return ExitCode::DeviceError;
  }
  channel->block_size = snap.block_size;
  const int active = snap.active_profile >= 0 && snap.active_profile < 5 ? snap.active_profile : 0;
  const int profile = onboard.value_or(active);
  uint8_t block[kKeyBlockSize] = {};
  uint8_t defaults[kKeyBlockSize] = {};
  rc = BeginTransfer(*channel);
  if (rc == kResultOk) rc = ReadKeyBlock(*channel, profile, block);
  if (rc == kResultOk) rc = ReadMainBlock(*channel, defaults);
  if (const CommandResult end = EndTransfer(*channel); rc == kResultOk) rc = end;
  if (rc != kResultOk) {
    err << "trx770ctl: reading the key block failed: " << CommandResultName(rc) << "\n";
    return ExitOf(rc);
  }

  if (sub == "list") {
    JsonWriter j(out);
    if (json) j.BeginObject().Int("onboard", profile + 1).BeginArray("buttons");
    for (int i = 0; i < static_cast<int>(kMouseButtonCount); ++i) {
      const std::string text = keys::DescribeFunction(EntryOf(block, i), macros);
      if (json)
        j.BeginObject().Int("button", i + 1).String("name", keys::MouseButtonName(i)).String("function", text).EndObject();
      else
        out << i + 1 << " " << keys::MouseButtonName(i) << ": " << text << "\n";
    }
    if (json) {
      j.EndArray().EndObject();
      j.Finish();
    }
    return ExitCode::Ok;
  }

  const KeyAssignment a = (sub == "default" || function.is_default) ? EntryOf(defaults, *button) : function.assignment;
  // The left click must stay on at least one button.
  bool other_left = false;
  for (int i = 0; i < kGuardedEntries; ++i)
    if (i != *button && EntryOf(block, i) == kLeftClick) other_left = true;
  if (EntryOf(block, *button) == kLeftClick && !other_left && !(a == kLeftClick)) {
    err << "trx770ctl: button " << *button + 1
        << " is the only one with the left click; give another button the left click first\n";
    return ExitCode::Refused;
  }
  block[*button * kKeyAssignmentSize] = a.type;
  block[*button * kKeyAssignmentSize + 1] = a.param1;
  block[*button * kKeyAssignmentSize + 2] = a.param2;
  // The same save as the key page's: the routines first.
  const routine::RoutineUploadReport routines = routine::UploadRoutines(*channel, routine::RoutineStoreFor());
  if (routines.result != routine::RoutineResult::Ok)
    err << "trx770ctl: warning: " << routine::DescribeRoutineUpload(routines) << "\n";
  NullProgress progress;
  const macro::MacroUploadReport r = macro::UploadMacroLibrary(*channel, store, snap.info.data(), profile, block, progress);
  if (r.result != macro::MacroResult::Ok) {
    err << "trx770ctl: " << macro::DescribeUpload(r) << "\n";
    return ExitOf(r.result);
  }
  out << "button " << *button + 1 << " (" << keys::MouseButtonName(*button) << ") of onboard profile " << profile + 1
      << ": " << keys::DescribeFunction(a, macros) << "\n";
  return ExitCode::Ok;
}

}  // namespace trx::ctl

#include "ctl/ctl_routine.h"

#include <cstdio>

#include "ctl/exit_codes.h"
#include "ctl/json_writer.h"
#include "routine/routine_device.h"
#include "routine/routine_steps.h"
#include "services/device_session.h"

namespace trx::ctl {

namespace {

using routine::RoutineResult;

constexpr const char* kRoutineUsage =
    " (routine show|reset N, import N FILE, export N FILE [--force], upload, read)\n";



// Routine number 1-4 of the word, as 0-3; -1 when it is none.
int RoutineNumber(const std::string& word) {
  if (word.size() != 1 || word[0] < '1' || word[0] > '4') return -1;
  return word[0] - '1';
}

int Signed(uint32_t distance, bool negative) {
  return negative ? -static_cast<int>(distance) : static_cast<int>(distance);
}

ExitCode Show(const routine::RoutineStore& store, int r, bool json, std::ostream& out) {
  const std::vector<std::string> lines = routine::LoadRoutineLines(store, r);
  JsonWriter j(out);
  if (json) j.BeginArray("steps");
  else out << "step  pause ms  horizontal  vertical\n";
  for (int k = 0; k < routine::kStepCount; ++k) {
    const routine::RoutineStep s = routine::StepFromLines(lines, k);
    if (json) {
      j.BeginObject()
          .Int("step", k + 1)
          .Int("pause_ms", s.pause_ms)
          .Int("x", Signed(s.x, s.left))
          .Int("y", Signed(s.y, s.up))
          .EndObject();
      continue;
    }
    char row[96];
    std::snprintf(row, sizeof row, "%4d  %8u  %-5s %3u   %-5s %3u", k + 1, s.pause_ms, s.left ? "left" : "right", s.x,
                  s.up ? "up" : "down", s.y);
    out << row << "\n";
  }
  if (json) {
    j.EndArray();
    j.Finish();
  } else {
    out << lines.size() << " actions in " << routine::RoutineFilePath(store, r) << "\n";
  }
  return ExitCode::Ok;
}

}  // namespace

ExitCode RunRoutineCommand(const std::vector<std::string>& w, bool json, const OpenChannel& open, std::ostream& out,
                           std::ostream& err) {
  const std::string sub = w.size() > 1 ? w[1] : "";
  const bool force = sub == "export" && w.size() == 5 && w[4] == "--force";
  const size_t arity = sub == "show" || sub == "reset" ? 3 : sub == "import" ? 4 : sub == "export" ? (force ? 5 : 4)
                       : sub == "upload" || sub == "read"                     ? 2
                                                                              : 0;
  if (arity == 0) {
    err << "trx770ctl: " << (sub.empty() ? "routine needs a subcommand" : "unknown routine subcommand '" + sub + "'")
        << kRoutineUsage;
    return ExitCode::Usage;
  }
  if (w.size() != arity) {
    err << "trx770ctl: wrong number of arguments for 'routine " << sub << "'" << kRoutineUsage;
    return ExitCode::Usage;
  }
  const int r = arity >= 3 ? RoutineNumber(w[2]) : 0;
  if (r < 0) {
    err << "trx770ctl: routines are numbered 1-4, not '" << w[2] << "'\n";
    return ExitCode::Usage;
  }
  const routine::RoutineStore store = routine::RoutineStoreFor();
  // Show only reads: it sets nothing up, so it writes no file.
  if (sub == "show") {
    if (routine::RoutineFilePath(store, r).empty()) {
      err << "trx770ctl: the routine index names no file for routine " << r + 1
          << " yet (any other routine command, or trx770, sets the routines up)\n";
      return ExitCode::FileError;
    }
    return Show(store, r, json, out);
  }
  if (!routine::InitRoutineIndex(store)) err << "trx770ctl: warning: the routine index or a default file is missing\n";

  if (sub == "import" || sub == "export" || sub == "reset") {
    long actions = 0;
    std::string problem;
    const RoutineResult result = sub == "import"   ? routine::ImportRoutine(store, r, w[3], &actions, &problem)
                                 : sub == "export" ? routine::ExportRoutine(store, r, w[3], force)
                                                   : routine::ResetRoutine(store, r);
    if (result == RoutineResult::TooManyActions)
      err << "trx770ctl: '" << w[3] << "' holds " << actions << " actions, more than 180; routine " << r + 1
          << " is unchanged\n";
    else if (!problem.empty())
      err << "trx770ctl: " << problem << "; routine " << r + 1 << " is unchanged\n";
    else if (result == RoutineResult::TargetExists)
      err << "trx770ctl: '" << w[3] << "' exists already; add --force to replace it\n";
    else if (result != RoutineResult::Ok)
      err << "trx770ctl: " << routine::RoutineResultName(result) << "\n";
    return ExitOf(result);
  }

  // upload and read need the mouse.
  OpenReport report;
  CDeviceChannel* channel = open(DeviceKind::Mouse, report);
  if (channel == nullptr) return RefuseOpen(DeviceKind::Mouse, report, err);
  if (sub == "upload") {
    const routine::RoutineUploadReport u = routine::UploadRoutines(*channel, store);
    (u.result == RoutineResult::Ok ? out : err) << (u.result == RoutineResult::Ok ? "" : "trx770ctl: ")
                                               << routine::DescribeRoutineUpload(u) << "\n";
    return ExitOf(u.result);
  }
  const routine::RoutineReadReport read = routine::ReadRoutinesFromMouse(*channel, store);
  if (read.result != RoutineResult::Ok) {
    err << "trx770ctl: " << routine::RoutineResultName(read.result) << "\n";
    return ExitOf(read.result);
  }
  out << "read " << read.image_size << " bytes; rewrote " << read.files_written << " routine files\n";
  return ExitCode::Ok;
}

}  // namespace trx::ctl

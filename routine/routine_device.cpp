#include "routine/routine_device.h"

#include "device/commands.h"
#include "macro/macro_tables.h"
#include "platform/atomic_file.h"
#include "platform/debug_log.h"

namespace trx::routine {

namespace {

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Begin transfer, the body, End transfer (sent whenever Begin was).
template <typename Body>
CommandResult InTransfer(CDeviceChannel& channel, Body&& body) {
  CommandResult rc = BeginTransfer(channel);
  if (rc != kResultOk) return rc;
  rc = body();
  const CommandResult end = EndTransfer(channel);
  return rc == kResultOk ? end : rc;
}

}  // namespace

uint64_t RoutineImageSize(const std::vector<long>& action_counts) {
  uint64_t total = macro::kMacroImageHeaderSize;
  for (long n : action_counts)
    total += 2 + macro::kMacroRecordHeaderSize + macro::kMacroImageActionSize * static_cast<uint64_t>(n < 0 ? 0 : n);
  return total;
}

RoutineImageReport BuildRoutineImage(const RoutineStore& store, std::vector<uint8_t>& image) {
  RoutineImageReport report;
  image.clear();
  std::vector<long> counts;
  for (int r = 0; r < kRoutineCount; ++r) counts.push_back(RoutineActionCount(store, r));
  report.total_size = RoutineImageSize(counts);
  if (report.total_size > report.limit) {
    report.result = RoutineResult::TooLarge;
    return report;
  }
  std::vector<macro::ImageMacro> routines;
  for (int r = 0; r < kRoutineCount; ++r) {
    macro::ImageMacro routine;
    for (const std::string& line : LoadRoutineLines(store, r)) {
      macro::MacroAction action;
      macro::ParseActionLine(line, action);  // a malformed line keeps zero fields
      routine.push_back(macro::ToImageAction(action));
    }
    routines.push_back(std::move(routine));
  }
  image = macro::BuildMacroImage(routines);
  // The files may have changed between the two passes.
  if (image.empty() || image.size() > report.limit) {
    if (!image.empty()) report.total_size = image.size();
    report.result = RoutineResult::TooLarge;
    image.clear();
  }
  return report;
}

RoutineUploadReport UploadRoutines(CDeviceChannel& channel, const RoutineStore& store, IProgressReporter* progress) {
  RoutineUploadReport r;
  std::vector<uint8_t> image;
  r.image = BuildRoutineImage(store, image);
  if (r.image.result != RoutineResult::Ok) {
    r.result = r.image.result;
    DebugLine("routine upload: " + DescribeRoutineUpload(r));
    return r;
  }
  if (progress != nullptr) progress->Begin(kRoutineUploadSteps);
  if (progress != nullptr && progress->StopRequested()) {
    r.stopped = true;
    r.device_result = kResultNoReply;
    r.result = RoutineResult::DeviceError;
    return r;
  }
  int step = 0;
  r.device_result = BeginTransfer(channel);
  if (progress != nullptr) progress->Advance(++step);
  if (r.device_result == kResultOk) {
    r.device_result = WriteRoutineMemory(channel, image.data(), image.size());
    if (progress != nullptr) progress->Advance(++step);
    const CommandResult end = EndTransfer(channel);
    if (r.device_result == kResultOk) r.device_result = end;
  }
  if (progress != nullptr) progress->Advance(kRoutineUploadSteps);
  r.result = r.device_result == kResultOk ? RoutineResult::Ok : RoutineResult::DeviceError;
  if (r.result != RoutineResult::Ok) DebugLine("routine upload: " + DescribeRoutineUpload(r));
  return r;
}

std::string DescribeRoutineUpload(const RoutineUploadReport& r) {
  switch (r.result) {
    case RoutineResult::Ok:
      return "uploaded the routines (" + std::to_string(r.image.total_size) + " of " + std::to_string(r.image.limit) +
             " bytes)";
    case RoutineResult::TooLarge:
      return "the routines need " + std::to_string(r.image.total_size) + " bytes but the mouse holds " +
             std::to_string(r.image.limit) + "; nothing was sent";
    case RoutineResult::DeviceError:
      if (r.stopped) return "the routine upload was stopped because the program is closing";
      return std::string("the routine memory write failed (") + CommandResultName(r.device_result) + ")";
    default:
      return RoutineResultName(r.result);
  }
}

std::string ActionNameForImage(uint8_t type, uint8_t code) {
  const bool bit7 = (type & macro::kTypePressedBit) != 0;
  switch (static_cast<macro::MacroKind>(type & macro::kTypeKindMask)) {
    case macro::MacroKind::MouseButton:
      for (const macro::MacroMouseRow& row : macro::MacroMouseTable)
        if ((row.type & macro::kTypeKindMask) == 1 && row.code == code) return row.name;
      return {};
    case macro::MacroKind::PointerMoveX: return bit7 ? "mouse_move_to_left_text" : "mouse_move_to_right_text";
    case macro::MacroKind::PointerMoveY: return bit7 ? "mouse_move_to_up_text" : "mouse_move_to_down_text";
    case macro::MacroKind::ModifierKey:
      for (const macro::MacroKeyRow& row : macro::MacroKeyTable)
        if (row.modifier_bit != 0 && row.modifier_bit == code) return row.name;
      return {};
    case macro::MacroKind::Key:
      for (const macro::MacroKeyRow& row : macro::MacroKeyTable)
        if (row.modifier_bit == 0 && row.usage == code) return row.name;
      return {};
  }
  return {};
}

std::string LineFromImageAction(const macro::ImageAction& a) {
  macro::MacroAction action;
  action.delay = static_cast<uint16_t>(a.delay_low | (a.delay_high << 8));
  action.type = a.type;
  action.code = a.code;
  action.pressed = (a.type & macro::kTypePressedBit) != 0 ? 1 : 0;
  action.name = ActionNameForImage(a.type, a.code);
  return macro::FormatActionLine(action);
}

RoutineReadReport ReadRoutinesFromMouse(CDeviceChannel& channel, const RoutineStore& store) {
  RoutineReadReport report;
  std::vector<uint8_t> image;
  bool bad_memory = false;
  report.device_result = InTransfer(channel, [&]() -> CommandResult {
    uint8_t header[kRoutineImageHeaderRead] = {};
    CommandResult rc = ReadRoutineMemory(channel, header, sizeof header);
    if (rc != kResultOk) return rc;
    const uint16_t size = Word(header + 2);
    if (Word(header) != macro::kMacroImageMagic || size < kRoutineImageHeaderRead || size > kRoutineMemoryLimit) {
      bad_memory = true;
      return kResultOk;
    }
    image.assign(size, 0);
    return ReadRoutineMemory(channel, image.data(), image.size());
  });
  if (report.device_result != kResultOk) {
    report.result = RoutineResult::DeviceError;
    DebugLineF("routine read: %s; the routine files were kept", CommandResultName(report.device_result));
    return report;
  }
  std::vector<macro::ImageMacro> routines;
  if (bad_memory || !macro::DecodeMacroImage(image.data(), image.size(), routines)) {
    report.result = RoutineResult::BadMemory;
    DebugLine("routine read: no valid routine image on the mouse; the routine files were kept");
    return report;
  }
  report.image_size = image.size();
  // Every file is built before the first is replaced; each replacement is
  // atomic, so a crash leaves each file old or new.
  for (size_t i = 0; i < routines.size() && i < static_cast<size_t>(kRoutineCount); ++i) {
    std::vector<std::string> lines;
    lines.reserve(routines[i].size());
    for (const macro::ImageAction& a : routines[i]) lines.push_back(LineFromImageAction(a));
    if (WriteRoutineLines(store, static_cast<int>(i), lines) == RoutineResult::Ok) {
      ++report.files_written;
    } else {
      report.result = RoutineResult::FileError;
      DebugLineF("routine read: routine %zu could not be written", i + 1);
    }
  }
  return report;
}

}  // namespace trx::routine

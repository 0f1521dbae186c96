#include "macro/macro_upload.h"

#include "device/commands.h"
#include "platform/debug_log.h"
#include "platform/ini_file.h"

namespace trx::macro {

MacroImageReport BuildLibraryImage(const MacroStore& store, size_t capacity, std::vector<uint8_t>& image) {
  MacroImageReport report;
  report.capacity = capacity;
  image.clear();
  const std::vector<std::string> names = LoadMacroNames(store);
  report.macros = names.size();
  if (names.empty()) return report;
  // Size pass: the counts alone, so an oversized library is refused before
  // any line is read.
  uint64_t actions = 0;
  for (const std::string& name : names) {
    const std::string path = MacroFilePath(store, name);
    if (path.empty()) {
      report.result = MacroResult::BadName;
      return report;
    }
    const long count = GetPrivateProfileLong("MACROACTIONCOUNT", "count", path);
    if (count > 0) actions += static_cast<uint64_t>(count);
  }
  report.total_size = MacroImageSize(names.size(), actions);
  if (report.total_size > capacity) {
    report.surplus = SurplusActions(report.total_size, capacity);
    report.result = MacroResult::TooLarge;
    return report;
  }
  std::vector<ImageMacro> macros;
  macros.reserve(names.size());
  for (const std::string& name : names) {
    ImageMacro macro;
    for (const std::string& line : LoadMacroLines(store, name)) {
      MacroAction action;
      ParseActionLine(line, action);  // a malformed line keeps the zero fields
      macro.push_back(ToImageAction(action));
    }
    macros.push_back(std::move(macro));
  }
  image = BuildMacroImage(macros);
  // The files may have changed between the two passes; the image must
  // still fit.
  if (image.empty() || image.size() > capacity) {
    report.total_size = image.empty() ? report.total_size : image.size();
    report.surplus = SurplusActions(report.total_size, capacity);
    report.result = MacroResult::TooLarge;
    image.clear();
  }
  return report;
}

MacroUploadReport UploadMacroLibrary(CDeviceChannel& channel, const MacroStore& store, const uint8_t* device_info,
                                     int profile, const uint8_t* key_block, IProgressReporter& progress) {
  MacroUploadReport r;
  std::vector<uint8_t> image;
  r.image = BuildLibraryImage(store, MacroCapacity(device_info), image);
  if (r.image.result != MacroResult::Ok) {
    r.result = r.image.result;
    return r;
  }
  progress.Begin(kMacroUploadSteps);
  int step = 0;
  auto advance = [&] { progress.Advance(++step); };
  // A block of commands between Begin and End transfer; End goes out
  // whenever Begin did, whatever happened in between.
  auto transfer = [&](auto&& body) -> CommandResult {
    if (progress.StopRequested()) {
      r.stopped = true;
      return kResultNoReply;
    }
    CommandResult rc = BeginTransfer(channel);
    advance();
    if (rc == kResultOk) {
      if (progress.StopRequested()) {
        r.stopped = true;
        rc = kResultNoReply;
      } else {
        rc = body();
      }
      advance();
      const CommandResult end = EndTransfer(channel);
      if (rc == kResultOk) rc = end;
    } else {
      advance();
    }
    advance();
    return rc;
  };
  if (!image.empty()) {
    r.image_result = transfer([&] { return WriteMacroMemory(channel, image.data(), image.size()); });
    if (r.image_result != kResultOk)
      DebugLineF("macro memory upload failed: %d (%s)", CommandCode(r.image_result), CommandResultName(r.image_result));
  } else {
    step = 3;
    progress.Advance(step);
  }
  r.key_block_result = transfer([&] { return WriteKeyBlock(channel, profile, key_block); });
  if (r.key_block_result != kResultOk)
    DebugLineF("key block %d upload failed: %d (%s)", profile, CommandCode(r.key_block_result),
               CommandResultName(r.key_block_result));
  r.result = (r.image_result == kResultOk && r.key_block_result == kResultOk && !r.stopped) ? MacroResult::Ok
                                                                                            : MacroResult::DeviceError;
  return r;
}

std::string DescribeUpload(const MacroUploadReport& r) {
  switch (r.result) {
    case MacroResult::Ok:
      return "uploaded " + std::to_string(r.image.macros) + " macros (" + std::to_string(r.image.total_size) +
             " of " + std::to_string(r.image.capacity) + " bytes)";
    case MacroResult::TooLarge:
      return "the macros need " + std::to_string(r.image.total_size) + " bytes but the device holds " +
             std::to_string(r.image.capacity) + ": remove at least " + std::to_string(r.image.surplus) +
             " actions; nothing was sent";
    case MacroResult::DeviceError: {
      std::string s = "the upload did not complete";
      if (r.stopped) return s + ": stopped because the program is closing";
      if (r.image_result != kResultOk)
        s += std::string(": the macro memory write failed (") + CommandResultName(r.image_result) +
             "), so the device's macros are incomplete";
      if (r.key_block_result != kResultOk)
        s += std::string(r.image_result != kResultOk ? "; " : ": ") + "the button assignments were not written (" +
             CommandResultName(r.key_block_result) + ")";
      return s;
    }
    default:
      return MacroResultName(r.result);
  }
}

}  // namespace trx::macro

#pragma once
// Sending the macro library to the device: the image of every macro file
// (macro_image.h) into the macro memory, then the current onboard profile's
// key-assignment block again.
//
//   1. n = the index's count; with n = 0 go to 4.
//   2. Size pass: 16 + 6 n + 4 x (the action counts of the files); over the
//      capacity (device information byte 6 x 128) the upload is refused
//      with the number of actions that must go, and nothing is sent.
//   3. Begin transfer, Write macro memory (command 0x15) in chunks of up
//      to 56 bytes from address 0 (a failing chunk ends the chunks), End
//      transfer.
//   4. Begin transfer, Write key block of profile `profile` (the block's
//      whole size; its first 126 bytes are the profile's), End transfer.
// The end command and the key block still go out after a failed chunk;
// the report then says the upload did not complete. Nothing on disk is
// changed by an upload (writing the device profile file afterwards, on
// success, is the caller's).
//
// Progress: six steps (begin, image, end, begin, key block, end), reported
// after each. A stop request ends the upload between steps, with End
// transfer sent after a Begin that went out.
//
// Thread: any (a worker in the program); reads files through the INI
// functions and talks to the device through the channel's own lock.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/commands.h"
#include "macro/macro_image.h"
#include "macro/macro_library.h"
#include "platform/progress_reporter.h"

namespace trx::macro {

inline constexpr int kMacroUploadSteps = 6;

struct MacroImageReport {
  MacroResult result = MacroResult::Ok;
  size_t macros = 0;
  uint64_t total_size = 0;  // image bytes the files need
  size_t capacity = 0;      // device bytes
  uint64_t surplus = 0;     // actions that must go when TooLarge
};

// Steps 1-2 and the image: reads the library's files and builds the image
// into `image` (empty when there are no macros). TooLarge with `surplus`
// when it does not fit `capacity`.
MacroImageReport BuildLibraryImage(const MacroStore& store, size_t capacity, std::vector<uint8_t>& image);

struct MacroUploadReport {
  MacroImageReport image;
  CommandResult image_result = CommandResult::Ok;      // result of the macro memory write (Ok when none was needed)
  CommandResult key_block_result = CommandResult::Ok;  // device result of the key block write
  bool stopped = false;      // ended early by a stop request
  // Ok only when every command went through; TooLarge (nothing sent),
  // FileError, DeviceError (some command failed) otherwise.
  MacroResult result = MacroResult::Ok;
};

// The whole upload. `device_info` is the device's 33 information bytes,
// `key_block` the current profile's block of the channel's block size.
MacroUploadReport UploadMacroLibrary(CDeviceChannel& channel, const MacroStore& store, const uint8_t* device_info,
                                     int profile, const uint8_t* key_block, IProgressReporter& progress);

// One line for a person: what went wrong and what the device holds now.
std::string DescribeUpload(const MacroUploadReport& report);

}  // namespace trx::macro

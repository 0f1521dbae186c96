#pragma once
// The routines on the mouse: its routine memory holds all four as one
// image in the macro image layout (macro/macro_image.h: magic 0x55AA,
// total size, count, offsets, one record per routine), routines in index
// order, at most 3072 bytes.
//
// Upload: the image of the four files, then Begin transfer, Write routine
// memory (command 0x17) with the whole image, End transfer. An image above
// the limit is refused with its size and nothing is sent.
//
// Read back: Begin transfer, Read routine memory (command 0x16) of 16
// bytes; a failure or a first word other than 0x55AA stops there. Else the
// whole image (the second word's length) is read, End transfer, and the
// image is checked. Only when all of that succeeded are the routine files
// rewritten, each atomically, from the image: delay and type and code as
// stored, pressed = type bit 7, the name key by kind (mouse button, moves,
// modifier, key; other kinds none). A failed read, a removed device or a
// bad image leaves every file as it was; a crash during the rewrite leaves
// each file either old or new.
//
// Thread: any. In the program the read runs on the mouse detection thread
// holding the mouse channel lock; the upload on the device-operation
// worker. Both take the channel lock per frame (recursive).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/commands.h"
#include "macro/macro_action.h"
#include "macro/macro_image.h"
#include "platform/progress_reporter.h"
#include "routine/routine_files.h"

namespace trx::routine {

inline constexpr size_t kRoutineMemoryLimit = 3072;
inline constexpr size_t kRoutineImageHeaderRead = 16;
inline constexpr int kRoutineUploadSteps = 3;

// 16 + sum over the routines of (6 + 4 x action count).
uint64_t RoutineImageSize(const std::vector<long>& action_counts);

struct RoutineImageReport {
  RoutineResult result = RoutineResult::Ok;
  uint64_t total_size = 0;              // image bytes the files need
  size_t limit = kRoutineMemoryLimit;
};
// Builds the image of the four routine files (counts first, so an
// oversized set is refused before any line is read).
RoutineImageReport BuildRoutineImage(const RoutineStore& store, std::vector<uint8_t>& image);

struct RoutineUploadReport {
  RoutineImageReport image;
  CommandResult device_result = CommandResult::Ok;  // result of the routine memory write
  bool stopped = false;
  RoutineResult result = RoutineResult::Ok;
};
// The whole upload; `progress` may be null.
RoutineUploadReport UploadRoutines(CDeviceChannel& channel, const RoutineStore& store,
                                   IProgressReporter* progress = nullptr);
// One line for a person, e.g. "the routines need 3100 bytes but the mouse
// holds 3072; nothing was sent".
std::string DescribeRoutineUpload(const RoutineUploadReport& report);

// The name key of an action read from the mouse, by kind.
std::string ActionNameForImage(uint8_t type, uint8_t code);
// The action line of an image action as the read writes it.
std::string LineFromImageAction(const macro::ImageAction& action);

struct RoutineReadReport {
  RoutineResult result = RoutineResult::Ok;
  CommandResult device_result = CommandResult::Ok;  // first failing command, Ok when none
  size_t image_size = 0;
  int files_written = 0;
};
RoutineReadReport ReadRoutinesFromMouse(CDeviceChannel& channel, const RoutineStore& store);

}  // namespace trx::routine

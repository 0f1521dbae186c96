#pragma once
// The device macro image: the whole library as the mouse's (or keyboard's)
// macro memory holds it. Little-endian throughout.
//
//   offset    size   field
//   0         2      magic 0x55AA (bytes AA 55)
//   2         2      total image size
//   4         2      number of macros n
//   6         10     reserved (zero)
//   16        2 n    offset of macro i's record from the image start
//   16 + 2n   ...    the records in index order, back to back:
//                      2 action count m, 2 reserved (zero),
//                      4 m actions: delay low, delay high, type, code
//
// Size: 16 + 6 n + 4 (sum of action counts). Pressed and name are not part
// of the image.
//
// Pure functions; any thread.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "macro/macro_action.h"

namespace trx::macro {

inline constexpr uint16_t kMacroImageMagic = 0x55AA;
inline constexpr size_t kMacroImageHeaderSize = 16;
inline constexpr size_t kMacroRecordHeaderSize = 4;
inline constexpr size_t kMacroImageActionSize = 4;
// The library's limit; also the most macros an image may list.
inline constexpr size_t kMaxMacros = 50;
// Device information byte giving the macro memory in 128-byte units.
inline constexpr size_t kDeviceInfoMacroUnits = 6;
inline constexpr size_t kMacroMemoryUnit = 128;

// One action as stored in the image.
struct ImageAction {
  uint8_t delay_low = 0;
  uint8_t delay_high = 0;
  uint8_t type = 0;
  uint8_t code = 0;
  bool operator==(const ImageAction&) const = default;
};
using ImageMacro = std::vector<ImageAction>;

ImageAction ToImageAction(const MacroAction& action);

// 16 + 6 n + 4 (sum of counts), computed without overflow.
uint64_t MacroImageSize(size_t macro_count, uint64_t total_actions);
// Macro memory size from the device information (byte 6 x 128).
size_t MacroCapacity(const uint8_t* device_info /*33 bytes*/);
// How many actions must go for an image of `total` bytes to fit:
// (total - capacity) / 4 + 1; 0 when it fits.
uint64_t SurplusActions(uint64_t total, size_t capacity);

// The image of `macros` in order. Empty when it could not be framed (more
// than 65535 bytes or more than kMaxMacros macros).
std::vector<uint8_t> BuildMacroImage(const std::vector<ImageMacro>& macros);

// Reads an image back and checks its layout (the simulator, tests,
// fuzzing). False for a bad magic, a size field larger than `size`, more
// than kMaxMacros macros, or records that are not back to back in index
// order from 16 + 2n up to exactly the size field.
bool DecodeMacroImage(const uint8_t* data, size_t size, std::vector<ImageMacro>& macros);

}  // namespace trx::macro

#pragma once
// One button assignment of a key block: 3 bytes, entry i at byte i * 3.
//
//   byte 0  type    function family (0x10 mouse button, 0x13 DPI function,
//                   0x20 keyboard key, 0x70/0x71 macro, ...; 0x05 = none)
//   byte 1  param1
//   byte 2  param2

#include <cstddef>
#include <cstdint>

namespace trx {

struct KeyAssignment {
  uint8_t type = 0;
  uint8_t param1 = 0;
  uint8_t param2 = 0;
  bool operator==(const KeyAssignment&) const = default;
};

inline constexpr size_t kKeyBlockSize = 512;
inline constexpr size_t kKeyAssignmentSize = 3;
// Whole entries in a block: 170 (bytes 510-511 belong to none).
inline constexpr size_t kKeyAssignmentsPerBlock = kKeyBlockSize / kKeyAssignmentSize;
// The mouse's seven buttons are entries 0-6.
inline constexpr size_t kMouseButtonCount = 7;

inline constexpr uint8_t kKeyTypeNone = 0x05;  // filler: no function

}  // namespace trx

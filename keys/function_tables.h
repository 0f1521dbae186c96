#pragma once
// The button function families and the tables behind the key page's lists,
// defined once. A function is one KeyAssignment (type, param1, param2).
//
// Constant data; any thread.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "settings/key_assignment.h"

namespace trx::keys {

// Function families (the assignment's type byte).
inline constexpr uint8_t kTypeMouseButton = 0x10;
inline constexpr uint8_t kTypeHorizontalSwing = 0x11;
inline constexpr uint8_t kTypeVerticalSwing = 0x12;
inline constexpr uint8_t kTypeDpi = 0x13;
inline constexpr uint8_t kTypeFireKey = 0x14;
inline constexpr uint8_t kTypeKey = 0x20;
inline constexpr uint8_t kTypeMedia = 0x30;
inline constexpr uint8_t kTypeSystem = 0x40;
inline constexpr uint8_t kTypeMacroMode = 0x70;
inline constexpr uint8_t kTypeMacroCount = 0x71;
inline constexpr uint8_t kTypeRoutine = 0x72;
// Types only the device or the files produce.
inline constexpr uint8_t kTypeLegacyKey = 0x00;    // named from the key table
inline constexpr uint8_t kTypeLegacyMedia = 0x21;  // named from the media table

// Bit 7 of a swing's param2: right (horizontal) or down (vertical).
inline constexpr uint8_t kSwingDirectionBit = 0x80;
inline constexpr uint8_t kSwingCountMask = 0x7F;

// One list row: the two parameters and the language key of its name.
struct FunctionRow {
  uint8_t param1;
  uint8_t param2;
  const char* name;
};

inline constexpr size_t kMouseButtonRows = 5;
inline constexpr size_t kDpiRows = 3;
inline constexpr size_t kSystemRows = 3;
inline constexpr size_t kMediaRows = 18;
inline constexpr size_t kRoutineRows = 4;

extern const std::array<FunctionRow, kMouseButtonRows> MouseButtonTable;  // type 0x10
extern const std::array<FunctionRow, kDpiRows> DpiTable;                  // type 0x13
extern const std::array<FunctionRow, kSystemRows> SystemTable;            // type 0x40
extern const std::array<FunctionRow, kMediaRows> MediaTable;              // type 0x30, usage low/high
extern const std::array<const char*, kRoutineRows> RoutineNames;          // "GUN_1" .. "GUN_4"

// Key table: the macro key table's 104 rows, then 18 consumer rows (type
// 0x30) and 3 system rows (type 0x40) reached by the virtual keys of the
// media keys and three pseudo keys.
struct KeyRow {
  uint16_t virtual_key;
  uint8_t type;
  uint8_t param1;
  uint8_t param2;
  uint8_t zero;
  const char* name;
};
inline constexpr size_t kKeyRows = 125;
const std::array<KeyRow, kKeyRows>& KeyTable();
// First row with that virtual key.
std::optional<size_t> FindKeyRowByVirtualKey(uint32_t virtual_key);
// First row with that type and parameters.
std::optional<size_t> FindKeyRow(uint8_t type, uint8_t param1, uint8_t param2);

// Item of a table whose row equals (param1, param2).
template <size_t N>
std::optional<size_t> FindRow(const std::array<FunctionRow, N>& table, uint8_t param1, uint8_t param2) {
  for (size_t i = 0; i < N; ++i)
    if (table[i].param1 == param1 && table[i].param2 == param2) return i;
  return std::nullopt;
}

// Categories of the function list: item -> family code (0 = the factory
// default; item 9 is both macro types; item 11 turns the button off with
// the filler type, which the device treats as no function).
inline constexpr size_t kCategoryCount = 12;
inline constexpr std::array<uint8_t, kCategoryCount> kCategoryCodes = {
    0x00, kTypeMouseButton, kTypeHorizontalSwing, kTypeVerticalSwing, kTypeDpi, kTypeFireKey,
    kTypeKey, kTypeMedia, kTypeSystem, kTypeMacroMode, kTypeRoutine, kKeyTypeNone};
enum Category : int {
  kCategoryDefault = 0,
  kCategoryMouseButton = 1,
  kCategoryHorizontalSwing = 2,
  kCategoryVerticalSwing = 3,
  kCategoryDpi = 4,
  kCategoryFireKey = 5,
  kCategoryKey = 6,
  kCategoryMedia = 7,
  kCategorySystem = 8,
  kCategoryMacro = 9,
  kCategoryRoutine = 10,
  kCategoryDisabled = 11,
};
// The category item showing a family; nullopt for types the page cannot build.
std::optional<int> CategoryOfType(uint8_t type);

// Repeat list of the macro category: items 0-3 are repeat modes (type
// 0x70), item 4 is a repeat count (type 0x71).
inline constexpr int kRepeatCountItem = 4;

}  // namespace trx::keys

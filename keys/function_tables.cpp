#include "keys/function_tables.h"

#include "macro/macro_tables.h"

namespace trx::keys {

const std::array<FunctionRow, kMouseButtonRows> MouseButtonTable = {{
    {0x01, 0, "mouse_key_left"},
    {0x04, 0, "mouse_key_middle"},
    {0x02, 0, "mouse_key_right"},
    {0x10, 0, "mouse_key_forward"},
    {0x08, 0, "mouse_key_back"},
}};

const std::array<FunctionRow, kDpiRows> DpiTable = {{
    {1, 0, "mouse_key_DPI_add"},
    {2, 0, "mouse_key_DPI_sub"},
    {3, 0, "mouse_key_DPI_loop"},
}};

const std::array<FunctionRow, kSystemRows> SystemTable = {{
    {0x01, 0, "system_power"},
    {0x02, 0, "system_sleep"},
    {0x04, 0, "system_wake_up"},
}};

// Consumer usages, low byte then high byte.
const std::array<FunctionRow, kMediaRows> MediaTable = {{
    {0x83, 0x01, "media_text"},   {0xCD, 0x00, "media_play"},    {0xB7, 0x00, "media_stop"},
    {0xB6, 0x00, "media_prev"},   {0xB5, 0x00, "media_next"},    {0xEA, 0x00, "media_vol_sub"},
    {0xE9, 0x00, "media_vol_add"}, {0xE2, 0x00, "media_mute"},   {0x23, 0x02, "web_text"},
    {0x27, 0x02, "web_refresh"},  {0x26, 0x02, "wed_stop"},      {0x24, 0x02, "wed_back"},
    {0x25, 0x02, "wed_forward"},  {0x2A, 0x02, "wed_favorite"},  {0x21, 0x02, "web_search"},
    {0x94, 0x01, "media_mypc"},   {0x92, 0x01, "media_calc"},    {0x8A, 0x01, "media_mail"},
}};

const std::array<const char*, kRoutineRows> RoutineNames = {"GUN_1", "GUN_2", "GUN_3", "GUN_4"};

namespace {

// Rows 104-124: media virtual keys to consumer usages, then the pseudo keys
// of the system functions.
constexpr KeyRow kExtraRows[kKeyRows - macro::kMacroKeyRows] = {
    {0xB7, kTypeMedia, 0x92, 0x01, 0, "keyboard_key_Launch App2"},
    {0xAC, kTypeMedia, 0x23, 0x02, 0, "keyboard_key_Browaer Home"},
    {0xB3, kTypeMedia, 0xCD, 0x00, 0, "keyboard_key_Media Play Pause"},
    {0xAA, kTypeMedia, 0x21, 0x02, 0, "keyboard_key_Browser Search"},
    {0xB4, kTypeMedia, 0x8A, 0x01, 0, "keyboard_key_Launch Mail"},
    {0xAF, kTypeMedia, 0xE9, 0x00, 0, "keyboard_key_Volume Up"},
    {0xAD, kTypeMedia, 0xE2, 0x00, 0, "keyboard_key_Volume Mute"},
    {0xB2, kTypeMedia, 0xB7, 0x00, 0, "keyboard_key_Media Stop"},
    {0xAE, kTypeMedia, 0xEA, 0x00, 0, "keyboard_key_Volume Down"},
    {0xAB, kTypeMedia, 0x2A, 0x02, 0, "keyboard_key_Browser Favorites"},
    {0xA7, kTypeMedia, 0x25, 0x02, 0, "keyboard_key_Browser ForWard"},
    {0xA6, kTypeMedia, 0x24, 0x02, 0, "keyboard_key_Browser Back"},
    {0xB1, kTypeMedia, 0xB6, 0x00, 0, "keyboard_key_Media Prev Track"},
    {0xB0, kTypeMedia, 0xB5, 0x00, 0, "keyboard_key_Media Next Track"},
    {0xB6, kTypeMedia, 0x94, 0x01, 0, "keyboard_key_Computer"},
    {0xA8, kTypeMedia, 0x27, 0x02, 0, "keyboard_key_Browser Refresh"},
    {0xB5, kTypeMedia, 0x83, 0x01, 0, "keyboard_key_Launch Media Select"},
    {0xB5, kTypeMedia, 0x83, 0x01, 0, "keyboard_key_Launch Media Select"},
    {0x103, kTypeSystem, 0x01, 0x00, 0, "keyboard_key_Power"},
    {0x104, kTypeSystem, 0x02, 0x00, 0, "keyboard_key_Sleep"},
    {0x105, kTypeSystem, 0x04, 0x00, 0, "keyboard_key_Wakeup"},
};

std::array<KeyRow, kKeyRows> BuildKeyTable() {
  std::array<KeyRow, kKeyRows> rows{};
  for (size_t i = 0; i < macro::kMacroKeyRows; ++i) {
    const macro::MacroKeyRow& m = macro::MacroKeyTable[i];
    rows[i] = {m.virtual_key, m.group, m.modifier_bit, m.usage, m.zero, m.name};
  }
  for (size_t i = macro::kMacroKeyRows; i < kKeyRows; ++i) rows[i] = kExtraRows[i - macro::kMacroKeyRows];
  return rows;
}

}  // namespace

const std::array<KeyRow, kKeyRows>& KeyTable() {
  static const std::array<KeyRow, kKeyRows> table = BuildKeyTable();
  return table;
}

std::optional<size_t> FindKeyRowByVirtualKey(uint32_t virtual_key) {
  const auto& table = KeyTable();
  for (size_t i = 0; i < kKeyRows; ++i)
    if (table[i].virtual_key == virtual_key) return i;
  return std::nullopt;
}

std::optional<size_t> FindKeyRow(uint8_t type, uint8_t param1, uint8_t param2) {
  const auto& table = KeyTable();
  for (size_t i = 0; i < kKeyRows; ++i)
    if (table[i].type == type && table[i].param1 == param1 && table[i].param2 == param2) return i;
  return std::nullopt;
}

std::optional<int> CategoryOfType(uint8_t type) {
  if (type == kTypeMacroCount) return kCategoryMacro;
  for (size_t i = 1; i < kCategoryCount; ++i)
    if (kCategoryCodes[i] == type) return static_cast<int>(i);
  return std::nullopt;
}

}  // namespace trx::keys

#pragma once
// The two vocabularies of recorded and edited actions, defined once:
//
// MacroKeyTable (104 rows): Windows virtual-key code, assignment group
// (0x20, a keyboard key), modifier bit (0 for ordinary keys), HID usage
// (0 for modifiers), a zero byte and the language key of the name. The row
// index is the item index of the editor's key combo. Virtual-key 0x101
// stands for the keypad Enter (Enter with the extended-key flag).
//
// MacroMouseTable (15 rows): mouse message code (or a move marker),
// assignment group, code, type, a zero byte and the name key. Rows 0-13
// are the items of the editor's mouse action combo; rows 0-5 are the
// buttons the recorder takes.
//
// Constant data; any thread.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "macro/macro_action.h"

namespace trx::macro {

inline constexpr uint16_t kVkKeypadEnter = 0x101;

struct MacroKeyRow {
  uint16_t virtual_key;
  uint8_t group;
  uint8_t modifier_bit;
  uint8_t usage;
  uint8_t zero;
  const char* name;
};

struct MacroMouseRow {
  uint16_t message;
  uint8_t group;
  uint8_t code;
  uint8_t type;
  uint8_t zero;
  const char* name;
};

inline constexpr size_t kMacroKeyRows = 104;
inline constexpr size_t kMacroMouseRows = 15;
// Rows of MacroMouseTable the recorder matches (left, right, middle down/up).
inline constexpr size_t kRecordedMouseRows = 6;

extern const std::array<MacroKeyRow, kMacroKeyRows> MacroKeyTable;
extern const std::array<MacroMouseRow, kMacroMouseRows> MacroMouseTable;

// Row index of a virtual-key code; nullopt when the table has none.
std::optional<size_t> FindKeyRow(uint32_t virtual_key);
// Row index among the recorded mouse rows (0-5) of a mouse message.
std::optional<size_t> FindRecordedMouseRow(uint32_t message);

// The action a key row yields (Key with the usage, or ModifierKey with the
// bit), pressed or released, with delay 0.
MacroAction KeyAction(const MacroKeyRow& row, bool pressed);
// The action of a mouse row: type and code from the row, pressed = bit 7.
MacroAction MouseAction(const MacroMouseRow& row);

}  // namespace trx::macro

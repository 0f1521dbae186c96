#pragma once
// Building a button function from the key page's values, the page's edit
// limits, and the label of a stored function. Pure functions; any thread.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "keys/function_tables.h"

namespace trx::keys {

// What the page's controls hold, as plain values. A list with no selected
// item is -1.
struct CategoryValues {
  int button_item = -1;       // "_combo_11"
  int h_direction_item = -1;  // "_combo_12": 0 left, 1 right
  int h_count = 0, h_high = 0, h_low = 0;  // edits 15, 17, 20
  int v_direction_item = -1;  // "_combo_13": 0 up, 1 down
  int v_count = 0, v_high = 0, v_low = 0;  // edits 16, 18, 19
  int dpi_item = -1;          // "_combo_14"
  int fire_a = 0, fire_b = 0; // edits 11, 12
  bool key_captured = false;  // "_edit_21" holds a key name
  int modifier_item = -1;     // "_combo_31": 0 none, 1-8 a modifier
  KeyAssignment captured{};   // the captured key (type 0x20, bits, usage)
  int media_item = -1;        // "_combo_21"
  int system_item = -1;       // "_combo_22"
  int macro_item = -1;        // "_combo_23"
  int repeat_item = -1;       // "_combo_24"
  int repeat_count = 1;       // edit 25
  int routine_item = -1;      // "_combo_25"
};

// The function of category `item` from `values`; `factory` is the button's
// main-block entry (category 0). nullopt: nothing to store (a list without
// a selection, no captured key, an unknown category).
std::optional<KeyAssignment> BuildAssignment(int item, const CategoryValues& values, KeyAssignment factory);

// Upper limit of an edit by its number (11, 12, 15-20, 25); 0 = unlimited.
int EditLimit(int edit_number);
// The value an edit's text is corrected to; nullopt when it stays as typed.
// Edit 25 also has a lower limit of 1.
std::optional<int> ClampEditValue(int edit_number, int value);

// A captured key event: virtual key and the hook's flags. The key table row
// it selects, after turning an extended Enter into the keypad Enter; nullopt
// for keys without a row and for media and system rows.
std::optional<size_t> CaptureRow(uint32_t virtual_key, uint32_t flags);
// The keyboard function of a captured row with modifier item m (0: none,
// 1-8: key table row m-1's bit, -1: the row's own bit).
KeyAssignment CapturedAssignment(size_t row, int modifier_item);
// The modifier bit of a key table row that is a modifier key alone, else 0.
uint8_t ModifierKeyBit(size_t row);

// The values that show `a` on the page, and its category item; nullopt
// category for types the page does not build (the page changes nothing).
struct ShownFunction {
  std::optional<int> category;
  CategoryValues values;
  const char* key_name = nullptr;  // type 0x20: the key table row's name
};
ShownFunction ShowValues(KeyAssignment a, size_t macro_count);

// The label of a button: a language key, the macro's own name, or no
// change.
struct Label {
  enum Kind { Keep, LanguageKey, MacroName } kind = Keep;
  std::string text;
  // A key with modifiers: "Ctrl+", "Ctrl+Shift+" ... shown before the
  // key's text (`text` stays the key's language key).
  std::string modifiers;
};
// "Ctrl+Shift+" for the modifier bits of a keyboard function ("" for none).
std::string ModifierPrefix(uint8_t bits);
inline constexpr const char* kUnknownFunctionKey = "close_text";
Label LabelOf(KeyAssignment a, const std::vector<std::string>& macro_names);

}  // namespace trx::keys

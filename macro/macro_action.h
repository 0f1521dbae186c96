#pragma once
// One timed input action of a macro and its text form, the action line
// "%d,%d,%d,%d,%d,%s": delay low byte, delay high byte, type, code,
// pressed, name. Example: a press of A followed by 100 ms is
// "10,0,138,4,1,keyboard_key_A".
//
// Pure functions; any thread.

#include <cstdint>
#include <string>
#include <string_view>

namespace trx::macro {

// Bits 0-6 of an action's type.
enum class MacroKind : uint8_t {
  MouseButton = 1,   // code: button bit (left 0x01, right 0x02, middle 0x04, back 0x08, forward 0x10)
  PointerMoveX = 4,  // code: distance; type bit 7: 1 left, 0 right
  PointerMoveY = 5,  // code: distance; type bit 7: 1 up, 0 down
  ModifierKey = 9,   // code: modifier bit of the boot-report modifier byte
  Key = 10,          // code: HID keyboard usage (page 0x07)
};

inline constexpr uint8_t kTypePressedBit = 0x80;
inline constexpr uint8_t kTypeKindMask = 0x7F;
// Kinds from ModifierKey up are keyboard actions, the others mouse actions.
inline constexpr uint8_t kFirstKeyboardKind = 9;
// Delays are kept in units of 10 ms; a recorded gap is capped at 655 350 ms.
inline constexpr uint32_t kDelayUnitMs = 10;
inline constexpr uint32_t kMaxDelayMs = 655350;

struct MacroAction {
  uint16_t delay = 0;    // pause after the action, in 10 ms units
  uint8_t type = 0;      // kind in bits 0-6, press / direction in bit 7
  uint8_t code = 0;
  uint16_t pressed = 0;  // 1 press, 0 release (equals type bit 7 for keys and buttons)
  std::string name;      // language key of the display name; never holds a comma

  uint8_t DelayLow() const { return static_cast<uint8_t>(delay & 0xFF); }
  uint8_t DelayHigh() const { return static_cast<uint8_t>(delay >> 8); }
  uint8_t Kind() const { return type & kTypeKindMask; }
  bool IsKeyboard() const { return Kind() >= kFirstKeyboardKind; }
  bool operator==(const MacroAction&) const = default;
};

// "%d,%d,%d,%d,%d,%s" of the action.
std::string FormatActionLine(const MacroAction& action);

// Parses from the right: the name is everything after the last comma; going
// left comma by comma come pressed (its low 16 bits), code, type and delay
// high byte (low 8 bits each); the text left of the fifth comma from the
// right is the delay low byte (low 8 bits). Numbers are read as strtol reads
// decimal text (leading blanks and sign, digits up to the first other
// character, 0 without digits). A line with fewer than five commas is
// malformed: the fields right of the last comma found are stored, the
// others keep the values `action` had, and the result is false.
bool ParseActionLine(std::string_view line, MacroAction& action);

}  // namespace trx::macro

#include "macro/macro_tables.h"

namespace trx::macro {

namespace {
constexpr uint8_t kGroupKeyboard = 0x20;
constexpr uint8_t kGroupMouse = 0x10;
constexpr uint8_t kGroupMove = 0x15;
constexpr uint8_t kGroupWheel = 0x12;
}  // namespace

// clang-format off
const std::array<MacroKeyRow, kMacroKeyRows> MacroKeyTable = {{
    {0x00A2, kGroupKeyboard, 0x01, 0x00, 0, "keyboard_key_LCtrl"},  // 0
    {0x00A0, kGroupKeyboard, 0x02, 0x00, 0, "keyboard_key_LShift"},  // 1
    {0x00A4, kGroupKeyboard, 0x04, 0x00, 0, "keyboard_key_LAlt"},  // 2
    {0x005B, kGroupKeyboard, 0x08, 0x00, 0, "keyboard_key_LWin"},  // 3
    {0x00A3, kGroupKeyboard, 0x10, 0x00, 0, "keyboard_key_RCtrl"},  // 4
    {0x00A1, kGroupKeyboard, 0x20, 0x00, 0, "keyboard_key_RShift"},  // 5
    {0x00A5, kGroupKeyboard, 0x40, 0x00, 0, "keyboard_key_RAlt"},  // 6
    {0x005C, kGroupKeyboard, 0x80, 0x00, 0, "keyboard_key_RWin"},  // 7
    {0x0041, kGroupKeyboard, 0x00, 0x04, 0, "keyboard_key_A"},  // 8
    {0x0042, kGroupKeyboard, 0x00, 0x05, 0, "keyboard_key_B"},  // 9
    {0x0043, kGroupKeyboard, 0x00, 0x06, 0, "keyboard_key_C"},  // 10
    {0x0044, kGroupKeyboard, 0x00, 0x07, 0, "keyboard_key_D"},  // 11
    {0x0045, kGroupKeyboard, 0x00, 0x08, 0, "keyboard_key_E"},  // 12
    {0x0046, kGroupKeyboard, 0x00, 0x09, 0, "keyboard_key_F"},  // 13
    {0x0047, kGroupKeyboard, 0x00, 0x0A, 0, "keyboard_key_G"},  // 14
    {0x0048, kGroupKeyboard, 0x00, 0x0B, 0, "keyboard_key_H"},  // 15
    {0x0049, kGroupKeyboard, 0x00, 0x0C, 0, "keyboard_key_I"},  // 16
    {0x004A, kGroupKeyboard, 0x00, 0x0D, 0, "keyboard_key_J"},  // 17
    {0x004B, kGroupKeyboard, 0x00, 0x0E, 0, "keyboard_key_K"},  // 18
    {0x004C, kGroupKeyboard, 0x00, 0x0F, 0, "keyboard_key_L"},  // 19
    {0x004D, kGroupKeyboard, 0x00, 0x10, 0, "keyboard_key_M"},  // 20
    {0x004E, kGroupKeyboard, 0x00, 0x11, 0, "keyboard_key_N"},  // 21
    {0x004F, kGroupKeyboard, 0x00, 0x12, 0, "keyboard_key_O"},  // 22
    {0x0050, kGroupKeyboard, 0x00, 0x13, 0, "keyboard_key_P"},  // 23
    {0x0051, kGroupKeyboard, 0x00, 0x14, 0, "keyboard_key_Q"},  // 24
    {0x0052, kGroupKeyboard, 0x00, 0x15, 0, "keyboard_key_R"},  // 25
    {0x0053, kGroupKeyboard, 0x00, 0x16, 0, "keyboard_key_S"},  // 26
    {0x0054, kGroupKeyboard, 0x00, 0x17, 0, "keyboard_key_T"},  // 27
    {0x0055, kGroupKeyboard, 0x00, 0x18, 0, "keyboard_key_U"},  // 28
    {0x0056, kGroupKeyboard, 0x00, 0x19, 0, "keyboard_key_V"},  // 29
    {0x0057, kGroupKeyboard, 0x00, 0x1A, 0, "keyboard_key_W"},  // 30
    {0x0058, kGroupKeyboard, 0x00, 0x1B, 0, "keyboard_key_X"},  // 31
    {0x0059, kGroupKeyboard, 0x00, 0x1C, 0, "keyboard_key_Y"},  // 32
    {0x005A, kGroupKeyboard, 0x00, 0x1D, 0, "keyboard_key_Z"},  // 33
    {0x0031, kGroupKeyboard, 0x00, 0x1E, 0, "keyboard_key_1"},  // 34
    {0x0032, kGroupKeyboard, 0x00, 0x1F, 0, "keyboard_key_2"},  // 35
    {0x0033, kGroupKeyboard, 0x00, 0x20, 0, "keyboard_key_3"},  // 36
    {0x0034, kGroupKeyboard, 0x00, 0x21, 0, "keyboard_key_4"},  // 37
    {0x0035, kGroupKeyboard, 0x00, 0x22, 0, "keyboard_key_5"},  // 38
    {0x0036, kGroupKeyboard, 0x00, 0x23, 0, "keyboard_key_6"},  // 39
    {0x0037, kGroupKeyboard, 0x00, 0x24, 0, "keyboard_key_7"},  // 40
    {0x0038, kGroupKeyboard, 0x00, 0x25, 0, "keyboard_key_8"},  // 41
    {0x0039, kGroupKeyboard, 0x00, 0x26, 0, "keyboard_key_9"},  // 42
    {0x0030, kGroupKeyboard, 0x00, 0x27, 0, "keyboard_key_0"},  // 43
    {0x000D, kGroupKeyboard, 0x00, 0x28, 0, "keyboard_key_Enter"},  // 44
    {0x001B, kGroupKeyboard, 0x00, 0x29, 0, "keyboard_key_Esc"},  // 45
    {0x0008, kGroupKeyboard, 0x00, 0x2A, 0, "keyboard_key_BackSpace"},  // 46
    {0x0009, kGroupKeyboard, 0x00, 0x2B, 0, "keyboard_key_Tab"},  // 47
    {0x0020, kGroupKeyboard, 0x00, 0x2C, 0, "keyboard_key_Space"},  // 48
    {0x00BD, kGroupKeyboard, 0x00, 0x2D, 0, "keyboard_key_-"},  // 49
    {0x00BB, kGroupKeyboard, 0x00, 0x2E, 0, "keyboard_key_="},  // 50
    {0x00DB, kGroupKeyboard, 0x00, 0x2F, 0, "keyboard_key_["},  // 51
    {0x00DD, kGroupKeyboard, 0x00, 0x30, 0, "keyboard_key_]"},  // 52
    {0x00DC, kGroupKeyboard, 0x00, 0x31, 0, "keyboard_key_xiegang"},  // 53
    {0x00BA, kGroupKeyboard, 0x00, 0x33, 0, "keyboard_key_;"},  // 54
    {0x00DE, kGroupKeyboard, 0x00, 0x34, 0, "keyboard_key_'"},  // 55
    {0x00C0, kGroupKeyboard, 0x00, 0x35, 0, "keyboard_key_`"},  // 56
    {0x00BC, kGroupKeyboard, 0x00, 0x36, 0, "keyboard_key_<"},  // 57
    {0x00BE, kGroupKeyboard, 0x00, 0x37, 0, "keyboard_key_."},  // 58
    {0x00BF, kGroupKeyboard, 0x00, 0x38, 0, "keyboard_key_/"},  // 59
    {0x0014, kGroupKeyboard, 0x00, 0x39, 0, "keyboard_key_Caplk"},  // 60
    {0x0070, kGroupKeyboard, 0x00, 0x3A, 0, "keyboard_key_F1"},  // 61
    {0x0071, kGroupKeyboard, 0x00, 0x3B, 0, "keyboard_key_F2"},  // 62
    {0x0072, kGroupKeyboard, 0x00, 0x3C, 0, "keyboard_key_F3"},  // 63
    {0x0073, kGroupKeyboard, 0x00, 0x3D, 0, "keyboard_key_F4"},  // 64
    {0x0074, kGroupKeyboard, 0x00, 0x3E, 0, "keyboard_key_F5"},  // 65
    {0x0075, kGroupKeyboard, 0x00, 0x3F, 0, "keyboard_key_F6"},  // 66
    {0x0076, kGroupKeyboard, 0x00, 0x40, 0, "keyboard_key_F7"},  // 67
    {0x0077, kGroupKeyboard, 0x00, 0x41, 0, "keyboard_key_F8"},  // 68
    {0x0078, kGroupKeyboard, 0x00, 0x42, 0, "keyboard_key_F9"},  // 69
    {0x0079, kGroupKeyboard, 0x00, 0x43, 0, "keyboard_key_F10"},  // 70
    {0x007A, kGroupKeyboard, 0x00, 0x44, 0, "keyboard_key_F11"},  // 71
    {0x007B, kGroupKeyboard, 0x00, 0x45, 0, "keyboard_key_F12"},  // 72
    {0x002C, kGroupKeyboard, 0x00, 0x46, 0, "keyboard_key_Print Scr"},  // 73
    {0x0091, kGroupKeyboard, 0x00, 0x47, 0, "keyboard_key_Scroll Lock"},  // 74
    {0x0013, kGroupKeyboard, 0x00, 0x48, 0, "keyboard_key_Pause"},  // 75
    {0x002D, kGroupKeyboard, 0x00, 0x49, 0, "keyboard_key_Insert"},  // 76
    {0x0024, kGroupKeyboard, 0x00, 0x4A, 0, "keyboard_key_Home"},  // 77
    {0x0021, kGroupKeyboard, 0x00, 0x4B, 0, "keyboard_key_Page Up"},  // 78
    {0x002E, kGroupKeyboard, 0x00, 0x4C, 0, "keyboard_key_Delete"},  // 79
    {0x0023, kGroupKeyboard, 0x00, 0x4D, 0, "keyboard_key_End"},  // 80
    {0x0022, kGroupKeyboard, 0x00, 0x4E, 0, "keyboard_key_Page Down"},  // 81
    {0x0027, kGroupKeyboard, 0x00, 0x4F, 0, "keyboard_key_Right"},  // 82
    {0x0025, kGroupKeyboard, 0x00, 0x50, 0, "keyboard_key_Left"},  // 83
    {0x0028, kGroupKeyboard, 0x00, 0x51, 0, "keyboard_key_Down"},  // 84
    {0x0026, kGroupKeyboard, 0x00, 0x52, 0, "keyboard_key_Up"},  // 85
    {0x0090, kGroupKeyboard, 0x00, 0x53, 0, "keyboard_key_Num Lock"},  // 86
    {0x006F, kGroupKeyboard, 0x00, 0x54, 0, "keyboard_key_Num /"},  // 87
    {0x006A, kGroupKeyboard, 0x00, 0x55, 0, "keyboard_key_Num *"},  // 88
    {0x006D, kGroupKeyboard, 0x00, 0x56, 0, "keyboard_key_Num -"},  // 89
    {0x006B, kGroupKeyboard, 0x00, 0x57, 0, "keyboard_key_Num +"},  // 90
    {0x0101, kGroupKeyboard, 0x00, 0x58, 0, "keyboard_key_Num Enter"},  // 91
    {0x0061, kGroupKeyboard, 0x00, 0x59, 0, "keyboard_key_Num 1"},  // 92
    {0x0062, kGroupKeyboard, 0x00, 0x5A, 0, "keyboard_key_Num 2"},  // 93
    {0x0063, kGroupKeyboard, 0x00, 0x5B, 0, "keyboard_key_Num 3"},  // 94
    {0x0064, kGroupKeyboard, 0x00, 0x5C, 0, "keyboard_key_Num 4"},  // 95
    {0x0065, kGroupKeyboard, 0x00, 0x5D, 0, "keyboard_key_Num 5"},  // 96
    {0x0066, kGroupKeyboard, 0x00, 0x5E, 0, "keyboard_key_Num 6"},  // 97
    {0x0067, kGroupKeyboard, 0x00, 0x5F, 0, "keyboard_key_Num 7"},  // 98
    {0x0068, kGroupKeyboard, 0x00, 0x60, 0, "keyboard_key_Num 8"},  // 99
    {0x0069, kGroupKeyboard, 0x00, 0x61, 0, "keyboard_key_Num 9"},  // 100
    {0x0060, kGroupKeyboard, 0x00, 0x62, 0, "keyboard_key_Num 0"},  // 101
    {0x006E, kGroupKeyboard, 0x00, 0x63, 0, "keyboard_key_Decimal"},  // 102
    {0x005D, kGroupKeyboard, 0x00, 0x65, 0, "keyboard_key_App"},  // 103
}};

const std::array<MacroMouseRow, kMacroMouseRows> MacroMouseTable = {{
    {0x0201, kGroupMouse, 0x01, 0x81, 0, "mouse_key_left"},            // 0 left down
    {0x0202, kGroupMouse, 0x01, 0x01, 0, "mouse_key_left"},            // 1 left up
    {0x0204, kGroupMouse, 0x02, 0x81, 0, "mouse_key_right"},    // 2 right down
    {0x0205, kGroupMouse, 0x02, 0x01, 0, "mouse_key_right"},           // 3 right up
    {0x0207, kGroupMouse, 0x04, 0x81, 0, "mouse_key_middle"},          // 4 middle down
    {0x0208, kGroupMouse, 0x04, 0x01, 0, "mouse_key_middle"},          // 5 middle up
    {0x020B, kGroupMouse, 0x10, 0x81, 0, "mouse_key_forward"},         // 6 X button down
    {0x020C, kGroupMouse, 0x10, 0x01, 0, "mouse_key_forward"},         // 7 X button up
    {0x020B, kGroupMouse, 0x08, 0x81, 0, "mouse_key_back"},            // 8
    {0x020C, kGroupMouse, 0x08, 0x01, 0, "mouse_key_back"},            // 9
    {0x0004, kGroupMove, 0, 0x84, 0, "mouse_move_to_left_text"},       // 10
    {0x0004, kGroupMove, 0, 0x04, 0, "mouse_move_to_right_text"},      // 11
    {0x0005, kGroupMove, 0, 0x85, 0, "mouse_move_to_up_text"},         // 12
    {0x0005, kGroupMove, 0, 0x05, 0, "mouse_move_to_down_text"},       // 13
    {0x020A, kGroupWheel, 0, 0, 0, "mouse_cursor_text"},               // 14 wheel
}};
// clang-format on

std::optional<size_t> FindKeyRow(uint32_t virtual_key) {
  for (size_t i = 0; i < MacroKeyTable.size(); ++i)
    if (MacroKeyTable[i].virtual_key == virtual_key) return i;
  return std::nullopt;
}

std::optional<size_t> FindRecordedMouseRow(uint32_t message) {
  for (size_t i = 0; i < kRecordedMouseRows; ++i)
    if (MacroMouseTable[i].message == message) return i;
  return std::nullopt;
}

MacroAction KeyAction(const MacroKeyRow& row, bool pressed) {
  MacroAction a;
  const uint8_t press_bit = pressed ? kTypePressedBit : 0;
  if (row.usage != 0) {
    a.type = static_cast<uint8_t>(press_bit | static_cast<uint8_t>(MacroKind::Key));
    a.code = row.usage;
  } else {
    a.type = static_cast<uint8_t>(press_bit | static_cast<uint8_t>(MacroKind::ModifierKey));
    a.code = row.modifier_bit;
  }
  a.pressed = pressed ? 1 : 0;
  a.name = row.name;
  return a;
}

MacroAction MouseAction(const MacroMouseRow& row) {
  MacroAction a;
  a.type = row.type;
  a.code = row.code;
  a.pressed = (row.type & kTypePressedBit) ? 1 : 0;
  a.name = row.name;
  return a;
}

}  // namespace trx::macro

#include "lighting/key_leds.h"

namespace trx::lighting {

namespace {

struct KeyLed {
  uint16_t vk;
  bool extended;  // only told apart where one virtual key names two keys
  uint8_t led;
};

// Row by row as the keyboard's picture lays them out (Fn has no virtual key).
constexpr KeyLed kKeyLeds[] = {
    // Row 0: Esc, F1-F12, Print Screen, Scroll Lock, Pause.
    {0x1B, false, 0}, {0x70, false, 1}, {0x71, false, 2}, {0x72, false, 3}, {0x73, false, 4},
    {0x74, false, 5}, {0x75, false, 6}, {0x76, false, 7}, {0x77, false, 8}, {0x78, false, 9},
    {0x79, false, 10}, {0x7A, false, 11}, {0x7B, false, 12}, {0x2C, false, 13}, {0x91, false, 14},
    {0x13, false, 15},
    // Row 1: ` 1-0 - = Backspace, Insert Home PageUp, Num Lock / * -.
    {0xC0, false, 21}, {0x31, false, 22}, {0x32, false, 23}, {0x33, false, 24}, {0x34, false, 25},
    {0x35, false, 26}, {0x36, false, 27}, {0x37, false, 28}, {0x38, false, 29}, {0x39, false, 30},
    {0x30, false, 31}, {0xBD, false, 32}, {0xBB, false, 33}, {0x08, false, 34}, {0x2D, false, 35},
    {0x24, false, 36}, {0x21, false, 37}, {0x90, false, 38}, {0x6F, false, 39}, {0x6A, false, 40},
    {0x6D, false, 41},
    // Row 2: Tab Q-P [ ] \, Delete End PageDown, keypad 7 8 9 +.
    {0x09, false, 42}, {0x51, false, 43}, {0x57, false, 44}, {0x45, false, 45}, {0x52, false, 46},
    {0x54, false, 47}, {0x59, false, 48}, {0x55, false, 49}, {0x49, false, 50}, {0x4F, false, 51},
    {0x50, false, 52}, {0xDB, false, 53}, {0xDD, false, 54}, {0xDC, false, 55}, {0x2E, false, 56},
    {0x23, false, 57}, {0x22, false, 58}, {0x67, false, 59}, {0x68, false, 60}, {0x69, false, 61},
    {0x6B, false, 62},
    // Row 3: Caps Lock A-L ; ' Enter, keypad 4 5 6.
    {0x14, false, 63}, {0x41, false, 64}, {0x53, false, 65}, {0x44, false, 66}, {0x46, false, 67},
    {0x47, false, 68}, {0x48, false, 69}, {0x4A, false, 70}, {0x4B, false, 71}, {0x4C, false, 72},
    {0xBA, false, 73}, {0xDE, false, 74}, {0x0D, false, 75}, {0x64, false, 76}, {0x65, false, 77},
    {0x66, false, 78},
    // Row 4: left Shift Z-M , . / right Shift, Up, keypad 1 2 3 Enter.
    {0xA0, false, 84}, {0x5A, false, 85}, {0x58, false, 86}, {0x43, false, 87}, {0x56, false, 88},
    {0x42, false, 89}, {0x4E, false, 90}, {0x4D, false, 91}, {0xBC, false, 92}, {0xBE, false, 93},
    {0xBF, false, 94}, {0xA1, false, 95}, {0x26, false, 96}, {0x61, false, 97}, {0x62, false, 98},
    {0x63, false, 99}, {0x0D, true, 100},
    // Row 5: left Ctrl, Win, left Alt, Space, right Alt, (Fn), Menu, right
    // Ctrl, Left Down Right, keypad 0 and decimal point.
    {0xA2, false, 105}, {0x5B, false, 106}, {0xA4, false, 107}, {0x20, false, 108}, {0xA5, false, 109},
    {0x5D, false, 111}, {0xA3, false, 112}, {0x25, false, 113}, {0x28, false, 114}, {0x27, false, 115},
    {0x60, false, 116}, {0x6E, false, 117},
};

// The captions of the keyboard picture, by light number ("" for lights
// the picture does not show).
constexpr const char* kCaptions[126] = {
    "Esc", "F1", "F2", "F3", "F4", "F5", "F6", "F7",
    "F8", "F9", "F10", "F11", "F12", "Prt", "Scr", "Pau",
    "", "", "", "", "", "`", "1", "2",
    "3", "4", "5", "6", "7", "8", "9", "0",
    "-", "=", "Bksp", "Ins", "Hm", "PU", "NL", "Num/",
    "Num*", "Num-", "Tab", "Q", "W", "E", "R", "T",
    "Y", "U", "I", "O", "P", "[", "]", "\\",
    "Del", "End", "PD", "Num7", "Num8", "Num9", "Num+", "Caps",
    "A", "S", "D", "F", "G", "H", "J", "K",
    "L", ";", "'", "Enter", "Num4", "Num5", "Num6", "",
    "", "", "", "", "LShift", "Z", "X", "C",
    "V", "B", "N", "M", ",", ".", "/", "RShift",
    "↑", "Num1", "Num2", "Num3", "NumEnt", "", "", "",
    "", "LCtrl", "Win", "LAlt", "Space", "RAlt", "Fn", "☰",
    "RCtrl", "←", "↓", "→", "Num0", "Num.", "", "",
    "", "", "", "", "", "",
};

}  // namespace

const char* KeyLedCaption(int led) { return led >= 0 && led < 126 ? kCaptions[led] : ""; }

int KeyLedOfVirtualKey(uint32_t vk_code, bool extended) {
  // Only Enter is told apart by its extended flag; every other key ignores it.
  const bool want_extended = vk_code == 0x0D && extended;
  for (const KeyLed& k : kKeyLeds)
    if (k.vk == vk_code && k.extended == want_extended) return k.led;
  return -1;
}

}  // namespace trx::lighting

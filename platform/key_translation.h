#pragma once
// The one table from the X keycodes the window system reports (evdev code
// + 8, the same on X11 and Wayland; Qt's nativeScanCode) to the Windows
// virtual-key code, the set-1 scan code and the extended-key flag of the
// hook's event record. It follows the physical key on a US layout, so a
// recorded key is the same key whatever layout is active.
//
// Left and right modifiers, the keypad Enter (VK 0x0D with the extended
// flag) and the extended navigation keys stay distinct. The keypad digits
// are always VK_NUMPAD0-9, as with Num Lock on.
//
// Constant data; any thread.

#include <cstdint>
#include <optional>

namespace trx {

struct KeyTranslation {
  uint16_t vk_code;
  uint8_t scan_code;
  bool extended;
};

// nullopt for keys outside the table.
std::optional<KeyTranslation> TranslateXKeycode(uint32_t x_keycode);

// The X keycode of a virtual key with its extended flag (tests and the
// synthetic input of the demo); 0 when none.
uint32_t XKeycodeOf(uint16_t vk_code, bool extended);

}  // namespace trx

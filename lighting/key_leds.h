#pragma once
// The keyboard's key LED numbers (0-125: matrix row × 21 + column) of the
// keys a user presses, for the reactive preview modes: a virtual key with
// its extended flag (the hook record's form, platform/input_hooks.h) to the
// LED under that key on the keyboard's picture. Left and right modifiers,
// the keypad Enter (extended 0x0D) and the navigation block are distinct.
//
// Also the captions of the keys on the keyboard's picture, by LED number.
//
// Constant data; any thread.

#include <cstdint>

namespace trx::lighting {

// -1 for keys the keyboard has no LED for (or unknown keys).
int KeyLedOfVirtualKey(uint32_t vk_code, bool extended);

// The caption of key LED `led` on the keyboard's picture ("Esc", "F1",
// "LShift", "Num7", "↑" ...); "" for LED numbers the picture has no key for
// and numbers outside 0-125.
const char* KeyLedCaption(int led);

}  // namespace trx::lighting

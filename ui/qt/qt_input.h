#pragma once
// Translation of Qt input into the library's terms: key codes (VK_*),
// modifier/button state bits (MK_*) and packed client points. Pure
// functions; any thread.

#include <Qt>

#include <cstdint>

#include "ui/core/event.h"
#include "ui/core/ui_types.h"

namespace trx::ui::qt {

// The virtual-key code for a Qt key, 0 when the key has none (text keys
// reach the library as characters instead). Letters and digits map to
// their upper-case ASCII codes, F1-F12 to 0x70-0x7B.
std::uint32_t VirtualKeyFromQt(int qt_key);
// MK_* bits for the buttons held and the keyboard modifiers.
std::uint16_t KeyStateFromQt(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

}  // namespace trx::ui::qt

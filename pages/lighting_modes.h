#pragma once
// What each light mode shows: per device and mode, whether the direction,
// colour, colour-cycle and speed layouts are enabled and visible, whether
// the palette shows, whether the same-mode button is enabled, whether the
// preview restarts from an end, and (keyboard) the direction label texts.
// Kept as data so the tests walk every mode of every list.
//
// Constant data; any thread.

#include <cstdint>
#include <span>

namespace trx::pages {

// Keep: the mode leaves the state as it is.
enum class Tri : int8_t { Keep = -1, Off = 0, On = 1 };

struct LayoutSwitch {
  Tri enabled = Tri::Keep;
  Tri visible = Tri::Keep;
};

struct ModeLayout {
  LayoutSwitch direction, colour, cycle, speed;
  Tri palette = Tri::Keep;    // visibility of the palette
  Tri same_mode = Tri::Keep;  // enabled state of the same-mode button
  bool preview_from_end = false;  // the preview restarts from an end (direction)
  // Keyboard: the direction label text ids; null keeps them.
  const char* fx_left = nullptr;
  const char* fx_right = nullptr;
  // Keyboard mode 8: the custom per-key colour layouts instead of the
  // direction, colour-cycle and colour display layouts.
  bool custom_colours = false;
  // Keyboard modes 4, 5, 11, 15: part of the keyboard preview state resets.
  bool reset_keyboard_preview = false;
};

// The mouse's three mode-list variants ("ms_deng_combo_modeSelect0" ... 2).
inline constexpr int kMouseModeVariants = 3;
inline constexpr int kMouseRefreshVariant = 2;
std::span<const ModeLayout> MouseModeLayouts(int variant);
// "mp_deng_combo_modeSelect", modes 0-9.
std::span<const ModeLayout> PadModeLayouts();
// "kb_deng_combo_modeSelect", modes 0-15.
std::span<const ModeLayout> KeyboardModeLayouts();
inline constexpr int kKeyboardCustomMode = 8;
// "kb_deng_onecolor_combo_modeSelect", modes 0-10: the single-colour
// keyboard (layout variant 1), whose lights take one fixed colour, so the
// colour controls are never in use.
std::span<const ModeLayout> KeyboardOneColourModeLayouts();

// The layout of `mode` in `table`, or null beyond it (such a mode only
// stores its byte).
const ModeLayout* LayoutOf(std::span<const ModeLayout> table, int mode);

}  // namespace trx::pages

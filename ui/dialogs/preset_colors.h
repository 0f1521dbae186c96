#pragma once
// The 30 preset colours offered by the palette dialog's preset row and used
// by the lighting pages' colour buttons. Colours are opaque ARGB.
// Any thread (constant data).

#include <array>

#include "ui/core/ui_types.h"

namespace trx::ui {

inline constexpr int kPresetColorCount = 30;

// Index 0 … 29 → ARGB colour.
inline constexpr std::array<UiColor, kPresetColorCount> kPresetColors = {
    0xFFFF0000, 0xFF00F6FF, 0xFF6CFF00, 0xFF7E00FF, 0xFF008AFF,  //  0 …  4
    0xFF2400FF, 0xFFADFE00, 0xFFFE5400, 0xFFFE8300, 0xFF8300E7,  //  5 …  9
    0xFFB700AC, 0xFFFEB300, 0xFFFEF500, 0xFFFF0000, 0xFFFF00F6,  // 10 … 14
    0xFF21B309, 0xFF48B1FA, 0xFFFA48A4, 0xFFFDFDFC, 0xFF4900E7,  // 15 … 19
    0xFFFFC480, 0xFF000000, 0xFF1B48A3, 0xFF1B1A77, 0xFF4877A3,  // 20 … 24
    0xFF76A348, 0xFFACD55B, 0xFF7576D2, 0xFF7675FF, 0xFF4776A4,  // 25 … 29
};

// Looks up a preset colour. False (and *color untouched) when index is
// outside 0 … 29, so a malformed control name never reads past the table.
bool GetPresetColor(int index, UiColor* color);

}  // namespace trx::ui

#include "ui/dialogs/preset_colors.h"

namespace trx::ui {

bool GetPresetColor(int index, UiColor* color) {
  if (color == nullptr || index < 0 || index >= kPresetColorCount) return false;
  *color = kPresetColors[static_cast<size_t>(index)];
  return true;
}

}  // namespace trx::ui

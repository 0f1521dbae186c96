#pragma once
// The window's own controls its policies act on (app/): the layout's root
// (the skin's background), the progress ring of the device operations, the
// three lighting palettes preselected at start, and the tab that takes the
// focus when every device has left. Bound with the pages' handles
// (CPageSet::Bindings).
//
// UI thread only.

#include <array>

#include "pages/control_handles.h"
#include "ui/core/color_palette.h"
#include "ui/core/progress.h"

namespace trx::pages {

struct FrameControls {
  Handle<> root;
  Handle<ui::CProgressUI> progress;
  std::array<Handle<ui::CColorPaletteUI>, 3> palettes;  // mouse, pad, keyboard
  Handle<> mouse_lighting_tab;

  ControlBindings Bindings();
};

}  // namespace trx::pages

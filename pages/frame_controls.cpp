#include "pages/frame_controls.h"

#include "pages/control_names.h"

namespace trx::pages {

ControlBindings FrameControls::Bindings() {
  return {{names::kRoot, &root},
          {names::kSettingProgress, &progress},
          {names::kMsDengColorPallet, &palettes[0]},
          {names::kMpDengColorPallet, &palettes[1]},
          {names::kKbDengColorPallet, &palettes[2]},
          {names::kMsDengOpTab, &mouse_lighting_tab}};
}

}  // namespace trx::pages

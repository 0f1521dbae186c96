#pragma once
// CKeyLights: the key-light controls of the three lighting previews
// ("ms_dkey_" 0-19, "mp_dkey_" 0-14, "kb_dkey_" 0-125), bound as typed
// handles with the pages' own (Bindings) and tinted through their changer
// colour. The effect engine's pad messages (tint colour, tint alpha of one
// pad light) arrive here through the main window's message handler.
//
// A control the layout lacks stays a null entry, and an index outside a
// table is ignored: a message can never reach past the table.
//
// UI thread only.

#include <array>

#include "device/device_channel.h"
#include "pages/control_handles.h"
#include "pages/control_names.h"
#include "pages/controls.h"

namespace trx::pages {

class CKeyLights {
 public:
  // Every light's name and handle, for the page set's binding.
  ControlBindings Bindings();
  // Switches the bound lights' tint on, fully transparent. Call once they
  // are bound.
  void StartTint() const;
  // Binds the lights from `controls` and starts their tint (a preview
  // without the page set).
  void Bind(const Controls& controls);
  // Light `index` of the device, or null (absent control, index outside).
  ui::CControlUI* Light(DeviceKind kind, int index) const;
  static int Count(DeviceKind kind);
  // Tint colour / alpha of light `index`; false when ignored.
  bool SetColour(DeviceKind kind, unsigned long long index, ui::UiColor colour) const;
  bool SetAlpha(DeviceKind kind, unsigned long long index, int alpha) const;

 private:
  std::array<Handle<>, names::kMsDkeyCount> mouse_{};
  std::array<Handle<>, names::kMpDkeyCount> pad_{};
  std::array<Handle<>, names::kKbDkeyCount> keyboard_{};
};

}  // namespace trx::pages

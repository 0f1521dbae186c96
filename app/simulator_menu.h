#pragma once
// The tray menu's section for the simulated devices (--simulate): per
// selected device "Plug in"/"Unplug", and while plugged in its buttons
// (onboard profile, DPI for the mouse) and the mouse's slow save. Items are
// named "sim_<action>_<kind>" and show the language text
// "menu_sim_<action>_<kind>".
//
// UI thread.

#include <functional>
#include <string>

namespace trx::sim {
class SimulatedDevices;
}
namespace trx::ui {
class CMenuUI;
}

namespace trx::app {

class CSimulatorMenu {
 public:
  // `devices` may be null (no section); `save` starts the mouse's slow
  // save and says whether it started.
  CSimulatorMenu(sim::SimulatedDevices* devices, std::function<bool()> save)
      : devices_(devices), save_(std::move(save)) {}

  // Adds the section (a separator, then the items) to the menu's body.
  void AddItems(ui::CMenuUI& body) const;
  // Runs a "sim_..." item; false for any other name.
  bool Run(const std::string& name) const;

 private:
  sim::SimulatedDevices* devices_;
  std::function<bool()> save_;
};

}  // namespace trx::app

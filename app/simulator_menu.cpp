#include "app/simulator_menu.h"

#include "app/app_messages.h"
#include "pages/control_names.h"
#include "pages/name_split.h"
#include "platform/debug_log.h"
#include "sim/demo_devices.h"
#include "ui/window/menu_wnd.h"

namespace trx::app {

namespace names = pages::names;

void CSimulatorMenu::AddItems(ui::CMenuUI& body) const {
  if (devices_ == nullptr) return;
  // The simulator's item texts are longer than the layout's menu is wide.
  constexpr int kSimulatedMenuWidth = 250;
  if (body.GetFixedWidth() < kSimulatedMenuWidth) body.SetFixedWidth(kSimulatedMenuWidth);
  auto* separator = new ui::CMenuElementUI();
  separator->SetSeparator(true);
  separator->SetFixedHeight(kMenuSeparatorHeight);
  body.Add(separator);
  for (sim::SimKind kind : {sim::SimKind::Mouse, sim::SimKind::Keyboard, sim::SimKind::MousePad}) {
    if (!devices_->Selection().Has(kind)) continue;
    const std::string k = sim::SimKindName(kind);
    const bool plugged = devices_->IsPlugged(kind);
    auto add = [&](const std::string& action) {
      auto* item = new ui::CMenuElementUI();
      item->SetName(std::string(names::kMenuSimPrefix) + action + "_" + k);
      item->SetResourceText(true);
      item->SetText("menu_sim_" + action + "_" + k);
      if (body.GetCount() > 0) item->SetFixedHeight(body.GetItemAt(0)->GetFixedHeight());
      body.Add(item);
    };
    add(plugged ? "unplug" : "plug");
    if (plugged) {
      add("profile");
      if (kind == sim::SimKind::Mouse) {
        add("dpi");
        add("save");
      }
    }
  }
}

bool CSimulatorMenu::Run(const std::string& name) const {
  if (devices_ == nullptr || !pages::HasPrefix(name, names::kMenuSimPrefix)) return false;
  for (sim::SimKind kind : {sim::SimKind::Mouse, sim::SimKind::Keyboard, sim::SimKind::MousePad}) {
    const std::string k = std::string("_") + sim::SimKindName(kind);
    if (name.size() < k.size() || name.compare(name.size() - k.size(), k.size(), k) != 0) continue;
    const std::string action = name.substr(4, name.size() - 4 - k.size());
    bool ok = false;
    if (action == "plug") ok = devices_->Plug(kind);
    if (action == "unplug") ok = devices_->Unplug(kind);
    if (action == "profile") ok = devices_->PressProfileButton(kind);
    if (action == "dpi") ok = devices_->PressDpiButton(kind);
    if (action == "save" && kind == sim::SimKind::Mouse) ok = save_ && save_();
    if (!ok) DebugLineF("simulated %s: %s refused", sim::SimKindName(kind), action.c_str());
    return true;
  }
  DebugLineF("unknown simulator menu item %s", name.c_str());
  return true;
}

}  // namespace trx::app

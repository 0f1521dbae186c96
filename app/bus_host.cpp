#include "app/bus_host.h"

#include "app/app_messages.h"
#include "app/presence_host_proxy.h"
#include "app/program_bus.h"
#include "bus/bus_names.h"
#include "platform/debug_log.h"
#include "presence/presence_handlers.h"
#include "ui/window/win_api.h"

namespace trx::app {

std::unique_ptr<CProgramBus> StartProgramBus(const BusHostWiring& w) {
  ProgramBusHost host;
  host.channel = [presence = w.presence](DeviceKind kind) -> CDeviceChannel& { return presence->Channel(kind); };
  host.reread = [window = w.window](DeviceKind kind) {
    if (!ui::PostMessage(window, ReadAllMessageOf(kind))) DebugLine("read-all after a bus command not posted: window gone");
  };
  host.select_target = w.select_target;
  host.on_queue = [queue = w.queue](DeviceKind kind, const std::function<void()>& fn) {
    const OperationOutcome o = queue(kind).RunAndWait(Operation("bus command",
                                                                [&fn](OperationContext&) {
                                                                  fn();
                                                                  return OperationResult::Succeeded;
                                                                }),
                                                      nullptr);
    return o.status;
  };
  host.profiles_changed = [window = w.window](DeviceKind kind) {
    if (!ui::PostMessage(window, WM_BUS_PROFILES_CHANGED, static_cast<ui::WPARAM>(kind)))
      DebugLine("profile lists after a bus command not reloaded: window gone");
  };
  auto bus = std::make_unique<CProgramBus>(std::move(host), w.address);
  std::string error;
  if (!bus->Start(&error)) {
    DebugLineF("session-bus API off: %s", error.c_str());
    return nullptr;
  }
  DebugLineF("session-bus API on as %s", bus::kBusName);
  return bus;
}

}  // namespace trx::app

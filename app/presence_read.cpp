#include "app/presence_read.h"

#include <string>

#include "app/program_bus.h"
#include "bus/bus_names.h"
#include "presence/presence_handlers.h"
#include "presence/presence_messages.h"
#include "settings/config_images.h"

namespace trx::app {

bool SubmitPresenceRead(const PresenceReadWiring& w, uint32_t message) {
  DeviceKind kind = DeviceKind::Mouse;
  if (!PresenceMessageDevice(message, &kind)) return false;
  auto outcome = std::make_shared<ReadOutcome>(ReadOutcome::kReadComplete);
  w.submit(kind, Operation(
                     "device read",
                     [host = w.reader, message, outcome](OperationContext&) {
                       *outcome = RunPresenceRead(*host, message);
                       return OperationResult::Succeeded;
                     },
                     [shower = w.shower, bus = w.bus, message, outcome](const OperationOutcome& o) {
                       if (o.status != OperationStatus::Ran) return;
                       ShowPresenceRead(*shower, message, *outcome);
                       // The mouse's profile button: the onboard slot in effect.
                       CProgramBus* b = bus ? bus() : nullptr;
                       if (message == kMsgMouseProfileChanged && b != nullptr) {
                         const int onboard =
                             WithImage([](ConfigImages& images) { return images.mouse.ProfileIndex() + 1; });
                         b->ProfileInEffect(DeviceKind::Mouse, "onboard", std::to_string(onboard),
                                            bus::kReasonDeviceButton);
                       }
                     }));
  return true;
}

}  // namespace trx::app

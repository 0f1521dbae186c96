#pragma once
// The simulator menu's slow save (--simulate): the five key blocks of the
// image go to the simulated mouse, which answers slowly meanwhile (about
// 4 s in all) so that the progress ring can be watched; its timing is
// restored afterwards.
//
// UI thread (the save itself runs on the mouse's queue).

#include <functional>
#include <memory>

#include "device/commands.h"
#include "device/device_channel.h"
#include "platform/progress_reporter.h"

namespace trx::sim {
class SimulatedDevices;
}

namespace trx::app {

// Runs a long operation with the ring on the mouse's queue; false when refused.
using RunRingOperation = std::function<bool(std::function<CommandResult(IProgressReporter&)>)>;

// False when there is no simulated mouse plugged in, or the queue refused.
bool StartSimulatedSave(sim::SimulatedDevices* devices, std::shared_ptr<CDeviceChannel> mouse,
                        const RunRingOperation& run);

}  // namespace trx::app

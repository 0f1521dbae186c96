#include "app/simulated_save.h"

#include <chrono>

#include "settings/key_block_upload.h"
#include "sim/demo_devices.h"

namespace trx::app {
namespace {

// How slowly the simulated mouse answers during the save (about 4 s for
// the five key blocks).
constexpr std::chrono::microseconds kSimulatedSaveReportTime{40000};

}  // namespace

bool StartSimulatedSave(sim::SimulatedDevices* devices, std::shared_ptr<CDeviceChannel> mouse,
                        const RunRingOperation& run) {
  if (devices == nullptr || !devices->IsPlugged(sim::SimKind::Mouse)) return false;
  std::shared_ptr<sim::SimFirmware> firmware = devices->Firmware(sim::SimKind::Mouse);
  if (firmware == nullptr) return false;
  return run([channel = std::move(mouse), firmware](IProgressReporter& progress) {
    const sim::SimFaults before = firmware->Faults();
    sim::SimFaults slow = before;
    slow.report_time = kSimulatedSaveReportTime;
    firmware->SetFaults(slow);
    const CommandResult result = UploadMouseKeyBlocks(*channel, progress);
    firmware->SetFaults(before);
    return result;
  });
}

}  // namespace trx::app

// CMainWnd: long device operations and the progress ring "setting_progress".

#include <chrono>

#include "app/app_messages.h"
#include "pages/control_names.h"
#include "app/main_wnd.h"
#include "platform/debug_log.h"
#include "settings/key_block_upload.h"
#include "sim/demo_devices.h"
#include "ui/core/progress.h"
#include "ui/window/win_api.h"

namespace trx::app {
namespace names = pages::names;
namespace {

// The simulated mouse answers this slowly during its demonstration save, so
// the ring can be watched (about 4 s for the five key blocks).
constexpr std::chrono::microseconds kSimulatedSaveReportTime{40000};

}  // namespace

bool CMainWnd::RunDeviceOperation(ui::DeviceOperation operation) { return RunDeviceOperation(std::move(operation), {}); }

bool CMainWnd::RunDeviceOperation(std::function<int(IProgressReporter&)> operation, std::function<void(int)> done) {
  if (stopping_.load()) return false;
  if (!operations_)
    operations_ = std::make_unique<ui::COperationRunner>(m_hWnd, WM_DEVICE_PROGRESS, WM_DEVICE_OPERATION_DONE);
  if (!operations_->Run(std::move(operation))) return false;
  ++operations_pending_;
  operation_done_.push_back(std::move(done));
  OnDeviceProgress(0, 1);  // busy from the click on, before the worker reports
  return true;
}

void CMainWnd::OnDeviceProgress(int done, int total) {
  // A hide still pending from an earlier operation must not hide this one.
  ui::KillTimer(m_hWnd, kTimerSettingDone);
  ui::ShowOperationProgress(dynamic_cast<ui::CProgressUI*>(Find(names::kSettingProgress)), done, total);
}

void CMainWnd::OnDeviceOperationDone(int result) {
  if (operations_pending_ > 0) --operations_pending_;
  if (result != 1) DebugLineF("device operation ended with %d", result);
  if (!operation_done_.empty()) {
    std::function<void(int)> done = std::move(operation_done_.front());
    operation_done_.pop_front();
    // Once shutdown has begun an operation ends stopped, not failed: its
    // page is not asked to tell the user (no box while the program quits).
    if (done && !stopping_.load()) done(result);
  }
  auto* ring = dynamic_cast<ui::CProgressUI*>(Find(names::kSettingProgress));
  // Another queued operation goes on: its own progress follows.
  if (DeviceOperationBusy()) return;
  if (ring != nullptr && result == 1) ui::ShowOperationProgress(ring, ring->GetMaxValue(), ring->GetMaxValue());
  // Hidden one second later, as after any setting that is done.
  ui::SetTimer(m_hWnd, kTimerSettingDone, kSettingDonePeriodMs);
}

bool CMainWnd::InstallKeyCapture(uint32_t mode, IHookListener* listener) {
  SetHookListener(listener);
  return InstallInputHooks(mode, true, false) == 1;
}

// Simulated mode: the five key blocks of the image go to the simulated
// mouse, slowed down for the duration so that the progress can be seen.
bool CMainWnd::StartSimulatedSave() {
  if (options_.simulated == nullptr || !options_.simulated->IsPlugged(sim::SimKind::Mouse)) return false;
  std::shared_ptr<sim::SimFirmware> firmware = options_.simulated->Firmware(sim::SimKind::Mouse);
  if (firmware == nullptr) return false;
  return RunDeviceOperation([channel = mouse_, firmware](IProgressReporter& progress) {
    const sim::SimFaults before = firmware->Faults();
    sim::SimFaults slow = before;
    slow.report_time = kSimulatedSaveReportTime;
    firmware->SetFaults(slow);
    const int result = UploadMouseKeyBlocks(*channel, progress);
    firmware->SetFaults(before);
    return result;
  });
}

}  // namespace trx::app

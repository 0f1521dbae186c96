#pragma once
// The tray menu's "Back up device memory..." and "Restore device memory..."
// (one pair under each connected device, after the device's name as a
// heading). The work runs as one device operation holding its channel
// from start to end (the progress ring follows it); the file dialogs, the
// check of the file before anything is written, the confirmation naming
// the file and its date, and the outcome's message box stay on the UI
// thread. After a restore that wrote anything the device is read again.
//
// UI thread.

#include <functional>
#include <memory>
#include <string>

#include "device/device_queue.h"
#include "platform/progress_reporter.h"
#include "ui/window/win_types.h"

namespace trx::ui {
class CMenuUI;
}

namespace trx::app {

class CDeviceBackupMenu {
 public:
  struct Wiring {
    std::function<ui::HWND()> owner;  // the dialogs' owner
    std::function<std::shared_ptr<CDeviceChannel>(DeviceKind)> channel;
    // Queues on the device's queue; false when refused (shutdown).
    std::function<bool(DeviceKind, DeviceOperation)> submit;
    std::function<void(DeviceKind)> read_again;
  };
  explicit CDeviceBackupMenu(Wiring wiring) : w_(std::move(wiring)) {}

  // Adds the items of each connected device to the menu's body.
  void AddItems(ui::CMenuUI& body) const;
  // Runs a backup or restore item; false for any other name.
  bool Run(const std::string& name);

 private:
  void StartBackup(DeviceKind kind);
  void StartRestore(DeviceKind kind);
  // `done` gets the operation's result (Failed when it could not run).
  void RunOperation(DeviceKind kind, const char* name, std::function<OperationResult(IProgressReporter&)> operation,
                    std::function<void(OperationResult)> done);

  Wiring w_;
};

}  // namespace trx::app

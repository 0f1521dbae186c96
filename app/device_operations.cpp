// CMainWnd: the wiring of the three device queues.

#include "app/main_wnd.h"
#include "ui/window/message_queue.h"

namespace trx::app {
namespace {

int QueueIndex(DeviceKind kind) { return kind == DeviceKind::Keyboard ? 0 : kind == DeviceKind::Mouse ? 1 : 2; }

}  // namespace

CDeviceQueue& CMainWnd::Queue(DeviceKind kind) { return *queues_[QueueIndex(kind)]; }

bool CMainWnd::Submit(DeviceKind kind, DeviceOperation operation) {
  if (stopping_.load()) return false;
  const bool progress = operation.progress;
  if (Queue(kind).Submit(std::move(operation)) == 0) return false;
  if (progress && ui::CMessageQueue::Instance().IsUiThread()) ring_.Queued();
  return true;
}

bool CMainWnd::RunDeviceOperation(std::function<CommandResult(IProgressReporter&)> operation) {
  return Submit(DeviceKind::Mouse,
                Operation("long operation", [operation = std::move(operation)](OperationContext& op) { return operation(op); },
                          {}, true));
}

void CMainWnd::StopQueues() {
  ui_post_->Close();  // no page's completion runs any more
  for (auto& queue : queues_) queue->Stop(0);
  for (auto& queue : queues_) queue->Stop(options_.stop_timeout_ms);
}

HookInstallResult CMainWnd::InstallKeyCapture(uint32_t mode, IHookListener* listener) {
  SetHookListener(listener);
  return InstallInputHooks(mode, true, false);
}

}  // namespace trx::app

// CMainWnd: the device queues, the progress ring "setting_progress", the
// timed settings send and the program links' select.

#include <chrono>

#include "app/app_messages.h"
#include "pages/control_names.h"
#include "app/main_wnd.h"
#include "pages/profile_bar.h"
#include "pages/profile_link_page.h"
#include "platform/debug_log.h"
#include "profile/effective_profile.h"
#include "profile/profile_operations.h"
#include "settings/key_block_upload.h"
#include "sim/demo_devices.h"
#include "ui/core/progress.h"
#include "ui/window/message_queue.h"
#include "ui/window/win_api.h"

namespace trx::app {
namespace names = pages::names;
namespace {

// The simulated mouse answers this slowly during its demonstration save, so
// the ring can be watched (about 4 s for the five key blocks).
constexpr std::chrono::microseconds kSimulatedSaveReportTime{40000};

int QueueIndex(DeviceKind kind) { return kind == DeviceKind::Keyboard ? 0 : kind == DeviceKind::Mouse ? 1 : 2; }

}  // namespace

CDeviceQueue& CMainWnd::Queue(DeviceKind kind) { return *queues_[QueueIndex(kind)]; }

bool CMainWnd::Submit(DeviceKind kind, DeviceOperation operation) {
  if (stopping_.load()) return false;
  const bool progress = operation.progress;
  if (Queue(kind).Submit(std::move(operation)) == 0) return false;
  if (progress && ui::CMessageQueue::Instance().IsUiThread()) {
    ++operations_pending_;
    OnDeviceProgress(0, 1);  // busy from the click on, before the queue reports
  }
  return true;
}

bool CMainWnd::RunDeviceOperation(std::function<CommandResult(IProgressReporter&)> operation) {
  return Submit(DeviceKind::Mouse,
                Operation("long operation", [operation = std::move(operation)](OperationContext& op) { return operation(op); },
                          {}, true));
}

void CMainWnd::OnDeviceProgress(int done, int total) {
  // A hide still pending from an earlier operation must not hide this one.
  ui::KillTimer(m_hWnd, kTimerSettingDone);
  ui::ShowOperationProgress(dynamic_cast<ui::CProgressUI*>(Find(names::kSettingProgress)), done, total);
}

void CMainWnd::OnOperationProgress(const OperationProgress& progress) { OnDeviceProgress(progress.done, progress.total); }

void CMainWnd::OnOperationFinished(const OperationOutcome& outcome) {
  if (!outcome.progress || operations_pending_ == 0) return;
  --operations_pending_;
  auto* ring = dynamic_cast<ui::CProgressUI*>(Find(names::kSettingProgress));
  // Another queued operation goes on: its own progress follows.
  if (DeviceOperationBusy()) return;
  if (ring != nullptr && outcome.Ok()) ui::ShowOperationProgress(ring, ring->GetMaxValue(), ring->GetMaxValue());
  // Hidden one second later, as after any setting that is done.
  ui::SetTimer(m_hWnd, kTimerSettingDone, kSettingDonePeriodMs);
}

void CMainWnd::StopQueues() {
  ui_post_->Close();  // no page's completion runs any more
  for (auto& queue : queues_) queue->Stop(0);
  for (auto& queue : queues_) queue->Stop(options_.stop_timeout_ms);
}

void CMainWnd::QueuePendingSends() {
  for (DeviceKind kind : {DeviceKind::Keyboard, DeviceKind::Mouse, DeviceKind::MousePad}) {
    if (!pending_->IsPending(kind)) continue;
    CDeviceChannel& channel = Channel(kind);
    // Nothing is sent to a device that is away or not read yet: its connect
    // read decides what the image holds.
    if (channel.connected.load() == 0 || !channel.ready.load()) {
      pending_->Take(kind);
      continue;
    }
    if (pending_->MarkQueued(kind)) continue;  // the queued one sends this change too
    if (!Submit(kind, Operation("settings send", [pending = pending_](OperationContext& op) {
                  return SendPendingRecord(*pending, op.Channel());
                })))
      pending_->ClearQueued(kind);
  }
}

bool CMainWnd::SendsWaiting() const {
  for (DeviceKind kind : {DeviceKind::Keyboard, DeviceKind::Mouse, DeviceKind::MousePad})
    if (pending_->IsPending(kind)) return true;
  return openrgb_ != nullptr && openrgb_->ChangesWaiting();
}

LinkSelectResult CMainWnd::SelectLinked(const ProfileFamilyInfo& family, int index) {
  if (stopping_.load()) return LinkSelectResult::Gone;
  CDeviceChannel& channel = Channel(family.kind);
  // Only a connected device whose connect read is done; otherwise the next
  // cycle asks again.
  if (channel.connected.load() == 0 || !channel.ready.load()) return LinkSelectResult::NotReady;
  if (EffectiveProfileIndex(family) == index) return LinkSelectResult::AlreadySelected;
  pages::CPageSet* pages = pages_.get();
  IProfileSelectTarget* target = &pages_->ProfileSelectTarget();
  const DeviceKind kind = family.kind;
  const ProfileFamily fam = family.family;
  const OperationOutcome outcome = Queue(kind).RunAndWait(
      Operation(
          "linked select",
          [kind, fam, index, target](OperationContext&) {
            const ProfileOpResult r = SelectProfile(kind, fam, index, *target, SelectBy::Link);
            if (r != ProfileOpResult::Ok)
              DebugLineF("program link: select of profile %d failed (%s)", index, ProfileOpResultName(r));
            // An index the list does not have (an INI file edited by hand)
            // selects nothing, as selecting a missing item does nothing.
            return r == ProfileOpResult::Ok              ? LinkSelectResult::Selected
                   : r == ProfileOpResult::NoSuchProfile ? LinkSelectResult::AlreadySelected
                                                         : LinkSelectResult::Failed;
          },
          [pages, kind, fam, index](const OperationOutcome& o) {
            if (!o.Ok()) return;
            pages->ProfileLinks().ShowLinkOfProfile(kind, fam, index);
            pages->ApplyProfileSelections();
          }),
      nullptr);
  if (outcome.status == OperationStatus::Stopped) return LinkSelectResult::Gone;
  if (outcome.status == OperationStatus::NotReady) return LinkSelectResult::NotReady;
  if (!outcome.Ok()) return outcome.result.As<LinkSelectResult>();
  const char* combo = pages::CProfileBar::ComboOf(kind, fam);
  DebugLineF("program link: %s profile %d selected", combo != nullptr ? combo : DeviceKindName(kind), index);
  return LinkSelectResult::Selected;
}

HookInstallResult CMainWnd::InstallKeyCapture(uint32_t mode, IHookListener* listener) {
  SetHookListener(listener);
  return InstallInputHooks(mode, true, false);
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
    const CommandResult result = UploadMouseKeyBlocks(*channel, progress);
    firmware->SetFaults(before);
    return result;
  });
}

}  // namespace trx::app

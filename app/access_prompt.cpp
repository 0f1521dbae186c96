#include "app/access_prompt.h"

#include <unistd.h>

#include <cstring>
#include <utility>

#include "app/app_messages.h"
#include "device/hidraw_backend.h"
#include "platform/debug_log.h"
#include "ui/core/resource_manager.h"
#include "ui/dialogs/msg_wnd.h"

namespace trx::app {

void CAccessPrompt::Start(ui::HWND owner) {
  ui::SetTimer(owner, kTimerAccessCheck, kAccessCheckPeriodMs);  // the first look
  // Then a look only after hidraw nodes came, went or changed their access,
  // once the udev rules had their turn; without a watch, every period.
  watch_ = CDeviceFolderWatch::Create(HidrawBackend::FromEnvironment()->WatchChanges(), [owner, changed = changed_] {
    changed->store(true);
    ui::SetTimer(owner, kTimerAccessCheck, kAccessCheckPeriodMs);
  });
}

void CAccessPrompt::Stop(ui::HWND owner) {
  watch_.reset();
  ui::KillTimer(owner, kTimerAccessCheck);
}

void CAccessPrompt::Check(ui::HWND owner) {
  if (box_open_) {
    recheck_ = true;  // the box's check began before this tick: look again after it
    return;
  }
  box_open_ = true;
  changed_->store(false);  // the scan below sees every change so far
  ui::CResourceManager* texts = ui::CResourceManager::GetInstance();
  const std::string rule = PackagedUdevRulePath();
  const std::string command = ManualRuleCommand(rule);
  switch (help_.PollInstall()) {
    case AccessHelp::InstallState::Succeeded:
      ui::ShowMessage(owner, kTextRuleInstalled, true, ui::MsgButtons::Notice);
      break;
    case AccessHelp::InstallState::Failed:
      ui::ShowMessage(owner, FillAccessText(texts->GetText(kTextRuleNotInstalled), "", "", command), false,
                      ui::MsgButtons::Notice);
      break;
    default:
      break;
  }
  for (const HidrawAccessProblem& problem : help_.NewProblems(FindHidrawAccessProblems())) {
    DebugLineF("no access to %s (%04x:%04x): %s", problem.dev_path.c_str(), problem.vendor_id, problem.product_id,
               std::strerror(problem.error));
    const std::string device = texts->GetText(DeviceNameTextId(problem.product_id));
    // The rule is there already: offering it again would not help.
    if (const std::string installed = InstalledUdevRule(); !installed.empty()) {
      ui::ShowMessage(owner, FillAccessText(texts->GetText(kTextAccessOtherReason), device, problem.node, installed),
                      false, ui::MsgButtons::Notice);
      continue;
    }
    const bool have_rule = ::access(rule.c_str(), R_OK) == 0;
    const std::string text = FillAccessText(texts->GetText(have_rule ? kTextAccessMissing : kTextAccessNoRule),
                                            device, problem.node, command);
    if (ui::ShowMessage(owner, text, false, have_rule ? ui::MsgButtons::Question : ui::MsgButtons::Notice) ==
            ui::kMsgResultConfirm &&
        have_rule &&
        !help_.StartRuleInstall(rule)) {
      ui::ShowMessage(owner, FillAccessText(texts->GetText(kTextRuleNotInstalled), "", "", command), false,
                      ui::MsgButtons::Notice);
    }
  }
  box_open_ = false;
  const bool again = watch_ == nullptr || watch_->Broken() || help_.InstallRunning() ||
                     std::exchange(recheck_, false) || changed_->load();
  if (!again) ui::KillTimer(owner, kTimerAccessCheck);
}

}  // namespace trx::app

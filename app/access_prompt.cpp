#include "app/access_prompt.h"

#include <unistd.h>

#include <cstring>

#include "app/app_messages.h"
#include "platform/debug_log.h"
#include "ui/core/resource_manager.h"
#include "ui/dialogs/msg_wnd.h"

namespace trx::app {

void CAccessPrompt::Check(ui::HWND owner) {
  if (box_open_) return;  // the timer keeps running under a modal box
  box_open_ = true;
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
}

}  // namespace trx::app

#include "app/quit_questions.h"

#include "app/app_messages.h"
#include "app/window_messages.h"
#include "pages/page_set.h"
#include "ui/dialogs/msg_wnd.h"

namespace trx::app {

bool ConfirmDiscardEdits(pages::CPageSet* pages, const CWindowMessages& messages) {
  if (pages == nullptr) return true;
  if (pages->UnsavedMacroEdit()) {
    switch (ui::ShowMessage(messages.Owner(), kTextDiscardMacroEdit, true, ui::MsgButtons::SaveQuestion)) {
      case ui::kMsgResultConfirm: break;                                          // discard
      case ui::kMsgResultSave: if (!pages->SaveMacroEdits()) return false; break;  // quit only when saved
      default: return false;
    }
  }
  if (pages->UnsavedRoutineEdit() && messages.ShowId(kTextDiscardRoutineEdit) != ui::kMsgResultConfirm) return false;
  if (pages->UnsavedAssignments()) return messages.ShowId(kTextDiscardAssignments) == ui::kMsgResultConfirm;
  return true;
}

}  // namespace trx::app

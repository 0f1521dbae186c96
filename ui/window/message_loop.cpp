// The library's message loop entry point lives with the window layer,
// which owns the queue.

#include "ui/core/paint_manager.h"
#include "ui/window/message_queue.h"

namespace trx::ui {

int CPaintManagerUI::MessageLoop() { return CMessageQueue::Instance().RunMessageLoop(); }

}  // namespace trx::ui

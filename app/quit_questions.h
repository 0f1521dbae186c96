#pragma once
// Whether quitting may go on: no page holds an unsaved edit, or the user
// answered each question so. A macro's edit asks "message_macro_unsaved"
// (Save, Discard, Cancel: Save quits only once the edit saved); the
// fire-key routines' edits and button or key functions not on the device
// ask a confirm-or-cancel question each. The close button, the desktop's
// close and the tray's exit ask; a termination signal does not (the session
// is ending and nobody may answer).
//
// UI thread (the questions are modal).

namespace trx::pages {
class CPageSet;
}

namespace trx::app {

class CWindowMessages;

// True when quitting may go on; `pages` null (no pages yet): true.
bool ConfirmDiscardEdits(pages::CPageSet* pages, const CWindowMessages& messages);

}  // namespace trx::app

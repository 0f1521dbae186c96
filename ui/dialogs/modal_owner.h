#pragma once
// What a modal dialog does to its owner before its loop runs. UI thread only.

#include "ui/core/ui_types.h"

namespace trx::ui {

// Drops the owner's pointer-over state now: the owner gets no mouse input
// until the dialog is gone, so a control left "hot" under the pointer would
// keep its hover look meanwhile. Null or non-layout owners are ignored.
void LeaveOwnerHover(HWND owner);

// The same once the input dispatch that opened the dialog has finished
// (queued): a dialog opened from a click returns into the owner's button-up
// handling, which marks the control under the old pointer position hot
// again although the pointer has moved on. A pointer that is really still
// there makes it hot again with its next move.
void LeaveOwnerHoverLater(HWND owner);

}  // namespace trx::ui

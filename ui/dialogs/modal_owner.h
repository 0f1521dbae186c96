#pragma once
// What a modal dialog does to its owner before its loop runs. UI thread only.

#include "ui/core/ui_types.h"

namespace trx::ui {

// Drops the owner's pointer-over state: the owner gets no mouse input until
// the dialog is gone, so a control left "hot" under the pointer would keep
// its hover look meanwhile and after. Null or non-layout owners are ignored.
void LeaveOwnerHover(HWND owner);

}  // namespace trx::ui

#pragma once
// The seam through which tests (and nothing else) answer modal dialogs
// without a display. Every dialog of this folder calls the installed hook
// once its layout is built and its content set, before its modal loop runs.
// The hook typically queues a click (ClickDialogControl) that the modal loop
// then runs like a user's click, so the dialog's own handling decides the
// result. No hook is installed in the program.
//
// UI thread only.

#include <functional>
#include <string_view>

#include "ui/window/window_impl_base.h"

namespace trx::ui {

// class_name: the dialog's window class ("MsgWnd", "UIPalletDialog",
// "UISkinFrame").
using DialogHook = std::function<void(WindowImplBase& dialog, std::string_view class_name)>;

// Installs the hook (an empty function removes it); returns the old one.
DialogHook SetDialogHook(DialogHook hook);
// Calls the installed hook, if any (the dialogs call this).
void RunDialogHook(WindowImplBase& dialog, std::string_view class_name);

// Queues a "click" on the named control of the dialog's layout, delivered
// by the message loop (so by the dialog's modal loop). Nothing happens when
// the window is gone or has no such control by then.
void ClickDialogControl(WindowImplBase& dialog, std::string_view control_name);

}  // namespace trx::ui

#pragma once
// The window-message functions the program calls, with the effects it
// relies on. All of them go through the process's message queue
// (message_queue.h).
//
// Thread safety: every function here may be called from any thread.

#include "ui/window/messages.h"
#include "ui/window/win_types.h"

namespace trx::ui {

// Queues msg for hwnd; TRUE when queued, FALSE for a handle that is gone.
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wparam = 0, LPARAM lparam = 0);
// Runs msg through hwnd's window procedure and returns its result. From the
// UI thread it runs inline; from another thread it blocks until the UI
// thread has handled it, and returns 0 without waiting (or stops waiting)
// when the window is gone or the loop is shutting down.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wparam = 0, LPARAM lparam = 0);
// Ends the outermost message loop with exit_code (see CMessageQueue::PostQuit).
void PostQuitMessage(int exit_code);
// Starts timer id on hwnd (WM_TIMER, wParam = id). Returns id, 0 on failure.
// The fourth argument exists for call compatibility and must be null.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse_ms, void* timer_proc = nullptr);
// Stops the timer; FALSE when it did not exist.
BOOL KillTimer(HWND hwnd, UINT_PTR id);
// Same name (ASCII case ignored), same number for the whole run; numbers lie in 0xC000-0xFFFF.
// Returns 0 for an empty name or when the range is exhausted.
UINT RegisterWindowMessage(const char* name);
// TRUE while hwnd names a live window.
BOOL IsWindow(HWND hwnd);

// Window operations by handle (window_functions.cpp). On the UI thread they
// act at once. From another thread they are queued to the UI thread and
// return TRUE when queued: worker threads show and hide windows this way
// without touching window state from their own thread.
BOOL ShowWindow(HWND hwnd, int command);
BOOL SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags);
// Repaints the whole window.
BOOL InvalidateRect(HWND hwnd);
// Queries: UI thread only (FALSE elsewhere or for a dead handle).
BOOL IsWindowVisible(HWND hwnd);
BOOL GetWindowRect(HWND hwnd, UiRect* rc);
// Pointer position in screen coordinates.
BOOL GetCursorPos(UiPoint* pt);

}  // namespace trx::ui

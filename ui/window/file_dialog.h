#pragma once
// The open and save file dialogs, taking the library-style filter string
// with "|" separators: "(*.png) | *.png |(*.*)|*.*||" is two filters,
// "(*.png)" matching "*.png" and "(*.*)" matching "*.*" (spaces around
// each part are dropped, several patterns may be joined with ";").
//
// The dialog is titled with the language text "dlg_open_<kind>" or
// "dlg_save_<kind>" (kind: the default extension, "file" without one;
// "dlg_open_file"/"dlg_save_file" when the kind has none); a filter whose
// description is only its patterns ("(*.mac)") is described by
// "dlg_filter_<kind>" ("dlg_filter_all" for "*" and "*.*"). It opens in the
// folder last used for the same kind (kept in "main.ini", section
// "FILEDIALOG", key = kind), else in the Documents folder; an initial name
// without '*' is suggested as the file name.
//
// The answer comes from, in this order: a handler installed with
// SetFileDialogHandler (tests answer the dialog this way), the backend's
// native dialog, or nothing (headless: the dialog counts as cancelled).
//
// UI thread only.

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/window/window_backend.h"

namespace trx::ui {

// Parses a filter string into (description, patterns) pairs. A trailing
// description without patterns is dropped.
std::vector<std::pair<std::string, std::string>> ParseFileFilter(std::string_view filter);

// Runs the dialog; true and *path (a full path) when the user confirmed.
// A save dialog appends default_extension when the chosen name has none.
bool ShowOpenFileDialog(HWND owner, std::string_view filter, std::string_view default_extension,
                        std::string_view initial_name, std::string* path);
bool ShowSaveFileDialog(HWND owner, std::string_view filter, std::string_view default_extension,
                        std::string_view initial_name, std::string* path);

// The kind a default extension stands for ("file" for none).
std::string FileDialogKind(std::string_view default_extension);

using FileDialogHandler = std::function<bool(const FileDialogRequest&, std::string*)>;
// Installs the handler (an empty function removes it); returns the old one.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);

}  // namespace trx::ui

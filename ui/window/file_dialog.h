#pragma once
// The open and save file dialogs, taking the library-style filter string
// with "|" separators: "(*.png) | *.png |(*.*)|*.*||" is two filters,
// "(*.png)" matching "*.png" and "(*.*)" matching "*.*" (spaces around
// each part are dropped, several patterns may be joined with ";").
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

using FileDialogHandler = std::function<bool(const FileDialogRequest&, std::string*)>;
// Installs the handler (an empty function removes it); returns the old one.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);

}  // namespace trx::ui

#include "ui/window/file_dialog.h"

#include <sys/stat.h>

#include "platform/ini_file.h"
#include "platform/user_folders.h"
#include "ui/core/resource_manager.h"

namespace trx::ui {
namespace {

FileDialogHandler& Handler() {
  static FileDialogHandler handler;
  return handler;
}

std::string Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return std::string(s.substr(first, last - first + 1));
}

bool HasExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

constexpr const char* kFolderSection = "FILEDIALOG";

// The language text `id`, or `fallback` when the language has none.
std::string Text(const std::string& id, std::string_view fallback) {
  const std::string text = CResourceManager::GetInstance()->GetText(id);
  return text.empty() || text == id ? std::string(fallback) : text;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string RememberedFolder(const std::string& kind) {
  std::string folder;
  GetPrivateProfileString(kFolderSection, kind, "", folder, MainIniPath(), 4096);
  return IsFolder(folder) ? folder : DocumentsFolder();
}

void RememberFolder(const std::string& kind, const std::string& chosen) {
  const auto slash = chosen.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return;
  WritePrivateProfileString(kFolderSection, kind, chosen.substr(0, slash), MainIniPath());
}

// "(*.mac)" or "" stands for no description of its own.
bool OnlyPatterns(const std::string& description, const std::string& patterns) {
  return description.empty() || description == "(" + patterns + ")" || description == patterns;
}

void DescribeFilters(FileDialogRequest& request, const std::string& kind) {
  for (auto& [description, patterns] : request.filters) {
    if (!OnlyPatterns(description, patterns)) continue;
    const bool all = patterns == "*" || patterns == "*.*";
    description = Text(all ? std::string("dlg_filter_all") : "dlg_filter_" + kind, "");
  }
}

bool Run(bool save, HWND owner, std::string_view filter, std::string_view default_extension,
         std::string_view initial_name, std::string* path) {
  FileDialogRequest request;
  request.save = save;
  request.owner = owner;
  request.initial_name = std::string(initial_name);
  request.default_extension = std::string(default_extension);
  request.filters = ParseFileFilter(filter);
  request.overwrite_prompt = save;
  const std::string kind = FileDialogKind(default_extension);
  const char* verb = save ? "dlg_save_" : "dlg_open_";
  request.title = Text(verb + kind, Text(std::string(verb) + "file", "TRX770"));
  request.initial_folder = RememberedFolder(kind);
  request.language = CResourceManager::GetInstance()->GetLanguage();
  DescribeFilters(request, kind);
  std::string chosen;
  bool ok = false;
  if (Handler()) {
    ok = Handler()(request, &chosen);
  } else if (IWindowBackend* backend = GetWindowBackend()) {
    ok = backend->RunFileDialog(request, &chosen);
  }
  if (!ok || chosen.empty()) return false;
  if (save && !request.default_extension.empty() && !HasExtension(chosen))
    chosen += "." + request.default_extension;
  RememberFolder(kind, chosen);
  if (path) *path = chosen;
  return true;
}

}  // namespace

std::string FileDialogKind(std::string_view default_extension) {
  return default_extension.empty() ? std::string("file") : std::string(default_extension);
}

std::vector<std::pair<std::string, std::string>> ParseFileFilter(std::string_view filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= filter.size()) {
    const auto bar = filter.find('|', start);
    const auto end = bar == std::string_view::npos ? filter.size() : bar;
    parts.push_back(Trim(filter.substr(start, end - start)));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  std::vector<std::pair<std::string, std::string>> filters;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty() && parts[i + 1].empty()) break;  // the "||" terminator
    if (parts[i + 1].empty()) continue;
    filters.emplace_back(parts[i], parts[i + 1]);
  }
  return filters;
}

bool ShowOpenFileDialog(HWND owner, std::string_view filter, std::string_view default_extension,
                        std::string_view initial_name, std::string* path) {
  return Run(false, owner, filter, default_extension, initial_name, path);
}

bool ShowSaveFileDialog(HWND owner, std::string_view filter, std::string_view default_extension,
                        std::string_view initial_name, std::string* path) {
  return Run(true, owner, filter, default_extension, initial_name, path);
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) {
  FileDialogHandler old = std::move(Handler());
  Handler() = std::move(handler);
  return old;
}

}  // namespace trx::ui

#include "ui/window/tray_icon.h"

#include <map>

#include "ui/core/paint_manager.h"
#include "ui/window/win_api.h"

namespace trx::ui {
namespace {
std::map<UINT, std::string>& IconFiles() {  // UI thread only
  static std::map<UINT, std::string> files;
  return files;
}
}  // namespace

CTrayIcon::CTrayIcon() = default;

CTrayIcon::~CTrayIcon() { DeleteTrayIcon(); }

void CTrayIcon::CreateTrayIcon(HWND hwnd, UINT icon_id, const char* tooltip, UINT message) {
  DeleteTrayIcon();
  if (!IsWindow(hwnd)) return;
  hwnd_ = hwnd;
  icon_id_ = icon_id;
  message_ = message;
  tooltip_ = tooltip ? tooltip : "";
  if (IWindowBackend* backend = GetWindowBackend()) {
    const std::string file = IconFile(icon_id);
    native_ = backend->CreateTrayIcon([this](UINT mouse) { OnIconMouse(mouse); },
                                      file.empty() ? file : CPaintManagerUI::ResolveResourceFile(file),
                                      tooltip_);
    no_system_tray_ = native_ == nullptr;
  }
}

bool CTrayIcon::NoSystemTray() const { return no_system_tray_ || (native_ != nullptr && !native_->Available()); }

bool CTrayIcon::ShowNotification(std::string_view title, std::string_view text) {
  return native_ != nullptr && native_->Notify(title, text);
}

void CTrayIcon::DeleteTrayIcon() {
  native_.reset();
  no_system_tray_ = false;
  hwnd_ = nullptr;
}

void CTrayIcon::SetTooltipText(const char* tooltip) {
  tooltip_ = tooltip ? tooltip : "";
  if (native_) native_->SetToolTip(tooltip_);
}

void CTrayIcon::OnIconMouse(UINT mouse_message) {
  if (hwnd_ == nullptr) return;
  PostMessage(hwnd_, message_, icon_id_, static_cast<LPARAM>(mouse_message));
}

void CTrayIcon::RegisterIconFile(UINT icon_id, std::string_view file) {
  IconFiles()[icon_id] = std::string(file);
}

std::string CTrayIcon::IconFile(UINT icon_id) {
  auto it = IconFiles().find(icon_id);
  return it == IconFiles().end() ? std::string() : it->second;
}

}  // namespace trx::ui

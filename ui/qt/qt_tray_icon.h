#pragma once
// QtTrayIcon: the tray icon through QSystemTrayIcon. A left click (or a
// double click) reports WM_LBUTTONUP, a context click WM_RBUTTONUP. Without
// an image file a small round icon is drawn. When the desktop has no tray
// yet, the icon waits for one (checked every two seconds) and shows itself
// once a tray host starts. Notifications go to the desktop's notification
// service (org.freedesktop.Notifications), else through the tray icon.
// UI thread only.

#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <memory>

#include "ui/window/window_backend.h"

namespace trx::ui::qt {

class QtTrayIcon : public INativeTrayIcon {
 public:
  static std::unique_ptr<INativeTrayIcon> Create(std::function<void(UINT)> on_mouse, std::string_view icon_path,
                                                 std::string_view tooltip);
  ~QtTrayIcon() override;
  void SetToolTip(std::string_view tip) override;
  void SetVisible(bool visible) override;
  bool Available() const override { return shown_; }
  bool Notify(std::string_view title, std::string_view text) override;

 private:
  QtTrayIcon() = default;
  void ShowWhenTrayExists();
  std::unique_ptr<QSystemTrayIcon> icon_;
  QTimer wait_for_tray_;
  bool shown_ = false;
  bool visible_ = true;
};

}  // namespace trx::ui::qt

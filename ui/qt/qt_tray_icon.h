#pragma once
// QtTrayIcon: the tray icon through QSystemTrayIcon. A left click (or a
// double click) reports WM_LBUTTONUP, a context click WM_RBUTTONUP. Without
// an image file a small round icon is drawn. Create returns null when the
// desktop has no tray. UI thread only.

#include <QSystemTrayIcon>

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

 private:
  QtTrayIcon() = default;
  std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace trx::ui::qt

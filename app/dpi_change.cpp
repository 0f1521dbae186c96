#include "app/dpi_change.h"

#include "ui/core/control.h"
#include "ui/core/paint_manager.h"
#include "ui/window/win_api.h"

namespace trx::app {

void ApplyDpiChange(ui::CPaintManagerUI& pm, ui::WPARAM wparam, ui::LPARAM lparam,
                    const std::function<void(const ui::UiRect&)>& move) {
  pm.SetDPI(static_cast<int>(ui::LoWord(wparam)));
  pm.ResetDPIAssets();
  if (const auto* rc = reinterpret_cast<const ui::UiRect*>(lparam)) move(*rc);
  if (ui::CControlUI* root = pm.GetRoot()) root->NeedUpdate();
}

}  // namespace trx::app

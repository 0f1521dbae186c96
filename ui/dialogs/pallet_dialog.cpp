#include "ui/dialogs/pallet_dialog.h"

#include <charconv>
#include <string_view>

#include "platform/debug_log.h"
#include "ui/dialogs/dialog_hook.h"
#include "ui/dialogs/modal_owner.h"
#include "ui/dialogs/msg_wnd.h"
#include "ui/dialogs/preset_colors.h"
#include "ui/window/screen_placement.h"
#include "ui/window/message_queue.h"

namespace trx::ui {
namespace {

// "ms_dpi_color_png_12" → 12; -1 for other names or a tail that is not a
// whole decimal number.
int PresetIndex(std::string_view name) {
  const size_t cut = name.rfind('_');
  if (cut == std::string_view::npos || name.substr(0, cut) != kPalletPresetPrefix) return -1;
  const std::string_view tail = name.substr(cut + 1);
  int index = -1;
  const auto [end, ec] = std::from_chars(tail.data(), tail.data() + tail.size(), index);
  if (ec != std::errc() || end != tail.data() + tail.size() || tail.empty()) return -1;
  return index;
}

}  // namespace

CPalletDialog::CPalletDialog(UiColor initial_color) : m_color(initial_color) {}

void CPalletDialog::InitWindow() {
  m_btn_cancel = m_pm.FindControl(kPalletBtnCancelName);
  m_btn_ok = m_pm.FindControl(kPalletBtnOkName);
  if (CControlUI* pallet = m_pm.FindControl(kPalletName))
    m_pallet = static_cast<CColorPaletteUI*>(pallet->GetInterface("ColorPalette"));
  if (m_pallet) m_pallet->SetSelectColor(m_color);
  if (CControlUI* show = m_pm.FindControl(kPalletShowName)) {
    show->SetBkImage("");
    show->SetBkColor(m_color);
    show->Invalidate();
  }
  if (m_pallet) m_pallet->SetSelectColor(m_color);
  RunDialogHook(*this, kPalletDialogClassName);
}

UiColor CPalletDialog::GetShownColor() {
  if (CControlUI* show = m_pm.FindControl(kPalletShowName)) return show->GetBkColor();
  if (m_pallet) return m_pallet->GetSelectColor();
  return m_color;
}

void CPalletDialog::ShowColor(UiColor color) {
  if (CControlUI* show = m_pm.FindControl(kPalletShowName)) {
    show->SetBkImage("");
    show->SetBkColor(color);
    show->Invalidate();
  }
  if (m_pallet) m_pallet->SetSelectColor(color);
}

void CPalletDialog::Notify(TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (msg.sType == kNotifyClick) {
    if (name == kPalletCloseName || msg.pSender == m_btn_cancel) {
      Close(kPalletResultClosed);
    } else if (name == kPalletOkName || msg.pSender == m_btn_ok) {
      if (m_pallet == nullptr) {
        Close(kPalletResultClosed);  // the caller keeps its colour
        return;
      }
      CControlUI* show = m_pm.FindControl(kPalletShowName);
      m_color = show ? show->GetBkColor() : 0;
      Close(kPalletResultOk);
    } else if (const int index = PresetIndex(name); index >= 0) {
      DebugLine(kDebugPresetClicked);
      UiColor color = 0;
      if (GetPresetColor(index, &color)) ShowColor(color);
    }
    return;
  }
  if (msg.sType == kNotifyColorChanged && name == kPalletName && m_pallet != nullptr) {
    ShowColor(m_pallet->GetSelectColor());
  }
}

int RunPalletDialog(HWND owner, UiColor initial_color, UiPoint cursor, UiColor* color) {
  if (!CMessageQueue::Instance().IsUiThread()) {
    DebugLine("palette dialog: not on the UI thread, not opened");
    return -1;
  }
  auto* dialog = new CPalletDialog(initial_color);
  const std::string title = DialogTitle(kPalletTitleTextId);
  const HWND hwnd = dialog->Create(owner, title.c_str(), kPalletDialogStyle, kPalletDialogExStyle, 0, 0,
                                   800, 572);
  if (hwnd == nullptr) {
    delete dialog;  // OnFinalMessage does not delete the palette dialog
    return -1;
  }
  const UiRect own = dialog->GetWindowRect();
  const UiPoint at = KeepOnWorkArea({cursor.x - 20, cursor.y + 20}, own.Width(), own.Height());
  dialog->SetWindowPos(nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  LeaveOwnerHover(owner);
  const UINT result = dialog->ShowModal();
  LeaveOwnerHoverLater(owner);
  if (CWindowWnd::FromHandle(hwnd) != nullptr) dialog->DestroyWindow();
  if (result == kPalletResultOk && color != nullptr) *color = dialog->GetColor();
  delete dialog;
  return static_cast<int>(result);
}

}  // namespace trx::ui

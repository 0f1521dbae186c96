#pragma once
// The colour palette dialog ("GmPalletDialog.xml"): a palette control
// "Pallet", a preview "color_show_btn", the 30 preset buttons
// "ms_dpi_color_png_0" … "ms_dpi_color_png_29", "okbtn" and "closebtn".
//
// Results of ShowModal: 1 = OK (GetColor() is the chosen colour), 2 = closed,
// cancelled, or OK without a palette in the layout. The colour member
// changes only on OK; clicking presets or the palette only changes what is
// shown. Escape and other ways of closing give 0 (not OK).
//
// Lifetime: the caller creates the window, places it, runs it modally and
// deletes the object (the dialog never deletes itself). UI thread only.
// Tests answer it through SetDialogHook (dialog_hook.h).

#include <string>

#include "ui/core/color_palette.h"
#include "ui/dialogs/frameless_dialog.h"

namespace trx::ui {

inline constexpr const char* kPalletDialogClassName = "UIPalletDialog";
inline constexpr const char* kPalletDialogSkin = "GmPalletDialog.xml";
inline constexpr const char* kPalletName = "Pallet";
inline constexpr const char* kPalletShowName = "color_show_btn";
inline constexpr const char* kPalletOkName = "okbtn";
inline constexpr const char* kPalletCloseName = "closebtn";
inline constexpr const char* kPalletBtnOkName = "Pallet_BTN_OK";
inline constexpr const char* kPalletBtnCancelName = "Pallet_BTN_CANCEL";
inline constexpr const char* kPalletPresetPrefix = "ms_dpi_color_png";  // + "_" + index
inline constexpr const char* kDebugPresetClicked = "hongse";

inline constexpr UINT kPalletResultOk = 1;
inline constexpr UINT kPalletResultClosed = 2;

// How the main window opens it from a colour button.
inline constexpr const char* kPalletDialogTitle = "Dazudi调色板";
// The language text the window is titled with.
inline constexpr const char* kPalletTitleTextId = "dlg_pallet_title";
inline constexpr DWORD kPalletDialogStyle = 0x96C80000;
inline constexpr DWORD kPalletDialogExStyle = WS_EX_WINDOWEDGE;

class CPalletDialog : public CFramelessDialog {
 public:
  explicit CPalletDialog(UiColor initial_color);

  // The initial colour, or the chosen one after OK.
  UiColor GetColor() const { return m_color; }
  // What the dialog shows now (preview, else palette, else the member).
  UiColor GetShownColor();

  void Notify(TNotifyUI& msg) override;

 protected:
  const char* GetWindowClassName() const override { return kPalletDialogClassName; }
  std::string GetSkinFile() override { return m_skin_file; }
  void InitWindow() override;
  void OnFinalMessage(HWND) override {}
  // Enter confirms the colour.
  const char* DefaultButtonName() const override { return kPalletOkName; }

 private:
  void ShowColor(UiColor color);

  std::string m_skin_file = kPalletDialogSkin;
  CColorPaletteUI* m_pallet = nullptr;
  CControlUI* m_btn_ok = nullptr;
  CControlUI* m_btn_cancel = nullptr;
  UiColor m_color = 0;
};

// Opens the dialog the way the colour buttons do: owned by `owner`, titled
// with the language text "dlg_pallet_title", placed 20 px left of and 20 px
// below the cursor point (screen coordinates) at the layout's size, moved
// onto the work area where that would leave it, run modally, destroyed.
// Returns 1 with *color set on OK; otherwise the result (2 or 0) and
// *color untouched. -1 when the window cannot be created or the caller is
// not on the UI thread.
int RunPalletDialog(HWND owner, UiColor initial_color, UiPoint cursor, UiColor* color);

}  // namespace trx::ui

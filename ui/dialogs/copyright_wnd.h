#pragma once
// Ccopyright: the about window ("CopyRight.xml"), opened from the tray
// menu's "About_setting". Frameless and dragged by its caption like the
// palette dialog (frameless_dialog.h); it shows the program's version in
// "about_version_value" and the licences of the libraries it uses (Qt under
// the LGPLv3, pugixml under the MIT licence) as language texts.
//
//   "click" on "closebtn"  closes the window (result 2)
//   "click" on "NetText"   opens kProjectWebPage, a fixed https URL, through
//                          the desktop's URL handler (url_opener.h); never
//                          a shell command
//
// Not modal: every request opens a new window. The object deletes itself
// when its window is gone (closed, or destroyed with its owner).
// UI thread only.

#include <string>

#include "ui/dialogs/frameless_dialog.h"

namespace trx::ui {

inline constexpr const char* kCopyrightClassName = "UICOPYRIGHT";
inline constexpr const char* kCopyrightSkin = "CopyRight.xml";
inline constexpr const char* kCopyrightLinkName = "NetText";
inline constexpr const char* kCopyrightCloseName = "closebtn";
inline constexpr const char* kCopyrightVersionName = "about_version_value";
inline constexpr UINT kCopyrightResultClosed = 2;
// The project's web page: the only address the window opens.
inline constexpr const char* kProjectWebPage = "https://example.org/trx770";

// How the main window creates it.
inline constexpr const char* kCopyrightTitle = "关于";
// The language text the window is titled with.
inline constexpr const char* kCopyrightTitleTextId = "about_title";
inline constexpr DWORD kCopyrightStyle = 0x96C80000;
inline constexpr DWORD kCopyrightExStyle = WS_EX_WINDOWEDGE;

// The program's version ("0.1.0").
const char* ProgramVersion();

class Ccopyright : public CFramelessDialog {
 public:
  Ccopyright();
  ~Ccopyright() override;
  void Notify(TNotifyUI& msg) override;

 protected:
  const char* GetWindowClassName() const override { return kCopyrightClassName; }
  std::string GetSkinFile() override { return m_skin_file; }
  void InitWindow() override;
  void OnFinalMessage(HWND) override;

 private:
  std::string m_skin_file = kCopyrightSkin;
  CControlUI* m_link = nullptr;
};

// Opens a new about window owned by `owner` and shows it at x = twice the
// owner's left edge, y = half the owner's bottom edge minus 80 (moved back
// onto the work area when that would leave it), at the layout's size.
// Returns its handle, or null when it cannot be created or the caller is
// not on the UI thread.
HWND OpenAboutWindow(HWND owner);

}  // namespace trx::ui

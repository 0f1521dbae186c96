#pragma once
// The skin chooser that drops down from the title-bar button "skinbtn"
// (kept on the work area when the main window lies past an edge)
// ("skin.xml"): listed background images ("skin_image_btn", the image name
// in the user data), plain colours ("skin_color_btn", the colour is the
// button's background colour), page switches "skin_image" / "skin_color"
// over "skin_tab", "skin_reset" and "skin_Custom" (an image file of the
// user's through the open-file dialog).
//
// Every choice is broadcast through SkinObserver() as a SkinChangedParam.
// What survives a restart ("main.ini", section "SKINIMAGE"): a listed image
// ("FLAGS" = 1, "IMAGE" = its name) and reset ("FLAGS" = 0, "IMAGE" =
// "common/background.png"). Colours and custom images are for this run only.
// "skin_Custom" closes the chooser and then runs the open-file dialog from
// the message queue, owned by the main window.
//
// Lifetime: CSkinFrame::Open creates and shows a chooser; it closes when it
// loses the focus, is deactivated or sees a mouse press outside itself, and
// deletes itself. UI thread only.

#include <string>

#include "ui/dialogs/skin_observer.h"
#include "ui/window/window_impl_base.h"

namespace trx::ui {

inline constexpr const char* kSkinFrameClassName = "UISkinFrame";
inline constexpr const char* kSkinFrameTitle = "skinframe";
inline constexpr const char* kSkinFrameSkin = "skin.xml";
inline constexpr const char* kSkinImageBtnName = "skin_image_btn";
inline constexpr const char* kSkinColorBtnName = "skin_color_btn";
inline constexpr const char* kSkinColorPageName = "skin_color";
inline constexpr const char* kSkinImagePageName = "skin_image";
inline constexpr const char* kSkinTabName = "skin_tab";
inline constexpr const char* kSkinResetName = "skin_reset";
inline constexpr const char* kSkinCustomName = "skin_Custom";
inline constexpr const char* kSkinCustomFilter = "(*.png) | *.png |(*.*)|*.*||";
inline constexpr DWORD kSkinFrameStyle = WS_POPUP | WS_VISIBLE;                                 // 0x90000000
inline constexpr DWORD kSkinFrameExStyle = WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;  // 0x08000088

// "main.ini" keys of the skin and language choices.
inline constexpr const char* kSkinIniSection = "SKINIMAGE";
inline constexpr const char* kSkinIniFlags = "FLAGS";
inline constexpr const char* kSkinIniImage = "IMAGE";
inline constexpr const char* kSkinIniColor = "COLOR";  // "AARRGGBB" in hex, with "FLAGS" = 2
inline constexpr const char* kDefaultBackgroundImage = "common/background.png";

// The background image remembered in "main.ini": true and *image when
// "FLAGS" reads 1 (a listed image is in force), false otherwise.
bool ReadStoredSkinImage(std::string* image);
// The background remembered in "main.ini": a listed image ("FLAGS" 1) or a
// colour of the chooser ("FLAGS" 2, "COLOR"); false for the default.
bool ReadStoredSkin(SkinChangedParam* skin);

// The chooser marks the background in force (a ring around its swatch);
// a colour it offers is remembered like a listed image.
class CSkinFrame : public WindowImplBase {
 public:
  // main_wnd: the main window; skin_button: the button the chooser drops
  // down from (a control of the main window's layout; may be null).
  CSkinFrame(HWND main_wnd, CControlUI* skin_button);

  // Creates the chooser under the skin button and shows it without
  // activating; the object deletes itself when closed. Null when the
  // layout cannot be built or the caller is not on the UI thread.
  static CSkinFrame* Open(HWND main_wnd, CControlUI* skin_button);

  // Click handling by sender name (see the header comment).
  void OnClick(TNotifyUI& msg) override;
  // "click" → OnClick; the page switches also answer "selectchanged".
  void Notify(TNotifyUI& msg) override;

 protected:
  const char* GetWindowClassName() const override { return kSkinFrameClassName; }
  std::string GetSkinFile() override { return kSkinFrameSkin; }
  void InitWindow() override;
  void OnFinalMessage(HWND hwnd) override;
  LRESULT HandleCustomMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  void SelectPage(int page);
  void MarkChosen();  // the ring around the background in force

  HWND main_wnd_ = nullptr;
  CControlUI* skin_button_ = nullptr;
};

}  // namespace trx::ui

#pragma once
// The message box: one language text with a confirm and a cancel button,
// built from the layout "XML_MSG" of the resource index ("MessageTitle",
// "MessageText", "confirm_btn", "cancel_btn", "closebtn").
//
// Results: 1 for "confirm_btn"; 0 for "cancel_btn", "closebtn", Escape or
// any other way of closing; 2 for "save_btn". Which buttons show depends on
// what the message needs (MsgButtons): a notice has only its confirm button
// (titled OK), a question confirm and cancel, the question about unsaved
// changes Save, Discard (the confirm button) and Cancel. Enter clicks the
// first of Save and confirm that shows. The window's title is the
// language text "dlg_msg_title". The self-closing notice shows
// "message_text_20" and closes itself with 0 after one 500 ms tick of
// timer 1.
//
// UI thread only (the thread of the first window or of the message loop):
// called on another thread, ShowMessage and the notice return 0 at once
// with a debug line. The box is modal and deletes itself
// when its window is gone. Tests answer it through SetDialogHook
// (dialog_hook.h).

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text_ids.h"
#include "ui/window/window_impl_base.h"

namespace trx::ui {

inline constexpr const char* kMsgWndClassName = "MsgWnd";
inline constexpr const char* kMsgWndTitle = "msgwnd";
inline constexpr const char* kMsgWndSkin = "XML_MSG";
inline constexpr const char* kMsgTitleName = "MessageTitle";
inline constexpr const char* kMsgTextName = "MessageText";
inline constexpr const char* kMsgConfirmName = "confirm_btn";
inline constexpr const char* kMsgCancelName = "cancel_btn";
inline constexpr const char* kMsgCloseName = "closebtn";
inline constexpr const char* kMsgSaveName = "save_btn";
inline constexpr const char* kMsgTitleTextId = "dlg_msg_title";
inline constexpr const char* kSelfClosingNoticeTextId = text::kDeviceGone;
inline constexpr UINT kSelfClosingTimerId = 1;
inline constexpr UINT kSelfClosingDelayMs = 500;

inline constexpr int kMsgResultConfirm = 1;
inline constexpr int kMsgResultCancel = 0;
inline constexpr int kMsgResultSave = 2;

// The buttons a message needs.
enum class MsgButtons {
  Question,      // confirm ("dlg_confirm") and cancel
  Notice,        // confirm only, titled "dlg_ok"
  SaveQuestion,  // save ("dlg_save"), confirm titled "dlg_discard", cancel
};

// The title of a dialog window: the language text `text_id`, else "TRX770".
std::string DialogTitle(std::string_view text_id);

// Shows the box owned by `owner` (may be null), centred, and runs it
// modally. `text` is a language text id when is_id is true (every caller
// passes one, e.g. "message_text_1"), else literal text; an empty text
// leaves the layout's text. Returns 1 (confirm) or 0 (anything else,
// including a layout that cannot be built); 2 (save) with SaveQuestion.
int ShowMessage(HWND owner, std::string_view text, bool is_id = true, MsgButtons buttons = MsgButtons::Question);

// Shows "message_text_20" and closes it by itself after 500 ms (result 0).
void ShowSelfClosingNotice(HWND owner);

class CMsgWnd : public WindowImplBase {
 public:
  CMsgWnd() = default;

  // Sets "MessageText" (when the layout has it and text is not empty),
  // marking it as a language id when is_id. Call after Create.
  void SetMessage(std::string_view text, bool is_id);
  // Starts the self-closing timer (timer 1, 500 ms). Call after Create.
  void StartSelfClosing();
  // Shows the buttons `buttons` needs and titles them. Call after Create.
  void SetButtons(MsgButtons buttons);
  // The raw text of "MessageText" (the id for language texts), "" without it.
  std::string GetMessageText();
  std::uint32_t GetTickCount() const { return ticks_; }

  void InitWindow() override;
  // Names compared without regard to case: "closebtn" → 0,
  // "confirm_btn" → 1, "cancel_btn" → 0; others do nothing.
  void OnClick(TNotifyUI& msg) override;

 protected:
  const char* GetWindowClassName() const override { return kMsgWndClassName; }
  std::string GetSkinFile() override { return kMsgWndSkin; }
  void OnFinalMessage(HWND hwnd) override;
  LRESULT OnSysCommand(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
  LRESULT HandleCustomMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
  // Timer 1 counts ticks; at one tick it stops and closes the box with 0.
  void OnTimer(UINT_PTR id);
  const char* DefaultButtonName() const override { return default_button_; }

 private:
  CControlUI* close_btn_ = nullptr;
  std::uint32_t ticks_ = 0;
  const char* default_button_ = kMsgConfirmName;
};

}  // namespace trx::ui

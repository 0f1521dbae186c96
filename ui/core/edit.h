#pragma once
// CEditUI: a one-line text field. While it has the focus the host edits
// through a native line edit (IPaintHost::BeginEdit) and reports each change
// with OnNativeTextChanged; without a host the edit takes UIEVENT_CHAR and
// Backspace itself. Either way the text is filtered (number-only keeps
// digits, max length counts characters) and every user change raises
// "textchanged"; losing the focus raises "killfocus" (from the manager).
// SetText from code does not notify. UI thread only.

#include "ui/core/label.h"

namespace trx::ui {

class CEditUI : public CLabelUI {
 public:
  CEditUI();
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  bool IsFocusable() const override { return true; }

  // Applies number-only and max length before storing.
  void SetText(std::string_view text) override;
  bool IsNumberOnly() const { return numberOnly_; }
  void SetNumberOnly(bool on) { numberOnly_ = on; }
  int GetMaxChar() const { return maxChar_; }
  void SetMaxChar(int n);  // characters (code points); <= 0 means 255
  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on) { readOnly_ = on; }
  bool IsPasswordMode() const { return password_; }
  void SetPasswordMode(bool on) { password_ = on; Invalidate(); }
  UiColor GetNativeBkColor() const { return nativeBkColor_; }
  bool IsEditing() const { return nativeEditing_; }

  // Backend callbacks (UI thread): the user changed the native editor's
  // text; returns the text after filtering, which the backend should show.
  std::string OnNativeTextChanged(std::string_view text);
  void OnNativeEditDone();

  bool SetAttribute(std::string_view name, std::string_view value) override;
  void DoEvent(TEventUI& event) override;
  void PaintText(IRenderer& r) override;
  void PaintStatusImage(IRenderer& r) override;

 private:
  std::string Filter(std::string_view text) const;
  void UserSetText(std::string text);
  bool numberOnly_ = false;
  bool readOnly_ = false;
  bool password_ = false;
  bool nativeEditing_ = false;
  int maxChar_ = 255;
  UiColor nativeBkColor_ = 0xFFFFFFFF;
  std::string normalImage_, hotImage_, focusedImage_, disabledImage_;
  bool hot_ = false;
};

}  // namespace trx::ui

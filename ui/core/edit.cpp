#include "ui/core/edit.h"

#include "ui/core/paint_manager.h"

namespace trx::ui {

namespace {

// Number of UTF-8 code points.
size_t CountCodePoints(std::string_view s) {
  size_t n = 0;
  for (unsigned char c : s) {
    if ((c & 0xC0) != 0x80) ++n;
  }
  return n;
}

// Prefix holding at most `max` code points.
std::string_view FirstCodePoints(std::string_view s, size_t max) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (n == max) return s.substr(0, i);
      ++n;
    }
  }
  return s;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x110000) {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void PopCodePoint(std::string& s) {
  while (!s.empty()) {
    unsigned char c = static_cast<unsigned char>(s.back());
    s.pop_back();
    if ((c & 0xC0) != 0x80) return;
  }
}

}  // namespace

CEditUI::CEditUI() {
  textStyle_ = DT_VCENTER | DT_SINGLELINE;
  textPadding_ = {4, 3, 4, 3};
}

std::string_view CEditUI::GetClass() const { return "EditUI"; }

void* CEditUI::GetInterface(std::string_view name) {
  if (name == "Edit") return this;
  return CLabelUI::GetInterface(name);
}

std::string CEditUI::Filter(std::string_view text) const {
  std::string out;
  if (numberOnly_) {
    for (char c : text) {
      if (c >= '0' && c <= '9') out.push_back(c);
    }
  } else {
    // One line only: line breaks pasted in are dropped.
    for (char c : text) {
      if (c != '\n' && c != '\r') out.push_back(c);
    }
  }
  return std::string(FirstCodePoints(out, static_cast<size_t>(maxChar_)));
}

void CEditUI::SetText(std::string_view text) {
  std::string before = text_;
  CLabelUI::SetText(Filter(text));
  if (nativeEditing_ && text_ != before && manager_ != nullptr && manager_->GetHost() != nullptr) {
    manager_->GetHost()->OnEditTextSet(this);
  }
}

void CEditUI::SetMaxChar(int n) {
  maxChar_ = n > 0 ? n : 255;
  if (CountCodePoints(text_) > static_cast<size_t>(maxChar_)) SetText(text_);
}

void CEditUI::UserSetText(std::string text) {
  std::string filtered = Filter(text);
  if (filtered == text_) return;
  text_ = std::move(filtered);
  Invalidate();
  Notify(kNotifyTextChanged);
}

std::string CEditUI::OnNativeTextChanged(std::string_view text) {
  if (!readOnly_) UserSetText(std::string(text));
  return text_;
}

void CEditUI::OnNativeEditDone() {
  nativeEditing_ = false;
  Invalidate();
}

bool CEditUI::SetAttribute(std::string_view name, std::string_view value) {
  UiColor color = 0;
  if (name == "numberonly") {
    SetNumberOnly(ParseBool(value));
    if (numberOnly_) SetText(text_);
  } else if (name == "maxchar") {
    SetMaxChar(ParseInt(value));
  } else if (name == "readonly") {
    SetReadOnly(ParseBool(value));
  } else if (name == "password") {
    SetPasswordMode(ParseBool(value));
  } else if (name == "nativebkcolor") {
    if (ParseColor(value, &color)) nativeBkColor_ = color;
  } else if (name == "normalimage") {
    normalImage_ = value;
  } else if (name == "hotimage") {
    hotImage_ = value;
  } else if (name == "focusedimage") {
    focusedImage_ = value;
  } else if (name == "disabledimage") {
    disabledImage_ = value;
  } else {
    return CLabelUI::SetAttribute(name, value);
  }
  return true;
}

void CEditUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_SETFOCUS: {
      CLabelUI::DoEvent(event);
      IPaintHost* host = manager_ != nullptr ? manager_->GetHost() : nullptr;
      nativeEditing_ = host != nullptr && !readOnly_ && host->BeginEdit(this);
      return;
    }
    case UIEVENT_KILLFOCUS: {
      if (nativeEditing_) {
        nativeEditing_ = false;
        if (manager_ != nullptr && manager_->GetHost() != nullptr) manager_->GetHost()->EndEdit(this);
      }
      CLabelUI::DoEvent(event);
      return;
    }
    case UIEVENT_MOUSEENTER:
      hot_ = true;
      Invalidate();
      return;
    case UIEVENT_MOUSELEAVE:
      hot_ = false;
      Invalidate();
      return;
    case UIEVENT_CHAR:
      // Without a native editor the edit types for itself.
      if (!nativeEditing_ && !readOnly_ && event.chKey >= 0x20 && event.chKey != 0x7F) {
        std::string t = text_;
        AppendUtf8(t, event.chKey);
        UserSetText(std::move(t));
      }
      return;
    case UIEVENT_KEYDOWN:
      if (!nativeEditing_ && !readOnly_ && event.chKey == VK_BACK && !text_.empty()) {
        std::string t = text_;
        PopCodePoint(t);
        UserSetText(std::move(t));
        return;
      }
      if (event.chKey == VK_RETURN) {
        Notify(kNotifyReturn);
        return;
      }
      return;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

void CEditUI::PaintStatusImage(IRenderer& r) {
  bool drawn = false;
  if (!IsEnabled() && !disabledImage_.empty()) drawn = DrawImage(r, disabledImage_);
  else if (focused_ && !focusedImage_.empty()) drawn = DrawImage(r, focusedImage_);
  else if (hot_ && !hotImage_.empty()) drawn = DrawImage(r, hotImage_);
  if (!drawn && !normalImage_.empty()) DrawImage(r, normalImage_);
}

void CEditUI::PaintText(IRenderer& r) {
  // The native editor draws the text while editing.
  if (nativeEditing_) return;
  std::string shown = GetText();
  if (password_) shown.assign(CountCodePoints(shown), '*');
  DrawTextIn(r, rcItem_.Deflate(textPadding_), shown, CurrentTextColor());
}

}  // namespace trx::ui

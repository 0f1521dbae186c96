#include "ui/core/label.h"

#include "ui/core/paint_manager.h"

namespace trx::ui {

namespace {

// "align"/"valign" words to style bits.
unsigned ApplyAlign(unsigned style, std::string_view value, bool vertical) {
  if (!vertical) {
    style &= ~static_cast<unsigned>(DT_CENTER | DT_RIGHT);
    if (value == "center") style |= DT_CENTER;
    else if (value == "right") style |= DT_RIGHT;
  } else {
    style &= ~static_cast<unsigned>(DT_VCENTER | DT_BOTTOM);
    if (value == "center" || value == "vcenter") style |= DT_VCENTER;
    else if (value == "bottom") style |= DT_BOTTOM;
  }
  return style;
}

}  // namespace

CLabelUI::CLabelUI() = default;

std::string_view CLabelUI::GetClass() const { return "LabelUI"; }

void* CLabelUI::GetInterface(std::string_view name) {
  if (name == "Label") return this;
  return CControlUI::GetInterface(name);
}

bool CLabelUI::SetAttribute(std::string_view name, std::string_view value) {
  UiColor color = 0;
  UiRect rc;
  if (name == "font") {
    SetFont(ParseInt(value));
  } else if (name == "textcolor") {
    if (ParseColor(value, &color)) SetTextColor(color);
  } else if (name == "disabledtextcolor") {
    if (ParseColor(value, &color)) SetDisabledTextColor(color);
  } else if (name == "align") {
    // "center", "left", "right"; also "top"/"bottom"/"vcenter" words.
    if (value == "top" || value == "bottom" || value == "vcenter") {
      textStyle_ = ApplyAlign(textStyle_, value, true);
    } else {
      textStyle_ = ApplyAlign(textStyle_, value, false);
    }
    Invalidate();
  } else if (name == "valign") {
    textStyle_ = ApplyAlign(textStyle_, value, true);
    Invalidate();
  } else if (name == "textpadding") {
    if (ParseRect(value, &rc)) SetTextPadding(rc);
  } else if (name == "showhtml") {
    SetShowHtml(ParseBool(value));
  } else if (name == "endellipsis") {
    if (ParseBool(value)) textStyle_ |= DT_END_ELLIPSIS;
    else textStyle_ &= ~static_cast<unsigned>(DT_END_ELLIPSIS);
  } else if (name == "wordbreak" || name == "multiline") {
    if (ParseBool(value)) {
      textStyle_ = (textStyle_ & ~static_cast<unsigned>(DT_SINGLELINE)) | DT_WORDBREAK;
    } else {
      textStyle_ = (textStyle_ & ~static_cast<unsigned>(DT_WORDBREAK)) | DT_SINGLELINE;
    }
  } else if (name == "autocalcwidth" || name == "textshadow" || name == "enabledeffect") {
    // Accepted for layout compatibility.
  } else {
    return CControlUI::SetAttribute(name, value);
  }
  return true;
}

UiColor CLabelUI::CurrentTextColor() const {
  if (!IsEnabled() && disabledTextColor_ != 0) return disabledTextColor_;
  return textColor_ != 0 ? textColor_ : 0xFF000000;
}

void CLabelUI::DrawTextIn(IRenderer& r, const UiRect& rc, const std::string& text, UiColor color) {
  if (text.empty()) return;
  static const TFontInfo kFallback;
  const TFontInfo& font = manager_ != nullptr ? manager_->GetFont(font_) : kFallback;
  if (showHtml_) {
    r.DrawHtmlText(rc, text, color, font, textStyle_);
  } else {
    r.DrawText(rc, text, color, font, textStyle_);
  }
}

namespace {

// Over a strong tint (a lit key of the keyboard picture) the layout's text
// colour may vanish: the caption then takes black or white, whichever
// reads on the tint laid over the key's dark face.
UiColor CaptionOverTint(UiColor tint, int alpha, UiColor text) {
  if (alpha < 96) return text;
  constexpr int kFace = 0x30;  // the key image's face, about #303030
  auto channel = [&](int shift) { return (((tint >> shift) & 0xFF) * alpha + kFace * (255 - alpha)) / 255; };
  const int luma = (299 * channel(16) + 587 * channel(8) + 114 * channel(0)) / 1000;
  return luma > 140 ? 0xFF101317 : 0xFFFFFFFF;
}

}  // namespace

UiColor CLabelUI::TintLook(const TImageTint& tint) const {
  return IsChangerColor() ? CaptionOverTint(tint.color, tint.alpha, CurrentTextColor()) : 0;
}

void CLabelUI::PaintText(IRenderer& r) {
  UiColor color = CurrentTextColor();
  if (IsChangerColor()) color = CaptionOverTint(GetChangerColor(), GetChangerAlpha(), color);
  DrawTextIn(r, rcItem_.Deflate(textPadding_), GetText(), color);
}

CTextUI::CTextUI() { textStyle_ = DT_WORDBREAK; }

std::string_view CTextUI::GetClass() const { return "TextUI"; }

void* CTextUI::GetInterface(std::string_view name) {
  if (name == "Text") return this;
  return CLabelUI::GetInterface(name);
}

}  // namespace trx::ui

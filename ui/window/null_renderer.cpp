#include "ui/window/null_renderer.h"

namespace trx::ui {

UiSize NullRenderer::MeasureText(std::string_view text, const TFontInfo& font, int max_width) {
  int chars = 0;
  for (unsigned char c : text) chars += (c & 0xC0) != 0x80;  // count UTF-8 code points
  const int size = font.size > 0 ? font.size : 12;
  const int advance = size * 6 / 10 > 0 ? size * 6 / 10 : 1;
  int width = chars * advance;
  int lines = 1;
  if (max_width > 0 && width > max_width) {
    lines = (width + max_width - 1) / max_width;
    width = max_width;
  }
  return {width, lines * (size + size / 3)};
}

}  // namespace trx::ui

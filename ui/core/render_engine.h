#pragma once
// CRenderEngine: the library's drawing helpers for controls that paint
// themselves (the program's custom controls). They resolve a font index and
// an image description the way the built-in controls do and draw through
// the IRenderer of the current paint pass. UI thread, inside Paint only.

#include <string_view>

#include "ui/core/image_desc.h"
#include "ui/core/renderer.h"
#include "ui/core/ui_types.h"

namespace trx::ui {

class CPaintManagerUI;

class CRenderEngine {
 public:
  // Text with font index `font` of manager (-1 or unknown: default font).
  static void DrawText(IRenderer& r, CPaintManagerUI* manager, const UiRect& rc, std::string_view text,
                       UiColor color, int font, unsigned style);
  static void DrawHtmlText(IRenderer& r, CPaintManagerUI* manager, const UiRect& rc, std::string_view text,
                           UiColor color, unsigned style);
  // Draws an image description into rc (dest in the description is taken
  // relative to rc). Returns false when nothing was drawn (no file named or
  // the image could not be loaded).
  static bool DrawImageString(IRenderer& r, CPaintManagerUI* manager, const UiRect& rc, std::string_view image,
                              const TImageTint& tint = {});
};

}  // namespace trx::ui

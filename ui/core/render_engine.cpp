#include "ui/core/render_engine.h"

#include "ui/core/paint_manager.h"

namespace trx::ui {

namespace {

const TFontInfo& FontOf(CPaintManagerUI* manager, int font) {
  static const TFontInfo kFallback;
  return manager != nullptr ? manager->GetFont(font) : kFallback;
}

}  // namespace

void CRenderEngine::DrawText(IRenderer& r, CPaintManagerUI* manager, const UiRect& rc, std::string_view text,
                             UiColor color, int font, unsigned style) {
  if (text.empty() || rc.IsEmpty()) return;
  r.DrawText(rc, text, color, FontOf(manager, font), style);
}

void CRenderEngine::DrawHtmlText(IRenderer& r, CPaintManagerUI* manager, const UiRect& rc, std::string_view text,
                                 UiColor color, unsigned style) {
  if (text.empty() || rc.IsEmpty()) return;
  r.DrawHtmlText(rc, text, color, FontOf(manager, -1), style);
}

bool CRenderEngine::DrawImageString(IRenderer& r, CPaintManagerUI* /*manager*/, const UiRect& rc,
                                    std::string_view image, const TImageTint& tint) {
  TImageDesc desc;
  if (!ParseImageDesc(image, &desc)) return false;
  desc.path = CPaintManagerUI::ResolveResourceFile(desc.file);
  return r.DrawImage(rc, desc, tint);
}

}  // namespace trx::ui

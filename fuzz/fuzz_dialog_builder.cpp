// Fuzzes the layout builder with arbitrary XML text, then lays the tree out,
// paints it through a renderer that draws nothing and feeds it some input,
// so that whatever a layout declares is exercised end to end.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/debug_log.h"
#include "ui/core/dialog_builder.h"
#include "ui/core/paint_manager.h"
#include "ui/core/renderer.h"

namespace {

using namespace trx::ui;

class NullRenderer : public IRenderer {
 public:
  void FillRect(const UiRect&, UiColor) override {}
  void FillRoundRect(const UiRect&, int, int, UiColor) override {}
  void DrawBorder(const UiRect&, int, UiColor, int, int) override {}
  void DrawLine(UiPoint, UiPoint, int, UiColor) override {}
  void FillGradient(const UiRect&, UiColor, UiColor, bool) override {}
  void FillEllipse(const UiRect&, UiColor) override {}
  void FillPie(const UiRect&, double, double, UiColor) override {}
  bool DrawImage(const UiRect&, const TImageDesc&, const TImageTint&) override { return true; }
  void DrawPixels(const UiRect&, int w, int h, const UiColor* px) override {
    // Touch the whole buffer so a short one is caught.
    volatile UiColor sink = 0;
    for (long i = 0; i < static_cast<long>(w) * h; ++i) sink = sink + px[i];
  }
  void DrawText(const UiRect&, std::string_view, UiColor, const TFontInfo&, unsigned) override {}
  void DrawHtmlText(const UiRect&, std::string_view, UiColor, const TFontInfo&, unsigned) override {}
  UiSize MeasureText(std::string_view, const TFontInfo&, int) override { return {0, 0}; }
  void PushClip(const UiRect&, int, int) override {}
  void PopClip() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = [] {
    trx::SetDebugSink([](std::string_view) {});
    return true;
  }();
  (void)quiet;
  std::string xml(reinterpret_cast<const char*>(data), size);
  // Only text is fuzzed: names that are not XML would be read as files.
  if (xml.empty() || xml[0] != '<') return 0;
  CPaintManagerUI pm;
  CDialogBuilder builder;
  CControlUI* root = builder.Create(xml, {}, nullptr, &pm);
  if (root == nullptr) return 0;
  pm.AttachDialog(root);
  pm.SetClientSize({320, 240});
  NullRenderer r;
  pm.Paint(r, {0, 0, 320, 240});
  for (int y = 5; y < 240; y += 40) {
    for (int x = 5; x < 320; x += 60) {
      pm.OnMouseMove({x, y});
      pm.OnButtonDown({x, y});
      pm.OnMouseMove({x + 7, y + 3});
      pm.OnButtonUp({x + 7, y + 3});
      pm.OnMouseWheel({x, y}, -120);
    }
  }
  pm.OnKeyDown(trx::ui::VK_TAB);
  pm.OnChar('7');
  pm.OnKeyDown(trx::ui::VK_DOWN);
  pm.Paint(r, {0, 0, 320, 240});
  return 0;
}

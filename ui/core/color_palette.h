#pragma once
// CColorPaletteUI: colour picker painted through IRenderer. The upper area
// ("palletheight" pixels) spans hue left to right (0..360) and saturation
// top to bottom (1..0); the bar below it ("barheight") spans brightness left
// to right (0..1). Clicking or dragging in either part picks a colour and
// raises "colorchanged" (wParam: the ARGB colour); SetSelectColor selects
// silently. Colours are opaque ARGB. UI thread only.

#include <vector>

#include "ui/core/control.h"

namespace trx::ui {

struct HsvColor {
  double h = 0;  // 0..360
  double s = 0;  // 0..1
  double v = 0;  // 0..1
};
HsvColor RgbToHsv(UiColor argb);
UiColor HsvToRgb(const HsvColor& hsv);  // opaque result

class CColorPaletteUI : public CControlUI {
 public:
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;
  bool IsFocusable() const override { return true; }

  void SetSelectColor(UiColor color);
  UiColor GetSelectColor() const;
  const HsvColor& GetHsv() const { return hsv_; }
  int GetPalletHeight() const { return palletHeight_; }
  int GetBarHeight() const { return barHeight_; }
  UiRect GetPalletRect() const;
  UiRect GetBarRect() const;
  // Picks the colour under pt (no notification); false outside both parts.
  bool PickAt(UiPoint pt);

  bool SetAttribute(std::string_view name, std::string_view value) override;
  void DoEvent(TEventUI& event) override;
  void PaintStatusImage(IRenderer& r) override;

 private:
  enum class Drag { None, Pallet, Bar };
  void RebuildPixels();
  HsvColor hsv_{0, 1, 1};
  int palletHeight_ = 200;
  int barHeight_ = 10;
  Drag drag_ = Drag::None;
  std::string thumbImage_;
  std::vector<UiColor> palletPixels_;  // cached hue/saturation area at value v
  int pixelsW_ = 0, pixelsH_ = 0;
  double pixelsV_ = -1;
  std::vector<UiColor> barPixels_;
};

}  // namespace trx::ui

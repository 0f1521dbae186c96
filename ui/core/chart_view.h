#pragma once
// CChartViewUI ("CChartViewUI" in layouts, class "ChartView"): a chart of
// named values, drawn as a pie or as a histogram after the control's own
// background. Items are supplied in code (AddItem); a chart without items
// paints only the background.
//
// Layout attributes: "view" ("pie" or "histpgram"; anything else keeps the
// pie), "shadowimage" and "shadowimageheight" (histogram: the image laid
// along the base line), "pillarimage" and "pillarimagewidth" (histogram:
// the image each bar is drawn with; without one the bars take the palette
// colours), "showhtml", "showtext" ("true" sets, anything else clears),
// "font" (paint manager font index), "legendtextcolor" (texts; black by
// default).
//
// Pie: a legend column of 100 px at the right when texts are shown; the pie
// is the largest circle that fits the rest less 5 px on every side, centred,
// with a two-step shadow; slices in item order from 3 o'clock clockwise,
// each value / sum × 360 degrees, coloured from kChartPalette (index mod
// 18); a legend row of 22 px per item (18 px swatch, text 23 px right of
// it). Negative values count as 0; a zero sum draws no slices.
//
// Histogram: one bar per item in equal slots over a base line, heights
// proportional to value / largest value, a label under each bar and its
// value over it when texts are shown.
// UI thread only.

#include <array>
#include <string>
#include <vector>

#include "ui/core/control.h"

namespace trx::ui {

// Chart colours as 0xRRGGBB, used in item order.
inline constexpr std::array<unsigned, 18> kChartPalette{
    0x3F96F5, 0xFF5A01, 0x6AF4C0, 0xF5EA6A, 0xFC7B97, 0xA2F53F, 0x9D90FC, 0xD290FC, 0x7FB0CB,
    0xF4C471, 0xA2C285, 0xBD1717, 0xBD17B3, 0x6117BD, 0x172BBD, 0x12884C, 0x887912, 0x882612};
inline constexpr UiColor kChartShadowOuter = 0x1E1E1E1E;
inline constexpr UiColor kChartShadowInner = 0x64646464;
inline constexpr int kChartLegendWidth = 100;
inline constexpr int kChartLegendRow = 22;
inline constexpr int kChartLegendSwatch = 18;

// The opaque ARGB colour of item i.
UiColor ChartColor(size_t index);

struct ChartItem {
  std::string text;
  double value = 0;
};

enum class ChartView { Pie = 0, Histogram = 1 };

class CChartViewUI : public CControlUI {
 public:
  CChartViewUI();
  ~CChartViewUI() override;
  std::string_view GetClass() const override;
  void* GetInterface(std::string_view name) override;

  void AddItem(std::string_view text, double value);
  void RemoveAllItems();
  const std::vector<ChartItem>& GetItems() const { return items_; }
  ChartView GetView() const { return view_; }
  void SetView(ChartView view) { view_ = view; Invalidate(); }
  void SetLegendTextColor(UiColor c) { legendTextColor_ = c; Invalidate(); }
  bool IsShowText() const { return showText_; }

  // The pie's bounding square for the current rectangle (empty when too
  // small), and the slice angles (start, sweep) in item order.
  UiRect PieRect() const;
  std::vector<std::pair<double, double>> SliceAngles() const;

  bool SetAttribute(std::string_view name, std::string_view value) override;
  void DoPaint(IRenderer& r, const UiRect& dirty) override;

 protected:
  void PaintPie(IRenderer& r);
  void PaintHistogram(IRenderer& r);

 private:
  void PaintItemText(IRenderer& r, const UiRect& rc, const std::string& text, unsigned align);

  std::vector<ChartItem> items_;
  ChartView view_ = ChartView::Pie;
  std::string shadowImage_;
  int shadowImageHeight_ = 0;
  std::string pillarImage_;
  int pillarImageWidth_ = 0;
  UiColor legendTextColor_ = 0xFF000000;
  bool showHtml_ = false;
  bool showText_ = true;
  int font_ = -1;
};

}  // namespace trx::ui

#include "ui/core/chart_view.h"

#include <algorithm>
#include <cstdio>

#include "ui/core/paint_manager.h"

namespace trx::ui {
namespace {

double Positive(double v) { return v > 0 ? v : 0; }

constexpr int kHistogramInset = 10;
constexpr int kHistogramLabel = 20;

}  // namespace

UiColor ChartColor(size_t index) { return 0xFF000000u | kChartPalette[index % kChartPalette.size()]; }

CChartViewUI::CChartViewUI() = default;
CChartViewUI::~CChartViewUI() = default;

std::string_view CChartViewUI::GetClass() const { return "ChartView"; }

void* CChartViewUI::GetInterface(std::string_view name) {
  if (name == "ChartView") return this;
  return CControlUI::GetInterface(name);
}

void CChartViewUI::AddItem(std::string_view text, double value) {
  items_.push_back({std::string(text), value});
  Invalidate();
}

void CChartViewUI::RemoveAllItems() {
  items_.clear();
  Invalidate();
}

bool CChartViewUI::SetAttribute(std::string_view name, std::string_view value) {
  // The library's attributes first (bkcolor, pos, ...), then the chart's.
  const bool known = CControlUI::SetAttribute(name, value);
  if (name == "view") {
    if (value == "pie") view_ = ChartView::Pie;
    else if (value == "histpgram") view_ = ChartView::Histogram;
  } else if (name == "shadowimage") {
    shadowImage_ = value;
  } else if (name == "shadowimageheight") {
    shadowImageHeight_ = ParseCoord(value);
  } else if (name == "pillarimage") {
    pillarImage_ = value;
  } else if (name == "pillarimagewidth") {
    pillarImageWidth_ = ParseCoord(value);
  } else if (name == "showhtml") {
    showHtml_ = value == "true";
  } else if (name == "showtext") {
    showText_ = value == "true";
  } else if (name == "font") {
    font_ = ParseInt(value);
  } else if (name == "legendtextcolor") {
    UiColor c = 0;
    if (ParseColor(value, &c)) legendTextColor_ = c;
  } else {
    return known;
  }
  Invalidate();
  return true;
}

void CChartViewUI::DoPaint(IRenderer& r, const UiRect& dirty) {
  if (!rcItem_.Intersects(dirty)) return;
  CControlUI::DoPaint(r, dirty);
  if (view_ == ChartView::Pie) PaintPie(r);
  else PaintHistogram(r);
}

UiRect CChartViewUI::PieRect() const {
  const int legend = showText_ ? kChartLegendWidth : 0;
  const int avail_w = rcItem_.Width() - legend - 10;
  const int avail_h = rcItem_.Height() - 10;
  const int d = std::min(avail_w, avail_h);
  if (d <= 0) return {};
  const int x = rcItem_.left + 5 + (avail_w - d) / 2;
  const int y = rcItem_.top + 5 + (avail_h - d) / 2;
  return {x, y, x + d, y + d};
}

std::vector<std::pair<double, double>> CChartViewUI::SliceAngles() const {
  double sum = 0;
  for (const ChartItem& item : items_) sum += Positive(item.value);
  std::vector<std::pair<double, double>> out;
  double start = 0;
  for (const ChartItem& item : items_) {
    const double sweep = sum > 0 ? Positive(item.value) / sum * 360.0 : 0.0;
    out.emplace_back(start, sweep);
    start += sweep;
  }
  return out;
}

void CChartViewUI::PaintItemText(IRenderer& r, const UiRect& rc, const std::string& text, unsigned align) {
  if (text.empty() || rc.IsEmpty()) return;
  static const TFontInfo kFallback;
  const TFontInfo& font = manager_ != nullptr ? manager_->GetFont(font_) : kFallback;
  const unsigned style = align | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
  if (showHtml_) r.DrawHtmlText(rc, text, legendTextColor_, font, style);
  else r.DrawText(rc, text, legendTextColor_, font, style);
}

void CChartViewUI::PaintPie(IRenderer& r) {
  if (items_.empty()) return;
  const UiRect pie = PieRect();
  if (pie.IsEmpty()) return;
  r.FillEllipse({pie.left - 4, pie.top - 4, pie.right + 4, pie.bottom + 4}, kChartShadowOuter);
  r.FillEllipse({pie.left - 1, pie.top - 1, pie.right + 1, pie.bottom + 1}, kChartShadowInner);
  const auto angles = SliceAngles();
  for (size_t i = 0; i < angles.size(); ++i)
    if (angles[i].second > 0) r.FillPie(pie, angles[i].first, angles[i].second, ChartColor(i));
  if (!showText_) return;
  const int n = static_cast<int>(items_.size());
  const int avail_h = rcItem_.Height() - 10;
  int row_top = rcItem_.top + std::max(5, (avail_h - kChartLegendRow * n) / 2);
  const int swatch_left = pie.right + 10;
  for (int i = 0; i < n; ++i, row_top += kChartLegendRow) {
    r.FillRect({swatch_left, row_top, swatch_left + kChartLegendSwatch, row_top + kChartLegendSwatch}, ChartColor(i));
    const UiRect text_rc{swatch_left + kChartLegendSwatch + 5, row_top, rcItem_.right, row_top + kChartLegendSwatch};
    PaintItemText(r, text_rc, items_[i].text, DT_LEFT);
  }
}

void CChartViewUI::PaintHistogram(IRenderer& r) {
  if (items_.empty()) return;
  const int label = showText_ ? kHistogramLabel : 0;
  const UiRect plot{rcItem_.left + kHistogramInset, rcItem_.top + kHistogramInset + label,
                    rcItem_.right - kHistogramInset, rcItem_.bottom - kHistogramInset - label};
  if (plot.IsEmpty()) return;
  // Base line: the shadow image when given, else a thin line.
  if (!shadowImage_.empty() && shadowImageHeight_ > 0) {
    const UiRect shadow{plot.left, plot.bottom, plot.right, plot.bottom + shadowImageHeight_};
    DrawImage(r, shadowImage_, &shadow);
  } else {
    r.DrawLine({plot.left, plot.bottom}, {plot.right, plot.bottom}, 1, kChartShadowInner);
  }
  double largest = 0;
  for (const ChartItem& item : items_) largest = std::max(largest, Positive(item.value));
  const int n = static_cast<int>(items_.size());
  const int slot = plot.Width() / n;
  if (slot <= 0) return;
  const int bar_w = pillarImageWidth_ > 0 ? std::min(pillarImageWidth_, slot) : std::max(1, slot * 3 / 5);
  for (int i = 0; i < n; ++i) {
    const ChartItem& item = items_[i];
    const int slot_left = plot.left + i * slot;
    const int bar_left = slot_left + (slot - bar_w) / 2;
    const int h = largest > 0 ? static_cast<int>(Positive(item.value) / largest * plot.Height()) : 0;
    const UiRect bar{bar_left, plot.bottom - h, bar_left + bar_w, plot.bottom};
    if (!bar.IsEmpty()) {
      if (pillarImage_.empty() || !DrawImage(r, pillarImage_, &bar)) r.FillRect(bar, ChartColor(i));
    }
    if (!showText_) continue;
    char value[32];
    std::snprintf(value, sizeof value, "%g", item.value);
    PaintItemText(r, {slot_left, bar.top - label, slot_left + slot, bar.top}, value, DT_CENTER);
    PaintItemText(r, {slot_left, plot.bottom + std::max(0, shadowImageHeight_), slot_left + slot,
                      plot.bottom + std::max(0, shadowImageHeight_) + label},
                  item.text, DT_CENTER);
  }
}

}  // namespace trx::ui

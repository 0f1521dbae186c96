// Interface library core on a main-window-sized tree (about 2 600
// controls): building from layout text, the key-light lookups the main
// window does at start (161 names), a full relayout, a full paint through a
// renderer that draws nothing, and hit testing.

#include <benchmark/benchmark.h>

#include <string>

#include "ui/core/dialog_builder.h"
#include "ui/core/paint_manager.h"
#include "ui/core/renderer.h"

namespace {

using namespace trx::ui;

std::string BigLayout() {
  std::string xml = "<Window size=\"800,572\"><VerticalLayout name=\"root\"><TabLayout name=\"tab_switch\">";
  for (int page = 0; page < 20; ++page) {
    xml += "<VerticalLayout name=\"page_" + std::to_string(page) + "\">";
    for (int row = 0; row < 10; ++row) {
      xml += "<HorizontalLayout height=\"20\">";
      for (int col = 0; col < 12; ++col) {
        xml += "<Button name=\"p" + std::to_string(page) + "_" + std::to_string(row * 12 + col) +
               "\" text=\"x\" bkimage=\"file='ms/k.png'\"/>";
      }
      xml += "</HorizontalLayout>";
    }
    xml += "</VerticalLayout>";
  }
  xml += "<VerticalLayout>";
  for (int i = 0; i < 20; ++i) xml += "<Button name=\"ms_dkey_" + std::to_string(i) + "\" height=\"2\"/>";
  for (int i = 0; i < 15; ++i) xml += "<Button name=\"mp_dkey_" + std::to_string(i) + "\" height=\"2\"/>";
  for (int i = 0; i < 126; ++i) xml += "<Button name=\"kb_dkey_" + std::to_string(i) + "\" height=\"2\"/>";
  xml += "</VerticalLayout></TabLayout></VerticalLayout></Window>";
  return xml;
}

class NullRenderer : public IRenderer {
 public:
  int calls = 0;
  void FillRect(const UiRect&, UiColor) override { ++calls; }
  void FillRoundRect(const UiRect&, int, int, UiColor) override { ++calls; }
  void DrawBorder(const UiRect&, int, UiColor, int, int) override { ++calls; }
  void DrawLine(UiPoint, UiPoint, int, UiColor) override { ++calls; }
  void FillGradient(const UiRect&, UiColor, UiColor, bool) override { ++calls; }
  void FillEllipse(const UiRect&, UiColor) override { ++calls; }
  void FillPie(const UiRect&, double, double, UiColor) override { ++calls; }
  bool DrawImage(const UiRect&, const TImageDesc&, const TImageTint&) override { ++calls; return true; }
  void DrawPixels(const UiRect&, int, int, const UiColor*) override { ++calls; }
  void DrawText(const UiRect&, std::string_view, UiColor, const TFontInfo&, unsigned) override { ++calls; }
  void DrawHtmlText(const UiRect&, std::string_view, UiColor, const TFontInfo&, unsigned) override { ++calls; }
  UiSize MeasureText(std::string_view, const TFontInfo&, int) override { return {}; }
  void PushClip(const UiRect&, int, int) override {}
  void PopClip() override {}
};

struct Tree {
  CPaintManagerUI pm;
  Tree() {
    CControlUI* root = CDialogBuilder().Create(BigLayout(), {}, nullptr, &pm);
    pm.AttachDialog(root);
    pm.SetClientSize({800, 572});
  }
};

void BM_BuildMainSizedLayout(benchmark::State& state) {
  const std::string xml = BigLayout();
  for (auto _ : state) {
    CPaintManagerUI pm;
    CControlUI* root = CDialogBuilder().Create(xml, {}, nullptr, &pm);
    pm.AttachDialog(root);
    benchmark::DoNotOptimize(root);
  }
}
BENCHMARK(BM_BuildMainSizedLayout)->Unit(benchmark::kMillisecond);

void BM_KeyLightLookups(benchmark::State& state) {
  Tree t;
  std::vector<std::string> names;
  for (int i = 0; i < 20; ++i) names.push_back("ms_dkey_" + std::to_string(i));
  for (int i = 0; i < 15; ++i) names.push_back("mp_dkey_" + std::to_string(i));
  for (int i = 0; i < 126; ++i) names.push_back("kb_dkey_" + std::to_string(i));
  for (auto _ : state) {
    for (const auto& n : names) benchmark::DoNotOptimize(t.pm.FindControl(n));
  }
}
BENCHMARK(BM_KeyLightLookups)->Unit(benchmark::kMicrosecond);

void BM_FullRelayout(benchmark::State& state) {
  Tree t;
  for (auto _ : state) {
    t.pm.NeedUpdate();
    t.pm.UpdateLayout();
  }
}
BENCHMARK(BM_FullRelayout)->Unit(benchmark::kMicrosecond);

void BM_FullPaintVisiblePage(benchmark::State& state) {
  Tree t;
  NullRenderer r;
  for (auto _ : state) t.pm.Paint(r, {0, 0, 800, 572});
  state.counters["draw_calls"] = benchmark::Counter(r.calls, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FullPaintVisiblePage)->Unit(benchmark::kMicrosecond);

void BM_MouseMoveHitTest(benchmark::State& state) {
  Tree t;
  int x = 0;
  for (auto _ : state) {
    x = (x + 37) % 800;
    t.pm.OnMouseMove({x, (x * 7) % 572});
  }
}
BENCHMARK(BM_MouseMoveHitTest)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

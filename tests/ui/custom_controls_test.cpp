// The program's own controls headless, their factory registration, and the window host.

#include <gtest/gtest.h>

#include <cmath>

#include "tests/ui/core_test_support.h"
#include "tests/ui/window_test_support.h"
#include "ui/core/chart_view.h"
#include "ui/core/circle_progress.h"
#include "ui/core/container.h"
#include "ui/core/control_factory.h"
#include "ui/window/custom_controls.h"
#include "ui/window/win_api.h"
#include "ui/window/wnd_ui.h"

namespace trx::ui {
namespace {

using test::DrawCall;
using test::RecordingRenderer;
using test::Ui;

std::vector<DrawCall> PaintOf(CControlUI* c) {
  RecordingRenderer r;
  c->DoPaint(r, c->GetPos());
  return r.calls;
}

// Whole degrees from the minimum (the Qt circle test checks the painted ring).
TEST(CircleProgressTest, SweepIsWholeDegreesFromTheMinimum) {
  CCircleProgressUI ring;
  const int cases[][4] = {{0, 100, 0, 0},    {0, 100, 25, 90},    {0, 3, 1, 120},
                          {0, 7, 1, 51},     {0, 100, 100, 360},  {50, 150, 100, 180}};
  for (const auto& c : cases) {
    ring.SetMinValue(-1000);
    ring.SetMaxValue(c[1]);
    ring.SetMinValue(c[0]);
    ring.SetValue(c[2]);
    EXPECT_EQ(ring.SweepDegrees(), c[3]) << c[0] << ".." << c[1] << " at " << c[2];
  }
}

TEST(CircleProgressTest, LayoutAttributesAndNoForeImage) {
  // Only the main window's hook or the factory make "CircleProgress": here a callback does.
  struct Hook : IDialogBuilderCallback {
    CControlUI* CreateControl(std::string_view name) override {
      return name == "CircleProgress" ? new CCircleProgressUI() : nullptr;
    }
  } hook;
  Ui built(R"(<Window><VerticalLayout>
      <CircleProgress name="ring" width="40" height="40" min="0" max="10" value="5" bkcolor="#FF000001"
                      forecolor="#FF000002" innercolor="#FF000003" foreimage="file='x.png'"/>
    </VerticalLayout></Window>)",
           {100, 100}, &hook);
  auto* ring = built.Find<CCircleProgressUI>("ring");
  ASSERT_NE(ring, nullptr);
  EXPECT_EQ(ring->GetClass(), "CircleProgress");
  EXPECT_NE(ring->GetInterface("Progress"), nullptr);
  EXPECT_EQ(ring->SweepDegrees(), 180);
  EXPECT_EQ(ring->GetInnerColor(), 0xFF000003u);
  for (const DrawCall& d : built.Paint({0, 0, 100, 100}).calls) EXPECT_NE(d.op, "image");  // fore image never drawn
}

TEST(ChartViewTest, PieSliceAnglesFollowTheValues) {
  CChartViewUI chart;
  chart.SetPos({0, 0, 310, 210});
  for (auto [name, value] : {std::pair{"a", 1}, {"b", 2}, {"c", 3}, {"negative", -4}}) chart.AddItem(name, value);  // -4 counts as 0
  const auto angles = chart.SliceAngles();
  ASSERT_EQ(angles.size(), 4u);
  const double expected[][2] = {{0, 60}, {60, 120}, {180, 180}, {360, 0}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(angles[i].first, expected[i][0]) << i;
    EXPECT_DOUBLE_EQ(angles[i].second, expected[i][1]) << i;
  }
  // Legend 100 px: available 200 x 200, the pie 5 px in from the top-left.
  EXPECT_EQ(chart.PieRect(), (UiRect{5, 5, 205, 205}));

  const auto calls = PaintOf(&chart);
  std::vector<DrawCall> pies, swatches, texts;
  for (const DrawCall& d : calls) {
    if (d.op == "pie") pies.push_back(d);
    if (d.op == "fill") swatches.push_back(d);
    if (d.op == "text") texts.push_back(d);
  }
  ASSERT_EQ(pies.size(), 3u);  // the zero slice is not drawn
  const UiColor colours[] = {0xFF3F96F5u, 0xFFFF5A01u, 0xFF6AF4C0u};
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(pies[i].color, colours[i]) << i;
  EXPECT_EQ(pies[2].start, 180.0);
  EXPECT_EQ(pies[2].sweep, 180.0);
  // Shadow: 4 px larger in 0x1E1E1E1E, then 1 px larger in 0x64646464.
  EXPECT_EQ(calls[0].op, "ellipse");
  EXPECT_EQ(calls[0].rc, (UiRect{1, 1, 209, 209}));
  EXPECT_EQ(calls[0].color, kChartShadowOuter);
  EXPECT_EQ(calls[1].rc, (UiRect{4, 4, 206, 206}));
  EXPECT_EQ(calls[1].color, kChartShadowInner);
  // Legend rows of 22 px, centred: (200 - 88) / 2 = 56 from the top.
  ASSERT_EQ(swatches.size(), 4u);
  EXPECT_EQ(swatches[0].rc, (UiRect{215, 56, 233, 74}));
  EXPECT_EQ(swatches[3].rc.top, 56 + 3 * 22);
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[1].text, "b");
  EXPECT_EQ(texts[1].rc.left, 238);
}

TEST(ChartViewTest, PaletteWrapsEmptyOrZeroChartsDrawNoSlicesAttributesAndHistogramBars) {
  EXPECT_EQ(ChartColor(0), 0xFF3F96F5u);
  EXPECT_EQ(ChartColor(17), 0xFF882612u);
  EXPECT_EQ(ChartColor(18), ChartColor(0));

  CChartViewUI chart;
  chart.SetPos({0, 0, 200, 100});
  chart.SetBkColor(0xFF010203);
  EXPECT_EQ(PaintOf(&chart).size(), 1u);  // background only
  chart.AddItem("zero", 0);
  for (const DrawCall& d : PaintOf(&chart)) EXPECT_NE(d.op, "pie");
  chart.RemoveAllItems();
  EXPECT_TRUE(chart.SetAttribute("view", "histpgram"));
  EXPECT_EQ(chart.GetView(), ChartView::Histogram);
  chart.SetAttribute("showtext", "yes");  // only "true" sets it
  EXPECT_FALSE(chart.IsShowText());
  EXPECT_TRUE(chart.SetAttribute("bkcolor", "#FF112233"));  // the library's own attribute
  EXPECT_EQ(chart.GetBkColor(), 0xFF112233u);
  chart.SetPos({0, 0, 220, 120});
  chart.AddItem("low", 1);
  chart.AddItem("high", 4);
  std::vector<DrawCall> bars;
  for (const DrawCall& d : PaintOf(&chart))
    if (d.op == "fill" && d.color != 0xFF112233u) bars.push_back(d);
  ASSERT_EQ(bars.size(), 2u);
  // Plot 10..210 x 10..110: slots of 100 px, bars 60 px wide, heights 25 and 100.
  EXPECT_EQ(bars[0].rc, (UiRect{30, 85, 90, 110}));
  EXPECT_EQ(bars[1].rc, (UiRect{130, 10, 190, 110}));
  EXPECT_EQ(bars[1].color, ChartColor(1));
}

TEST(CustomControlsTest, FactoryCreatesTheThreeClassesForLayouts) {
  ASSERT_TRUE(RegisterCustomControls());
  Ui ui(R"(<Window><HorizontalLayout>
      <CCircleProgressUI name="ring" width="40"/>
      <CChartViewUI name="chart" view="histpgram" width="80"/>
      <CWndUI name="host"/>
    </HorizontalLayout></Window>)");
  ASSERT_NE(ui.Find<CCircleProgressUI>("ring"), nullptr);
  ASSERT_NE(ui.Find<CChartViewUI>("chart"), nullptr);
  EXPECT_EQ(ui.Find<CChartViewUI>("chart")->GetView(), ChartView::Histogram);
  ASSERT_NE(ui.Find<CWndUI>("host"), nullptr);
  EXPECT_EQ(ui.Find<CWndUI>("host")->GetClass(), "Wnd");
  for (const char* name : {kCircleProgressClass, kChartViewClass, kWndClass}) {
    CControlUI* c = CControlFactory::GetInstance()->CreateControl(name);
    EXPECT_NE(c, nullptr) << name;
    delete c;
  }
}

// ---- window host

using testing::RecordingWindow;

class WndUiTest : public testing::WindowTest {
 protected:
  void SetUp() override {
    testing::WindowTest::SetUp();
    ASSERT_TRUE(RegisterCustomControls());
    ASSERT_NE(main_.Create(nullptr, "main", WS_VISIBLE, 0, 100, 40, 300, 200), nullptr);
    main_.GetPaintManager().SetClientSize({300, 200});
    RecordingRenderer r;
    main_.GetPaintManager().Paint(r, {0, 0, 300, 200});  // lays the tree out
    host_ = dynamic_cast<CWndUI*>(main_.GetPaintManager().FindControl("host"));
    ASSERT_NE(host_, nullptr);
  }
  testing::SkinWindow main_{R"(<Window size="300,200"><VerticalLayout name="root">
      <Control name="top" height="50"/>
      <HorizontalLayout name="row"><Control width="20"/><CWndUI name="host"/></HorizontalLayout>
    </VerticalLayout></Window>)"};
  CWndUI* host_ = nullptr;
};

TEST_F(WndUiTest, TopLevelWindowFollowsTheControlInScreenCoordinatesAndHides) {
  RecordingWindow hosted;
  ASSERT_NE(hosted.Create(main_.GetHWND(), "hosted", 0, 0), nullptr);
  host_->Attach(hosted.GetHWND());
  EXPECT_EQ(hosted.GetWindowRect(), (UiRect{120, 90, 400, 240}));  // control 20,50-300,200 + window 100,40
  EXPECT_TRUE(hosted.IsWindowVisible());

  host_->SetVisible(false);
  EXPECT_FALSE(hosted.IsWindowVisible());
  host_->SetVisible(true);
  EXPECT_TRUE(hosted.IsWindowVisible());
  // Hidden through its parent (a tab page switched away): hidden as well.
  main_.GetPaintManager().FindControl("row")->SetVisible(false);
  EXPECT_FALSE(hosted.IsWindowVisible());
  main_.GetPaintManager().FindControl("row")->SetVisible(true);
  EXPECT_TRUE(hosted.IsWindowVisible());

  // Moving the layout moves the window.
  main_.GetPaintManager().FindControl("top")->SetFixedHeight(80);
  main_.GetPaintManager().SetClientSize({300, 200});
  RecordingRenderer r;
  main_.GetPaintManager().Paint(r, {0, 0, 300, 200});
  EXPECT_EQ(hosted.GetWindowRect().top, 40 + 80);
}

TEST_F(WndUiTest, ChildWindowUsesClientCoordinatesAndControlGoingHidesIt) {
  RecordingWindow child;
  ASSERT_NE(child.Create(main_.GetHWND(), "child", WS_CHILD, 0), nullptr);
  host_->Attach(child.GetHWND());
  EXPECT_EQ(child.GetWindowRect(), (UiRect{20, 50, 300, 200}));
  EXPECT_TRUE(child.IsWindowVisible());
  // A removed control leaves no window floating over the layout.
  auto* row = static_cast<CContainerUI*>(main_.GetPaintManager().FindControl("row"));
  row->Remove(host_);
  EXPECT_FALSE(child.IsWindowVisible());
}

}  // namespace
}  // namespace trx::ui

// The circle progress painted by QtRenderer into an image: the ring's
// pixels at 0, half and full, and nothing at all with max == min.

#include <QImage>

#include "tests/ui/qt_test_support.h"
#include "ui/core/circle_progress.h"
#include "ui/core/paint_manager.h"
#include "ui/qt/qt_renderer.h"
#include "ui/window/custom_controls.h"
#include "ui/window/message_queue.h"

namespace trx::ui::testing {
namespace {

// A 60 x 60 ring on grey: blue background disc, red slice, white middle.
constexpr const char* kLayout = R"(<Window size="60,60">
  <VerticalLayout name="root" bkcolor="#FF808080">
    <CCircleProgressUI name="ring" width="60" height="60" min="0" max="100" value="0"
                       bkcolor="#FF0000FF" forecolor="#FFFF0000"/>
  </VerticalLayout>
</Window>)";

class QtCircleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    CMessageQueue::Instance().ResetForTest();
    CMessageQueue::Instance().BindToCurrentThread();
    ASSERT_TRUE(RegisterCustomControls());
    ASSERT_NE(window_.Create(nullptr, "ring", 0, 0), nullptr);
    ring_ = dynamic_cast<CCircleProgressUI*>(window_.GetPaintManager().FindControl("ring"));
    ASSERT_NE(ring_, nullptr);
  }
  void TearDown() override { CMessageQueue::Instance().ResetForTest(); }
  QImage Render() { return qt::QtWindow::RenderTree(&window_.GetPaintManager(), QSize(60, 60)); }
  static void Expect(QRgb got, QRgb want, const char* where) {
    EXPECT_NEAR(qRed(got), qRed(want), 8) << where << std::hex << " " << got;
    EXPECT_NEAR(qGreen(got), qGreen(want), 8) << where << std::hex << " " << got;
    EXPECT_NEAR(qBlue(got), qBlue(want), 8) << where << std::hex << " " << got;
  }
  NotesWindow window_{kLayout};
  CCircleProgressUI* ring_ = nullptr;
};

// Points in the middle of the 10 px ring on the diagonals, the centre and a
// corner outside the ring.
constexpr QPoint kBottomLeft{12, 48}, kTopLeft{12, 12}, kTopRight{48, 12}, kBottomRight{48, 48};
constexpr QPoint kCentre{30, 30}, kCorner{1, 1};
constexpr QRgb kBlue = 0xFF0000FF, kRed = 0xFFFF0000, kWhite = 0xFFFFFFFF, kGrey = 0xFF808080;

TEST_F(QtCircleTest, RingFillsClockwiseFromSixOClock) {
  struct Case {
    int value;
    QRgb bottom_left, top_left, top_right, bottom_right;
  };
  const Case cases[] = {{0, kBlue, kBlue, kBlue, kBlue},   // only the background disc inside the ring
                        {25, kRed, kBlue, kBlue, kBlue},
                        {50, kRed, kRed, kBlue, kBlue},
                        {75, kRed, kRed, kRed, kBlue},
                        {100, kRed, kRed, kRed, kRed}};    // full ring
  for (const Case& c : cases) {
    ring_->SetValue(c.value);
    const QImage img = Render();
    SCOPED_TRACE(c.value);
    Expect(img.pixel(kBottomLeft), c.bottom_left, "bottom left");
    Expect(img.pixel(kTopLeft), c.top_left, "top left");
    Expect(img.pixel(kTopRight), c.top_right, "top right");
    Expect(img.pixel(kBottomRight), c.bottom_right, "bottom right");
    Expect(img.pixel(kCentre), kWhite, "centre");
    Expect(img.pixel(kCorner), kGrey, "corner");
  }
}

TEST_F(QtCircleTest, EqualMinAndMaxPaintNothing) {
  ring_->SetMaxValue(0);
  const QImage img = Render();
  for (QPoint p : {kBottomLeft, kTopRight, kCentre, kCorner}) Expect(img.pixel(p), kGrey, "grey");
}

}  // namespace
}  // namespace trx::ui::testing

// Rendering layouts through QtRenderer into images and reading pixels
// back: background colours, borders, a tinted image (tint only where the
// image has pixels), the same tree at twice the pixel density, rounded keys
// with captions, and the circle progress's ring.

#include <QImage>
#include <QPainter>

#include "tests/ui/qt_test_support.h"
#include "ui/core/circle_progress.h"
#include "ui/core/paint_manager.h"
#include "ui/qt/qt_renderer.h"
#include "ui/window/custom_controls.h"
#include "ui/window/message_queue.h"

namespace trx::ui::testing {
namespace {

// tint_block.png: 20x20 opaque white with a transparent 4x4 top-left corner.
constexpr const char* kLayout = R"(<Window size="100,80">
  <VerticalLayout name="root" bkcolor="#FF204080">
    <Control name="key" width="20" height="20" bkimage="file='tint_block.png'"/>
    <Control name="bar" height="20" bkcolor="#FF00FF00" bordersize="2" bordercolor="#FFFF0000"/>
  </VerticalLayout>
</Window>)";

class QtRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    CMessageQueue::Instance().ResetForTest();
    CMessageQueue::Instance().BindToCurrentThread();
    CPaintManagerUI::SetResourcePath(std::string(TRX770_TEST_DATA_DIR) + "/ui/");
    ASSERT_NE(window_.Create(nullptr, "r", 0, 0), nullptr);  // headless: no backend installed
    CControlUI* key = window_.GetPaintManager().FindControl("key");
    ASSERT_NE(key, nullptr);
    key->SetIsChangerColor(true);
    key->SetChangerColor(0xFFFF0000);
    key->SetChangerAlpha(128);
  }
  void TearDown() override { CMessageQueue::Instance().ResetForTest(); }
  static void ExpectNear(QRgb got, int r, int g, int b) {
    EXPECT_NEAR(qRed(got), r, 3) << std::hex << got;
    EXPECT_NEAR(qGreen(got), g, 3) << std::hex << got;
    EXPECT_NEAR(qBlue(got), b, 3) << std::hex << got;
  }
  NotesWindow window_{kLayout};
};

TEST_F(QtRenderTest, BackgroundBorderAndTintedImagePixels) {
  const QImage img = qt::QtWindow::RenderTree(&window_.GetPaintManager(), QSize(100, 80));
  ExpectNear(img.pixel(50, 60), 0x20, 0x40, 0x80);  // root background
  ExpectNear(img.pixel(50, 30), 0x00, 0xFF, 0x00);  // bar background
  ExpectNear(img.pixel(0, 30), 0xFF, 0x00, 0x00);   // bar border, left
  ExpectNear(img.pixel(50, 21), 0xFF, 0x00, 0x00);  // bar border, top
  ExpectNear(img.pixel(10, 10), 0xFF, 0x7F, 0x7F);  // white under red at alpha 128
  ExpectNear(img.pixel(1, 1), 0x20, 0x40, 0x80);    // transparent corner stays untinted
  ExpectNear(img.pixel(30, 10), 0x20, 0x40, 0x80);  // right of the fixed-width key
}

// Alpha 0, or tinting switched off, shows the image unchanged; alphas are
// clamped to 255.
TEST_F(QtRenderTest, TintAlphaZeroOrTintingOffShowsTheImageUnchanged) {
  CControlUI* key = window_.GetPaintManager().FindControl("key");
  key->SetChangerAlpha(300);
  EXPECT_EQ(key->GetChangerAlpha(), 255);
  key->SetChangerAlpha(0);
  ExpectNear(qt::QtWindow::RenderTree(&window_.GetPaintManager(), QSize(100, 80)).pixel(10, 10), 0xFF, 0xFF, 0xFF);
  key->SetChangerAlpha(128);
  key->SetIsChangerColor(false);
  ExpectNear(qt::QtWindow::RenderTree(&window_.GetPaintManager(), QSize(100, 80)).pixel(10, 10), 0xFF, 0xFF, 0xFF);
}

TEST_F(QtRenderTest, DoubleDensityKeepsTheLayoutAndDoublesThePixels) {
  const QImage img = qt::QtWindow::RenderTree(&window_.GetPaintManager(), QSize(100, 80), 2.0);
  EXPECT_EQ(img.width(), 200);
  EXPECT_EQ(img.height(), 160);
  ExpectNear(img.pixel(100, 120), 0x20, 0x40, 0x80);
  ExpectNear(img.pixel(20, 20), 0xFF, 0x7F, 0x7F);
  ExpectNear(img.pixel(100, 60), 0x00, 0xFF, 0x00);
  // The two-pixel border is four device pixels wide and sharp.
  ExpectNear(img.pixel(3, 60), 0xFF, 0x00, 0x00);
  ExpectNear(img.pixel(4, 60), 0x00, 0xFF, 0x00);
}

// A key of a preview: rounded corners (radius 6) over a tinted image that
// fills it, and a centred caption.
constexpr const char* kKeyLayout = R"(<Window size="60,40">
  <VerticalLayout name="root" bkcolor="#FF204080" inset="10,10,10,10">
    <Label name="key" width="40" height="20" borderround="6,6" bkcolor="#FF000000" bkimage="file='tint_block.png' dest='0,0,40,20'"
           text="Esc" align="center" textcolor="#FF00FF00"/>
  </VerticalLayout>
</Window>)";

class QtKeyRenderTest : public QtRenderTest {
 protected:
  QImage Render(QSize size = {60, 40}) { return qt::QtWindow::RenderTree(&key_window_.GetPaintManager(), size); }
  CControlUI* Key() { return key_window_.GetPaintManager().FindControl("key"); }
  NotesWindow key_window_{kKeyLayout};
  void SetUp() override {
    QtRenderTest::SetUp();
    ASSERT_NE(key_window_.Create(nullptr, "k", 0, 0), nullptr);
    Key()->SetIsChangerColor(true);
    Key()->SetChangerColor(0xFFFF0000);
    Key()->SetChangerAlpha(255);
  }
};

TEST_F(QtKeyRenderTest, RoundedCornersClipTheTintedImageEveryFrame) {
  struct Case {
    int alpha;
    int r, g, b;  // the key's straight edge and inside, under the tint
  };
  // The same key painted again with another tint must not reuse a stale
  // picture (the tinted and rounded images are cached).
  for (const Case c : {Case{255, 0xFF, 0x00, 0x00}, Case{0, 0xFF, 0xFF, 0xFF}, Case{255, 0xFF, 0x00, 0x00}}) {
    SCOPED_TRACE(c.alpha);
    Key()->SetChangerAlpha(c.alpha);
    const QImage img = Render();
    ExpectNear(img.pixel(10, 10), 0x20, 0x40, 0x80);  // the key's corner: cut off, background shows
    ExpectNear(img.pixel(49, 29), 0x20, 0x40, 0x80);  // the opposite corner
    ExpectNear(img.pixel(30, 10), c.r, c.g, c.b);     // top edge, middle: not cut
    ExpectNear(img.pixel(10, 20), c.r, c.g, c.b);     // left edge, middle: not cut
    ExpectNear(img.pixel(44, 27), c.r, c.g, c.b);     // just inside the rounded corner
    ExpectNear(img.pixel(16, 12), 0x00, 0x00, 0x00);  // the image's clear corner: the key's own background
  }
}

TEST_F(QtKeyRenderTest, CaptionIsCentredAsQtCentresIt) {
  Key()->SetChangerAlpha(0);
  Key()->SetBkImage("");
  const QImage img = Render();
  // The reference: Qt's own centred text in the same rectangle.
  QImage ref(60, 40, QImage::Format_ARGB32_Premultiplied);
  ref.fill(Qt::black);
  {
    QPainter p(&ref);
    p.setFont(qt::QtRenderer::ToQFont(key_window_.GetPaintManager().GetFont(-1)));
    p.setPen(QColor(0, 255, 0));
    p.drawText(QRect(10, 10, 40, 20), Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("Esc"));
  }
  // Compare where the caption's green ink lies.
  auto ink = [](const QImage& im) {
    QRect box;
    for (int y = 10; y < 30; ++y)
      for (int x = 10; x < 50; ++x)
        if (qGreen(im.pixel(x, y)) > 128 && qRed(im.pixel(x, y)) < 64) box |= QRect(x, y, 1, 1);
    return box;
  };
  const QRect got = ink(img), want = ink(ref);
  ASSERT_FALSE(want.isEmpty());
  EXPECT_NEAR(got.left(), want.left(), 1);
  EXPECT_NEAR(got.right(), want.right(), 1);
  EXPECT_NEAR(got.top(), want.top(), 1);
  EXPECT_NEAR(got.bottom(), want.bottom(), 1);
}

TEST(QtRichText, LayoutMarkupBecomesQtRichText) {
  EXPECT_EQ(qt::QtRenderer::HtmlToRichText("{b}bold{/b} & {c #FFFF0000}red{/c}{n}x<y").toStdString(),
            "<b>bold</b> &amp; <span style=\"color:#FF0000\">red</span><br/>x&lt;y");
}

// A 60 x 60 ring on grey: blue background disc, red slice, white middle.
constexpr const char* kRingLayout = R"(<Window size="60,60">
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
  NotesWindow window_{kRingLayout};
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

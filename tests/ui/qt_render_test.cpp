// Layouts rendered through QtRenderer into images, read back pixel by pixel.

#include <QImage>
#include <QPainter>

#include "tests/ui/qt_test_support.h"
#include "ui/core/circle_progress.h"
#include "ui/core/paint_manager.h"
#include "ui/qt/qt_renderer.h"
#include "ui/qt/qt_tint_layers.h"
#include "ui/window/custom_controls.h"

namespace trx::ui::testing {
namespace {

// tint_block.png: 20x20 opaque white with a transparent 4x4 top-left corner;
// opaque_block.png: 20x20 blue without alpha.
constexpr const char* kLayout = R"(<Window size="100,80">
  <VerticalLayout name="root" bkcolor="#FF204080">
    <Control name="key" width="20" height="20" bkimage="file='tint_block.png'"/>
    <Control name="bar" height="20" bkcolor="#FF00FF00" bordersize="2" bordercolor="#FFFF0000"/>
    <Control name="photo" height="20" bkcolor="#FF00FF00" bkimage="file='opaque_block.png' dest='0,0,10,10'"/>
  </VerticalLayout>
</Window>)";

constexpr QRgb kBackground = 0xFF204080, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kWhite = 0xFFFFFFFF;

class QtRenderTest : public QtTest {
 protected:
  void SetUp() override {
    backend = false;  // headless: the tree is painted into an image
    QtTest::SetUp();
    CPaintManagerUI::SetResourcePath(std::string(TRX770_TEST_DATA_DIR) + "/ui/");
    ASSERT_NE(window_.Create(nullptr, "r", 0, 0), nullptr);
    CControlUI* key = window_.GetPaintManager().FindControl("key");
    ASSERT_NE(key, nullptr);
    key->SetIsChangerColor(true);
    key->SetChangerColor(0xFFFF0000);
    key->SetChangerAlpha(128);
  }
  QImage Render(int scale = 1) { return qt::QtWindow::RenderTree(&window_.GetPaintManager(), QSize(100, 80), scale); }
  NotesWindow window_{kLayout};
};

// At one and at two device pixels per layout pixel.
TEST_F(QtRenderTest, BackgroundBorderAndTintedImageAtEitherDensityTintAlphaZeroOrOffShowsTheImage) {
  const struct {
    int x, y;
    QRgb want;
  } probes[] = {{50, 60, kBackground}, {50, 30, kGreen}, {0, 30, kRed}, {50, 21, kRed},  // bar, border left and top
                {10, 10, 0xFFFF7F7F},                                                    // white under red at alpha 128
                {1, 1, kBackground},    // the image's transparent corner stays untinted
                {30, 10, kBackground},   // right of the fixed-width key
                {5, 45, 0xFF0000FF}, {50, 45, kGreen}};  // an opaque image hides its fill only where it lies
  for (int scale : {1, 2}) {
    SCOPED_TRACE(scale);
    const QImage img = Render(scale);
    EXPECT_EQ(img.width(), 100 * scale);
    EXPECT_EQ(img.height(), 80 * scale);
    for (const auto& p : probes) ExpectPixel(img.pixel(p.x * scale, p.y * scale), p.want);
    ExpectPixel(img.pixel(2 * scale - 1, 30 * scale), kRed);  // the two-pixel border is sharp
    ExpectPixel(img.pixel(2 * scale, 30 * scale), kGreen);
  }
  // Alphas are clamped to 255; alpha 0 or tinting off shows the image unchanged.
  CControlUI* key = window_.GetPaintManager().FindControl("key");
  key->SetChangerAlpha(300);
  EXPECT_EQ(key->GetChangerAlpha(), 255);
  key->SetChangerAlpha(0);
  ExpectPixel(Render().pixel(10, 10), kWhite);
  key->SetChangerAlpha(128);
  key->SetIsChangerColor(false);
  ExpectPixel(Render().pixel(10, 10), kWhite);
}

// A preview's key: rounded corners (radius 6) over a tinted image filling it, a centred caption.
constexpr const char* kKeyLayout = R"(<Window size="60,40">
  <VerticalLayout name="root" bkcolor="#FF204080" inset="10,10,10,10">
    <Label name="key" width="40" height="20" borderround="6,6" bkcolor="#FF000000" bkimage="file='tint_block.png' dest='0,0,40,20'"
           text="Esc" align="center" textcolor="#FF00FF00"/>
  </VerticalLayout>
</Window>)";

class QtKeyRenderTest : public QtRenderTest {
 protected:
  QImage Render() { return qt::QtWindow::RenderTree(&key_window_.GetPaintManager(), QSize(60, 40)); }
  CControlUI* Key() { return key_window_.GetPaintManager().FindControl("key"); }
  // The key's rectangle as the tree paints it with the key under `t`.
  QImage RenderKeyUnder(const TImageTint& t) {
    QImage whole(60, 40, QImage::Format_RGB32);
    whole.fill(Qt::black);
    QPainter painter(&whole);
    qt::QtRenderer renderer(painter);
    key_window_.GetPaintManager().PaintWithTint(renderer, {0, 0, 60, 40}, Key(), t);
    return whole.copy(kKeyRect);
  }
  static constexpr QRect kKeyRect{10, 10, 40, 20};
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
    QRgb edge;  // the key's straight edge and inside, under the tint
  };
  // Painted again with another tint, no stale picture (tinted and rounded images are cached).
  for (const Case c : {Case{255, kRed}, Case{0, kWhite}, Case{255, kRed}}) {
    SCOPED_TRACE(c.alpha);
    Key()->SetChangerAlpha(c.alpha);
    const QImage img = Render();
    ExpectPixel(img.pixel(10, 10), kBackground);  // the key's corner: cut off, background shows
    ExpectPixel(img.pixel(49, 29), kBackground);  // the opposite corner
    ExpectPixel(img.pixel(30, 10), c.edge);       // top edge, middle: not cut
    ExpectPixel(img.pixel(10, 20), c.edge);       // left edge, middle: not cut
    ExpectPixel(img.pixel(44, 27), c.edge);       // just inside the rounded corner
    ExpectPixel(img.pixel(16, 12), 0xFF000000);   // the image's clear corner: the key's own background
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
  Key()->SetText("ii");  // another caption, likely in the same string storage
  EXPECT_LT(ink(Render()).width(), got.width() - 4);
  EXPECT_NEAR(got.left(), want.left(), 1);
  EXPECT_NEAR(got.right(), want.right(), 1);
  EXPECT_NEAR(got.top(), want.top(), 1);
  EXPECT_NEAR(got.bottom(), want.bottom(), 1);
}

// A key redrawn from layers fitted under one tint shows, under every other tint of the same look
// (the caption's colour), what the tree paints, within a few levels.
TEST_F(QtKeyRenderTest, TintLayersFollowTheTreeAcrossTintsOfOneLook) {
  const auto render = [this](const TImageTint& t) { return RenderKeyUnder(t); };
  auto look = [&](const TImageTint& t) { return Key()->TintLook(t); };
  auto tint = [](UiColor colour, int alpha) { return TImageTint{true, colour, alpha}; };
  const std::vector<std::vector<TImageTint>> looks = {
      {tint(0xFFFF0000, 255), tint(0xFF3366CC, 255), tint(0xFFFF0000, 140), tint(0xFF0000FF, 200)},  // white caption
      {tint(0xFFFFFF00, 255), tint(0xFFFFFFFF, 180), tint(0xFF80FFC0, 230)},                          // dark caption
      {tint(0xFFFF0000, 60), tint(0xFF00FFFF, 0), tint(0xFF3366CC, 95)},                              // the caption's own
  };
  for (const auto& tints : looks) {
    QImage shown;
    qt::TintLayers layers = qt::FitTintLayers(render, look, tints.front(), &shown);
    ASSERT_TRUE(layers.linear) << std::hex << tints.front().color;
    EXPECT_EQ(shown, render(tints.front()));
    for (const TImageTint& t : tints) {
      SCOPED_TRACE(::testing::Message() << std::hex << t.color << " alpha " << std::dec << t.alpha);
      ASSERT_EQ(look(t), layers.look);
      QImage got(kKeyRect.size(), QImage::Format_RGB32);
      qt::ComposeTintLayers(layers, t, got, {0, 0});
      const QImage want = render(t);
      int worst = 0;
      for (int y = 0; y < kKeyRect.height(); ++y)
        for (int x = 0; x < kKeyRect.width(); ++x)
          for (int shift : {0, 8, 16})
            worst = std::max(worst, std::abs(int(got.pixel(x, y) >> shift & 0xFF) - int(want.pixel(x, y) >> shift & 0xFF)));
      EXPECT_LE(worst, 3);
    }
  }
}

// A control whose pixels do not follow its tint linearly (here the caption's colour taken as the
// same look though it is not) is left to the tree.
TEST_F(QtKeyRenderTest, TintLayersRefuseAControlThatDoesNotFollowTheModel) {
  const auto render = [this](const TImageTint& t) { return RenderKeyUnder(t); };
  QImage shown;
  const qt::TintLayers layers =
      qt::FitTintLayers(render, [](const TImageTint&) { return UiColor{0}; }, {true, 0xFFFF0000, 200}, &shown);
  EXPECT_FALSE(layers.linear);
  EXPECT_EQ(shown, render({true, 0xFFFF0000, 200}));
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

class QtCircleTest : public QtTest {
 protected:
  void SetUp() override {
    backend = false;
    QtTest::SetUp();
    ASSERT_TRUE(RegisterCustomControls());
    ASSERT_NE(window_.Create(nullptr, "ring", 0, 0), nullptr);
    ring_ = dynamic_cast<CCircleProgressUI*>(window_.GetPaintManager().FindControl("ring"));
    ASSERT_NE(ring_, nullptr);
  }
  QImage Render() { return qt::QtWindow::RenderTree(&window_.GetPaintManager(), QSize(60, 60)); }
  NotesWindow window_{kRingLayout};
  CCircleProgressUI* ring_ = nullptr;
};

// Points mid-ring (10 px) on the diagonals, the centre and a corner outside the ring.
constexpr QPoint kBottomLeft{12, 48}, kTopLeft{12, 12}, kTopRight{48, 12}, kBottomRight{48, 48};
constexpr QPoint kCentre{30, 30}, kCorner{1, 1};
constexpr QRgb kBlue = 0xFF0000FF, kGrey = 0xFF808080;

TEST_F(QtCircleTest, RingFillsClockwiseFromSixOClockEqualMinAndMaxPaintNothing) {
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
    ExpectPixel(img.pixel(kBottomLeft), c.bottom_left, 8);
    ExpectPixel(img.pixel(kTopLeft), c.top_left, 8);
    ExpectPixel(img.pixel(kTopRight), c.top_right, 8);
    ExpectPixel(img.pixel(kBottomRight), c.bottom_right, 8);
    ExpectPixel(img.pixel(kCentre), kWhite, 8);
    ExpectPixel(img.pixel(kCorner), kGrey, 8);
  }
  ring_->SetMaxValue(0);  // equal minimum and maximum paint nothing
  const QImage img = Render();
  for (QPoint p : {kBottomLeft, kTopRight, kCentre, kCorner}) ExpectPixel(img.pixel(p), kGrey, 8);
}

}  // namespace
}  // namespace trx::ui::testing

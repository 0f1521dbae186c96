// Rendering a layout through QtRenderer into an image and reading pixels
// back: background colours, borders, a tinted image (tint only where the
// image has pixels) and the same tree at twice the pixel density.

#include <QImage>

#include "tests/ui/qt_test_support.h"
#include "ui/core/paint_manager.h"
#include "ui/qt/qt_renderer.h"
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

TEST_F(QtRenderTest, TintAlphaZeroShowsTheImageUnchanged) {
  window_.GetPaintManager().FindControl("key")->SetChangerAlpha(0);
  const QImage img = qt::QtWindow::RenderTree(&window_.GetPaintManager(), QSize(100, 80));
  ExpectNear(img.pixel(10, 10), 0xFF, 0xFF, 0xFF);
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

TEST(QtRichText, LayoutMarkupBecomesQtRichText) {
  EXPECT_EQ(qt::QtRenderer::HtmlToRichText("{b}bold{/b} & {c #FFFF0000}red{/c}{n}x<y").toStdString(),
            "<b>bold</b> &amp; <span style=\"color:#FF0000\">red</span><br/>x&lt;y");
}

}  // namespace
}  // namespace trx::ui::testing

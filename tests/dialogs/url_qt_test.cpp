// The about window's link with the Qt opener; the test takes over
// QDesktopServices' scheme handlers, so nothing is started.

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include "tests/dialogs/dialog_test_support.h"
#include "tests/ui/qt_test_support.h"
#include "ui/dialogs/copyright_wnd.h"
#include "ui/qt/qt_url_opener.h"

class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls.append(url); }
};

namespace trx::ui::testing {
namespace {

class UrlQtTest : public DialogTest {
 protected:
  void SetUp() override {
    TestApp();
    DialogTest::SetUp();
    CResourceManager::GetInstance()->LoadLanguage("lan_en.xml");
    for (const char* scheme : {"https", "http", "file"}) QDesktopServices::setUrlHandler(scheme, &catcher_, "open");
    SetUrlOpener(&opener_);
  }
  void TearDown() override {
    for (const char* scheme : {"https", "http", "file"}) QDesktopServices::unsetUrlHandler(scheme);
    DialogTest::TearDown();
  }
  UrlCatcher catcher_;
  qt::QtUrlOpener opener_;
};

TEST_F(UrlQtTest, LinkReachesTheDesktopHandlerWithTheFixedHttpsPageOnly) {
  const HWND hwnd = OpenAboutWindow(nullptr);
  auto* about = dynamic_cast<WindowImplBase*>(CWindowWnd::FromHandle(hwnd));
  ASSERT_NE(about, nullptr);
  QueueMouseClick(*about, kCopyrightLinkName);
  queue().ProcessPending();
  ASSERT_EQ(catcher_.urls.size(), 1);
  EXPECT_EQ(catcher_.urls[0], QUrl(QString::fromUtf8(kProjectWebPage)));
  EXPECT_EQ(catcher_.urls[0].scheme(), "https");

  // The opener itself refuses every other scheme and malformed addresses.
  for (const char* url : {"http://example.org/", "file:///etc/passwd", "https://", "https://exa mple.org/"})
    EXPECT_FALSE(opener_.OpenUrl(url)) << url;
  EXPECT_EQ(catcher_.urls.size(), 1);
  about->DestroyWindow();
}

}  // namespace
}  // namespace trx::ui::testing

#include "url_qt_test.moc"

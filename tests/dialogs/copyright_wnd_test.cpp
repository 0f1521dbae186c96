// The about window headless, and the URL opener its link goes through.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/dialogs/dialog_test_support.h"
#include "ui/dialogs/copyright_wnd.h"
#include "ui/window/win_api.h"

namespace trx::ui::testing {
namespace {

class RecordingOpener : public IUrlOpener {
 public:
  std::vector<std::string> urls;
  bool OpenUrl(std::string_view url) override { urls.emplace_back(url); return true; }
};

class CopyrightTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    CResourceManager::GetInstance()->LoadLanguage("lan_en.xml");
    SetUrlOpener(&opener_);
    ASSERT_NE(owner_.Create(nullptr, "main", WS_VISIBLE, 0, 560, 234, 800, 572), nullptr);
  }
  Ccopyright* Open() {
    const HWND hwnd = OpenAboutWindow(owner_.GetHWND());
    auto* about = dynamic_cast<Ccopyright*>(CWindowWnd::FromHandle(hwnd));
    if (about != nullptr) about->GetPaintManager().UpdateLayout();
    return about;
  }
  RecordingOpener opener_;
  MainStandIn owner_;
};

TEST_F(CopyrightTest, ShowsVersionAndLicencesBesideTheMainWindowAndClosesWithItsButton) {
  Ccopyright* about = Open();
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->IsWindowVisible());
  EXPECT_EQ(about->GetWindowText(), "About") << "titled from the language file";
  // x = 2 × 560, y = 806 / 2 − 80, at the layout's size.
  EXPECT_EQ(about->GetWindowRect(), (UiRect{1120, 323, 1560, 643}));
  CPaintManagerUI& pm = about->GetPaintManager();
  EXPECT_EQ(pm.FindControl(kCopyrightVersionName)->GetText(), ProgramVersion());
  std::string texts;
  for (CControlUI* c : pm.FindControls([](CControlUI*) { return true; })) texts += c->GetText() + "|";
  for (const char* part : {"Qt 6 — GNU LGPL version 3", "pugixml — MIT licence", "Version"})
    EXPECT_NE(texts.find(part), std::string::npos) << part;

  const HWND hwnd = about->GetHWND();
  QueueMouseClick(*about, kCopyrightCloseName);
  queue().ProcessPending();
  queue().ProcessPending();
  EXPECT_FALSE(IsWindow(hwnd));  // closed; the object freed itself
}

TEST_F(CopyrightTest, EveryRequestOpensAnotherWindowKeptOnTheScreen) {
  owner_.SetWindowPos(nullptr, 1500, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Ccopyright* first = Open();
  Ccopyright* second = Open();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  // 2 × 1500 lies past the 1920-wide work area: moved back onto it.
  EXPECT_EQ(second->GetWindowRect().right, 1920);
  // Both go with their owner (and free themselves: keep only the handles).
  const HWND first_hwnd = first->GetHWND();
  const HWND second_hwnd = second->GetHWND();
  owner_.DestroyWindow();
  EXPECT_FALSE(IsWindow(first_hwnd));
  EXPECT_FALSE(IsWindow(second_hwnd));
}

TEST_F(CopyrightTest, DraggedByCaptionSpaceAndTheLinkOpensOnlyTheFixedHttpsPage) {
  Ccopyright* about = Open();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->HitTestClient({200, 20}), HTCAPTION);
  const UiRect close = about->GetPaintManager().FindControl(kCopyrightCloseName)->GetPos();
  EXPECT_EQ(about->HitTestClient({close.left + 5, close.top + 5}), HTCLIENT);
  const UiRect link = about->GetPaintManager().FindControl(kCopyrightLinkName)->GetPos();
  EXPECT_EQ(about->HitTestClient({link.left + 5, link.top + 5}), HTCLIENT);
  EXPECT_EQ(about->HitTestClient({200, 200}), HTCLIENT);  // below the caption
  QueueMouseClick(*about, kCopyrightLinkName);
  queue().ProcessPending();
  EXPECT_EQ(opener_.urls, (std::vector<std::string>{kProjectWebPage}));
  EXPECT_TRUE(IsPlainHttpsUrl(kProjectWebPage));

  // Without an opener nothing is opened, and nothing else is tried.
  SetUrlOpener(nullptr);
  QueueMouseClick(*about, kCopyrightLinkName);
  queue().ProcessPending();
  EXPECT_EQ(opener_.urls.size(), 1u);
}

TEST(UrlOpenerTest, OnlyPlainHttpsUrlsArePassedOn) {
  RecordingOpener opener;
  SetUrlOpener(&opener);
  const struct { const char* url; bool passed; } cases[] = {
      {"https://example.org/trx770", true}, {"https://example.org/a?b=c&d=e", true}, {"http://example.org/", false},
      {"file:///etc/passwd", false}, {"HTTPS://example.org/", false}, {"https://", false}, {"https:///path", false},
      {"https://example.org/ x", false}, {"https://example.org/;rm -rf ~", false}, {"https://example.org/$(id)'", false},
      {"https://example.org/\"quoted\"", false}, {"https://example.org/`id`", false}, {"https://example.org/\n", false},
      {" https://example.org/", false},
  };
  for (const auto& c : cases) EXPECT_EQ(OpenHttpsUrl(c.url), c.passed) << c.url;
  std::vector<std::string> passed;
  for (const auto& c : cases)
    if (c.passed) passed.emplace_back(c.url);
  EXPECT_EQ(opener.urls, passed);
  SetUrlOpener(nullptr);
}

}  // namespace
}  // namespace trx::ui::testing

// Every text of both language files fits its control, measured with the real fonts on every tab page
// and hidden panel: one-line texts by the width inside their padding, wrapped ones by height. Combo texts
// are cut with an ellipsis by design; edits and texts with a slot ("{name}", "%d") are left out.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/skin/skin_test_support.h"
#include "ui/core/container.h"
#include "ui/core/label.h"
#include "ui/core/menu.h"
#include "ui/core/resource_manager.h"
#include "ui/qt/qt_renderer.h"

namespace {

using namespace trx::ui;

using skin_test::PageBuilder;

// Texts the program puts on controls at run time: (end of the control's name, text id).
const std::pair<std::string_view, const char*> kRuntimeTexts[] = {{"_profile_link_edit", "profile_link_picking_text"}};

std::string NameOf(CControlUI* c) {
  for (CControlUI* p = c; p != nullptr; p = p->GetParent())
    if (!p->GetName().empty()) return p == c ? p->GetName() : "<" + std::string(c->GetClass()) + "> in " + p->GetName();
  return "<" + std::string(c->GetClass()) + ">";
}

class TextFit {
 public:
  TextFit(const std::string& layout, const std::string& language) {
    CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");
    CResourceManager& res = *CResourceManager::GetInstance();
    res.LoadResource("res.xml");
    res.LoadLanguage(language);
    pages_ = std::make_unique<PageBuilder>(&pm_);
    CDialogBuilder builder;
    root_ = builder.Create(layout, {}, pages_.get(), &pm_);
    if (root_ != nullptr) pm_.AttachDialog(root_);
    size_ = pm_.GetInitSize();
    if (size_.cx == 0) size_ = {400, 600};  // a menu: as large as it wants
  }
  bool Built() const { return root_ != nullptr; }
  int Measured() const { return measured_; }

  // The texts that do not fit, on every page and panel.
  std::set<std::string> Overflows() {
    Check(root_);
    std::vector<CControlUI*> views;
    root_->FindControl(
        [&](CControlUI* c) {
          if (c->GetInterface("TabLayout") != nullptr) {
            for (int i = 0; i < static_cast<CContainerUI*>(c->GetInterface("Container"))->GetCount(); ++i)
              views.push_back(static_cast<CContainerUI*>(c->GetInterface("Container"))->GetItemAt(i));
          } else if (!c->IsVisible() && c->GetInterface("Container") != nullptr) {
            views.push_back(c);
          }
          return false;
        },
        UIFIND_ALL);
    for (CControlUI* view : views) Reveal(view);
    return out_;
  }

 private:
  struct Undo { CControlUI* control; bool visible; CTabLayoutUI* tab; int page; };

  // Shows `view` and the way to it, checks it, and puts everything back.
  void Reveal(CControlUI* view) {
    std::vector<Undo> undo;
    for (CControlUI* c = view; c != nullptr; c = c->GetParent()) {
      CControlUI* parent = c->GetParent();
      auto* tab = parent != nullptr ? static_cast<CTabLayoutUI*>(parent->GetInterface("TabLayout")) : nullptr;
      undo.push_back({c, c->IsVisible(), tab, tab != nullptr ? tab->GetCurSel() : -1});
      if (tab != nullptr) tab->SelectItem(c);
      else if (!c->IsVisible()) c->SetVisible(true);
    }
    Check(view);
    for (auto it = undo.rbegin(); it != undo.rend(); ++it) {
      if (it->tab != nullptr) it->tab->SelectItem(it->page);
      else it->control->SetVisible(it->visible);
    }
  }

  void Check(CControlUI* subtree) {
    pm_.SetClientSize(size_);
    pm_.UpdateLayout();
    subtree->FindControl(
        [&](CControlUI* c) {
          Measure(c);
          return false;
        },
        UIFIND_VISIBLE);
  }

  void Measure(CControlUI* c) {
    if (!c->IsVisible()) return;
    for (const auto& [name_end, id] : kRuntimeTexts)
      if (c->GetName().ends_with(name_end)) MeasureText(c, CResourceManager::GetInstance()->GetText(id));
    if (c->IsResourceText()) MeasureText(c, c->GetText());
  }

  void MeasureText(CControlUI* c, const std::string& text) {
    if (text.empty() || text.find('{') != std::string::npos || text.find('%') != std::string::npos) return;
    const UiRect rc = c->GetPos();
    if (rc.Width() <= 0) return;
    if (auto* item = static_cast<CMenuElementUI*>(c->GetInterface("MenuElement"))) {
      const QFontMetrics metrics(qt::QtRenderer::ToQFont(pm_.GetFont(-1)));
      ++measured_;
      // The item's text starts 26 pixels in (the tick's room).
      if (metrics.horizontalAdvance(QString::fromStdString(text)) + 26 > rc.Width())
        out_.insert(NameOf(item) + ": \"" + text + "\"");
      return;
    }
    auto* label = static_cast<CLabelUI*>(c->GetInterface("Label"));
    if (label == nullptr || label->IsShowHtml()) return;
    const QFontMetrics metrics(qt::QtRenderer::ToQFont(pm_.GetFont(label->GetFont())));
    const UiRect pad = label->GetTextPadding();
    const int width = rc.Width() - pad.left - pad.right;
    const int height = rc.Height() - pad.top - pad.bottom;
    const QString q = QString::fromStdString(text);
    ++measured_;
    bool fits = true;
    if (label->GetTextStyle() & DT_WORDBREAK) {
      fits = metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, q).height() <= height + 2;
    } else {
      fits = metrics.horizontalAdvance(q) <= width + 1;
    }
    if (!fits) out_.insert(NameOf(c) + ": \"" + text + "\" in " + std::to_string(width) + "x" + std::to_string(height));
  }

  CPaintManagerUI pm_;
  std::unique_ptr<PageBuilder> pages_;
  CControlUI* root_ = nullptr;
  UiSize size_{};
  std::set<std::string> out_;
  int measured_ = 0;
};

class SkinTextFit : public ::testing::TestWithParam<const char*> {};

TEST_P(SkinTextFit, EveryTextFitsItsControlInBothLanguages) {
  for (const char* language : {"lan_en.xml", "lan_cn.xml"}) {
    TextFit fit(GetParam(), language);
    ASSERT_TRUE(fit.Built()) << GetParam();
    std::string report;
    for (const std::string& line : fit.Overflows()) report += "\n  " + line;
    EXPECT_GE(fit.Measured(), 3) << GetParam() << ": the walk measured hardly any text";
    std::printf("%s %s: %d texts measured\n", GetParam(), language, fit.Measured());
    EXPECT_TRUE(report.empty()) << GetParam() << " in " << language << ":" << report;
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, SkinTextFit,
                         ::testing::Values("XML_MAIN", "MsgWnd.xml", "GmPalletDialog.xml", "skin.xml",
                                           "CopyRight.xml", "menu1.xml"));

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

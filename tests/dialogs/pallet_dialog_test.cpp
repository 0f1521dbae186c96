// The colour palette dialog.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/debug_log.h"
#include "tests/dialogs/dialog_test_support.h"
#include "ui/dialogs/pallet_dialog.h"
#include "ui/window/screen_placement.h"
#include "ui/dialogs/preset_colors.h"
#include "ui/window/win_api.h"

namespace trx::ui::testing {
namespace {

// A palette dialog built from layout text instead of the skin file.
struct InlinePalletDialog : CPalletDialog {
  InlinePalletDialog(UiColor color, std::string layout) : CPalletDialog(color), xml(std::move(layout)) {}
  std::string GetSkinFile() override { return xml; }
  std::string xml;
};

class PalletTest : public DialogTest {
 protected:
  // Creates the dialog as the colour buttons do and runs it; `answer`
  // queues the user's actions.
  UINT Run(CPalletDialog& dialog, const std::function<void(CPalletDialog&)>& answer) {
    const HWND hwnd = dialog.Create(nullptr, kPalletDialogTitle, kPalletDialogStyle, kPalletDialogExStyle, 0, 0, 800,
                                    572);
    EXPECT_NE(hwnd, nullptr);
    if (hwnd == nullptr) return 99;
    answer(dialog);
    return dialog.ShowModal();
  }
};

// Cancel and the close button return "closed"; Escape and a desktop close are not OK either.
TEST_F(PalletTest, OnlyOkReturnsTheColourShown) {
  // The presets are clicked first, in order, then `click` (nullptr: `message` is sent); `color`: the dialog's after it ran.
  struct Row {
    const char* how; UiColor initial; std::vector<int> presets; const char* click; UINT message; WPARAM wparam; bool ok; UiColor color;
  };
  const Row rows[] = {
      {"cancel after a preset", 0xFF112233, {2}, kPalletBtnCancelName, 0, 0, false, 0xFF112233},
      {"close button after a preset", 0xFF112233, {7}, kPalletCloseName, 0, 0, false, 0xFF112233},
      {"OK after two presets: the last", 0xFF112233, {3, 16}, kPalletOkName, 0, 0, true, 0xFF48B1FA},
      {"OK without changes", 0xFF804020, {}, kPalletOkName, 0, 0, true, 0xFF804020},
      {"Escape after a preset", 0xFF112233, {5}, nullptr, WM_KEYDOWN, VK_ESCAPE, false, 0xFF112233},
      {"closed from the desktop", 0xFF112233, {}, nullptr, WM_SYSCOMMAND, SC_CLOSE, false, 0xFF112233},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.how);
    CPalletDialog dialog(row.initial);
    const UINT result = Run(dialog, [&row](CPalletDialog& d) {
      for (int preset : row.presets) QueueMouseClick(d, "ms_dpi_color_png_" + std::to_string(preset));
      if (row.click != nullptr) {
        QueueMouseClick(d, row.click);
        return;
      }
      const HWND hwnd = d.GetHWND();
      CMessageQueue::Instance().PostCallback([hwnd, &row] {
        const LRESULT answer = SendMessage(hwnd, row.message, row.wparam, 0);
        if (row.message == WM_SYSCOMMAND) { EXPECT_EQ(answer, 0); }
      });
    });
    EXPECT_EQ(result == kPalletResultOk, row.ok) << result;
    if (!row.ok && row.click != nullptr) { EXPECT_EQ(result, kPalletResultClosed); }
    EXPECT_EQ(dialog.GetColor(), row.color);
  }
}

TEST_F(PalletTest, PresetClickShowsTheColourInPreviewAndPaletteAndWritesTheDebugLine) {
  std::vector<std::string> lines;
  const DebugSink old = SetDebugSink([&](std::string_view line) { lines.emplace_back(line); });
  CPalletDialog dialog(0xFF000000);
  Run(dialog, [](CPalletDialog& d) {
    for (int i = 0; i < kPresetColorCount; ++i) {
      CControlUI* b = d.GetPaintManager().FindControl("ms_dpi_color_png_" + std::to_string(i));
      ASSERT_NE(b, nullptr) << i;
      EXPECT_EQ(b->GetBkColor(), kPresetColors[static_cast<size_t>(i)]) << i;
    }
    QueueMouseClick(d, "ms_dpi_color_png_29");
    CMessageQueue::Instance().PostCallback([&d] {
      EXPECT_EQ(d.GetShownColor(), 0xFF4776A4u);
      auto* pallet = static_cast<CColorPaletteUI*>(d.GetPaintManager().FindControl(kPalletName));
      ASSERT_NE(pallet, nullptr);
      EXPECT_EQ(pallet->GetSelectColor() & 0xFFF0F0F0u, 0xFF4776A4u & 0xFFF0F0F0u);  // HSV round trip
      EXPECT_EQ(d.GetColor(), 0xFF000000u) << "member changed before OK";
    });
    QueueMouseClick(d, kPalletCloseName);
  });
  SetDebugSink(old);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "hongse"), lines.end());
}

TEST_F(PalletTest, PickingInThePaletteShowsThatColourAndOkReturnsIt) {
  CPalletDialog dialog(0xFF000000);
  UiColor picked = 0;
  const UINT result = Run(dialog, [&picked](CPalletDialog& d) {
    CMessageQueue::Instance().PostCallback([&picked, &d] {
      CPaintManagerUI& pm = d.GetPaintManager();
      pm.UpdateLayout();
      auto* pallet = static_cast<CColorPaletteUI*>(pm.FindControl(kPalletName));
      ASSERT_NE(pallet, nullptr);
      const UiRect area = pallet->GetPalletRect();
      const UiPoint pt{area.left + area.Width() / 3, area.top + area.Height() / 4};
      pm.OnButtonDown(pt);
      pm.OnButtonUp(pt);
      picked = pallet->GetSelectColor();
      EXPECT_EQ(d.GetShownColor(), picked);
    });
    QueueMouseClick(d, kPalletOkName);
  });
  EXPECT_EQ(result, kPalletResultOk);
  EXPECT_NE(picked, 0xFF000000u);
  EXPECT_EQ(dialog.GetColor(), picked);
}

TEST_F(PalletTest, PresetTableHoldsThirtyColoursAndRefusesOtherIndexes) {
  const std::pair<int, UiColor> known[] = {{0, 0xFFFF0000}, {18, 0xFFFDFDFC}, {21, 0xFF000000}, {29, 0xFF4776A4}};
  UiColor c = 0;
  for (const auto& [index, colour] : known) {
    ASSERT_TRUE(GetPresetColor(index, &c));
    EXPECT_EQ(c, colour) << index;
  }
  c = 0x12345678;
  EXPECT_FALSE(GetPresetColor(30, &c));
  EXPECT_FALSE(GetPresetColor(-1, &c));
  EXPECT_EQ(c, 0x12345678u);
}

// Layouts lacking parts, or with preset names that are no preset.
TEST_F(PalletTest, InlineLayoutsAnswerOkByThePartsTheyHold) {
  // `body` comes before the OK button.
  struct Row { const char* how; const char* body; std::vector<const char*> clicks; UINT result; UiColor color; };
  const Row rows[] = {
      {"malformed preset names change nothing",
       "<ColorPalette name=\"Pallet\" height=\"100\"/><Button name=\"color_show_btn\" height=\"20\"/>"
       "<Button name=\"ms_dpi_color_png_30\" height=\"10\"/><Button name=\"ms_dpi_color_png_x\" height=\"10\"/>"
       "<Button name=\"ms_dpi_color_png_\" height=\"10\"/><Button name=\"ms_dpi_color_png_-1\" height=\"10\"/>",
       {"ms_dpi_color_png_30", "ms_dpi_color_png_x", "ms_dpi_color_png_", "ms_dpi_color_png_-1"}, kPalletResultOk,
       0xFF123456},
      {"without the palette OK returns closed and the caller keeps its colour",
       "<Button name=\"color_show_btn\" height=\"20\"/><Button name=\"ms_dpi_color_png_4\" height=\"20\"/>",
       {"ms_dpi_color_png_4"}, kPalletResultClosed, 0xFF123456},
      {"without the preview OK returns colour zero", "<ColorPalette name=\"Pallet\" height=\"100\"/>", {},
       kPalletResultOk, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.how);
    InlinePalletDialog dialog(0xFF123456, std::string("<Window size=\"300,200\"><VerticalLayout>") + row.body +
                                              "<Button name=\"okbtn\" height=\"10\"/></VerticalLayout></Window>");
    EXPECT_EQ(Run(dialog,
                  [&row](CPalletDialog& d) {
                    for (const char* n : row.clicks) ClickDialogControl(d, n);
                    ClickDialogControl(d, kPalletOkName);
                  }),
              row.result);
    EXPECT_EQ(dialog.GetColor(), row.color);
  }
}

TEST_F(PalletTest, DraggingWorksOnEmptyCaptionSpaceOnlyAndTheFrameIsDrawnByTheDialog) {
  CPalletDialog dialog(0xFF000000);
  Run(dialog, [](CPalletDialog& d) {
    CMessageQueue::Instance().PostCallback([&d] {
      CPaintManagerUI& pm = d.GetPaintManager();
      pm.UpdateLayout();
      const UiRect close = pm.FindControl(kPalletCloseName)->GetPos();
      const UiRect title = pm.FindControl("pallet_title")->GetPos();
      const UiRect preset = pm.FindControl("ms_dpi_color_png_0")->GetPos();
      const UiRect ok = pm.FindControl(kPalletOkName)->GetPos();
      // The title label and the caption bar around it drag the window.
      EXPECT_EQ(d.HitTestClient({title.left + 5, title.top + 5}), HTCAPTION);
      EXPECT_EQ(d.HitTestClient({4, 4}), HTCAPTION);
      // Buttons in the caption do not; below the caption nothing does.
      EXPECT_EQ(d.HitTestClient({(close.left + close.right) / 2, (close.top + close.bottom) / 2}), HTCLIENT);
      EXPECT_EQ(d.HitTestClient({preset.left + 2, preset.top + 2}), HTCLIENT);
      EXPECT_EQ(d.HitTestClient({ok.left + 2, ok.top + 2}), HTCLIENT);
      EXPECT_EQ(d.HitTestClient({20, d.GetClientRect().bottom - 4}), HTCLIENT);
      // WM_NCHITTEST takes a screen point.
      const UiRect wnd = d.GetWindowRect();
      EXPECT_EQ(d.SendMessage(WM_NCHITTEST, 0, MakeLParam(wnd.left + 4, wnd.top + 4)), HTCAPTION);
      EXPECT_EQ(d.SendMessage(WM_NCHITTEST, 0,
                              MakeLParam(wnd.left + (close.left + close.right) / 2, wnd.top + close.top + 3)),
                HTCLIENT);
      // The other frame messages answer as a frameless window's.
      EXPECT_EQ(d.SendMessage(WM_NCCALCSIZE, 0, 0), 0);
      EXPECT_EQ(d.SendMessage(WM_NCPAINT, 0, 0), 0);
      EXPECT_EQ(d.SendMessage(WM_NCACTIVATE, 0, 0), TRUE);
      EXPECT_EQ(d.SendMessage(WM_NCACTIVATE, 1, 0), FALSE);
      d.SendMessage(WM_SIZE, SIZE_RESTORED, MakeLParam(420, 482));
      EXPECT_EQ(d.GetRegionRect(), (UiRect{0, 0, 421, 483}));
      EXPECT_EQ(d.GetRegionRound(), d.GetPaintManager().GetRoundCorner());
      EXPECT_GT(d.GetRegionRound().cx, 0);
      MinMaxInfo info;
      d.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
      EXPECT_EQ(info.ptMaxSize.x, 1920);
      EXPECT_EQ(info.ptMaxSize.y, 1040);
    });
    QueueMouseClick(d, kPalletCloseName);
  });
}

// At the layout's size, moved onto the work area near its edge, titled from the language;
// OK or Enter returns 1 with the colour shown, close returns 2.
TEST_F(PalletTest, RunPalletDialogPlacesItBesideTheCursorAndReturnsTheChoice) {
  ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage("lan_en.xml"));
  // `last` is clicked after preset 1 (nullptr: Enter alone).
  struct Row { UiRect work; UiPoint at; const char* last; int result; UiColor color; UiRect placed; };
  const Row rows[] = {
      {{0, 0, 1920, 1040}, {500, 300}, kPalletOkName, 1, 0xFF00F6FF, {480, 320, 900, 802}},
      {{0, 0, 1920, 1040}, {500, 300}, kPalletCloseName, 2, 0xFF000000, {480, 320, 900, 802}},
      {{0, 0, 1280, 800}, {1270, 790}, nullptr, 1, 0xFF123456, {860, 318, 1280, 800}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.at.x);
    SetHeadlessWorkArea(row.work);
    UiRect placed{};
    std::string title;
    SetDialogHook([&](WindowImplBase& d, std::string_view cls) {
      EXPECT_EQ(cls, "UIPalletDialog");
      title = d.GetWindowText();
      const HWND hwnd = d.GetHWND();
      queue().PostCallback([hwnd, &placed, &row] {
        GetWindowRect(hwnd, &placed);
        if (row.last == nullptr) SendMessage(hwnd, WM_KEYDOWN, VK_RETURN, 0);
      });
      if (row.last == nullptr) return;
      QueueMouseClick(d, "ms_dpi_color_png_1");
      QueueMouseClick(d, row.last);
    });
    UiColor color = 0xFF000000;
    EXPECT_EQ(RunPalletDialog(nullptr, 0xFF123456, row.at, &color), row.result);
    EXPECT_EQ(color, row.color);
    EXPECT_EQ(placed, row.placed);
    EXPECT_TRUE(LiesOnWorkArea(placed));
    EXPECT_EQ(title, "Choose a colour");
  }
}

}  // namespace
}  // namespace trx::ui::testing

// trx770-dialog-shots: pictures of the message box, the colour palette
// dialog and the skin chooser (both pages) in one language, drawn by the Qt
// backend in real windows, for looking at the dialogs under Xvfb.
//   trx770-dialog-shots <skin folder> <en|cn> <output folder> [scale]
// Writes msgwnd_<lang>_<text id>.png (a short and a long message),
// skin_images_hover_<lang>.png (the pointer over a picture), pallet_<lang>.png, skin_images_<lang>.png and
// skin_colors_<lang>.png.

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <string>

#include "ui/core/option.h"
#include "ui/core/paint_manager.h"
#include "ui/core/resource_manager.h"
#include "ui/dialogs/msg_wnd.h"
#include "ui/dialogs/pallet_dialog.h"
#include "ui/dialogs/skin_frame.h"
#include "ui/qt/qt_backend.h"
#include "ui/qt/qt_window.h"

namespace {

using namespace trx::ui;

void Settle() {
  QEventLoop loop;
  QTimer::singleShot(400, &loop, &QEventLoop::quit);
  loop.exec();
}

bool Grab(CWindowWnd& window, const std::string& path) {
  Settle();
  auto* native = dynamic_cast<qt::QtNativeWindow*>(window.Native());
  if (native == nullptr || native->Widget() == nullptr) return false;
  const bool ok = native->Widget()->grab().save(QString::fromStdString(path));
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s <skin folder> <en|cn> <output folder> [scale]\n", argv[0]);
    return 2;
  }
  if (argc > 4) qputenv("QT_SCALE_FACTOR", argv[4]);
  QApplication app(argc, argv);
  qt::QtBackend backend;
  backend.Install();
  CPaintManagerUI::SetResourcePath(argv[1]);
  CResourceManager& res = *CResourceManager::GetInstance();
  res.LoadResource("res.xml");
  if (res.GetXmlPath(kMsgWndSkin).empty()) res.LoadResource(TRX770_TEST_DATA_DIR "/dialogs/res.xml");
  const std::string lang = argv[2];
  res.SetLanguage(lang == "cn" ? "cn_zh" : "en");
  res.LoadLanguage(lang == "cn" ? "lan_cn.xml" : "lan_en.xml");
  const std::string out = std::string(argv[3]) + "/";
  int failures = 0;

  // A short message and the longest one.
  for (const char* id : {"message_text_8", "message_text_6"}) {
    auto* box = new CMsgWnd;  // deletes itself when destroyed
    if (box->Create(nullptr, kMsgWndTitle, WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW) == nullptr) {
      ++failures;
      continue;
    }
    box->CenterWindow();
    box->SetMessage(id, true);
    box->ShowWindow(true);
    failures += !Grab(*box, out + "msgwnd_" + lang + "_" + id + ".png");
    box->DestroyWindow();
  }

  CPalletDialog pallet(0xFFE8453C);
  if (pallet.Create(nullptr, kPalletDialogTitle, kPalletDialogStyle, kPalletDialogExStyle, 0, 0, 800, 572)) {
    pallet.CenterWindow();
    failures += !Grab(pallet, out + "pallet_" + lang + ".png");
    pallet.DestroyWindow();
  } else {
    ++failures;
  }

  // The chooser drops down from nothing here: centred instead.
  if (CSkinFrame* frame = CSkinFrame::Open(nullptr, nullptr)) {
    frame->CenterWindow();
    failures += !Grab(*frame, out + "skin_images_" + lang + ".png");
    // The pointer over the first picture.
    if (CControlUI* item = frame->GetPaintManager().FindControl(kSkinImageBtnName)) {
      const UiRect rc = item->GetPos();
      frame->GetPaintManager().OnMouseMove({(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
      failures += !Grab(*frame, out + "skin_images_hover_" + lang + ".png");
    }
    if (auto* page = static_cast<COptionUI*>(frame->GetPaintManager().FindControl(kSkinColorPageName)))
      page->Selected(true, true);
    failures += !Grab(*frame, out + "skin_colors_" + lang + ".png");
    frame->DestroyWindow();
  } else {
    ++failures;
  }
  return failures == 0 ? 0 : 1;
}

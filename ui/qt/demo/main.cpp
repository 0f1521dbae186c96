// trx770-ui-demo: shows the demo layout in a real window.
//   trx770-ui-demo                 run until the window is closed
//   trx770-ui-demo --shot out.png  also write the window's picture after a
//                                  second and quit (for checks under Xvfb)

#include <QApplication>
#include <QTimer>

#include <cstring>
#include <string>

#include "ui/core/paint_manager.h"
#include "ui/qt/demo/demo_window.h"
#include "ui/qt/qt_backend.h"
#include "ui/qt/qt_window.h"
#include "ui/window/win_api.h"

int main(int argc, char** argv) {
  // Fractional scale factors as the screen reports them (crisp at 1.25x too).
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  QApplication app(argc, argv);
  trx::ui::qt::QtBackend backend;
  backend.Install();
  trx::ui::CPaintManagerUI::SetResourcePath(TRX770_DEMO_DIR);

  std::string shot;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--shot") == 0) shot = argv[i + 1];

  trx::ui::demo::CDemoWnd window;
  if (window.Create(nullptr, "TRX770 demo", trx::ui::UI_WNDSTYLE_DIALOG, 0, 0, 0, 760, 520) == nullptr) return 1;
  window.CenterWindow();
  window.ShowWindow(true);
  if (!shot.empty()) {
    QTimer::singleShot(1000, [&] {
      auto* native = dynamic_cast<trx::ui::qt::QtNativeWindow*>(window.Native());
      if (native && native->Widget()) native->Widget()->grab().save(QString::fromStdString(shot));
      trx::ui::PostQuitMessage(0);
    });
  }
  return trx::ui::CPaintManagerUI::MessageLoop();
}

// trx770-record-demo: records from the real window system what the macro
// page records, without the page: a window, the Qt input capture, the hook
// owner in the mouse macro mode and the recorder. Prints the window id,
// records for the given seconds (default 5) and prints the action lines.
//
//   xvfb-run sh -c 'trx770-record-demo 4 & sleep 1; xdotool key a; sleep 1;
//                   xdotool key b; wait'

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "macro/macro_recorder.h"
#include "platform/input_hooks.h"
#include "ui/qt/qt_input_capture.h"

namespace {

struct Recording : trx::IHookTarget {
  explicit Recording(const trx::ITickClock& clock) : recorder(clock) {}
  void SendHookKeyboard(uint32_t, uint32_t wparam, const trx::KeyEventRecord& r) override {
    if (auto step = recorder.OnKey(wparam, r, list.size())) trx::macro::ApplyStep(list, *step);
  }
  void PostHookMouse(uint32_t, uint32_t wparam) override {
    if (auto step = recorder.OnMouse(wparam, true, list.size())) trx::macro::ApplyStep(list, *step);
  }
  trx::macro::CMacroRecorder recorder;
  std::vector<trx::macro::MacroAction> list;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
  QWidget window;
  window.setWindowTitle(QStringLiteral("trx770 record demo"));
  window.resize(200, 100);
  window.show();
  window.activateWindow();
  std::printf("window %llu\n", static_cast<unsigned long long>(window.winId()));
  std::fflush(stdout);

  trx::SteadyTickClock clock;
  Recording recording(clock);
  trx::ui::qt::QtInputCapture capture;
  trx::CDeviceHook hook(capture);
  if (hook.InstallHooks(trx::kHookModeMouseMacro, &recording, true, true) != trx::HookInstallResult::Installed) {
    std::fprintf(stderr, "trx770-record-demo: input capture not available\n");
    return 1;
  }
  recording.recorder.Start(false);
  QTimer::singleShot(seconds * 1000, &app, [&] {
    hook.RemoveHooks();
    for (const auto& a : recording.list) std::printf("%s\n", trx::macro::FormatActionLine(a).c_str());
    app.quit();
  });
  return app.exec();
}

#pragma once
// QtBackend: attaches the library's windows and message loop to Qt. The
// program's main creates a QApplication, then one QtBackend, and calls
// Install(); from then on every library window gets a QtWindow, the tray
// icon is a QSystemTrayIcon, file dialogs are QFileDialogs, and the message
// queue is drained from Qt's event loop: posted and sent messages wake it
// through a queued call, timers through one QTimer armed for the next due
// library timer. CPaintManagerUI::MessageLoop runs QApplication::exec; modal
// loops run nested QEventLoops.
//
// Construction, Install and everything else: UI thread only, except Wake,
// which any thread may call (the queue does).

#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <QTranslator>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/window/message_queue.h"
#include "ui/window/window_backend.h"

namespace trx::ui::qt {

class QtBackend : public IWindowBackend, public ILoopDriver {
 public:
  QtBackend();
  ~QtBackend() override;
  QtBackend(const QtBackend&) = delete;
  QtBackend& operator=(const QtBackend&) = delete;

  // Installs this backend and driver (needs a QApplication); Uninstall (and
  // the destructor) restore the headless ones.
  void Install();
  void Uninstall();

  // IWindowBackend
  std::unique_ptr<INativeWindow> CreateNativeWindow(CWindowWnd* window) override;
  UiRect WorkArea() override;
  UiPoint CursorPos() override;
  std::unique_ptr<INativeTrayIcon> CreateTrayIcon(std::function<void(UINT)> on_mouse, std::string_view icon_path,
                                                  std::string_view tooltip) override;
  bool RunFileDialog(const FileDialogRequest& request, std::string* path) override;

  // ILoopDriver
  void Wake() override;
  void RunUntil(const std::function<bool()>& done) override;

 private:
  void Pump();
  // Qt's own texts (file dialog buttons) in the interface's language.
  void UseLanguage(const std::string& language);

  QObject context_;        // queued calls and the timer live on the UI thread
  QTimer timer_;
  std::atomic<bool> wake_pending_{false};
  struct Level {
    QEventLoop* loop;  // null for the outermost QApplication::exec
    const std::function<bool()>* done;
  };
  std::vector<Level> levels_;
  bool installed_ = false;
  std::unique_ptr<QTranslator> translator_;
  std::string translator_language_;
};

}  // namespace trx::ui::qt

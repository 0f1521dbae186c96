// trx770: the TRX770 configuration utility.
//
//   trx770 [--simulate[=mouse,keyboard,pad]] [--openrgb-server[=PORT]] [--help] [--version]
//
// One copy runs per user session: a second start wakes the first (which
// comes forward, or says that no device is connected) and exits with 0. A
// start while the running copy is closing waits for it to end (at most
// 5 s) and then runs itself; the closing copy takes no more wake-ups from
// the moment it begins to close.
//
// Exit status: 0 on every path of the program itself (a second copy, a
// window that could not be created, the normal end). Only the command line
// gives others: 2 for an unknown or malformed option, 1 when the simulated
// devices asked for could not be created.
// The window appears while a device is connected and otherwise waits behind
// its tray icon. --simulate runs on simulated devices (all three, or the
// listed ones), which the tray menu can unplug, plug in and press buttons on.
//
// Start-up and shutdown order: instance message, single-instance lock,
// simulated devices, Qt and the window backend, skin folder and resource
// index, main window (created centred) and message loop; afterwards the
// window object, the resources, the simulated devices (which save their
// memory) and last the lock go, in that order.
// (Windows' COM and OLE set-up has no counterpart here.)

#include <QApplication>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/app_messages.h"
#include "app/main_wnd.h"
#include "platform/atomic_file.h"
#include "platform/debug_log.h"
#include "platform/desktop_pointer/deferred_pointer.h"
#include "platform/desktop_pointer/session_pointer.h"
#include "platform/program_folder.h"
#include "platform/single_instance.h"
#include "platform/user_folders.h"
#include "profile/profile_store.h"
#include "settings/settings_host.h"
#include "sim/demo_devices.h"
#include "sim/sim_options.h"
#include "ui/core/paint_manager.h"
#include "ui/core/resource_manager.h"
#include "ui/qt/qt_backend.h"
#include "ui/qt/qt_input_capture.h"
#include "ui/qt/qt_url_opener.h"
#include "ui/window/custom_controls.h"
#include "ui/window/tray_icon.h"
#include "ui/window/win_api.h"

#ifndef TRX770_VERSION
#define TRX770_VERSION "0"
#endif

namespace {

using namespace trx;

struct Options : sim::SimOptions {
  int openrgb_port = -1;  // --openrgb-server[=PORT]; -1: not given
};

void Usage(FILE* out) {
  std::fprintf(out,
               "usage: trx770 [--simulate[=mouse,keyboard,pad] [--sim-state DIR]] [--openrgb-server[=PORT]]\n"
               "              [--help] [--version]\n"
               "  --simulate        run on simulated devices (all three, or the listed ones)\n"
               "  --sim-state DIR   the simulated devices remember their memory in DIR\n"
               "  --openrgb-server  serve the OpenRGB SDK protocol on 127.0.0.1 (port 6743 or PORT);\n"
               "                    the choice is kept (the tray menu turns it off)\n");
}

// How the command line was taken.
enum class ParseResult { Run, Exit /* help or version shown: exit 0 */, Bad /* reason shown */ };

ParseResult ParseOptions(int argc, char** argv, Options& options) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  for (size_t i = 0; i < args.size(); ++i) {
    const char* arg = args[i].c_str();
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      Usage(stdout);
      return ParseResult::Exit;
    }
    if (std::strcmp(arg, "--version") == 0) {
      std::printf("trx770 %s\n", TRX770_VERSION);
      return ParseResult::Exit;
    }
    if (sim::IsSimOption(arg)) {
      std::string error;
      if (sim::TakeSimOption(args, i, options, error) == sim::SimOptionResult::Bad) {
        std::fprintf(stderr, "trx770: %s\n", error.c_str());
        return ParseResult::Bad;
      }
      continue;
    }
    if (std::strcmp(arg, "--openrgb-server") == 0) {
      options.openrgb_port = openrgb::kDefaultPort;
      continue;
    }
    if (std::strncmp(arg, "--openrgb-server=", 17) == 0) {
      char* end = nullptr;
      const long port = std::strtol(arg + 17, &end, 10);
      if (end == arg + 17 || *end != '\0' || port < 1 || port > 65535) {
        std::fprintf(stderr, "trx770: --openrgb-server= needs a port 1-65535\n");
        return ParseResult::Bad;
      }
      options.openrgb_port = static_cast<int>(port);
      continue;
    }
    // Qt's own options (-platform, -display ...) are left to QApplication.
    if (arg[0] == '-' && arg[1] == '-') {
      std::fprintf(stderr, "trx770: unknown option %s\n", arg);
      Usage(stderr);
      return ParseResult::Bad;
    }
  }
  if (std::string error; !sim::CheckSimOptions(options, error)) {
    std::fprintf(stderr, "trx770: %s\n", error.c_str());
    return ParseResult::Bad;
  }
  return ParseResult::Run;
}

// SIGINT and SIGTERM close the main window, so the workers stop and the
// files are left complete. The signals are blocked in every thread and
// taken by one waiting thread, which first stops the single-instance
// listener (a start from now on waits for us to end) and posts the close
// (any thread may post). A signal before the window exists is kept and
// CloseIfRequested closes the window once it does.
class TerminationWatch {
 public:
  explicit TerminationWatch(SingleInstance& instance) : instance_(instance) {
    sigemptyset(&set_);
    sigaddset(&set_, SIGINT);
    sigaddset(&set_, SIGTERM);
    sigaddset(&set_, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &set_, nullptr);
    thread_ = std::thread([this] {
      for (;;) {
        int sig = 0;
        if (sigwait(&set_, &sig) != 0) return;
        if (sig == SIGUSR1) return;  // our own wake-up at exit
        instance_.StopListening();
        requested_ = true;
        ui::PostMessage(app::MainWindowHandle(), ui::WM_CLOSE);
      }
    });
  }
  // UI thread, once the main window's handle is published: a signal that
  // came before it (and found no window to post to) closes it now.
  void CloseIfRequested(ui::HWND window) const {
    if (requested_) ui::PostMessage(window, ui::WM_CLOSE);
  }
  ~TerminationWatch() {
    pthread_kill(thread_.native_handle(), SIGUSR1);
    thread_.join();
  }

 private:
  SingleInstance& instance_;
  sigset_t set_;
  std::atomic<bool> requested_{false};
  std::thread thread_;
};

}  // namespace

int main(int argc, char** argv) {
  trx::ProcessUmask();  // read once, before any thread writes a file
  Options options;
  const ParseResult parsed = ParseOptions(argc, argv, options);
  if (parsed != ParseResult::Run) return parsed == ParseResult::Exit ? 0 : 2;

  sim::SimulateSelection selection;
  if (options.simulate) {
    std::string error;
    if (!sim::ParseSimulateList(options.simulate_list, selection, error)) {
      std::fprintf(stderr, "trx770: %s\n", error.c_str());
      return 2;
    }
  }

  // Declared first so that it goes last: the lock is held until every file
  // (settings, the simulated devices' memory) is written. The signals are
  // taken from here on.
  SingleInstance instance(app::kInstanceLockName, app::kInstanceMessageName);
  TerminationWatch termination(instance);
  const ui::UINT instance_message = app::RegisterInstanceMessage();
  DebugLineF(app::kDebugInstanceId, instance_message);
  if (instance_message < ui::kRegisteredMessageFirst || instance_message > ui::kRegisteredMessageLast) return 0;

  const SingleInstance::Result claim = instance.Acquire([] {
    // A later copy started: the same message a device arrival posts.
    app::WakeMainWindow();
  });
  if (claim == SingleInstance::Result::Woken) return 0;
  if (claim == SingleInstance::Result::NotWoken) {
    std::fprintf(stderr, "trx770: another copy holds %s but did not answer within %d s; not starting\n",
                 instance.LockPath().c_str(), SingleInstance::kOwnerWaitMs / 1000);
    return 0;
  }
  if (claim == SingleInstance::Result::Failed) DebugLine("no single-instance lock; running without one");
  // The window starts the server at its first paint from the stored choice.
  if (options.openrgb_port > 0 &&
      !app::StoreOpenRgbChoice({true, static_cast<uint16_t>(options.openrgb_port)}, MainIniPath()))
    std::fprintf(stderr, "trx770: warning: the OpenRGB server choice could not be stored\n");

  // Simulated devices replace the hidraw tree before any channel exists.
  std::unique_ptr<sim::SimulatedDevices> simulated;
  if (options.simulate) {
    simulated = std::make_unique<sim::SimulatedDevices>(selection, options.sim_state);
    if (!simulated->StateWarning().empty())
      std::fprintf(stderr, "trx770: warning: %s\n", simulated->StateWarning().c_str());
    if (!simulated->Valid()) {
      std::fprintf(stderr, "trx770: the simulated devices could not be created\n");
      return 1;
    }
    simulated->Install();
  }

  QApplication application(argc, argv);
  // Names the desktop entry (trx770.desktop): on Wayland it is the window's
  // application id, which the shell uses for the icon and the window list.
  QGuiApplication::setDesktopFileName(QStringLiteral("trx770"));
  ui::qt::QtBackend backend;
  backend.Install();

  ui::CPaintManagerUI::SetInstance(ProgramFolder());
  ui::CPaintManagerUI::SetResourceType(1);
  ui::CPaintManagerUI::SetResourcePath(ProgramFolder() + "skin/");
  ui::CResourceManager::GetInstance()->LoadResource("res.xml");
  if (!ui::RegisterCustomControls()) DebugLine("custom controls not registered");
  ui::qt::QtUrlOpener url_opener;
  ui::SetUrlOpener(&url_opener);
  ui::CTrayIcon::RegisterIconFile(app::kTrayIconId, "common/logo.png");
  InstallProfileSaver();
  // The session's pointer-speed and wheel-lines backend; it outlives the
  // window, whose performance page applies through it. Opened on its first
  // use (the window's start-up read, on a worker): the KDE one asks KWin.
  auto desktop_pointer = std::make_unique<desktop::CDeferredDesktopPointer>([session = desktop::SessionFromEnvironment()] {
    return desktop::OpenSessionDesktopPointer(session);
  });
  desktop::SetDesktopPointer(desktop_pointer.get());

  ui::qt::QtInputCapture input_capture;
  app::MainWndOptions window_options;
  window_options.simulated = simulated.get();
  window_options.input_source = &input_capture;
  window_options.session_bus = true;
  // Closing starts by refusing wake-ups, before anything is torn down.
  window_options.closing = [&instance] { instance.StopListening(); };
  auto* window = new app::CMainWnd(window_options);
  SetSettingsHost(window);
  constexpr ui::DWORD kMainStyle = 0x96CA0000;  // popup, visible, clip, caption, system menu, minimise box
  if (window->Create(nullptr, app::kProgramTitle, kMainStyle, 0, 0, 0, app::kMainWidth, app::kMainHeight) ==
      nullptr) {
    std::fprintf(stderr, "trx770: the main window could not be created (skin folder %s)\n",
                 ui::CPaintManagerUI::GetResourcePath().c_str());
    SetSettingsHost(nullptr);
    delete window;
    desktop::SetDesktopPointer(nullptr);
    return 0;  // as on every path of the program itself; the reason is on stderr
  }
  window->CenterWindow();
  termination.CloseIfRequested(window->GetHWND());
  ui::CPaintManagerUI::MessageLoop();

  SetSettingsHost(nullptr);
  delete window;
  desktop::SetDesktopPointer(nullptr);
  ui::CResourceManager::GetInstance()->Release();
  ui::SetUrlOpener(nullptr);
  backend.Uninstall();
  return 0;
}

#pragma once
#include <deque>
#include <functional>
// CMainWnd: the program's one top-level window and the owner of what lives
// for the whole run: the layout, the tray icon and its menu, the three
// device channels, the fourteen worker threads with their stop events, the
// settings-pending flags and the timers.
//
// Visibility: the window exists from start to exit but is shown only while
// a device is connected; otherwise it waits behind its tray icon. The first
// paint delivers "windowinit", which loads the stored data, starts the
// workers and timer 2, and hides the window (app/start_order.h).
//
// Threads. Everything runs on the UI thread except the IPresenceHost calls,
// which workers make: their control changes reach the UI thread as a SENT
// window message (WM_APP_RUN_CALL) and return once done; after shutdown has
// begun they return at once without waiting. Channel(), the post calls,
// StartTimer and MarkSettingsPending never wait and may be called from any
// thread.
//
// Shutdown (WM_DESTROY, in the order of app/shutdown_order.h): the tray
// icon goes, the quit message is posted (which releases workers blocked in
// a send), every stop event is set and the workers are waited for
// together, at most StopTimeoutMs() (10 s); the
// device sequences of a worker end between two exchanges once its stop
// event is set. A worker still running after that is let go: it holds the
// presence proxy (presence_host_proxy.h) with the channels, not the window,
// so destroying the window frees nothing it can reach, and the destructor
// does not wait for it again.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <unordered_map>

#include "app/presence_host_proxy.h"
#include "app/program_bus.h"
#include "app/access_prompt.h"
#include "app/device_backup_menu.h"
#include "app/progress_ring.h"
#include "app/window_messages.h"
#include "app/app_messages.h"
#include "app/on_demand_timer.h"
#include "app/link_selector.h"
#include "app/page_timers.h"
#include "app/preview_frame_timer.h"
#include "app/program_links.h"
#include "app/openrgb_bridge.h"
#include "app/lighting_preview_host.h"
#include "app/settings_sender.h"
#include "app/simulator_menu.h"
#include "app/tray_menu.h"
#include "app/bring_forward.h"
#include "app/input_hook_gate.h"
#include "app/window_ui_post.h"
#include "device/device_queue.h"
#include "app/worker_threads.h"
#include "device/device_channel.h"
#include "pages/page_context.h"
#include "platform/input_hooks.h"
#include "platform/foreground/foreground_source.h"
#include "pages/page_set.h"
#include "presence/presence_host.h"
#include "profile/init_profiles.h"
#include "settings/settings_host.h"
#include "ui/core/resource_manager.h"
#include "ui/dialogs/skin_observer.h"
#include "ui/window/menu_wnd.h"
#include "platform/progress_reporter.h"
#include "ui/window/tray_icon.h"
#include "ui/window/window_impl_base.h"

namespace trx::sim {
class SimulatedDevices;
}
namespace trx::ui {
class CComboUI;
class CMenuUI;
}

namespace trx::app {

struct MainWndOptions {
  // Backend of the device channels; null: the process-wide default.
  std::shared_ptr<IHidBackend> backend;
  // Start the presence threads at "windowinit" (tests of other behaviour
  // switch them off and fill the worker slots themselves).
  bool presence_threads = true;
  // How long WM_DESTROY waits for the workers.
  int stop_timeout_ms = kWorkerStopTimeoutMs;
  // Simulated devices (--simulate): adds their section to the tray menu.
  sim::SimulatedDevices* simulated = nullptr;
  // Look every 2 s for devices present but not accessible and offer help
  // (with the presence threads).
  bool access_help = true;
  // Where input is captured while a page listens (the Qt backend's event
  // filter); null: no capture (installing the hooks fails).
  IInputSource* input_source = nullptr;
  // The program-link monitors (with the presence threads): the program in
  // front comes from `foreground`, or when null from the backend of the
  // session (platform/foreground/foreground_choice.h).
  bool link_monitors = true;
  std::shared_ptr<foreground::IForegroundSource> foreground = nullptr;
  // Serve the API on the session bus (app/program_bus.h) from "windowinit"
  // to WM_DESTROY; bus_address empty: the session bus.
  bool session_bus = false;
  std::string bus_address = {};
  // Runs first at WM_DESTROY (UI thread), before anything is torn down:
  // the entry point stops taking wake-ups from later copies there.
  std::function<void()> closing = {};
};

// The registered instance message ("KORVANTE_001"); 0 until registered.
ui::UINT InstanceMessage();
// Registers it (once; later calls return the same number).
ui::UINT RegisterInstanceMessage();
// The main window's handle for workers; null when there is none.
ui::HWND MainWindowHandle();
// A later copy of the program started: posts the instance message to the
// main window, or, when it doesn't exist yet, as soon as it does (a start
// during our own start-up is not lost). Any thread.
void WakeMainWindow();

class CMainWnd : public ui::WindowImplBase,
                 public ui::SkinChangedReceiver,
                 public ui::IQueryControlText,
                 public ISettingsHost,
                 public IPresenceHost,
                 public IProfileMessages,
                 public pages::IDialogs,
                 public pages::IDevices,
                 public pages::IWindow,
                 public pages::IInputHooks,
                 public IHookTarget {
 public:
  explicit CMainWnd(MainWndOptions options = {});
  ~CMainWnd() override;

  // --- for tests and the window's own code (UI thread)
  pages::CPageSet& Pages() { return *pages_; }
  // Removes the input hooks and stops a macro recording (the hooks arrive
  // with their own code; until then there is nothing to remove). Counts the
  // calls so the routing can be checked.
  void RemoveInputHooks() override;
  int HookRemovals() const { return hooks_.Removals(); }
  // Installs the hooks for `mode` (platform/input_hooks.h); their messages
  // go to the listener set with SetHookListener. Installed, Unavailable
  // when the input can't be captured, Inactive when the program is not
  // active (app/input_hook_gate.h). UI thread.
  HookInstallResult InstallInputHooks(uint32_t mode, bool keyboard, bool mouse) override;
  void SetHookListener(IHookListener* listener) override { hooks_.SetListener(listener); }
  pages::IInputHooks* InputHooks() override { return this; }
  CDeviceHook& Hook() { return hooks_.Hook(); }
  // IHookTarget: the hook owner's events as the WM_HOOK_* messages.
  void SendHookKeyboard(uint32_t message, uint32_t wparam, const KeyEventRecord& record) override;
  void PostHookMouse(uint32_t message, uint32_t wparam) override;
  // The modal message box with a language text id (app/window_messages.h).
  int ShowMessageBox(std::string_view text_id) { return messages_.ShowId(text_id); }
  // A long operation on the mouse's queue with the progress ring (the
  // simulated save, tests): Submit with `progress`. UI thread.
  bool RunDeviceOperation(std::function<CommandResult(IProgressReporter&)> operation);
  // IWindow: the keyboard hook in `mode`, its events to `listener`.
  HookInstallResult InstallKeyCapture(uint32_t mode, IHookListener* listener) override;
  // Operations showing the ring are queued or running (app/progress_ring.h).
  bool DeviceOperationBusy() const { return ring_.Busy(); }
  // The device's queue: everything that talks to the device goes there
  // (device/device_queue.h). Lives as long as the window. Any thread.
  CDeviceQueue& Queue(DeviceKind kind);
  // IDevices: queues on Queue(kind); an operation with `progress` shows
  // the ring (app/progress_ring.h). False once shutdown has begun.
  // UI thread.
  bool Submit(DeviceKind kind, DeviceOperation operation) override;
  routine::RoutineEdits& RoutineEdits() override { return routine_edits_; }

  // --- the OpenRGB SDK server (app/openrgb_bridge.h, app/openrgb_switch.h)
  COpenRgbBridge& OpenRgb() { return *openrgb_; }

  // --- state
  WorkerThreads& Workers() { return workers_; }
  PendingSettings& Pending() { return *pending_; }
  bool AnyDeviceConnected();
  ui::CTrayIcon& Tray() { return tray_; }
  ui::CMenuWnd* TrayMenu() const { return tray_menu_ ? tray_menu_->Menu() : nullptr; }
  int StopTimeoutMs() const { return options_.stop_timeout_ms; }

  // "windowinit" (first paint): the start steps in their order
  // (app/start_order.h). Runs once.
  void OnWindowInit();

  // --- window operations the tray, the instance message and tests use
  void BringForwardOnInstance();
  void BringForwardFromTray();
  void OpenTrayMenu();
  // Runs a tray-menu command by item name (text: the item's text).
  void RunMenuCommand(const std::string& name, const std::string& text);

  // ui::INotifyUI: the routing of every notification (pages/router.h).
  void Notify(ui::TNotifyUI& msg) override;
  // Builds the sub-layouts named in the main layout.
  ui::CControlUI* CreateControl(std::string_view class_name) override;
  // The skin chooser's change: colour or background image of "root".
  int Receive(ui::SkinChangedParam param) override;
  std::string QueryControlText(std::string_view id, std::string_view type) override;

  // ISettingsHost, pages::IDevices
  void MarkSettingsPending(DeviceKind kind) override {
    pending_->Mark(kind);
    send_timer_->Arm();
  }
  void ReadAgain(DeviceKind kind) override;
  void HideMouseFunctionPanel() override;
  void RefreshMousePages() override;

  // IPresenceHost
  CDeviceChannel& Channel(DeviceKind kind) override;
  void OnDeviceConnected(DeviceKind kind, const ConnectResult& result) override;
  void OnDeviceLeft(const RemovalPlan& plan) override;
  void OnSameModeChanged(DeviceKind kind, bool follows) override;
  void OnDeviceRead(DeviceKind kind) override;
  void ShowMainWindow() override;
  int ShowMessage(const char* text_id) override;
  void PostInstanceMessage() override;
  void StartTimer(int id, int period_ms) override;
  void SendReadMessage(uint32_t message) override;
  void RequestLightingRefresh() override;
  void ReadMouseRoutines() override;

  // IProfileMessages (the profile index at start-up), pages::IDialogs:
  // the message boxes of app/window_messages.h.
  int ShowMessage(std::string_view text_id) override { return messages_.ShowId(text_id); }
  int ShowCountMessage(std::string_view text_id, uint64_t number) override {
    return messages_.ShowCount(text_id, number);
  }
  int ShowText(std::string_view text) override { return messages_.ShowText(text); }
  int ShowNamedMessage(std::string_view text_id, std::string_view name) override {
    return messages_.ShowNamed(text_id, name);
  }
  bool PickColour(ui::UiColor initial, ui::UiPoint at, ui::UiColor* chosen) override;

  // pages::IWindow
  // The title bar's close button: quits once the quit questions allow
  // (app/quit_questions.h).
  void DestroyWindow() override;
  void SysCommand(unsigned command) override;
  void OpenSkinChooser(ui::CControlUI* anchor) override;
  void WindowInit() override { OnWindowInit(); }
  void LibraryNotify(ui::TNotifyUI& msg) override { WindowImplBase::Notify(msg); }
  void StartTimer(int id, int period_ms, std::function<void()> on_tick) override;
  void KillTimer(int id) override;
  ui::UiPoint CursorPos() override;

 protected:
  const char* GetWindowClassName() const override { return "MainWnd"; }
  ui::UINT GetClassStyle() const override { return ui::CS_DBLCLKS; }
  std::string GetSkinFile() override { return "XML_MAIN"; }
  void InitWindow() override;
  ui::LRESULT OnDestroy(ui::UINT msg, ui::WPARAM wparam, ui::LPARAM lparam, bool& handled) override;
  ui::LRESULT OnGetMinMaxInfo(ui::UINT, ui::WPARAM, ui::LPARAM, bool&) override { return 0; }
  // SC_CLOSE (the desktop's close) asks the quit questions first.
  ui::LRESULT OnSysCommand(ui::UINT msg, ui::WPARAM wparam, ui::LPARAM lparam, bool& handled) override;
  ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM wparam, ui::LPARAM lparam, bool& handled) override;

 private:
  void OnTimer(ui::UINT_PTR id);
  void ShutdownWorkers();
  void SetPresenceBodies();
  // The program links (app/program_links.h) wired to the links page, the
  // workers and the select on the device's queue.
  void StartProgramLinks();
  void FlashTopMost();
  // Runs fn on the UI thread: directly there, else through a sent message;
  // false when it could not run (window gone, shutdown begun).
  bool RunOnUi(const std::function<void()>& fn);
  // Stops the three queues (shutdown).
  void StopQueues();
  // The wiring of app/presence_read.h (read messages to the queues).
  bool SubmitPresenceRead(uint32_t message);

  MainWndOptions options_;
  WorkerThreads workers_;
  std::unique_ptr<pages::CPageSet> pages_;
  std::unique_ptr<CTrayMenu> tray_menu_;
  void CreateTrayMenu();
  ui::CTrayIcon tray_;
  // Shared with the workers through presence_: a worker let go at shutdown
  // keeps them alive until it ends.
  std::shared_ptr<CDeviceChannel> keyboard_;
  std::shared_ptr<CDeviceChannel> mouse_;
  std::shared_ptr<CDeviceChannel> pad_;
  // What the presence threads hold instead of this window.
  std::shared_ptr<PresenceHostProxy> presence_;
  CSimulatorMenu sim_menu_;
  CBringForward bring_forward_;
  CBringForward::Window BringForwardWindow();
  CProgramLinks program_links_;
  bool workers_started_ = false;  // the start order started the workers; UI thread
  // The OpenRGB SDK server; stopped before the channels go.
  std::unique_ptr<COpenRgbBridge> openrgb_;
  // The lighting threads' state and the preview's frame timer.
  std::unique_ptr<LightingPreviewHost> lighting_;
  CPreviewFrameTimer preview_timer_;
  // Shared with the queued sends, which may outlive a window whose stop
  // timed out.
  std::shared_ptr<PendingSettings> pending_ = std::make_shared<PendingSettings>();
  // Read by the mouse's connect read on its detection thread (atomic).
  routine::RoutineEdits routine_edits_;
  // Timer 2 runs only while a flag is set or an OpenRGB change waits
  // (shared with the OpenRGB server thread, which arms it).
  std::shared_ptr<COnDemandTimer> send_timer_ =
      std::make_shared<COnDemandTimer>(kTimerSendSettings, kSendSettingsPeriodMs);
  std::atomic<bool> stopping_{false};
  CInputHookGate hooks_;
  bool window_init_done_ = false;
  // The queues' way to the UI thread, and the three queues (keyboard,
  // mouse, pad), stopped before the workers at shutdown.
  std::shared_ptr<CWindowUiPost> ui_post_ = std::make_shared<CWindowUiPost>();
  CWindowMessages messages_{[this] { return m_hWnd; }};
  // Observes the queues: declared before them, so it outlives them.
  CProgressRing ring_{[this] { return pages_ ? pages_->Frame().progress.get() : nullptr; }, [this] { return m_hWnd; }};
  std::unique_ptr<CDeviceQueue> queues_[3];
  // The tray's backup section (completions run through the queues).
  CDeviceBackupMenu backup_menu_;
  CPageTimers page_timers_;
  CAccessPrompt access_prompt_;  // timer 8
  // The session-bus API; created before the workers start and stopped
  // after they ended, so their notifications always find it.
  std::unique_ptr<CProgramBus> bus_;
};

}  // namespace trx::app

#include "app/main_wnd.h"

#include <unistd.h>

#include <chrono>
#include <cstring>
#include <iterator>
#include <cstdio>
#include <thread>
#include <utility>

#include "app/app_messages.h"
#include "app/shutdown_order.h"
#include "app/simulator_menu.h"
#include "app/start_order.h"
#include "app/tray_menu.h"
#include "app/bring_forward.h"
#include "app/access_prompt.h"
#include "app/all_devices_gone.h"
#include "app/bus_host.h"
#include "app/dpi_change.h"
#include "app/linked_select.h"
#include "app/openrgb_switch.h"
#include "app/presence_read.h"
#include "app/quit_questions.h"
#include "app/send_tick.h"
#include "app/simulated_save.h"
#include "app/language.h"
#include "app/mouse_routine_read.h"
#include "app/pad_key_light_messages.h"
#include "backup/backup_store.h"
#include "bus/bus_names.h"
#include "pages/control_names.h"
#include "pages/profile_link_page.h"
#include "pages/mouse_performance_page.h"
#include "pages/name_split.h"
#include "pages/sub_layouts.h"
#include "device/device_ids.h"
#include "device/exchange_guard.h"
#include "device/hidraw_access.h"
#include "device/hidraw_backend.h"
#include "macro/macro_library.h"
#include "platform/autostart.h"
#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "platform/user_folders.h"
#include "presence/presence_handlers.h"
#include "pages/profile_bar.h"
#include "presence/presence_messages.h"
#include "presence/presence_threads.h"
#include "profile/profile_operations.h"
#include "settings/config_images.h"
#include "routine/routine_device.h"
#include "sim/demo_devices.h"
#include "ui/core/circle_progress.h"
#include "ui/core/color_palette.h"
#include "ui/core/combo.h"
#include "ui/core/list.h"
#include "ui/core/menu.h"
#include "ui/core/option.h"
#include "ui/dialogs/copyright_wnd.h"
#include "ui/dialogs/msg_wnd.h"
#include "ui/dialogs/pallet_dialog.h"
#include "ui/dialogs/skin_frame.h"
#include "ui/window/message_queue.h"
#include "ui/window/win_api.h"

namespace trx::app {
namespace names = pages::names;
using pages::HasPrefix;
using pages::SameName;

namespace {

std::atomic<ui::UINT> g_instance_message{0};
std::atomic<ui::HWND> g_main_hwnd{nullptr};
// A later copy woke us before the window existed: posted once it does.
std::atomic<bool> g_wake_pending{false};

}  // namespace

ui::UINT InstanceMessage() { return g_instance_message.load(); }

ui::UINT RegisterInstanceMessage() {
  const ui::UINT msg = ui::RegisterWindowMessage(kInstanceMessageName);
  g_instance_message.store(msg);
  return msg;
}

ui::HWND MainWindowHandle() { return g_main_hwnd.load(); }

void WakeMainWindow() {
  g_wake_pending.store(true);
  // Whoever takes the flag posts: this thread when the window is there,
  // else the window once its handle is stored.
  if (const ui::HWND hwnd = g_main_hwnd.load(); hwnd != nullptr && g_wake_pending.exchange(false))
    ui::PostMessage(hwnd, InstanceMessage());
}

CMainWnd::CMainWnd(MainWndOptions options)
    : options_(std::move(options)),
      keyboard_(std::make_shared<CDeviceChannel>(DeviceKind::Keyboard, options_.backend)),
      mouse_(std::make_shared<CDeviceChannel>(DeviceKind::Mouse, options_.backend)),
      pad_(std::make_shared<CDeviceChannel>(DeviceKind::MousePad, options_.backend)),
      presence_(std::make_shared<PresenceHostProxy>(keyboard_, mouse_, pad_)),
      sim_menu_(options_.simulated,
                [this] {
                  return StartSimulatedSave(options_.simulated, mouse_, [this](std::function<CommandResult(IProgressReporter&)> op) {
                    return RunDeviceOperation(std::move(op));
                  });
                }),
      bring_forward_(BringForwardWindow()),
      preview_timer_([this](int period_ms) {
        if (period_ms > 0) ui::SetTimer(m_hWnd, kTimerPreviewFrame, static_cast<ui::UINT>(period_ms));
        else ui::KillTimer(m_hWnd, kTimerPreviewFrame);  // hidden: shown or restored starts it again
      }),
      hooks_(options_.input_source),
      backup_menu_(CDeviceBackupMenu::Wiring{
          [this] { return m_hWnd; },
          [this](DeviceKind kind) {
            return kind == DeviceKind::Mouse ? mouse_ : kind == DeviceKind::Keyboard ? keyboard_ : pad_;
          },
          [this](DeviceKind kind, DeviceOperation operation) { return Submit(kind, std::move(operation)); },
          [this](DeviceKind kind) { SendReadMessage(ReadAllMessageOf(kind)); }}),
      page_timers_([this](int id, int period_ms) { StartTimer(id, period_ms); },
                   [this](int id) { ui::KillTimer(m_hWnd, static_cast<ui::UINT_PTR>(id)); }) {
  presence_->Attach(this);
  queues_[0] = std::make_unique<CDeviceQueue>(keyboard_, ui_post_, &ring_);
  queues_[1] = std::make_unique<CDeviceQueue>(mouse_, ui_post_, &ring_);
  queues_[2] = std::make_unique<CDeviceQueue>(pad_, ui_post_, &ring_);
  // A device never backed up on this computer is backed up before the
  // first write of its connection, whoever writes.
  for (CDeviceChannel* channel : {keyboard_.get(), mouse_.get(), pad_.get()}) backup::InstallAutomaticBackup(*channel);
  pages_ = std::make_unique<pages::CPageSet>(m_pm, *this, *this, *this);
  lighting_ = std::make_unique<LightingPreviewHost>(mouse_, pad_, keyboard_);
  openrgb_ = std::make_unique<COpenRgbBridge>(
      [keyboard = keyboard_, mouse = mouse_, pad = pad_](DeviceKind kind) {
        const CDeviceChannel& c = kind == DeviceKind::Keyboard ? *keyboard : kind == DeviceKind::Mouse ? *mouse : *pad;
        return c.connected.load() != 0;
      },
      [timer = send_timer_] { timer->Arm(); });
  hooks_.Source().SetKeyObserver(lighting_.get());  // key presses light the reactive previews
  CreateTrayMenu();
  if (options_.presence_threads) {
    SetPresenceBodies();
    lighting_->SetBodies(workers_);
  }
}

CMainWnd::~CMainWnd() {
  TeardownSteps steps;
  steps.drop_tray_menu = [this] { tray_menu_.reset(); };
  steps.remove_input = [this] {
    hooks_.Source().SetKeyObserver(nullptr);
    RemoveInputHooks();
  };
  steps.destroy_window_if_alive = [this] {
    if (ui::IsWindow(m_hWnd)) WindowImplBase::DestroyWindow();
  };
  steps.mark_stopping = [this] { stopping_ = true; };
  steps.stop_openrgb = [this] { openrgb_->Stop(); };
  steps.stop_queues = [this] { StopQueues(); };
  steps.stop_workers = [this] { workers_.StopAll(options_.stop_timeout_ms); };
  steps.detach_workers = [this] { presence_->Detach(); };
  steps.running_workers = [this] { return workers_.RunningCount(); };
  steps.stop_program_links = [this](bool no_worker_running) { program_links_.Stop(no_worker_running); };
  steps.reset_channels = [this] {
    pad_->Reset();
    mouse_->Reset();
    keyboard_->Reset();
  };
  steps.unregister = [this] {
    tray_.DeleteTrayIcon();
    RemoveObserver();
    if (g_main_hwnd.load() == m_hWnd) g_main_hwnd.store(nullptr);
    ForbidDeviceExchangesOnThisThread(false);
    if (ui::CResourceManager::GetInstance() != nullptr) ui::CResourceManager::GetInstance()->SetTextQueryInterface(nullptr);
  };
  RunTeardownOrder(steps);
}

void CMainWnd::RequestLightingRefresh() { lighting_->TriggerMouseFlash(); }

void CMainWnd::ReadMouseRoutines() { ReadMouseRoutinesOnConnect(Channel(DeviceKind::Mouse), routine_edits_); }

void CMainWnd::SetPresenceBodies() {
  // The bodies hold the proxy and the backend, never the window.
  auto body = [this](int (*routine)(PresenceThreadParam)) {
    return [host = presence_, backend = options_.backend, routine](CEvent& stop) {
      PresenceThreadParam param;
      param.host = host.get();
      param.stop = &stop;
      param.backend = backend;
      routine(param);
    };
  };
  workers_.SetBody(kWorkerMousePresence, body(&MouseDetectionThread));
  workers_.SetBody(kWorkerKeyboardPresence, body(&KeyboardDetectionThread));
  workers_.SetBody(kWorkerPadPresence, body(&MousePadDetectionThread));
  workers_.SetBody(kWorkerMouseSync, body(&MouseSyncThread));
  workers_.SetBody(kWorkerKeyboardSync, body(&KeyboardSyncThread));
}

// ---------------------------------------------------------------- layout

ui::CControlUI* CMainWnd::CreateControl(std::string_view class_name) {
  if (SameName(class_name, pages::kCircleProgressElement)) return new ui::CCircleProgressUI();
  const char* file = pages::SubLayoutFile(class_name);
  if (file == nullptr) return nullptr;
  ui::CDialogBuilder builder;
  ui::CControlUI* root = builder.Create(file, {}, nullptr, &m_pm, nullptr);
  if (root == nullptr) DebugLineF("sub-layout %s could not be built", file);
  return root;
}

void CMainWnd::InitWindow() {
  DebugLine(kDebugInitWindow);
  ui::CResourceManager* rm = ui::CResourceManager::GetInstance();
  rm->SetTextQueryInterface(this);
  if (!LoadLanguage(StartupLanguage(MainIniPath(), DesktopLocale()))) DebugLine("language file could not be loaded");
  ui::SkinObserver().AddReceiver(this);

  // The cursor routines' index and files, before the cursor page shows one.
  if (!routine::InitRoutineIndex(routine::RoutineStoreFor()))
    DebugLine("cursor routines: the index or a default routine file is missing");
  pages_->OnWindowInit();
  // The desktop's pointer settings are read on the performance page's
  // worker (the KDE backend asks KWin); the page shows them when they come.
  pages_->MousePerformance().ReadDesktopPointer([post = ui_post_](std::function<void()> call) { return post->Post(std::move(call)); });

  // (the key-light controls are bound by the page set, above)

  g_main_hwnd.store(m_hWnd);
  if (g_wake_pending.exchange(false)) ui::PostMessage(m_hWnd, InstanceMessage());  // a copy started meanwhile
  ui_post_->SetWindow(m_hWnd);
  // From here on every device exchange goes through a queue; one started
  // on this thread is a mistake (caught in test builds).
  ForbidDeviceExchangesOnThisThread();
  for (const auto& palette : pages_->Frame().palettes)
    if (ui::CColorPaletteUI* p = palette.get()) p->SetSelectColor(kInitialPaletteColour);

  tray_.CreateTrayIcon(m_hWnd, kTrayIconId, kProgramTitle);
  m_pm.GetDPIObj()->SetDPIAwareness(ui::PROCESS_SYSTEM_DPI_AWARE);
}

void CMainWnd::OnWindowInit() {
  if (window_init_done_) return;
  window_init_done_ = true;
  const std::string main_ini = MainIniPath();
  StartSteps steps;
  steps.apply_stored_skin = [this] {
    ui::SkinChangedParam skin;
    if (ui::ReadStoredSkin(&skin)) {
      if (ui::CControlUI* root = pages_->Frame().root.get()) {
        root->SetBkColor(skin.bColor ? skin.bkcolor : 0);
        root->SetBkImage(skin.bColor ? std::string() : skin.bgimage);
      }
    }
  };
  // The profile indexes fill the profile combos. (Macros load with their
  // own page, the cursor routines before the pages start.)
  steps.load_profiles = [this] {
    for (DeviceKind kind : {DeviceKind::Keyboard, DeviceKind::Mouse, DeviceKind::MousePad})
      if (!InitProfiles(kind, pages_->ProfileLists(), *this)) DebugLineF("profiles of the %s not initialised", DeviceKindName(kind));
  };
  steps.reset_channels = [this] {
    for (CDeviceChannel* channel : {keyboard_.get(), mouse_.get(), pad_.get()}) ApplyIdentity(*channel);
    for (CDeviceChannel* channel : {keyboard_.get(), mouse_.get(), pad_.get()}) channel->connected = 0;
  };
  steps.store_machine_language = [main_ini] { CopyMachineLanguageToIni(main_ini); };
  steps.hide = [this] { ShowWindow(false); };
  steps.start_program_links = [this] { StartProgramLinks(); };
  steps.start_session_bus = [this] {
    if (!options_.session_bus) return;
    bus_ = StartProgramBus({m_hWnd, presence_, &pages_->ProfileSelectTarget(),
                            [this](DeviceKind kind) -> CDeviceQueue& { return Queue(kind); }, options_.bus_address});
  };
  steps.start_worker = [this](int slot) {
    workers_started_ = true;
    workers_.Start(slot);
  };
  steps.set_timer = [this](ui::UINT_PTR timer, ui::UINT period_ms) { ui::SetTimer(m_hWnd, timer, period_ms); };
  steps.open_send_timer = [this] { send_timer_->Open(m_hWnd, SendsWaiting(*pending_, openrgb_->ChangesWaiting())); };
  steps.start_access_check = [this] { access_prompt_.Start(m_hWnd); };
  steps.openrgb_stored_on = [] { return OpenRgbStoredOn(); };
  steps.start_openrgb = [this] { StartOpenRgbServer(*openrgb_, messages_); };
  steps.reload_language = [main_ini] {
    if (!LoadLanguage(StartupLanguage(main_ini, DesktopLocale()))) DebugLine("language file could not be loaded");
    ui::CResourceManager::GetInstance()->ReloadText();
  };
  steps.presence_threads = options_.presence_threads;
  steps.access_help = options_.access_help;
  RunStartOrder(steps);
}

void CMainWnd::StartProgramLinks() {
  CProgramLinks::Wiring w;
  w.workers = &workers_;
  w.page = &pages_->ProfileLinks();
  w.post = ui_post_;
  w.stopping = [this] { return stopping_.load(); };
  w.workers_started = [this] { return workers_started_; };
  w.select = [this](const ProfileFamilyInfo& family, int index) {
    LinkedSelectWiring ls;
    ls.stopping = [this] { return stopping_.load(); };
    ls.channel = [this](DeviceKind kind) -> CDeviceChannel& { return Channel(kind); };
    ls.queue = [this](DeviceKind kind) -> CDeviceQueue& { return Queue(kind); };
    ls.pages = pages_.get();
    ls.bus = [this] { return bus_.get(); };
    return SelectLinked(ls, family, index);
  };
  program_links_.Start(options_.presence_threads && options_.link_monitors, options_.foreground, std::move(w));
}

// ---------------------------------------------------------------- messages

ui::LRESULT CMainWnd::OnDestroy(ui::UINT, ui::WPARAM, ui::LPARAM, bool& handled) {
  if (options_.closing) options_.closing();
  // A later wake must not go to this handle once it is gone (the teardown
  // runs after the handle is cleared).
  ui::HWND self = m_hWnd;
  g_main_hwnd.compare_exchange_strong(self, nullptr);
  tray_.DeleteTrayIcon();
  ui::PostQuitMessage(0);
  handled = false;  // HandleCustomMessage stops the workers
  return 0;
}

ui::LRESULT CMainWnd::HandleCustomMessage(ui::UINT msg, ui::WPARAM wparam, ui::LPARAM lparam, bool& handled) {
  if (msg == ui::WM_ACTIVATE) {
    hooks_.OnActivate(ui::LoWord(wparam) == ui::WA_INACTIVE);
    handled = false;
    return 0;
  }
  if (msg == ui::WM_LBUTTONDOWN) {
    hooks_.OnPress();
    handled = false;
    return 0;
  }
  if (msg == WM_BUS_PROFILES_CHANGED) {
    if (pages_) pages_->ReloadProfileLists(static_cast<DeviceKind>(wparam));
    handled = true;
    return 0;
  }
  if (msg == kMsgRunPosted) {
    if (!stopping_.load()) ui_post_->RunPosted();
    handled = true;
    return 0;
  }
  if (msg == pages::kMsgProfileSelected) {
    if (pages_) pages_->ApplyProfileSelections();
    handled = true;
    return 0;
  }
  if ((msg == ui::WM_SHOWWINDOW || msg == ui::WM_SIZE) && IsWindowVisible() && options_.presence_threads)
    preview_timer_.OnShown();
  if (msg == kMsgAllDevicesGone) {
    ShowAllDevicesGone(pages_->Frame().mouse_lighting_tab.get(), tray_, m_hWnd, [this] { ShowWindow(false); });
    handled = true;
    return 0;
  }
  if (msg != 0 && msg == InstanceMessage()) {
    DebugLineF(kDebugInstanceMessage, msg, static_cast<unsigned>(wparam), static_cast<unsigned>(lparam));
    BringForwardOnInstance();
    handled = true;
    return 0;
  }
  switch (msg) {
    case ui::WM_DESTROY:
      ShutdownWorkers();
      handled = true;
      return 0;
    case ui::WM_TIMER:
      OnTimer(wparam);
      handled = false;  // the library's own timers still run
      return 0;
    case ui::WM_DPICHANGED:
      ApplyDpiChange(m_pm, wparam, lparam, [this](const ui::UiRect& rc) {
        SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), ui::SWP_NOZORDER | ui::SWP_NOACTIVATE);
      });
      handled = true;
      return 0;
    case ui::UIMSG_TRAYICON:
      if (lparam == ui::WM_LBUTTONUP) BringForwardFromTray();
      if (lparam == ui::WM_RBUTTONUP) OpenTrayMenu();
      handled = true;
      return 0;
    case ui::WM_MENUCLICK: {
      handled = true;
      if (tray_menu_) tray_menu_->OnMenuClick(reinterpret_cast<ui::MenuCmd*>(wparam));
      else m_pm.DeletePtr(reinterpret_cast<ui::MenuCmd*>(wparam));
      return 0;
    }
    case WM_SETTING_DONE:
      ring_.HideSoon();
      handled = true;
      return 0;
    case WM_APP_RUN_CALL: {
      auto* fn = reinterpret_cast<const std::function<void()>*>(wparam);
      if (fn != nullptr) (*fn)();
      handled = true;
      return 1;
    }
    default:
      break;
  }
  if (hooks_.Dispatch(msg, wparam, lparam) || ApplyPadKeyLightMessage(pages_->KeyLights(), msg, wparam, lparam)) {
    handled = true;
    return 0;
  }
  if (!stopping_.load() && SubmitPresenceRead(msg)) {
    handled = true;
    return 0;
  }
  return 0;
}

void CMainWnd::OnTimer(ui::UINT_PTR id) {
  switch (id) {
    case kTimerSettingDone:
      ring_.Hide();
      break;
    case kTimerSendSettings:
      // Changes from OpenRGB clients first, so this tick sends them.
      openrgb_->ApplyDue(*pages_, ui::CMessageQueue::Instance().Now());
      QueuePendingSends({pending_, [this](DeviceKind kind) -> CDeviceChannel& { return Channel(kind); },
                         [this](DeviceKind kind, DeviceOperation operation) { return Submit(kind, std::move(operation)); }});
      send_timer_->StopIfIdle([this] { return SendsWaiting(*pending_, openrgb_->ChangesWaiting()); });
      break;
    case kTimerAccessCheck:
      access_prompt_.Check(m_hWnd);
      break;
    case kTimerPreviewFrame: {
      const int period = lighting_->OnFrameTimer(pages_->KeyLights(), IsWindowVisible());
      // The animated keyboard picture is drawn on a surface of its own.
      m_pm.SetLiveArea(period == kPreviewFramePeriodMs ? LightingPreviewHost::KeyboardArea(pages_->KeyLights())
                                                       : ui::UiRect{});
      preview_timer_.AfterFrame(period);
      break;
    }
    case kTimerRepaint:
      Invalidate();
      m_pm.Invalidate();
      ui::KillTimer(m_hWnd, kTimerRepaint);
      DebugLine(kDebugRepaint);
      break;
    default:
      page_timers_.Tick(static_cast<int>(id));
      break;
  }
}

void CMainWnd::ShutdownWorkers() {
  ShutdownSteps steps;
  steps.mark_stopping = [this] { stopping_ = true; };
  steps.stop_openrgb = [this] { openrgb_->Stop(); };
  steps.hide = [this] { ShowWindow(false); };
  steps.stop_queues = [this] { StopQueues(); };
  steps.stop_workers = [this] { return workers_.StopAll(options_.stop_timeout_ms); };
  steps.stop_session_bus = [this] {
    if (bus_) bus_->Stop();
  };
  steps.stop_timers = [this] {
    send_timer_->Close();
    access_prompt_.Stop(m_hWnd);
  };
  steps.post_quit = [] { ui::PostQuitMessage(0); };
  RunShutdownOrder(steps);
}

// ---------------------------------------------------------------- visibility

bool CMainWnd::AnyDeviceConnected() {
  return mouse_->connected.load() != 0 || pad_->connected.load() != 0 || keyboard_->connected.load() != 0;
}

void CMainWnd::FlashTopMost() {
  using ui::SWP_NOMOVE;
  using ui::SWP_NOSIZE;
  SetWindowPos(ui::HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  SetWindowPos(ui::HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CMainWnd::BringForwardOnInstance() { bring_forward_.OnInstance(); }
void CMainWnd::BringForwardFromTray() { bring_forward_.FromTray(); }

CBringForward::Window CMainWnd::BringForwardWindow() {
  CBringForward::Window w;
  w.any_device = [this] { return AnyDeviceConnected(); };
  w.no_tray = [this] { return tray_.NoSystemTray(); };
  w.show = [this] { ShowWindowCmd(ui::SW_SHOW); };
  w.raise = [this] {
    SendMessage(ui::WM_SYSCOMMAND, ui::SC_RESTORE, 0);
    FlashTopMost();
  };
  w.repaint_soon = [this] {
    Invalidate();
    m_pm.Invalidate();
    ui::SetTimer(m_hWnd, kTimerRepaint, kRepaintAfterTrayShowMs);
  };
  w.hide = [this] { ShowWindow(false); };
  w.tell_no_device = [this] { messages_.ShowId(kTextNoDevice); };
  return w;
}

void CMainWnd::DestroyWindow() {
  if (ConfirmDiscardEdits(pages_.get(), messages_)) WindowImplBase::DestroyWindow();
}

ui::LRESULT CMainWnd::OnSysCommand(ui::UINT msg, ui::WPARAM wparam, ui::LPARAM lparam, bool& handled) {
  if ((wparam & 0xFFF0) == ui::SC_CLOSE && !ConfirmDiscardEdits(pages_.get(), messages_)) return 0;
  return WindowImplBase::OnSysCommand(msg, wparam, lparam, handled);
}

void CMainWnd::RemoveInputHooks() { hooks_.Remove(); }

HookInstallResult CMainWnd::InstallInputHooks(uint32_t mode, bool keyboard, bool mouse) {
  return hooks_.Install(mode, this, keyboard, mouse);
}

void CMainWnd::SendHookKeyboard(uint32_t message, uint32_t wparam, const KeyEventRecord& record) {
  ui::SendMessage(m_hWnd, message, wparam, reinterpret_cast<ui::LPARAM>(&record));
}

void CMainWnd::PostHookMouse(uint32_t message, uint32_t wparam) { ui::PostMessage(m_hWnd, message, wparam, 0); }

void CMainWnd::RefreshMousePages() {
  RunOnUi([this] { pages_->Refresh(DeviceKind::Mouse); });
}

void CMainWnd::HideMouseFunctionPanel() {
  RunOnUi([this] { pages_->HideMouseFunctionPanel(); });
}
bool CMainWnd::PickColour(ui::UiColor initial, ui::UiPoint at, ui::UiColor* chosen) {
  return ui::RunPalletDialog(m_hWnd, initial, at, chosen) == ui::kPalletResultOk;
}
void CMainWnd::SysCommand(unsigned command) { SendMessage(ui::WM_SYSCOMMAND, command, 0); }
void CMainWnd::OpenSkinChooser(ui::CControlUI* anchor) {
  if (ui::CSkinFrame::Open(m_hWnd, anchor) == nullptr) DebugLine("skin chooser could not be opened");
}
void CMainWnd::StartTimer(int id, int period_ms, std::function<void()> on_tick) {
  page_timers_.Start(id, period_ms, std::move(on_tick));
}
void CMainWnd::KillTimer(int id) { page_timers_.Kill(id); }
void CMainWnd::ReadAgain(DeviceKind kind) { SendReadMessage(ReadAllMessageOf(kind)); }
ui::UiPoint CMainWnd::CursorPos() {
  ui::UiPoint cursor{};
  ui::GetCursorPos(&cursor);
  return cursor;
}

// ---------------------------------------------------------------- tray menu

void CMainWnd::OpenTrayMenu() {
  if (tray_menu_) tray_menu_->OpenAtCursor();
}

void CMainWnd::RunMenuCommand(const std::string& name, const std::string& text) {
  if (tray_menu_) tray_menu_->Run(name, text);
}

void CMainWnd::CreateTrayMenu() {
  CTrayMenu::Actions actions;
  actions.openrgb_running = [this] { return openrgb_->Running(); };
  actions.toggle_openrgb = [this] { SetOpenRgbServer(*openrgb_, !openrgb_->Running(), messages_); };
  actions.language_switched = [this] {
    Invalidate();
    m_pm.Invalidate();
  };
  actions.about = [this] {
    if (ui::OpenAboutWindow(m_hWnd) == nullptr) DebugLine("about window could not be opened");
  };
  actions.exit = [this] {
    if (ConfirmDiscardEdits(pages_.get(), messages_)) Close(0);
  };
  actions.show_text = [this](const std::string& text_id) { messages_.ShowId(text_id); };
  tray_menu_ = std::make_unique<CTrayMenu>(m_pm, std::move(actions));
  tray_menu_->AddSection({[this](ui::CMenuUI& body) { backup_menu_.AddItems(body); },
                          [this](const std::string& name) { return backup_menu_.Run(name); }});
  tray_menu_->AddSection({[this](ui::CMenuUI& body) { sim_menu_.AddItems(body); },
                          [this](const std::string& name) { return sim_menu_.Run(name); }});
}

// ---------------------------------------------------------------- routing, skin, texts

void CMainWnd::Notify(ui::TNotifyUI& msg) { pages_->Router().Notify(msg); }

int CMainWnd::Receive(ui::SkinChangedParam param) {
  ui::CControlUI* root = pages_ ? pages_->Frame().root.get() : nullptr;
  if (root == nullptr) return 1;
  if (param.bColor) {
    root->SetBkColor(param.bkcolor);
    root->SetBkImage("");
  } else {
    root->SetBkColor(0);
    root->SetBkImage(param.bgimage);
  }
  return 1;
}

std::string CMainWnd::QueryControlText(std::string_view, std::string_view) { return {}; }

// ---------------------------------------------------------------- presence host

bool CMainWnd::RunOnUi(const std::function<void()>& fn) {
  if (ui::CMessageQueue::Instance().IsUiThread()) {
    fn();
    return true;
  }
  if (stopping_.load()) return false;
  return ui::SendMessage(m_hWnd, WM_APP_RUN_CALL, reinterpret_cast<ui::WPARAM>(&fn), 0) == 1;
}

CDeviceChannel& CMainWnd::Channel(DeviceKind kind) {
  return presence_->Channel(kind);
}

void CMainWnd::OnDeviceConnected(DeviceKind kind, const ConnectResult& result) {
  DebugLineF("device connected: %s", DeviceKindName(kind));
  RunOnUi([&] { pages_->OnDeviceConnected(kind, result); });
  if (bus_) bus_->DeviceConnected(kind);
  program_links_.DeviceConnected();  // a link that waited for the device selects now
}
void CMainWnd::OnDeviceLeft(const RemovalPlan& plan) {
  if (bus_) bus_->DeviceLeft(plan.gone);
  RunOnUi([&] {
    pages_->OnDeviceLeft(plan);
    if (plan.hide_window) ShowWindow(false);
  });
  // The notice's handler hides the window once the notice has closed.
  if (plan.all_gone_notice && !ui::PostMessage(m_hWnd, kMsgAllDevicesGone))
    DebugLine("device-gone message not posted: window gone");
}
void CMainWnd::OnSameModeChanged(DeviceKind kind, bool follows) {
  RunOnUi([&] { pages_->OnSameModeChanged(kind, follows); });
}
void CMainWnd::OnDeviceRead(DeviceKind kind) {
  RunOnUi([&] { pages_->Refresh(kind); });
}
void CMainWnd::ShowMainWindow() {
  RunOnUi([&] { BringForwardOnInstance(); });
}

int CMainWnd::ShowMessage(const char* text_id) {
  int result = 0;
  RunOnUi([&] { result = messages_.ShowId(text_id); });
  return result;
}

// A post fails only when the window is gone (shutdown): nothing to do then.
void CMainWnd::PostInstanceMessage() {
  if (!ui::PostMessage(m_hWnd, InstanceMessage())) DebugLine("instance message not posted: window gone");
}


void CMainWnd::StartTimer(int id, int period_ms) {
  ui::SetTimer(m_hWnd, static_cast<ui::UINT_PTR>(id), static_cast<ui::UINT>(period_ms));
}

void CMainWnd::SendReadMessage(uint32_t message) {
  if (stopping_.load()) return;
  SubmitPresenceRead(message);
}

bool CMainWnd::SubmitPresenceRead(uint32_t message) {
  return app::SubmitPresenceRead(
      {presence_, this, [this](DeviceKind kind, DeviceOperation operation) { return Submit(kind, std::move(operation)); },
       [this] { return bus_.get(); }},
      message);
}

}  // namespace trx::app

// The main window: start, show/hide rules, tray menu, timers, shutdown.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>

#include "app/app_messages.h"
#include "app/language.h"
#include "platform/autostart.h"
#include "platform/ini_file.h"
#include "presence/presence_messages.h"
#include "sim/demo_devices.h"
#include "tests/app/app_test_support.h"
#include "tests/support/wait.h"
#include "ui/core/container.h"
#include "ui/core/menu.h"
#include "ui/window/win_api.h"

namespace trx::app::testing {
namespace {

class MainWindowTest : public MainWndTest {
 protected:
  void SetUp() override {
    MainWndTest::SetUp();
    CreateWindow();
    boxes.clear();
  }
  void Tray(UINT mouse_message) {
    PostMessage(window->GetHWND(), UIMSG_TRAYICON, kTrayIconId, mouse_message);
    Pump();
  }
  // A menu command arrives as a heap record the window releases.
  void Click(const char* name, const char* text = "") {
    PostMessage(window->GetHWND(), WM_MENUCLICK, reinterpret_cast<WPARAM>(new MenuCmd{name, "", text, false}));
    Pump();
  }
};

TEST_F(MainWindowTest, WindowInitHidesTheWindowAndATrayClickWithoutDeviceShowsOneBox) {
  EXPECT_FALSE(window->IsWindowVisible());
  EXPECT_TRUE(window->Tray().IsCreated());
  EXPECT_EQ(window->Tray().GetTooltipText(), "TRX770");
  EXPECT_EQ(MainWindowHandle(), window->GetHWND());
  // Channels carry their identities, none connected.
  EXPECT_EQ(window->Channel(DeviceKind::Mouse).product_id, 0x652C);
  EXPECT_EQ(window->Channel(DeviceKind::Keyboard).product_id, 0x6556);
  EXPECT_EQ(window->Channel(DeviceKind::MousePad).product_id, 0x6758);
  EXPECT_EQ(window->Channel(DeviceKind::Mouse).usage_page, 0xFF1C);
  EXPECT_FALSE(window->AnyDeviceConnected());
  EXPECT_NE(Find("ms_dkey_0"), nullptr);
  int nested = 0;
  on_box = [&] {
    // A second click while the box is open opens no second box.
    if (nested++ == 0) window->BringForwardFromTray();
  };
  Tray(WM_LBUTTONUP);
  EXPECT_EQ(boxes, (std::vector<std::string>{"message_text_1"}));
  EXPECT_FALSE(window->IsWindowVisible());
  // Once closed, the next click may open it again.
  on_box = nullptr;
  Tray(WM_LBUTTONUP);
  EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(MainWindowTest, InstanceMessageWithoutDeviceHasItsOwnGuard) {
  int nested = 0;
  on_box = [&] {
    if (nested++ > 0) return;
    window->BringForwardOnInstance();  // same path: refused
    window->BringForwardFromTray();    // the tray path has its own guard
  };
  PostMessage(window->GetHWND(), InstanceMessage());
  Pump();
  EXPECT_EQ(boxes, (std::vector<std::string>{"message_text_1", "message_text_1"}));
  EXPECT_FALSE(window->IsWindowVisible());
}

// A later copy started while this one was still starting up: the wake is
// kept and reaches the window once it exists (here: no device, so the box).
TEST_F(MainWndTest, AWakeBeforeTheWindowExistsReachesItOnceItDoes) {
  WakeMainWindow();
  CreateWindow();
  Pump();
  EXPECT_EQ(std::count(boxes.begin(), boxes.end(), "message_text_1"), 1);
}

TEST_F(MainWindowTest, ConnectedDeviceBringsTheWindowForwardAndItsDepartureShowsTheSelfClosingNotice) {
  window->Channel(DeviceKind::MousePad).connected = 1;
  test::DebugCapture debug;
  Tray(WM_LBUTTONUP);
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(window->IsWindowVisible());
  EXPECT_FALSE(window->IsTopMost());
  queue().AdvanceTime(10);  // timer 7
  EXPECT_EQ(debug.Count("1234567890"), 1u);
  window->ShowWindow(false);
  PostMessage(window->GetHWND(), InstanceMessage());
  Pump();
  EXPECT_TRUE(window->IsWindowVisible());
  // The last device gone: the notice closes itself, the window hides.
  window->Channel(DeviceKind::MousePad).connected = 0;
  SetDialogHook([this](WindowImplBase& dialog, std::string_view) {
    boxes.push_back(dynamic_cast<CMsgWnd&>(dialog).GetMessageText());
  });
  queue().SetAutoAdvance(true);
  PostMessage(window->GetHWND(), kMsgAllDevicesGone);
  Pump();
  queue().SetAutoAdvance(false);
  EXPECT_EQ(boxes, (std::vector<std::string>{"message_text_20"}));
  EXPECT_FALSE(window->IsWindowVisible());
}

TEST_F(MainWindowTest, PadKeyLightMessagesTintTheirControlAndIgnoreOtherNumbers) {
  CControlUI* light = Find("mp_dkey_3");
  ASSERT_NE(light, nullptr);
  EXPECT_TRUE(light->IsChangerColor());  // tinting on from the start, alpha 0
  EXPECT_EQ(light->GetChangerAlpha(), 0);
  SendMessage(window->GetHWND(), WM_MP_KEY_COLOR, 3, 0xFF00FF00);
  SendMessage(window->GetHWND(), WM_MP_KEY_ALPHA, 3, 200);
  EXPECT_EQ(light->GetChangerColor(), 0xFF00FF00u);
  EXPECT_EQ(light->GetChangerAlpha(), 200);
  // Numbers without a control (absent from the layout, or past the 15).
  SendMessage(window->GetHWND(), WM_MP_KEY_COLOR, 2, 0xFF0000FF);
  SendMessage(window->GetHWND(), WM_MP_KEY_ALPHA, 1000000, 255);
  EXPECT_EQ(light->GetChangerAlpha(), 200);
}

TEST_F(MainWindowTest, SettingDoneShowsTheProgressForOneSecond) {
  Find("setting_progress")->SetVisible(true);
  PostMessage(window->GetHWND(), WM_SETTING_DONE);
  Pump();
  queue().AdvanceTime(999);
  EXPECT_TRUE(Find("setting_progress")->IsVisible());
  queue().AdvanceTime(1);
  EXPECT_FALSE(Find("setting_progress")->IsVisible());
}

TEST_F(MainWindowTest, TrayMenuAddsExitLastAfterASeparatorTicksTheLanguageAndItsCommandsRun) {
  WritePrivateProfileString("SKINIMAGE", "LANGUAGE", "1", MainIniPath());
  ASSERT_TRUE(LoadLanguage(Language::Chinese));
  Tray(WM_RBUTTONUP);
  ASSERT_NE(window->TrayMenu(), nullptr);
  CMenuUI* body = window->TrayMenu()->GetMenuUI();
  ASSERT_NE(body, nullptr);
  ASSERT_GE(body->GetCount(), 5);
  CControlUI* exit_item = body->GetItemAt(body->GetCount() - 1);
  EXPECT_EQ(exit_item->GetName(), "exit");
  EXPECT_EQ(exit_item->GetText(), "关闭");
  EXPECT_EQ(exit_item->GetFixedHeight(), 24);  // as the layout's items
  auto* separator = dynamic_cast<CMenuElementUI*>(body->GetItemAt(body->GetCount() - 2));
  ASSERT_NE(separator, nullptr);
  EXPECT_TRUE(separator->IsSeparator());
  auto checked = [&](const char* name) {
    auto* item = dynamic_cast<CMenuElementUI*>(body->FindSubControl(name));
    return item != nullptr && item->IsChecked();
  };
  EXPECT_TRUE(checked("lan_cn"));
  EXPECT_FALSE(checked("lan_en"));
  // A second menu replaces the first without leaking or double-freeing it.
  Tray(WM_RBUTTONUP);
  EXPECT_EQ(CMenuWnd::OpenMenuCount(), 1);

  Click("qianting", "x");
  Click("Menu_Import", "x");
  EXPECT_TRUE(boxes.empty());
  Click("unknown_item", "message_text_5");  // any other item: its text as a text id
  EXPECT_EQ(boxes, (std::vector<std::string>{"message_text_5"}));
  PostMessage(window->GetHWND(), WM_MENUCLICK, 0);  // null record ignored
  Pump();
  Click("exit", "");
  EXPECT_FALSE(IsWindow(window->GetHWND()));
}

// "Start with the session" shows the autostart entry's state and switches it.
TEST_F(MainWindowTest, AutostartItemIsCheckedWhileTheEntryExistsAndTogglesIt) {
  auto item = [&] {
    Tray(WM_RBUTTONUP);
    return dynamic_cast<CMenuElementUI*>(window->TrayMenu()->GetMenuUI()->FindSubControl("autostart"));
  };
  ASSERT_NE(item(), nullptr);
  EXPECT_FALSE(item()->IsChecked());
  window->RunMenuCommand("autostart", "");
  EXPECT_TRUE(IsAutostartEnabled());
  EXPECT_NE(test::TempHome::ReadText(AutostartEntryPath()).find("Exec=" + CurrentExecutable() + "\n"),
            std::string::npos);
  EXPECT_TRUE(item()->IsChecked());
  window->RunMenuCommand("autostart", "");
  EXPECT_FALSE(IsAutostartEnabled());
  EXPECT_FALSE(item()->IsChecked());
  EXPECT_TRUE(boxes.empty());
}

// The exit item's text follows the stored language, else the one in use.
TEST_F(MainWindowTest, ExitItemTextFollowsTheStoredLanguageElseTheOneInUse) {
  struct Row {
    const char* stored;  // nullptr: none stored
    Language in_use;
    const char* text;
  };
  for (const Row& row : {Row{"0", Language::Chinese, "Exit"}, Row{"1", Language::English, "关闭"},
                         Row{"7", Language::English, ""}, Row{nullptr, Language::Chinese, "关闭"},
                         Row{nullptr, Language::English, "Exit"}}) {
    SCOPED_TRACE(row.text);
    if (row.stored != nullptr) {
      WritePrivateProfileString("SKINIMAGE", "LANGUAGE", row.stored, MainIniPath());
    } else {
      ASSERT_TRUE(DeletePrivateProfileKey("SKINIMAGE", "LANGUAGE", MainIniPath()));
    }
    ASSERT_TRUE(LoadLanguage(row.in_use));
    Tray(WM_RBUTTONUP);
    CMenuUI* body = window->TrayMenu()->GetMenuUI();
    EXPECT_EQ(body->GetItemAt(body->GetCount() - 1)->GetText(), row.text);
  }
}

TEST_F(MainWindowTest, SkinChangesReachTheRoot) {
  ui::SkinObserver().Broadcast({true, 0xFF112233, ""});
  EXPECT_EQ(Find("root")->GetBkColor(), 0xFF112233u);
  ui::SkinObserver().Broadcast({false, 0, "bg/dusk.png"});
  EXPECT_EQ(Find("root")->GetBkColor(), 0u);
  EXPECT_EQ(Find("root")->GetBkImage(), "bg/dusk.png");
}

TEST_F(MainWindowTest, DpiChangeMovesTheWindowToTheSuggestedRectangle) {
  UiRect suggested{100, 50, 1300, 908};
  SendMessage(window->GetHWND(), WM_DPICHANGED, 144 | (144 << 16), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(window->GetPaintManager().GetDPIObj()->GetDPI(), 144);
  const UiRect rc = window->GetWindowRect();
  EXPECT_EQ(rc.left, 100);
  EXPECT_EQ(rc.top, 50);
  EXPECT_EQ(rc.Width(), 1200);
  EXPECT_EQ(rc.Height(), 858);
}

TEST_F(MainWndTest, SimulatedDevicesGetATrayMenuSectionThatPlugsAndPresses) {
  sim::SimulatedDevices simulated({.mouse = true});
  ASSERT_TRUE(simulated.Valid());
  CreateWindow({.backend = nullptr, .simulated = &simulated});
  boxes.clear();
  std::vector<std::string> items = MenuItems();
  for (const char* item : {"sim_unplug_mouse", "sim_profile_mouse", "sim_dpi_mouse"})
    EXPECT_NE(std::find(items.begin(), items.end(), item), items.end()) << item;
  EXPECT_EQ(std::find(items.begin(), items.end(), "sim_unplug_keyboard"), items.end());  // not simulated

  window->RunMenuCommand("sim_unplug_mouse", "Unplug simulated mouse");
  EXPECT_FALSE(simulated.IsPlugged(sim::SimKind::Mouse));
  items = MenuItems();
  EXPECT_NE(std::find(items.begin(), items.end(), "sim_plug_mouse"), items.end());
  EXPECT_EQ(std::find(items.begin(), items.end(), "sim_profile_mouse"), items.end());
  window->RunMenuCommand("sim_plug_mouse", "Plug in simulated mouse");
  EXPECT_TRUE(simulated.IsPlugged(sim::SimKind::Mouse));
  EXPECT_TRUE(boxes.empty());  // simulator commands never reach the message box
  window->DestroyWindow();
}

// A stored listed image is the background at start; without one (flags 0)
// the layout's background stays.
TEST_F(MainWndTest, StoredListedImageIsTheBackgroundAtStart) {
  for (const auto& [flags, image, colour] : {std::tuple{"1", "bg/bg_2.png", 0u}, std::tuple{"0", "", 0xFF101418u}}) {
    WritePrivateProfileString("SKINIMAGE", "FLAGS", flags, MainIniPath());
    WritePrivateProfileString("SKINIMAGE", "IMAGE", "bg/bg_2.png", MainIniPath());
    CreateWindow();
    EXPECT_EQ(Find("root")->GetBkImage(), image) << flags;
    EXPECT_EQ(Find("root")->GetBkColor(), colour) << flags;
  }
}

TEST_F(MainWndTest, WindowInitFillsTheProfileCombosFromTheDefaultFiles) {
  // Mouse and pad defaults in the program folder; the keyboard's missing.
  for (auto [to, from] : {std::pair{"msdevicedefault.config", "mouse_device.config"}, {"msdengdefault.Led", "mouse_light.led"},
                          {"mskeydefault.pro", "mouse_key.pro"}, {"mpdengdefault.Led", "pad_light.led"}})
    test::TempHome::WriteBytes(home_.Path("program/") + to,
                               test::TempHome::ReadBytes(TRX770_TEST_DATA_DIR "/profile/" + std::string(from)));
  CreateWindow();
  // Keyboard first: its missing default stops its families with one box.
  EXPECT_EQ(boxes, (std::vector<std::string>{"message_text_8"}));
  for (const char* combo : {"ms_device_profile_combo", "ms_deng_profile_combo", "ms_key_profile_combo",
                            "mp_deng_profile_combo"}) {
    auto* c = dynamic_cast<CContainerUI*>(Find(combo));
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->GetCount(), 1) << combo;
    EXPECT_EQ(c->GetItemAt(0)->GetText(), "profile1") << combo;
  }
  EXPECT_EQ(dynamic_cast<CContainerUI*>(Find("kb_deng_profile_combo"))->GetCount(), 0);
}

// Without the machine key a switch still switches and is stored in main.ini.
TEST_F(MainWindowTest, LanguageSwitchTwiceKeepsMainIniAndTheMachineValueInStep) {
  std::string value;
  Click("lan_en");
  EXPECT_FALSE(ReadMachineValue(kMachineKeyPath, kMachineLanguageValue, value));  // key not created
  EXPECT_EQ(GetPrivateProfileLong("SKINIMAGE", "LANGUAGE", MainIniPath()), 0);
  EXPECT_EQ(CResourceManager::GetInstance()->GetLanguage(), "en");
  ASSERT_TRUE(CreateMachineKey(kMachineKeyPath));
  Click("lan_en");
  Click("lan_cn");
  EXPECT_EQ(GetPrivateProfileLong("SKINIMAGE", "LANGUAGE", MainIniPath()), 1);
  ASSERT_TRUE(ReadMachineValue(kMachineKeyPath, kMachineLanguageValue, value));
  EXPECT_EQ(value, "2020");
  EXPECT_EQ(CResourceManager::GetInstance()->GetLanguage(), "cn_zh");
  EXPECT_EQ(CResourceManager::GetInstance()->GetText("message_text_1"), "未检测到设备");
  Click("lan_cn");
  Click("lan_en");
  EXPECT_EQ(GetPrivateProfileLong("SKINIMAGE", "LANGUAGE", MainIniPath()), 0);
  ASSERT_TRUE(ReadMachineValue(kMachineKeyPath, kMachineLanguageValue, value));
  EXPECT_EQ(value, "1010");
  EXPECT_EQ(CResourceManager::GetInstance()->GetText("message_text_1"), "No device found");
  EXPECT_EQ(Find("status_text")->GetText(), "No device found");  // visible texts follow at once
  Click("lan_cn");
  EXPECT_EQ(Find("status_text")->GetText(), "未检测到设备");
}

}  // namespace

// Start-up language: the stored choice, else the locale; the machine value
// is copied into main.ini first when it can be read.
TEST_F(MainWndTest, StartupLanguageHonoursTheStoredChoiceElseTheLocale) {
  SetMachineStorePath("/proc/trx770-no-such-dir/machine.ini");  // no rights: nothing written, nothing read
  EXPECT_FALSE(CreateMachineKey(kMachineKeyPath));
  EXPECT_FALSE(WriteMachineValue(kMachineKeyPath, kMachineLanguageValue, "1010"));
  std::string value;
  EXPECT_FALSE(ReadMachineValue(kMachineKeyPath, kMachineLanguageValue, value));
  SetMachineStorePath(home_.Path("machine.ini"));
  const std::string ini = MainIniPath();
  EXPECT_EQ(StartupLanguage(ini, "zh_CN.UTF-8"), Language::Chinese);
  EXPECT_EQ(StartupLanguage(ini, "de_DE.UTF-8"), Language::English);
  EXPECT_EQ(StartupLanguage(ini, ""), Language::English);
  EXPECT_FALSE(CopyMachineLanguageToIni(ini));  // no machine value: main.ini untouched
  EXPECT_EQ(StartupLanguage(ini, "zh_TW"), Language::Chinese);
  ASSERT_TRUE(CreateMachineKey(kMachineKeyPath));
  ASSERT_TRUE(WriteMachineValue(kMachineKeyPath, kMachineLanguageValue, "1010"));
  EXPECT_TRUE(CopyMachineLanguageToIni(ini));
  EXPECT_EQ(StartupLanguage(ini, "zh_CN"), Language::English);
  ASSERT_TRUE(WriteMachineValue(kMachineKeyPath, kMachineLanguageValue, "2020"));
  EXPECT_TRUE(CopyMachineLanguageToIni(ini));
  EXPECT_EQ(StartupLanguage(ini, "en_US"), Language::Chinese);
}

TEST_F(MainWndTest, ShutdownWithAWorkerIgnoringItsStopEventEndsWithinTheBound) {
  auto release = std::make_shared<std::atomic<bool>>(false);
  auto polite_ended = std::make_shared<std::atomic<bool>>(false);
  int closings = 0;  // the closing hook runs first, while the workers still run
  window = std::make_unique<CMainWnd>(MainWndOptions{.backend = nullptr, .stop_timeout_ms = 50, .closing = [&] {
    closings += window->Workers().IsStarted(kWorkerMsKeyLink) && !polite_ended->load() ? 1 : 100;
  }});
  window->Workers().SetBody(kWorkerLightSync, [release](CEvent&) {
    while (!release->load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  window->Workers().SetBody(kWorkerMsKeyLink, [polite_ended](CEvent& stop) {
    stop.Wait(-1);
    polite_ended->store(true);
  });
  ASSERT_NE(window->Create(nullptr, "TRX770", 0x96CA0000, 0, 0, 0, 800, 572), nullptr);
  Pump();
  EXPECT_TRUE(window->Workers().IsStarted(kWorkerLightSync));
  EXPECT_TRUE(window->Workers().IsStarted(kWorkerMsKeyLink));
  EXPECT_FALSE(window->Workers().IsStarted(kWorkerMpLightLink));  // no body: the slot stays empty

  test::DebugCapture debug;
  window->DestroyWindow();
  EXPECT_TRUE(polite_ended->load());
  EXPECT_EQ(closings, 1);
  EXPECT_GT(debug.Count(kDebugShutdown), 0u);
  EXPECT_GT(debug.Count(kDebugTimedOut), 0u);
  EXPECT_TRUE(queue().QuitRequested());
  EXPECT_FALSE(window->Workers().IsStarted(kWorkerLightSync));  // let go: the destructor waits no more
  EXPECT_EQ(window->Workers().RunningCount(), 1);                 // still running on its own references
  release->store(true);
  window.reset();
}

}  // namespace trx::app::testing

// trx770ctl against simulated devices, and its exit status with a one-line reason.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <tuple>

#include "device/hid_device.h"
#include "device/hidraw_backend.h"
#include "profile/profile_store.h"
#include "settings/config_images.h"
#include "sim/demo_devices.h"
#include "tests/ctl/ctl_fixture.h"

namespace trx::ctl {
namespace {

using testing::CtlRun;


using CtlTest = testing::CtlSimTest;

TEST_F(CtlTest, OnboardSwitchIsRememberedByTheSimulatedMouseAcrossRuns) {
  CtlRun r = Sim({"onboard", "mouse", "3"}, /*record=*/true);
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  auto written = r.written;
  EXPECT_EQ(r.out, "mouse: onboard profile 3 is now active\n");
  // Exactly the switch: read the active index, write 2, read slot 2; the
  // fresh device's automatic backup (reads only) comes before the write.
  ASSERT_GT(written.size(), 3u);
  for (size_t i = 1; i + 2 < written.size(); ++i)
    EXPECT_TRUE(written[i][3] != 0x06 && written[i][3] != 0x09) << "frame " << i;
  written.erase(written.begin() + 1, written.end() - 2);
  const std::vector<uint8_t> expected_heads[] = {
      {0x04, 0x06, 0x00, 0x05, 0x01, 0x00, 0x00, 0x00},
      {0x04, 0x09, 0x00, 0x06, 0x01, 0x00, 0x00, 0x00, 0x02},
      {0x04, 0xBD, 0x00, 0x05, 0x38, 0x80, 0x00, 0x00},
  };
  for (size_t i = 0; i < 3; ++i)
    EXPECT_EQ(std::vector<uint8_t>(written[i].begin(), written[i].begin() + expected_heads[i].size()), expected_heads[i])
        << "frame " << i;

  r = Run({"--simulate=mouse", "--sim-state", State(), "--json", "dump", "mouse"});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  EXPECT_NE(r.out.find("\"onboard_profile\": 3,"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"dpi\": [800, 1600, 3200, 6400]"), std::string::npos) << r.out;

  // Without the state folder the simulated mouse starts from the factory.
  r = Run({"--simulate=mouse", "dump"});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  EXPECT_NE(r.out.find("onboard profile: 1\n"), std::string::npos) << r.out;
}

TEST_F(CtlTest, DevicesListsEverySimulatedDeviceWithItsBlockSize) {
  CtlRun r = Run({"--simulate", "devices"});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  // The keyboard's block: 0x7E x 3.
  for (const char* part : {"mouse\thid#vid_0c45&pid_652c#", "\tblock 512\n", "keyboard\thid#vid_0c45&pid_6556#",
                           "\tblock 378\n", "pad\thid#vid_0c45&pid_6758#"})
    EXPECT_NE(r.out.find(part), std::string::npos) << part << " in " << r.out;
  r = Run({"--simulate=pad", "devices", "--json"});  // the program's options also after the command
  EXPECT_EQ(r.code, ExitCode::Ok) << r.err;
  EXPECT_EQ(r.out.rfind("{\n  \"schema_version\": 1,\n  \"devices\": [", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("\"kind\": \"pad\""), std::string::npos);
}

TEST_F(CtlTest, BadArgumentsExitTwoWithOneLine) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--bogus", "devices"},
      {"explode"},
      {"--simulate=trackball", "devices"},
      {"--simulate", "onboard", "mouse", "6"},
      {"--simulate", "onboard", "mouse", "0"},
      {"--simulate", "onboard", "mouse"},
      {"--simulate", "onboard", "keyboard", "2"},
      {"--simulate", "dump", "toaster"},
      {"--simulate", "devices", "extra"},
      {"--sim-state", "/tmp/x", "devices"},
      {"--simulate", "--sim-state"},
      {"--simulate", "light", "show"},
      {"--simulate", "light", "blink", "mouse"},
      {"--simulate", "light", "set", "mouse", "--mode", "99"},
      {"--simulate", "light", "set", "pad", "--brightness", "15"},
      {"--simulate", "light", "set", "keyboard", "--colour", "12345"},
      {"--simulate", "light", "set", "mouse", "--direction", "up"},
      {"--simulate", "light", "set", "mouse", "--speed"},
      {"--simulate", "light", "copy-to-all", "mouse", "extra"},
  };
  for (const auto& args : cases) testing::ExpectRefused(Run(args), {args, ExitCode::Usage, ""});
}

TEST_F(CtlTest, LightSetWritesBytesOneToEightAndIsKeptAcrossRuns) {
  CtlRun r = testing::RunRecording({"--simulate=pad", "--sim-state", State(), "light", "set", "pad", "--mode", "sparkle",
                                     "--brightness", "9", "--speed", "3", "--direction", "left", "--cycle", "on",
                                     "--colour", "10a0ff"});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  const auto written = testing::Sent(r, 0x06);
  EXPECT_EQ(r.out, "pad: mode 7 (sparkle), brightness 9, speed 3, direction left, colour #10a0ff\n");
  // One frame: 8 bytes at address 1; the colour cleared the colour cycle.
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(std::vector<uint8_t>(written[0].begin() + 3, written[0].begin() + 16),
            (std::vector<uint8_t>{0x06, 0x08, 0x01, 0x00, 0x00, 7, 9, 11, 1, 0, 0x10, 0xA0, 0xFF}));
  r = Run({"--simulate=pad", "--sim-state", State(), "--json", "light", "show", "pad"});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  EXPECT_NE(r.out.find("\"mode_name\": \"sparkle\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"colour\": \"#10a0ff\""), std::string::npos) << r.out;
}

TEST_F(CtlTest, LightCopyToAllReachesTheOtherConnectedDevices) {
  // The full-colour keyboard: its breathing (2) is the mouse's 3 and the pad's 2.
  const std::string all = "--simulate=mouse,keyboard:8611,pad";
  ASSERT_EQ(Run({all, "--sim-state", State(), "light", "set", "keyboard", "--mode", "2", "--colour", "abcdef"}).code,
            ExitCode::Ok);
  CtlRun r = Run({all, "--sim-state", State(), "light", "copy-to-all", "keyboard"});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  EXPECT_EQ(r.out, "mouse: lighting copied from the keyboard\npad: lighting copied from the keyboard\n");
  r = Run({all, "--sim-state", State(), "light", "show", "mouse"});
  EXPECT_EQ(r.out.substr(0, 14), "mouse: mode 3 ") << r.out;
  EXPECT_NE(r.out.find("#abcdef"), std::string::npos) << r.out;
  // Ripple (13) has no equal on the mouse or the pad: both are left alone.
  ASSERT_EQ(Run({all, "--sim-state", State(), "light", "set", "keyboard", "--mode", "13"}).code, ExitCode::Ok);
  r = Run({all, "--sim-state", State(), "light", "copy-to-all", "keyboard"});
  EXPECT_EQ(r.out, "mouse: left as it is (no equal lighting effect)\npad: left as it is (no equal lighting effect)\n");
  r = Run({all, "--sim-state", State(), "light", "show", "mouse"});
  EXPECT_EQ(r.out.substr(0, 14), "mouse: mode 3 ") << r.out;
  // Alone, there is no one to copy to.
  r = Run({"--simulate=mouse", "light", "copy-to-all", "mouse"});
  EXPECT_EQ(r.code, ExitCode::NoDevice);
  EXPECT_EQ(r.err, "trx770ctl: no other device is connected to copy the lighting to\n");
}

// The single-colour keyboard (0x6556) is the default simulated one.
TEST_F(CtlTest, TheSingleColourKeyboardNamesAndCopiesItsOwnModes) {
  auto run = [&](std::vector<std::string> words) {
    words.insert(words.begin(), {"--simulate", "--sim-state", State()});
    return Run(words);
  };
  // The device set, its mode, how `light show keyboard` and `light show mouse` begin.
  const std::tuple<const char*, const char*, const char*, const char*> rows[] = {
      {"keyboard", "steady", "keyboard: mode 2 (steady),", "mouse: mode 4 (static),"},
      {"pad", "breathing", "keyboard: mode 1 (breathing),", "mouse: mode 3 (breathing),"},
      {"pad", "sparkle", "keyboard: mode 5 (twinkle),", "mouse: mode 3 (breathing),"},  // mouse left alone
      {"pad", "spectrum-cycle", "keyboard: mode 5 (twinkle),", "mouse: mode 0 (spectrum-cycle),"},  // keyboard too
      {"keyboard", "ripple", "keyboard: mode 4 (ripple),", "mouse: mode 0 (spectrum-cycle),"},  // both left alone
  };
  for (const auto& [from, mode, keyboard_shows, mouse_shows] : rows) {
    SCOPED_TRACE(std::string(from) + " " + mode);
    ASSERT_EQ(run({"light", "set", from, "--mode", mode}).code, ExitCode::Ok);
    ASSERT_EQ(run({"light", "copy-to-all", from}).code, ExitCode::Ok);
    const std::string keyboard = run({"light", "show", "keyboard"}).out;
    const std::string mouse = run({"light", "show", "mouse"}).out;
    EXPECT_EQ(keyboard.rfind(keyboard_shows, 0), 0u) << keyboard;
    EXPECT_EQ(mouse.rfind(mouse_shows, 0), 0u) << mouse;
  }
  // A full-colour mode is no mode of this keyboard; nothing is written.
  const CtlRun r = run({"light", "set", "keyboard", "--mode", "custom-colours"});
  EXPECT_EQ(r.code, ExitCode::Usage);
  EXPECT_EQ(r.err.rfind("trx770ctl: unknown keyboard light mode 'custom-colours' (0-10", 0), 0u) << r.err;
  EXPECT_EQ(run({"light", "set", "keyboard", "--mode", "12"}).code, ExitCode::Usage);
}

TEST_F(CtlTest, KeyColoursGoIntoTheKeyboardLightProfileAndUnknownKeysAreNamedWithTheirLines) {
  ResetImagesToBuiltIn();
  ASSERT_EQ(SaveCurrentProfile(DeviceKind::Keyboard, ProfileFamily::Light), ProfileSaveResult::Saved);  // the selected profile exists
  const std::string file = home_.Path("keys.txt");
  test::TempHome::WriteText(file, "# WASD\nW ff0000\n\nesc 00ff00\nkey125 #0000ff\nUp 102030\n");
  CtlRun r = Run({"light", "key-colours", "keyboard", file});
  ASSERT_EQ(r.code, ExitCode::Ok) << r.err;
  EXPECT_EQ(r.out, "keyboard: 4 key colours stored in the selected light profile\n");
  ResetImagesToBuiltIn();
  ASSERT_EQ(LoadProfile(DeviceKind::Keyboard, ProfileFamily::Light, 0), kProfileReadOk);
  const KeyboardImage kb = WithImage([](ConfigImages& i) { return i.keyboard; });
  const uint8_t* k = kb.key_colours;
  EXPECT_EQ(std::vector<uint8_t>(k, k + 3), (std::vector<uint8_t>{0x00, 0xFF, 0x00}));            // Esc, light 0
  EXPECT_EQ(std::vector<uint8_t>(k + 3 * 44, k + 3 * 45), (std::vector<uint8_t>{0xFF, 0x00, 0x00}));  // W, light 44
  EXPECT_EQ(std::vector<uint8_t>(k + 3 * 96, k + 3 * 97), (std::vector<uint8_t>{0x10, 0x20, 0x30}));  // Up, light 96
  EXPECT_EQ(k[3 * 125 + 2], 0xFF);
  ResetImagesToBuiltIn();
  test::TempHome::WriteText(file, "Q 112233\nFoo 112233\nW 12\nBar 000000\n");
  r = Run({"light", "key-colours", "keyboard", file});
  EXPECT_EQ(r.code, ExitCode::Refused);
  EXPECT_EQ(r.err, "trx770ctl: " + file +
                       ": line 2: unknown key 'Foo'; line 3: colour '12' is not RRGGBB; line 4: unknown key 'Bar'\n");
}

class CtlBackendTest : public CtlTest {
 protected:
  void TearDown() override { SetDefaultHidBackend(nullptr); }
};

TEST_F(CtlBackendTest, DeviceTheWindowHoldsIsRefusedAsBusy) {
  sim::SimulateSelection mouse_only;
  mouse_only.mouse = true;
  sim::SimulatedDevices devices(mouse_only);
  ASSERT_TRUE(devices.Valid());
  SetDefaultHidBackend(devices.Backend());
  // The window's channel: a shared open, as the presence threads make.
  CDeviceChannel window_channel(DeviceKind::Mouse, devices.Backend());
  ASSERT_EQ(window_channel.transport.EnumerateHidPaths(), 1);
  for (const std::string& path : window_channel.transport.path_list) {
    window_channel.transport.device_path = path;
    window_channel.transport.want_read = window_channel.transport.want_write = true;
    if (window_channel.transport.Open() == 1 && window_channel.transport.capabilities.usage_page == 0xFF1C) break;
  }
  CtlRun r = Run({"onboard", "mouse", "2"});
  EXPECT_EQ(r.code, ExitCode::Busy);
  EXPECT_NE(r.err.find("in use by another program (is trx770 running?)"), std::string::npos) << r.err;
  EXPECT_EQ(devices.Firmware(sim::SimKind::Mouse)->Settings()[0], 0);  // nothing sent
}

// A backend whose family device refuses to open for lack of access.
class NoAccessBackend : public IHidBackend {
 public:
  bool Enumerate(std::vector<std::string>& paths) override {
    paths = {"hid#vid_0c45&pid_652c#hidraw7"};
    return true;
  }
  std::unique_ptr<IHidConnection> Open(const std::string&, bool, bool, bool) override {
    SetLastHidOpenError(EACCES);
    return nullptr;
  }
  bool Probe(const std::string&) override { return true; }
};

// Exit 4 names the node and the udev rule.
TEST_F(CtlBackendTest, NoDeviceExitsThreeAndOneThatCannotBeOpenedFour) {
  std::filesystem::create_directories(home_.Path("hid/sys/class/hidraw"));
  std::filesystem::create_directories(home_.Path("hid/dev"));
  const std::pair<std::shared_ptr<IHidBackend>, testing::Refusal> cases[] = {
      {std::make_shared<HidrawBackend>(home_.Path("hid/sys"), home_.Path("hid/dev")),
       {{}, ExitCode::NoDevice, "trx770ctl: no TRX770 device is connected\n"}},
      {std::make_shared<NoAccessBackend>(),
       {{}, ExitCode::NoAccess, "the mouse is connected (hid#vid_0c45&pid_652c#hidraw7) but cannot be opened"}},
  };
  for (const auto& [backend, refusal] : cases) {
    SetDefaultHidBackend(backend);
    for (const char* command : {"devices", "dump"}) {
      const CtlRun r = Run({command});
      testing::ExpectRefused(r, refusal);
      EXPECT_EQ(r.err.find("udev rule") != std::string::npos, refusal.code == ExitCode::NoAccess) << r.err;
    }
  }
}

}  // namespace
}  // namespace trx::ctl

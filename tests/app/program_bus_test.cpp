// The session-bus API on a private bus, with the headless main window.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <tuple>

#include "bus/bus_names.h"
#include "ctl/bus_client.h"
#include "ctl/ctl_app.h"
#include "ctl/ctl_watch.h"
#include "tests/app/app_test_support.h"
#include "tests/ctl/ctl_fixture.h"
#include "tests/platform/private_bus.h"
#include "ui/core/combo.h"

namespace trx::app::testing {
namespace {

using ctl::testing::CtlRun;

CtlRun Ctl(const std::vector<std::string>& args) { return ctl::testing::RunTool(args); }

// Interface paths differ between the simulator in the window and the
// tool's fake hidraw tree; everything else must match.
std::string WithoutPaths(const std::string& text) {
  return std::regex_replace(text, std::regex("(hid|sim)#[^ \"\\t\\n)]*"), "PATH");
}

std::string Shell(const std::string& command) {
  std::string text;
  if (FILE* p = popen((command + " 2>&1").c_str(), "r")) {
    char buf[4096];
    size_t n = 0;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    pclose(p);
  }
  return text;
}

class ProgramBusTest : public MainWndTest {
 protected:
  void SetUp() override {
    MainWndTest::SetUp();
    // The build tree's default profiles, as trx770ctl's tests use them.
    SetProgramFolderOverride("");
    // The real layouts: the performance page shows the DPI levels.
    CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource("res.xml"));
    ASSERT_FALSE(bus.Address().empty()) << "dbus-daemon did not start";
    setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().c_str(), 1);
    unsetenv("TRX770_NO_BUS");
    mouse = backend->AddDevice(std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse));
    CreateWindow({.backend = backend, .foreground = front, .session_bus = true, .bus_address = bus.Address()}, /*presence=*/true);
    ASSERT_TRUE(PumpUntil([&] { return window->Channel(DeviceKind::Mouse).connected.load() == 1; }));
    // The device object is served once the connect has been signalled.
    ASSERT_TRUE(PumpUntil([&] { return Shell(Gdbus("introspect", "/mouse")).find("org.trx770.Device1") != std::string::npos; }));
  }
  void TearDown() override {
    if (window != nullptr) window->DestroyWindow();
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    MainWndTest::TearDown();
  }
  std::string Gdbus(const std::string& verb, const std::string& object) {
    return "gdbus " + verb + " --address '" + bus.Address() + "' --dest org.trx770.trx770 --object-path /org/trx770/trx770" +
           object;
  }
  // The direct path on a fresh simulated mouse with its own memory.
  CtlRun Direct(std::vector<std::string> args) {
    args.insert(args.begin(), {"--simulate=mouse", "--sim-state", home_.Path("direct")});
    // Not on this thread: the window made it the UI thread, which never
    // talks to a device.
    CtlRun r;
    std::thread([&] { r = Ctl(args); }).join();
    return r;
  }
  std::string Label(const char* name) {
    ui::CControlUI* c = Find(name);
    return c != nullptr ? c->GetText() : "";
  }

  // Runs `watch` (JSON or text) for one event, which `cause` brings about;
  // the line printed and the milliseconds from the cause to it.
  std::pair<std::string, long long> WatchOneEvent(bool json, const std::function<void()>& cause) {
    std::ostringstream out, err;
    std::atomic<bool> subscribed{false};
    std::atomic<bool> done{false};
    std::chrono::steady_clock::time_point printed;
    ctl::WatchOptions options;
    options.bus_address = bus.Address();
    options.max_events = 1;
    options.timeout_ms = 10000;
    options.subscribed = [&] { subscribed = true; };
    std::thread watcher([&] {
      ctl::RunWatch(json, options, out, err);
      printed = std::chrono::steady_clock::now();
      done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return subscribed.load(); }));
    const auto caused = std::chrono::steady_clock::now();
    cause();
    PumpUntil([&] { return done.load(); }, 12);
    watcher.join();
    return {out.str(), std::chrono::duration_cast<std::chrono::milliseconds>(printed - caused).count()};
  }

  test::PrivateBus bus;
  std::shared_ptr<FakeFront> front = std::make_shared<FakeFront>();
  std::shared_ptr<sim::SimBackend> backend = std::make_shared<sim::SimBackend>();
  int mouse = -1;
};

TEST_F(ProgramBusTest, TheToolSendsItsCommandToTheProgramWithTheDirectPathsOutput) {
  const CtlRun bus_dpi = Ctl({"--verbose", "dpi", "mouse", "2", "1600"});
  ASSERT_EQ(bus_dpi.code, ctl::ExitCode::Ok) << bus_dpi.err;
  EXPECT_NE(bus_dpi.err.find("running trx770 (session bus)"), std::string::npos) << bus_dpi.err;
  const CtlRun direct_dpi = Direct({"dpi", "mouse", "2", "1600"});
  EXPECT_EQ(bus_dpi.out, direct_dpi.out);
  // The page shows the new value once the program has read the mouse again.
  EXPECT_TRUE(PumpUntil([&] { return Label("ms_DPI2_label_value") == "1600"; })) << Label("ms_DPI2_label_value");

  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"--json", "dump", "mouse"}, {"dump", "mouse"}, {"--json", "devices"},
        {"rate", "mouse", "500"}, {"onboard", "mouse", "2"}, {"--json", "light", "show", "mouse"},
        {"light", "set", "mouse", "--colour", "00ff00"}, {"--json", "button", "list", "mouse"},
        {"--json", "profile", "list", "mouse", "device"}, {"profile", "select", "mouse", "device", "profile1"}}) {
    const CtlRun b = Ctl(command);
    const CtlRun d = Direct(command);
    EXPECT_EQ(b.code, d.code) << command[0] << " " << b.err;
    EXPECT_EQ(WithoutPaths(b.out), WithoutPaths(d.out)) << command[0];
    EXPECT_EQ(b.err, d.err) << command[0];
  }
  const CtlRun dump = Ctl({"--json", "dump", "mouse"});
  EXPECT_NE(dump.out.find("\"schema_version\": 1"), std::string::npos);
  EXPECT_NE(dump.out.find("\"dpi\": [800, 1600, 3200, 6400]"), std::string::npos) << dump.out;
}

TEST_F(ProgramBusTest, EveryRefusalComesBackWithTheSameExitCodeAndReason) {
  std::ofstream(home_.Path("bad.config")) << "not a profile";
  std::ofstream(home_.Path("big.cur")) << "[MACROACTIONCOUNT]\ncount=181\n";
  // The command, its exit code, and the typed method's D-Bus error and call by gdbus.
  const std::tuple<std::vector<std::string>, ctl::ExitCode, const char*, std::string> cases[] = {
      {{"dpi", "mouse", "5", "800"}, ctl::ExitCode::Usage, "org.trx770.Error.Usage", "/mouse --method org.trx770.Device1.SetDpi 5 800"},
      {{"dpi", "mouse", "2", "123"}, ctl::ExitCode::Usage, "org.trx770.Error.Usage", "/mouse --method org.trx770.Device1.SetDpi 2 123"},
      {{"profile", "rename", "mouse", "device", "profile1", "a/b"}, ctl::ExitCode::Refused, "org.trx770.Error.Refused",
       "/mouse --method org.trx770.Profiles1.RenameProfile device profile1 a/b"},
      {{"profile", "import", "mouse", "device", home_.Path("bad.config")}, ctl::ExitCode::Refused,
       "org.trx770.Error.Refused", "/mouse --method org.trx770.Profiles1.ImportProfile device " + home_.Path("bad.config")},
      {{"routine", "import", "1", home_.Path("big.cur")}, ctl::ExitCode::Refused, "org.trx770.Error.Refused",
       "/mouse --method org.trx770.Device1.ImportRoutine 1 " + home_.Path("big.cur")},
      {{"dump", "keyboard"}, ctl::ExitCode::NoDevice, nullptr, ""},
      {{"onboard", "keyboard", "2"}, ctl::ExitCode::Usage, nullptr, ""},
  };
  for (const auto& [command, code, error, method] : cases) {
    const CtlRun b = Ctl(command);
    const CtlRun d = Direct(command);
    EXPECT_EQ(b.code, code) << command[0] << ": " << b.err;
    EXPECT_EQ(b.code, d.code) << command[0];
    EXPECT_EQ(b.err, d.err) << command[0];
    EXPECT_TRUE(b.out.empty()) << b.out;
    if (error == nullptr) continue;
    const std::string reply = Shell(Gdbus("call", method));
    const std::string reason(bus::ReasonOfLine(b.err));
    EXPECT_NE(reply.find(std::string(error) + ": " + reason), std::string::npos) << reply << "\nwanted " << reason;
  }
}

TEST_F(ProgramBusTest, ProfilesAddedOverTheBusShowInTheWindowsCombo) {
  const CtlRun add = Ctl({"profile", "add", "mouse", "device"});
  ASSERT_EQ(add.code, ctl::ExitCode::Ok) << add.err;
  auto* combo = dynamic_cast<CComboUI*>(Find("ms_device_profile_combo"));
  ASSERT_NE(combo, nullptr);
  EXPECT_TRUE(PumpUntil([&] { return combo->GetCount() == 2 && combo->GetCurSel() == 1; }))
      << combo->GetCount() << " items, item " << combo->GetCurSel() << " selected";
  ASSERT_EQ(Ctl({"profile", "rename", "mouse", "device", "profile2", "game"}).code, ctl::ExitCode::Ok);
  EXPECT_TRUE(PumpUntil([&] { return combo->GetCount() == 2 && combo->GetItemAt(1)->GetText() == "game"; }));
}

TEST_F(ProgramBusTest, WatchPrintsALinkedProgramComingToTheFrontWithin200Ms) {
  ASSERT_EQ(Ctl({"profile", "add", "mouse", "device"}).code, ctl::ExitCode::Ok);
  ASSERT_EQ(Ctl({"profile", "select", "mouse", "device", "profile1"}).code, ctl::ExitCode::Ok);
  ASSERT_TRUE(WriteProgramLink(*FindFamily(DeviceKind::Mouse, ProfileFamily::Device), 1, "/usr/bin/shooter"));
  Pump();
  const auto [line, ms] = WatchOneEvent(false, [&] { front->Set("/usr/bin/shooter"); });
  EXPECT_EQ(line, "profile in effect: mouse device 'profile2' (program-link)\n");
  EXPECT_LT(ms, 200) << "watch printed " << ms << " ms after the program came to the front";
  std::printf("program in front to watch line: %lld ms\n", ms);
}

TEST(ProgramBusPaths, TheToolSendsItsFileArgumentsAsAbsolutePaths) {
  const std::string here = std::filesystem::current_path().string() + "/";
  const std::vector<std::pair<std::vector<std::string>, size_t>> cases = {
      {{"macro", "import", "mouse", "m.mac"}, 3},          {{"macro", "export", "mouse", "a", "m.mac"}, 4},
      {{"routine", "import", "1", "r.cur"}, 3},            {{"routine", "export", "1", "r.cur", "--force"}, 3},
      {{"profile", "import", "mouse", "device", "p"}, 4},  {{"profile", "export", "pad", "light", "n", "p"}, 5},
      {{"light", "key-colours", "keyboard", "k.txt"}, 3},  {{"profile", "select", "mouse", "device", "p"}, 0},
  };
  for (const auto& [words, at] : cases) {
    const std::vector<std::string> sent = ctl::WithAbsoluteFile(words);
    for (size_t i = 0; i < words.size(); ++i)
      EXPECT_EQ(sent[i], i == at && at != 0 ? here + words[i] : words[i]) << words[0] << " " << words[1] << " " << i;
  }
  EXPECT_EQ(ctl::WithAbsoluteFile({"profile", "import", "mouse", "device", "/tmp/p"})[4], "/tmp/p");
}

TEST_F(ProgramBusTest, GdbusCallsTheTypedMethodsAndSeesTheDocumentedInterfaces) {
  const std::string root = Shell(Gdbus("introspect", ""));
  EXPECT_NE(root.find("interface org.trx770.Manager1"), std::string::npos) << root;
  EXPECT_NE(root.find("Run("), std::string::npos);
  EXPECT_NE(root.find("ProfileChanged(s kind"), std::string::npos);
  const std::string object = Shell(Gdbus("introspect", "/mouse"));
  EXPECT_NE(object.find("interface org.trx770.Profiles1"), std::string::npos) << object;
  EXPECT_NE(object.find("readonly s Kind = 'mouse'"), std::string::npos) << object;

  const std::string reply = Shell(Gdbus("call", "/mouse --method org.trx770.Device1.SetDpi 3 1800"));
  EXPECT_NE(reply.find("\"dpi\": 1800"), std::string::npos) << reply;
  const CtlRun dump = Ctl({"--json", "dump", "mouse"});
  EXPECT_NE(dump.out.find("\"dpi\": [800, 1600, 1800, 6400]"), std::string::npos) << dump.out;
  const std::string version = Shell(Gdbus("call", " --method org.freedesktop.DBus.Properties.Get org.trx770.Manager1 Version"));
  EXPECT_NE(version.find("<uint32 1>"), std::string::npos) << version;
}

TEST_F(ProgramBusTest, WatchPrintsAnUnplugWithin200Ms) {
  const auto [line, ms] = WatchOneEvent(true, [&] { backend->Unplug(mouse); });
  EXPECT_EQ(line, "{\"schema_version\": 1, \"event\": \"device-removed\", \"kind\": \"mouse\"}\n");
  EXPECT_LT(ms, 200) << "watch printed " << ms << " ms after the unplug";
  std::printf("unplug to watch line: %lld ms\n", ms);
}

}  // namespace
}  // namespace trx::app::testing

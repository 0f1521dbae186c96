// The demo's simulated devices: the --simulate list, and the detection threads
// following them through the process's default HID backend.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "device/hid_device.h"
#include "sim/demo_devices.h"
#include "sim/sim_options.h"
#include "tests/presence/presence_fixture.h"

namespace trx::test {
namespace {

using sim::SimKind;
using sim::SimulatedDevices;
using sim::SimulateSelection;

// The program and the tool read the simulator options through one parser.
TEST(PresenceSimulateList, SimOptionsReadAsTheProgramAndTheToolDo) {
  // Arguments; accepted; then the options read: simulate, list, state.
  const std::tuple<std::vector<std::string>, bool, bool, const char*, const char*> rows[] = {
      {{"--simulate"}, true, true, "", ""},
      {{"--simulate=pad,mouse"}, true, true, "pad,mouse", ""},
      {{"--simulate="}, false, true, "", ""},
      {{"--simulate", "--sim-state", "/d"}, true, true, "", "/d"},
      {{"--sim-state=/d", "--simulate=mouse"}, true, true, "mouse", "/d"},
      {{"--simulate", "--sim-state"}, false, true, "", ""},
      {{"--simulate", "--sim-state="}, false, true, "", ""},
      {{"--sim-state", "/d"}, false, false, "", "/d"},
  };
  for (const auto& [args, accepted, simulate, list, state] : rows) {
    SCOPED_TRACE(args[0]);
    sim::SimOptions o;
    std::string error;
    bool ok = true;
    for (size_t i = 0; i < args.size() && ok; ++i) {
      ASSERT_TRUE(sim::IsSimOption(args[i])) << args[i];
      ok = sim::TakeSimOption(args, i, o, error) == sim::SimOptionResult::Taken;
    }
    ok = ok && sim::CheckSimOptions(o, error);
    EXPECT_EQ(ok, accepted);
    EXPECT_EQ(ok, error.empty()) << error;
    EXPECT_EQ(o.simulate, simulate);
    EXPECT_EQ(o.simulate_list, list);
    EXPECT_EQ(o.sim_state, state);
  }
  size_t i = 0;
  sim::SimOptions o;
  std::string error;
  EXPECT_FALSE(sim::IsSimOption("--simulated"));
  EXPECT_EQ(sim::TakeSimOption({"--json"}, i, o, error), sim::SimOptionResult::NotOurs);
}

TEST(PresenceSimulateList, BadListsAreRefusedWithAMessageAndLeaveTheSelection) {
  for (const char* bad : {"tablet", "mouse,", ",mouse", "mouse,,pad", "Mouse", "mouse,mouse", "mouse pad", "keyboard:1234",
                          "keyboard:", "keyboard:8611x", "mouse:8611", "keyboard,keyboard:7200"}) {
    SimulateSelection s{true, false, false};
    std::string error;
    EXPECT_FALSE(sim::ParseSimulateList(bad, s, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
    EXPECT_EQ(error.find('\n'), std::string::npos) << bad;
    EXPECT_TRUE(s.mouse && !s.keyboard && !s.pad) << bad;
  }
  SimulateSelection s;
  std::string error;
  sim::ParseSimulateList("mouse,tablet", s, error);
  EXPECT_NE(error.find("tablet"), std::string::npos);
}

class PresenceDemoDevicesTest : public PresenceTest {
 protected:
  void TearDown() override {
    SetDefaultHidBackend(nullptr);
    PresenceTest::TearDown();
  }
};

TEST_F(PresenceDemoDevicesTest, OnlySelectedDevicesExistAndPlugStateIsTracked) {
  SimulatedDevices devices({true, false, true});
  ASSERT_TRUE(devices.Valid());
  EXPECT_TRUE(devices.IsPlugged(SimKind::Mouse));
  EXPECT_FALSE(devices.IsPlugged(SimKind::Keyboard));
  EXPECT_TRUE(devices.IsPlugged(SimKind::MousePad));
  EXPECT_FALSE(devices.Plug(SimKind::Keyboard));  // not simulated
  EXPECT_FALSE(devices.Plug(SimKind::Mouse));     // already in
  EXPECT_EQ(devices.Firmware(SimKind::Keyboard), nullptr);

  ASSERT_TRUE(devices.Unplug(SimKind::Mouse));
  EXPECT_FALSE(devices.IsPlugged(SimKind::Mouse));
  EXPECT_FALSE(devices.Unplug(SimKind::Mouse));
  EXPECT_FALSE(devices.PressProfileButton(SimKind::Mouse));  // unplugged: nothing happens
  EXPECT_EQ(devices.Firmware(SimKind::Mouse)->Settings()[0], 0);

  std::vector<std::string> paths;
  ASSERT_TRUE(devices.Backend()->Enumerate(paths));
  EXPECT_EQ(paths.size(), 2u);  // the pad's vendor and consumer interfaces
}

TEST_F(PresenceDemoDevicesTest, DetectionFindsTheSimulatedDevicesThroughTheDefaultBackend) {
  SimulatedDevices devices({true, true, true});
  ASSERT_TRUE(devices.Valid());
  devices.Install();
  RecordingHost host(nullptr);  // channels on the default backend, as the main window's
  ThreadRunner kb(KeyboardDetectionThread, host);
  ThreadRunner ms(MouseDetectionThread, host);
  ThreadRunner mp(MousePadDetectionThread, host);
  ThreadRunner ms_sync(MouseSyncThread, host);
  ASSERT_TRUE(host.WaitFor("post instance", 3));

  // The device's buttons change its memory and the program follows.
  ASSERT_TRUE(devices.PressProfileButton(SimKind::Mouse));
  ASSERT_TRUE(host.WaitFor("send 0x0902"));
  EXPECT_EQ(WithImage([](ConfigImages& i) { return i.mouse.current[0]; }), 1);

  // Unplugging all three: the window goes once the last one has gone.
  ASSERT_TRUE(devices.Unplug(SimKind::Keyboard));
  ASSERT_TRUE(host.WaitFor("left keyboard"));
  ASSERT_TRUE(devices.Unplug(SimKind::MousePad));
  ASSERT_TRUE(host.WaitFor("left pad"));
  ASSERT_TRUE(host.WaitFor("select mouse", 2));  // both handed their tab to the mouse
  ASSERT_TRUE(devices.Unplug(SimKind::Mouse));
  ASSERT_TRUE(host.WaitFor("post 0x0C05"));
  EXPECT_EQ(host.Count("hide window"), 0u);

  // Plugging one back brings the window up again, with the memory it kept.
  ASSERT_TRUE(devices.Plug(SimKind::MousePad));
  ASSERT_TRUE(host.WaitFor("show window"));
  EXPECT_EQ(host.Channel(DeviceKind::MousePad).connected.load(), 1);
  EXPECT_EQ(host.Count("post instance"), 3u);
}

}  // namespace
}  // namespace trx::test

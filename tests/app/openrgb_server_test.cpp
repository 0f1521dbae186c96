// The OpenRGB SDK server end to end, clients of tests/openrgb/sdk_test_client.h.

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "ctl/light_command.h"
#include "pages/control_names.h"
#include "tests/app/app_test_support.h"
#include "tests/openrgb/sdk_test_client.h"
#include "ui/core/combo.h"

namespace trx::app::testing {
namespace {

using namespace trx::openrgb::testing;

constexpr uint32_t Sdk(uint32_t rgb) { return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF); }

class OpenRgbServerTest : public SimWindowTest {
 protected:
  void SetUp() override {
    SimWindowTest::SetUp();
    CPaintManagerUI::SetResourcePath(TRX770_SOURCE_DIR "/skin/");
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource("res.xml"));
    CreateOnSimulatedDevices();
    openrgb::ServerOptions server;
    server.port = 0;
    server.stall_timeout_ms = 300;
    ASSERT_EQ(window->OpenRgb().Start(server), openrgb::StartResult::Ok);
    port = window->OpenRgb().Server().Port();
  }
  void TearDown() override {
    window->OpenRgb().Stop();
    SimWindowTest::TearDown();
  }
  // A client connected with protocol version 4.
  void Connect(SdkClient& client) {
    ASSERT_TRUE(client.Connect(port));
    ASSERT_EQ(client.Negotiate(4), 4u);
  }
  // The client's earlier packets are handled once an answer to a later one
  // arrives; then one settings tick applies them.
  void Settle(SdkClient& client) {
    ASSERT_TRUE(client.AskU32(0, kCount).has_value());
    queue().AdvanceTime(100);
    SimWindowTest::Settle();
  }
  std::vector<uint8_t> Memory(int id) { return backend->Firmware(id)->Settings(); }
  std::string LightShow(const char* device) {
    std::ostringstream out, err;
    // As the tool would, off the window's thread.
    std::thread([&] {
      ctl::RunLight({"light", "show", device}, false,
                    [this](DeviceKind kind, bool, ctl::ExitCode*) { return &window->Channel(kind); }, out, err);
    }).join();
    return out.str() + err.str();
  }
  int ComboItem(const char* name) {
    auto* combo = dynamic_cast<ui::CComboUI*>(Find(name));
    return combo == nullptr ? -2 : combo->GetCurSel();
  }

  uint16_t port = 0;
};

TEST_F(OpenRgbServerTest, ClientListsTheDevicesAndSetsThePadStaticAndTheKeyboardBreathing) {
  SdkClient client;
  ASSERT_TRUE(client.Connect(port));
  EXPECT_EQ(client.Negotiate(5), 4u);  // the lower of the two
  ASSERT_TRUE(client.Send(0, kName, Bytes().str("test client").b));
  ASSERT_EQ(client.AskU32(0, kCount), 3u);

  std::vector<SdkController> controllers;
  // Type, name, modes, zone type, LEDs.
  for (const auto& [type, name, modes, zone_type, leds] : {std::tuple{5, "TRX770 Keyboard", 16u, 2, 104u},
                                                           {6, "TRX770 Mouse", 7u, 1, 7u}, {7, "TRX770 Mouse Pad", 10u, 1, 15u}}) {
    auto c = client.Controller(static_cast<uint32_t>(controllers.size()));
    ASSERT_TRUE(c.has_value()) << name;
    EXPECT_EQ(c->type, type);
    EXPECT_EQ(c->name, name);
    EXPECT_EQ(c->vendor, "TRX770");
    EXPECT_EQ(c->modes.size(), modes);
    ASSERT_EQ(c->zones.size(), 1u);
    EXPECT_EQ(c->zones[0].type, zone_type);
    EXPECT_EQ(c->zones[0].leds, leds);
    EXPECT_EQ(c->leds.size(), leds);
    EXPECT_EQ(c->colours.size(), leds);
    controllers.push_back(*c);
  }
  // The keyboard's matrix names every key once.
  const SdkZone& keys = controllers[0].zones[0];
  EXPECT_EQ(keys.height * keys.width, keys.matrix.size());
  EXPECT_EQ(std::count_if(keys.matrix.begin(), keys.matrix.end(), [](uint32_t l) { return l != 0xFFFFFFFFu; }), 104);
  EXPECT_EQ(controllers[0].leds[0], "Key: Esc");

  const int pad_static = controllers[2].ModeIndex("Static");
  const int kb_breathing = controllers[0].ModeIndex("Breathing");
  ASSERT_EQ(pad_static, 3);
  ASSERT_EQ(kb_breathing, 2);
  SdkMode pad = controllers[2].modes[3];
  EXPECT_NE(pad.flags & (1u << 6), 0u);  // mode-specific colour
  pad.colour_mode = 2;
  pad.colours = {Sdk(0x00A0FF)};
  ASSERT_TRUE(client.Send(2, kUpdateMode, ModePayload(pad_static, pad, 4)));
  ASSERT_TRUE(client.Send(0, kUpdateMode, ModePayload(kb_breathing, controllers[0].modes[2], 4)));
  Settle(client);

  const std::vector<uint8_t> pad_memory = Memory(2);
  EXPECT_EQ(pad_memory[1], 3);
  EXPECT_EQ(std::vector<uint8_t>(pad_memory.begin() + 6, pad_memory.begin() + 9), (std::vector<uint8_t>{0x00, 0xA0, 0xFF}));
  EXPECT_EQ(Memory(1)[1], 2);
  EXPECT_NE(LightShow("pad").find("mode 3 (static)"), std::string::npos) << LightShow("pad");
  EXPECT_NE(LightShow("pad").find("colour #00a0ff"), std::string::npos);
  // The tool names the mode from the list of the keyboard that answers:
  // the simulated one is 0x6556, whose mode 2 is "steady".
  EXPECT_NE(LightShow("keyboard").find("mode 2 (steady)"), std::string::npos) << LightShow("keyboard");
  // The window's pages show both.
  EXPECT_EQ(ComboItem("mp_deng_combo_modeSelect"), 3);
  EXPECT_EQ(ComboItem("kb_deng_combo_modeSelect"), 2);
  EXPECT_EQ(Find("mp_Deng_edit_G")->GetText(), "160");
  // And the clients see it.
  EXPECT_EQ(client.Controller(2)->active_mode, 3);
  EXPECT_EQ(client.Controller(2)->colours[0], Sdk(0x00A0FF));
}

// The single-colour keyboard (its connect read sets the variant from the
// answered 0x6556) offers its own modes and no colours; whatever asks for
// colours gives its steady light, and the colour bytes stay.
TEST_F(OpenRgbServerTest, TheSingleColourKeyboardOffersItsOwnModesAndTurnsColoursIntoSteady) {
  WithImage([](ConfigImages& images) { images.keyboard.variant = KeyboardVariant::V15; });
  SdkClient client;
  Connect(client);
  const auto kb = client.Controller(0);
  ASSERT_TRUE(kb.has_value());
  std::vector<std::string> names;
  for (const SdkMode& m : kb->modes) {
    names.push_back(m.name);
    EXPECT_EQ(m.flags & (openrgb::kModeHasModeSpecificColor | openrgb::kModeHasRandomColor | openrgb::kModeHasPerLedColor), 0u) << m.name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Wave", "Breathing", "Steady", "Reactive", "Ripple", "Twinkle", "Row bands",
                                             "Snake", "Sparkle", "Flashes", "Sweep"}));
  EXPECT_NE(kb->modes[6].flags & openrgb::kModeHasDirectionUD, 0u);  // row bands
  EXPECT_EQ(std::count(kb->colours.begin(), kb->colours.end(), Sdk(0xF6FF00)), 87);  // its one colour, on 87 keys

  const LightingBytes held = ReadLighting(DeviceKind::Keyboard);
  Bytes leds;
  leds.u32(6 + 4 * 87).u16(87);
  for (uint32_t i = 0; i < 87; ++i) leds.u32(i % 2 ? Sdk(0xFF0000) : Sdk(0x0000FF));
  SdkMode sweep = kb->modes[10];
  sweep.colours = {Sdk(0x00FF00)};
  const std::pair<uint32_t, std::vector<uint8_t>> requests[] = {
      {kUpdateLeds, leds.b}, {kUpdateMode, ModePayload(10, sweep, 4)}, {kCustom, {}}};
  for (const auto& [id, payload] : requests) {
    ASSERT_TRUE(client.Send(0, id, payload));
    Settle(client);
    const std::vector<uint8_t> m = Memory(1);
    EXPECT_EQ(m[1], id == kUpdateMode ? 10 : 2) << id;
    EXPECT_EQ((std::vector<uint8_t>{m[6], m[7], m[8]}), (std::vector<uint8_t>{held.red, held.green, held.blue})) << id;
  }
  EXPECT_EQ(ComboItem("kb_deng_onecolor_combo_modeSelect"), 2);
}

// Every protocol version's controller block parses to its documented end.
TEST_F(OpenRgbServerTest, EachProtocolVersionGetsItsOwnLayout) {
  for (uint32_t v = 0; v <= 4; ++v) {
    SdkClient client;
    ASSERT_TRUE(client.Connect(port));
    if (v > 0) { ASSERT_EQ(client.Negotiate(v), v); }
    for (uint32_t i = 0; i < 3; ++i) {
      auto c = client.Controller(i);
      ASSERT_TRUE(c.has_value()) << "version " << v << " controller " << i;
      EXPECT_EQ(c->vendor.empty(), v == 0);
    }
  }
}

TEST_F(OpenRgbServerTest, GarbageAndStalledClientsAreClosedWhileTheOthersKeepWorking) {
  struct Bad {
    const char* what;
    std::vector<uint8_t> bytes;
    bool stalls;  // closed only after the stall timeout
  };
  const std::vector<uint8_t> name = Packet(0, kName, std::vector<uint8_t>(40, 'x'));
  const std::vector<Bad> bad = {
      {"garbage", {'G', 'E', 'T', ' ', '/', '\r', '\n'}, false},
      {"half a packet", std::vector<uint8_t>(name.begin(), name.begin() + 30), true},
      {"size over the limit", {'O', 'R', 'G', 'B', 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0}, false},
      {"unknown id", Packet(0, 7777, {}), false},
      {"short LED update", Packet(2, kUpdateLeds, Bytes().u32(100).u16(20).u32(1).b), false},
  };
  std::vector<std::unique_ptr<SdkClient>> bad_clients;
  for (const Bad& b : bad) {
    auto c = std::make_unique<SdkClient>();
    ASSERT_TRUE(c->Connect(port));
    ASSERT_TRUE(c->SendRaw(b.bytes)) << b.what;
    bad_clients.push_back(std::move(c));
  }
  // Ten clients in all: the good ones talk while the bad ones are there.
  std::vector<std::unique_ptr<SdkClient>> good;
  for (size_t i = bad.size(); i < 10; ++i) {
    good.push_back(std::make_unique<SdkClient>());
    ASSERT_TRUE(good.back()->Connect(port));
  }
  for (auto& c : good) {
    ASSERT_EQ(c->Negotiate(4), 4u);
    ASSERT_EQ(c->AskU32(0, kCount), 3u);
    ASSERT_TRUE(c->Controller(1).has_value());
  }
  for (size_t i = 0; i < bad.size(); ++i) EXPECT_TRUE(bad[i].stalls || bad_clients[i]->ClosedByServer()) << bad[i].what;
  // The window goes on meanwhile (its timers run on this thread).
  queue().AdvanceTime(100);
  EXPECT_TRUE(bad_clients[1]->ClosedByServer());  // after the 300 ms stall limit
  EXPECT_EQ(window->OpenRgb().Server().FaultCount(), bad.size());
  for (auto& c : good) EXPECT_EQ(c->AskU32(0, kCount), 3u);
}

TEST_F(OpenRgbServerTest, AThousandColoursInOneSecondGiveAtMostTenWritesAndTheLastColourWins) {
  SdkClient client;
  Connect(client);
  const auto pad = client.Controller(2);
  ASSERT_TRUE(pad.has_value());
  uint32_t last = 0;
  for (uint32_t i = 0; i < 1000; ++i) {
    last = Sdk(0x010203 * (i % 80) + i);
    Bytes leds;
    leds.u32(static_cast<uint32_t>(6 + 4 * pad->leds.size())).u16(static_cast<uint32_t>(pad->leds.size()));
    for (size_t l = 0; l < pad->leds.size(); ++l) leds.u32(last);
    ASSERT_TRUE(client.Send(2, kUpdateLeds, leds.b));
    queue().AdvanceTime(1);  // one millisecond per update on the window's clock
    // A tick's send is written before the clock moves on, so the trace's
    // times are the ticks'.
    while (window->Queue(DeviceKind::MousePad).Busy()) std::this_thread::sleep_for(std::chrono::microseconds(100));
    if (i % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));  // let the server read
  }
  Settle(client);

  std::vector<Write> pad_writes;
  for (const Write& w : Writes()) {
    EXPECT_EQ(w.kind, DeviceKind::MousePad);
    if (w.kind == DeviceKind::MousePad) pad_writes.push_back(w);
  }
  ASSERT_GE(pad_writes.size(), 2u);
  EXPECT_LE(pad_writes.size(), 11u);  // 1.1 s on the window's clock
  for (size_t i = 1; i < pad_writes.size(); ++i)
    EXPECT_GE(pad_writes[i].at_ms - pad_writes[i - 1].at_ms, 100) << "writes " << i - 1 << " and " << i;
  // The pad's record is one frame, its colour bytes 6-8 at frame bytes 14-16.
  const std::vector<uint8_t>& final_frame = pad_writes.back().bytes;
  EXPECT_EQ(Sdk(uint32_t{final_frame[14]} << 16 | uint32_t{final_frame[15]} << 8 | final_frame[16]), last);
  EXPECT_EQ(Memory(2)[1], 3);  // Static
}

TEST_F(OpenRgbServerTest, UnpluggingADeviceTellsTheClientsTheListChanged) {
  SdkClient client;
  Connect(client);
  ASSERT_EQ(client.AskU32(0, kCount), 3u);
  window->Channel(DeviceKind::Mouse).connected = 0;
  uint32_t device = 0, id = 0;
  std::vector<uint8_t> payload;
  ASSERT_TRUE(client.Receive(&device, &id, &payload));
  EXPECT_EQ(id, static_cast<uint32_t>(kListUpdated));
  EXPECT_TRUE(payload.empty());
  ASSERT_EQ(client.AskU32(0, kCount), 2u);
  EXPECT_EQ(client.Controller(1)->name, "TRX770 Mouse Pad");
}

TEST_F(OpenRgbServerTest, TheTrayItemKeepsTheChoiceAndAPortInUseIsReported) {
  window->OpenRgb().Stop();
  const int holder = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(::listen(holder, 1), 0);
  ::getsockname(holder, reinterpret_cast<sockaddr*>(&a), &len);
  const uint16_t busy = ntohs(a.sin_port);
  ASSERT_TRUE(StoreOpenRgbChoice({false, busy}, MainIniPath()));

  boxes.clear();  // the start-up's own
  window->RunMenuCommand(pages::names::kMenuOpenRgb, "");
  EXPECT_FALSE(window->OpenRgb().Running());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("port " + std::to_string(busy) + " on 127.0.0.1 is in use"), std::string::npos) << boxes[0];
  EXPECT_TRUE(ReadOpenRgbChoice(MainIniPath()).on);  // the next start tries again

  ::close(holder);
  window->RunMenuCommand(pages::names::kMenuOpenRgb, "");
  EXPECT_TRUE(window->OpenRgb().Running());
  EXPECT_EQ(window->OpenRgb().Server().Port(), busy);
  window->RunMenuCommand(pages::names::kMenuOpenRgb, "");
  EXPECT_FALSE(window->OpenRgb().Running());
  EXPECT_FALSE(ReadOpenRgbChoice(MainIniPath()).on);
}

}  // namespace
}  // namespace trx::app::testing

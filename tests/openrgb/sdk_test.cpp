// The OpenRGB server's parts without sockets: codec, mailbox, and LED and mode requests.

#include <gtest/gtest.h>

#include <tuple>

#include "openrgb/change_mailbox.h"
#include "openrgb/sdk_codec.h"
#include "openrgb/sdk_devices.h"
#include "tests/openrgb/sdk_test_client.h"

namespace trx::openrgb {
namespace {

using testing::Bytes;
using testing::Packet;

TEST(SdkCodec, PacketsAreSplitAndDecodedOrRefusedByTheirContent) {
  std::vector<uint8_t> cut = Packet(0, 40, {4, 0, 0, 0});
  cut.pop_back();
  const std::vector<uint8_t> big = {'O', 'R', 'G', 'B', 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0};
  const std::tuple<const char*, std::vector<uint8_t>, HeaderResult, DecodeResult> cases[] = {
      {"empty", {}, HeaderResult::NeedMore, DecodeResult::Ok},
      {"wrong magic told early", {'O', 'R', 'X'}, HeaderResult::BadMagic, DecodeResult::Ok},
      {"header only half there", {'O', 'R', 'G', 'B', 1, 0}, HeaderResult::NeedMore, DecodeResult::Ok},
      {"payload over the limit", big, HeaderResult::TooLarge, DecodeResult::Ok},
      {"payload not all there", cut, HeaderResult::NeedMore, DecodeResult::Ok},
      {"version", Packet(0, 40, Bytes().u32(4).b), HeaderResult::Ok, DecodeResult::Ok},
      {"version without a number", Packet(0, 40, {}), HeaderResult::Ok, DecodeResult::Malformed},
      {"unknown id", Packet(0, 4242, {}), HeaderResult::Ok, DecodeResult::Unknown},
      {"server's own id", Packet(0, 100, {}), HeaderResult::Ok, DecodeResult::Unknown},
      {"profile save", Packet(0, 151, {'p', 0}), HeaderResult::Ok, DecodeResult::Ignored},
      {"LEDs", Packet(0, 1050, Bytes().u32(14).u16(2).u32(1).u32(2).b), HeaderResult::Ok, DecodeResult::Ok},
      {"LEDs promising more", Packet(0, 1050, Bytes().u32(14).u16(3).u32(1).u32(2).b), HeaderResult::Ok,
       DecodeResult::Malformed},
      {"single LED short", Packet(0, 1052, Bytes().u32(1).b), HeaderResult::Ok, DecodeResult::Malformed},
      {"mode index negative", Packet(0, 1101, Bytes().u32(8).u32(0xFFFFFFFF).b), HeaderResult::Ok, DecodeResult::Malformed},
  };
  for (const auto& [what, bytes, header_result, decode_result] : cases) {
    PacketHeader header;
    std::span<const uint8_t> payload;
    ASSERT_EQ(NextPacket(bytes, &header, &payload), header_result) << what;
    if (header_result != HeaderResult::Ok) continue;
    Request r;
    EXPECT_EQ(DecodeRequest(header, payload, 4, &r), decode_result) << what;
  }
}

TEST(SdkCodec, ModeUpdatesCarryBrightnessFromVersionThree) {
  testing::SdkMode m;
  m.name = "Static";
  m.brightness = 9;
  m.colours = {0x00FF00};
  for (uint32_t v : {2u, 3u}) {
    const std::vector<uint8_t> p = Packet(0, 1101, testing::ModePayload(3, m, v));
    PacketHeader header;
    std::span<const uint8_t> payload;
    ASSERT_EQ(NextPacket(p, &header, &payload), HeaderResult::Ok);
    Request r;
    ASSERT_EQ(DecodeRequest(header, payload, v, &r), DecodeResult::Ok) << v;
    EXPECT_EQ(r.number, 3u);
    EXPECT_EQ(r.mode.brightness, v >= 3 ? 9u : 0u);
    EXPECT_EQ(r.mode.colours, m.colours);
  }
}

TEST(ChangeMailbox, NewestWinsAndOneChangeLeavesPerInterval) {
  ChangeMailbox box(100);
  auto colour = [](uint8_t red) {
    LightingChange c;
    c.bytes.red = red;
    return c;
  };
  struct Step { int put; int64_t take; int expect; };  // red put, time of a take, red taken; -1: none
  const Step steps[] = {
      {1, -1, -1}, {2, -1, -1}, {-1, 0, 2},     // newest of the two
      {3, -1, -1}, {-1, 50, -1}, {4, -1, -1},   // too early; 4 replaces 3
      {-1, 100, 4}, {-1, 300, -1},              // nothing waits
      {5, -1, -1}, {-1, 301, 5},                // long after the last: at once
  };
  for (const Step& s : steps) {
    if (s.put >= 0) box.Put(DeviceKind::MousePad, colour(static_cast<uint8_t>(s.put)));
    if (s.take < 0) continue;
    const auto got = box.TakeDue(DeviceKind::MousePad, s.take);
    EXPECT_EQ(got ? got->bytes.red : -1, s.expect) << "take at " << s.take;
  }
  box.Put(DeviceKind::Mouse, colour(9));
  EXPECT_FALSE(box.TakeDue(DeviceKind::Keyboard, 1000).has_value());  // devices are apart
}

DeviceState State(DeviceKind kind) {
  DeviceState s;
  s.kind = kind;
  s.lighting.mode = 0;
  s.lighting.brightness = 14;
  return s;
}

TEST(SdkDevices, LedColoursBecomeStaticOrTheKeyboardsCustomColours) {
  constexpr uint32_t kRed = Colour(255, 0, 0), kBlue = Colour(0, 0, 255);
  struct Case { DeviceKind kind; std::vector<uint32_t> colours; uint8_t mode; uint32_t rgb; bool keys; };  // rgb: bytes 6-8
  const Case cases[] = {
      {DeviceKind::MousePad, std::vector<uint32_t>(15, kBlue), 3, 0x0000FF, false},
      {DeviceKind::MousePad, {kRed, kBlue}, 3, 0x7F007F, false},  // the average
      {DeviceKind::Mouse, std::vector<uint32_t>(7, kRed), 4, 0xFF0000, false},
      {DeviceKind::Keyboard, std::vector<uint32_t>(104, kRed), 3, 0xFF0000, false},
      {DeviceKind::Keyboard, {kRed, kBlue}, 8, 0, true},
  };
  for (const Case& c : cases) {
    const LightingChange change = ApplyLedColours(State(c.kind), c.colours);
    EXPECT_EQ(change.bytes.mode, c.mode) << DeviceKindName(c.kind);
    if (!c.keys) {
      EXPECT_EQ(change.bytes.Argb() & 0xFFFFFF, c.rgb) << DeviceKindName(c.kind);
    }
    ASSERT_EQ(change.key_colours.has_value(), c.keys);
    if (c.keys) {
      // LED 0 is Esc (light 0), LED 1 is F1 (light 1).
      EXPECT_EQ((*change.key_colours)[0], 0xFF0000u);
      EXPECT_EQ((*change.key_colours)[1], 0x0000FFu);
    }
  }
}

TEST(SdkDevices, ModeUpdatesMapSpeedDirectionAndColourModes) {
  const ControllerDescription kb = DescribeController(State(DeviceKind::Keyboard));
  ModeDescription wave = kb.modes[0];  // direction, colour, cycle, speed
  wave.speed = 10;
  wave.brightness = 5;
  wave.direction = static_cast<uint32_t>(Direction::Left);
  wave.colour_mode = static_cast<uint32_t>(ColourMode::Random);
  const auto change = ApplyModeUpdate(State(DeviceKind::Keyboard), 0, wave, 4);
  ASSERT_TRUE(change.has_value());
  EXPECT_EQ(change->bytes.speed, 4);  // 14 - 10
  EXPECT_EQ(change->bytes.brightness, 5);
  EXPECT_EQ(change->bytes.direction, 1);
  EXPECT_EQ(change->bytes.colour_cycle, 1);
  EXPECT_EQ(ApplyModeUpdate(State(DeviceKind::Keyboard), 0, wave, 2)->bytes.brightness, 14);  // no brightness before 3
  EXPECT_FALSE(ApplyModeUpdate(State(DeviceKind::Keyboard), 16, wave, 4).has_value());
  EXPECT_EQ(kb.modes[8].flags & kModeHasPerLedColor, kModeHasPerLedColor);  // custom colours
  EXPECT_EQ(kb.modes[10].flags & kModeHasDirectionUD, kModeHasDirectionUD);  // row bands: up / down
  EXPECT_EQ(ApplyCustomMode(State(DeviceKind::Keyboard)).bytes.mode, 8);
  EXPECT_EQ(ApplyCustomMode(State(DeviceKind::MousePad)).bytes.mode, 3);
}

}  // namespace
}  // namespace trx::openrgb

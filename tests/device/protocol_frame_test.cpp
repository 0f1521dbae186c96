// Request frames as they go on the wire, and the trace line format.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "device/commands.h"
#include "device/frame_trace.h"

namespace trx {
namespace {

std::vector<uint8_t> Bytes(const Frame& f) { return std::vector<uint8_t>(f.begin(), f.end()); }

std::vector<uint8_t> Expected(std::initializer_list<uint8_t> head) {
  std::vector<uint8_t> v(head);
  v.resize(64, 0);
  return v;
}

// Id 4, checksum (LE, none for the reset), command, length, address (LE), payload.
TEST(ProtocolFrame, RequestsAsTheyGoOnTheWire) {
  // Command, length, address, payload, checksum, the frame.
  const std::tuple<uint8_t, uint8_t, uint16_t, std::vector<uint8_t>, bool, std::vector<uint8_t>> rows[] = {
      {kCmdReadDeviceInfo, 33, 0, {}, true, Expected({0x04, 0x24, 0x00, 0x03, 0x21})},
      {kCmdReadSettings, 56, 0x0100, {}, true, Expected({0x04, 0x3E, 0x00, 0x05, 0x38, 0x00, 0x01, 0x00})},
      {kCmdWriteSettings, 2, 0x0040, {1, 2}, true, Expected({0x04, 0x4B, 0x00, 0x06, 0x02, 0x40, 0x00, 0x00, 0x01, 0x02})},
      {kCmdResetDefaults, 0, 0, {}, false, Expected({0x04, 0x00, 0x00, 0x0D})},
  };
  for (const auto& [command, length, address, payload, checksum, expected] : rows)
    EXPECT_EQ(Bytes(BuildFrame(command, length, address, payload.data(), payload.size(), checksum)), expected) << int(command);
  // 56 payload bytes of 0xFF: 56*255 = 14280, + command 6 + length 56 = 14342 = 0x3806.
  std::vector<uint8_t> payload(80, 0xFF);
  Frame f = BuildFrame(kCmdWriteSettings, 56, 0, payload.data(), 56);
  EXPECT_EQ(f[1], 0x06);
  EXPECT_EQ(f[2], 0x38);
  EXPECT_EQ(FrameChecksum(f), 0x3806);
  // A payload longer than one frame is cut at 56 bytes: no overrun.
  f = BuildFrame(kCmdWriteSettings, 56, 0, payload.data(), payload.size());
  EXPECT_EQ(f[63], 0xFF);
}

TEST(FrameTraceLine, FormatsTimeDirectionKindAndLowerCaseHexAndParsesItBack) {
  FrameTraceRecord r;
  r.time_us = 1500;
  r.direction = '<';
  r.kind = DeviceKind::MousePad;
  r.bytes = {0x04, 0xAB, 0x00};
  EXPECT_EQ(FormatTraceLine(r), "1500 < pad 04ab00");
  ASSERT_TRUE(ParseTraceLine("42 > keyboard 0424000321\n", r));
  EXPECT_EQ(r.time_us, 42u);
  EXPECT_EQ(r.direction, '>');
  EXPECT_EQ(r.kind, DeviceKind::Keyboard);
  EXPECT_EQ(r.bytes, (std::vector<uint8_t>{0x04, 0x24, 0x00, 0x03, 0x21}));
  for (const char* garbage : {"42 ? mouse 04", "42 > cat 04", "42 > mouse 0g", "42 > mouse 042"})
    EXPECT_FALSE(ParseTraceLine(garbage, r)) << garbage;
}

TEST(FrameTraceFile, LinesFromTwoThreadsNeverInterleaveAndNothingFollowsTheClose) {
  const std::string path = "/tmp/trx770-trace-test-" + std::to_string(getpid()) + ".txt";
  std::remove(path.c_str());
  ASSERT_TRUE(SetFrameTraceFile(path));
  auto writer = [](DeviceKind kind, uint8_t fill) {
    Frame f{};
    f.fill(fill);
    for (int i = 0; i < 500; ++i) TraceFrame(kind, '>', f.data(), f.size());
  };
  std::thread a(writer, DeviceKind::Keyboard, 0xAA);
  std::thread b(writer, DeviceKind::MousePad, 0x55);
  a.join();
  b.join();
  ASSERT_TRUE(SetFrameTraceFile(""));
  std::ifstream in(path);
  std::string line;
  int keyboard = 0;
  int pad = 0;
  while (std::getline(in, line)) {
    FrameTraceRecord r;
    ASSERT_TRUE(ParseTraceLine(line, r)) << line;
    ASSERT_EQ(r.bytes.size(), 64u);
    const uint8_t expected = r.kind == DeviceKind::Keyboard ? 0xAA : 0x55;
    for (uint8_t byte : r.bytes) ASSERT_EQ(byte, expected) << line;
    (r.kind == DeviceKind::Keyboard ? keyboard : pad)++;
  }
  EXPECT_EQ(keyboard, 500);
  EXPECT_EQ(pad, 500);
  // Closed, and with no hook set, nothing more is recorded.
  Frame f{};
  TraceFrame(DeviceKind::Mouse, '<', f.data(), f.size());
  std::ifstream again(path);
  int lines = 0;
  while (std::getline(again, line)) ++lines;
  EXPECT_EQ(lines, 1000);
  EXPECT_FALSE(SetFrameTraceFile("/nonexistent-dir/trace.txt"));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace trx

#pragma once
// A mouse channel connected to an in-process simulated mouse, with every
// frame the channel writes or reads collected through the trace hook.

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "device/commands.h"
#include "device/device_channel.h"
#include "device/frame_trace.h"
#include "sim/firmware_model.h"
#include "sim/sim_backend.h"

namespace trx::test {

class SimChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    backend = std::make_shared<sim::SimBackend>();
    firmware = std::make_shared<sim::SimFirmware>(sim::SimKind::Mouse);
    device_id = backend->AddDevice(firmware);
    channel = std::make_unique<CDeviceChannel>(DeviceKind::Mouse, backend);
    channel->SetIdentity(0x0C45, 0x652C, 0xFF1C, 0x92);
    channel->reply_timeout_ms = 20;  // keeps the no-reply cases short
    channel->transport.want_read = channel->transport.want_write = true;
    channel->transport.device_path = backend->VendorPath(device_id);
    ASSERT_EQ(channel->transport.Open(), 1);
    channel->connected = 1;
    SetFrameTraceHook([this](const FrameTraceRecord& r) {
      std::lock_guard<std::mutex> guard(trace_mutex);
      trace.push_back(r);
    });
  }
  void TearDown() override { SetFrameTraceHook(nullptr); }

  // Frames the channel wrote ('>') or read ('<'), in order.
  std::vector<std::vector<uint8_t>> Frames(char direction) {
    std::lock_guard<std::mutex> guard(trace_mutex);
    std::vector<std::vector<uint8_t>> out;
    for (auto& r : trace)
      if (r.direction == direction) out.push_back(r.bytes);
    return out;
  }
  size_t Written() { return Frames('>').size(); }
  // Where the last Begin and End transfer frames stand among the frames
  // written (the frame count when there is none).
  std::pair<size_t, size_t> TransferBounds() {
    const auto written = Frames('>');
    size_t begin = written.size(), end = written.size();
    for (size_t i = 0; i < written.size(); ++i) {
      if (written[i][kFrameCommand] == kCmdBeginTransfer) begin = i;
      if (written[i][kFrameCommand] == kCmdEndTransfer) end = i;
    }
    return {begin, end};
  }
  void Inject(const sim::SimFaults& faults) { firmware->SetFaults(faults); }

  std::shared_ptr<sim::SimBackend> backend;
  std::shared_ptr<sim::SimFirmware> firmware;
  int device_id = 0;
  std::unique_ptr<CDeviceChannel> channel;
  std::mutex trace_mutex;
  std::vector<FrameTraceRecord> trace;
};

// "command length address" of a request frame, for sequence comparisons.
struct FrameKey {
  int command, length, address;
  bool operator==(const FrameKey&) const = default;
};
inline FrameKey KeyOf(const std::vector<uint8_t>& f) { return {f[3], f[4], f[5] | (f[6] << 8)}; }
inline void PrintTo(const FrameKey& k, std::ostream* os) {
  *os << "{cmd " << k.command << ", len " << k.length << ", addr " << k.address << "}";
}

}  // namespace trx::test

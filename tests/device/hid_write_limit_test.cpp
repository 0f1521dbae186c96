// The transport's time limits (hidraw's synchronous write may hold for up to 5 s).
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "device/commands.h"
#include "device/device_channel.h"
#include "device/hid_device.h"
#include "device/hidraw_backend.h"
#include "device/precise_sleep.h"
#include "hid_test_descriptors.h"
#include "sim/hidraw_fake_tree.h"

namespace trx {
namespace {

constexpr uint16_t kVid = 0x0C45;
constexpr uint16_t kMousePid = 0x652C;
constexpr const char* kPath = "test#vid_0c45&pid_652c#node0";

// What the test double saw and what it does. Guarded by `mutex`.
struct Script {
  std::mutex mutex;
  std::condition_variable changed;
  bool hold_writes = false;    // a write blocks until released (or 5 s, the driver's own bound)
  bool released = false;
  int writes_returned = 0;     // calls of Write that came back
  bool answer_reads = false;   // reads get a zero-status reply at once, else time out at once
  int writes = 0;              // calls of the connection's Write
  std::vector<int> write_limits, read_limits;
  std::vector<uint8_t> commands;  // command byte of every frame written
  std::vector<std::pair<std::chrono::microseconds, int>> sleeps;  // asked for, after that many writes
};

class ScriptedConnection : public IHidConnection {
 public:
  explicit ScriptedConnection(std::shared_ptr<Script> script) : script_(std::move(script)) {}
  HidAttributes Attributes() const override { return {kVid, kMousePid, 1}; }
  const std::vector<uint8_t>& ReportDescriptor() const override { return test::kVendorDescriptor; }
  HidIo Read(uint8_t* buf, size_t len, int timeout_ms, CEvent&, size_t& got) override {
    std::lock_guard<std::mutex> lock(script_->mutex);
    script_->read_limits.push_back(timeout_ms);
    got = 0;
    if (!script_->answer_reads) return HidIo::Timeout;
    std::fill(buf, buf + len, 0);
    buf[0] = 4;
    got = len;
    return HidIo::Ok;
  }
  HidIo Write(const uint8_t* buf, size_t len, int timeout_ms, CEvent&, size_t& put) override {
    std::unique_lock<std::mutex> lock(script_->mutex);
    ++script_->writes;
    script_->write_limits.push_back(timeout_ms);
    script_->commands.push_back(buf[kFrameCommand]);
    if (script_->hold_writes)
      script_->changed.wait_for(lock, std::chrono::seconds(5), [&] { return script_->released; });
    put = len;
    ++script_->writes_returned;
    return HidIo::Ok;
  }
  size_t DrainInput() override { return 0; }

 private:
  std::shared_ptr<Script> script_;
};

class ScriptedBackend : public IHidBackend {
 public:
  explicit ScriptedBackend(std::shared_ptr<Script> script) : script_(std::move(script)) {}
  bool Enumerate(std::vector<std::string>& paths) override { paths = {kPath}; return true; }
  std::unique_ptr<IHidConnection> Open(const std::string&, bool, bool, bool) override { return std::make_unique<ScriptedConnection>(script_); }
  bool Probe(const std::string&) override { return true; }

 private:
  std::shared_ptr<Script> script_;
};

class TransportLimits : public ::testing::Test {
 protected:
  void SetUp() override {
    channel = std::make_unique<CDeviceChannel>(DeviceKind::Mouse, std::make_shared<ScriptedBackend>(script));
    channel->transport.device_path = kPath;
    channel->transport.want_read = channel->transport.want_write = true;
    ASSERT_EQ(channel->transport.Open(), 1);
    channel->connected = 1;
  }
  // Runs f on the script with its mutex held.
  template <typename F>
  auto Locked(F f) {
    std::lock_guard<std::mutex> lock(script->mutex);
    return f(*script);
  }
  void Release() { Locked([](Script& s) { s.released = true, s.changed.notify_all(); }); }

  std::shared_ptr<Script> script = std::make_shared<Script>();
  std::unique_ptr<CDeviceChannel> channel;
};

TEST_F(TransportLimits, AWriteTheDriverHoldsFailsAfterOneSecondAndTheDeviceIsNotRespondingUntilItReturns) {
  script->hold_writes = true;
  CHidDevice& hid = channel->transport;
  const uint8_t frame[64] = {4, 0, 0, kCmdBeginTransfer};
  size_t put = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(hid.WriteReport(frame, sizeof frame, &put), 0);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(Locked([](Script& s) { return s.writes_returned; }), 0);  // the caller did not wait for the driver
  EXPECT_GE(waited, std::chrono::milliseconds(CHidDevice::kWriteTimeoutMs));
  EXPECT_EQ(hid.LastIo(), HidIo::Timeout);
  EXPECT_TRUE(hid.WriteBlocked());

  // Not responding: the next request fails at once, nothing reaches the device.
  Frame reply{};
  EXPECT_EQ(Exchange(*channel, BuildFrame(kCmdBeginTransfer, 0, 0), reply), kResultWriteFailed);
  EXPECT_EQ(Locked([](Script& s) { return s.writes; }), 1);
  EXPECT_EQ(Locked([](Script& s) { return s.write_limits; }), (std::vector<int>{1000}));

  // The held write returns: the device takes requests again.
  Release();
  for (int i = 0; i < 5000 && hid.WriteBlocked(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_FALSE(hid.WriteBlocked());
  Locked([](Script& s) { s.hold_writes = false, s.answer_reads = true; });
  EXPECT_EQ(BeginTransfer(*channel), kResultOk);
}

TEST_F(TransportLimits, EachReplyIsAwaitedThreeHundredMillisecondsOverFourAttempts) {
  EXPECT_EQ(channel->reply_timeout_ms, 300);
  EXPECT_EQ(BeginTransfer(*channel), kResultNoReply);
  std::lock_guard<std::mutex> lock(script->mutex);
  EXPECT_EQ(script->read_limits, (std::vector<int>{300, 300, 300, 300}));
  EXPECT_EQ(script->write_limits, (std::vector<int>{1000, 1000, 1000, 1000}));
}

std::shared_ptr<Script> g_script;  // the script RecordSleep writes to

void RecordSleep(std::chrono::microseconds duration) {
  std::lock_guard<std::mutex> lock(g_script->mutex);
  g_script->sleeps.emplace_back(duration, g_script->writes);
}

TEST_F(TransportLimits, EndTransferPausesTenMillisecondsBeforeItsFrame) {
  script->answer_reads = true;
  g_script = script;
  SetSleepObserver(&RecordSleep);
  const CommandResult begin = BeginTransfer(*channel);
  const CommandResult end = EndTransfer(*channel);
  SetSleepObserver(nullptr);
  g_script.reset();
  EXPECT_EQ(begin, kResultOk);
  EXPECT_EQ(end, kResultOk);
  std::lock_guard<std::mutex> lock(script->mutex);
  // Begin transfer has no pause; End's comes after Begin's frame, before its own.
  EXPECT_EQ(script->sleeps, (std::vector<std::pair<std::chrono::microseconds, int>>{{std::chrono::milliseconds(10), 1}}));
  EXPECT_EQ(script->commands, (std::vector<uint8_t>{kCmdBeginTransfer, kCmdEndTransfer}));
}

// Through hidraw: a node whose device side stops reading fails the write
// after the limit, and takes reports again once the device side reads.
TEST(HidrawWriteLimit, ANodeThatStopsTakingReportsFailsTheWriteAndRecovers) {
  FakeHidrawTree tree;
  ASSERT_TRUE(tree.Valid());
  const auto itf = tree.AddInterface(kVid, kMousePid, test::kVendorDescriptor);
  ASSERT_GE(itf.index, 0);
  CHidDevice hid(tree.MakeBackend());
  hid.device_path = tree.PathOf(itf.index);
  hid.want_read = hid.want_write = true;
  ASSERT_EQ(hid.Open(), 1);

  uint8_t frame[64] = {4};
  size_t put = 0;
  int accepted = 0;
  while (accepted < 100000 && hid.WriteReport(frame, sizeof frame, &put) == 1) ++accepted;
  EXPECT_GT(accepted, 0);
  EXPECT_LT(accepted, 100000);
  EXPECT_EQ(hid.LastIo(), HidIo::Timeout);

  // The device side reads everything queued; the node takes reports again.
  for (;;) {
    pollfd p{itf.master_fd, POLLIN, 0};
    if (::poll(&p, 1, 200) != 1) break;
    uint8_t buf[4096];
    if (::read(itf.master_fd, buf, sizeof buf) <= 0) break;
  }
  for (int i = 0; i < 5000 && hid.WriteBlocked(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(hid.WriteReport(frame, sizeof frame, &put), 1);
  EXPECT_EQ(put, 64u);
}

}  // namespace
}  // namespace trx

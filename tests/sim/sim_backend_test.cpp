// The in-process simulator backend: interfaces, plug and unplug, stop event,
// sharing, and the consumer notifications as the synchronisation threads
// would read and decode them.
#include <gtest/gtest.h>

#include <memory>

#include "device/commands.h"
#include "device/hid_device.h"
#include "platform/event.h"
#include "sim/firmware_model.h"
#include "sim/sim_backend.h"

namespace trx {
namespace {

using sim::SimBackend;
using sim::SimFirmware;
using sim::SimKind;

// Opens the consumer interface read-only, as a synchronisation thread does,
// and returns the first usage of the next notification (or -1).
int ReadNotification(CHidDevice& hid) {
  size_t got = 0;
  if (hid.ReadReport(hid.input_report_buffer.data(), hid.input_report_buffer.size(), 2000, &got) != 1) return -1;
  if (!DecodeInputUsages(hid.input_elements, hid.input_report_buffer.data(), got, hid.descriptor)) return -1;
  if (hid.input_elements.empty() || hid.input_elements[0].usage_list.empty()) return -1;
  return hid.input_elements[0].usage_list[0];
}

class SimBackendTest : public ::testing::Test {
 protected:
  std::shared_ptr<SimBackend> backend = std::make_shared<SimBackend>();
  std::shared_ptr<SimFirmware> mouse = std::make_shared<SimFirmware>(SimKind::Mouse);
  std::shared_ptr<SimFirmware> pad = std::make_shared<SimFirmware>(SimKind::MousePad);
};

TEST_F(SimBackendTest, EachDeviceShowsAVendorAndAConsumerInterfaceWhilePluggedIn) {
  const int m = backend->AddDevice(mouse);
  const int p = backend->AddDevice(pad, /*plugged=*/false);
  std::vector<std::string> paths;
  ASSERT_TRUE(backend->Enumerate(paths));
  EXPECT_EQ(paths, (std::vector<std::string>{"sim#vid_0c45&pid_652c#sim0.0", "sim#vid_0c45&pid_652c#sim0.1"}));
  backend->Plug(p);
  backend->Unplug(m);
  ASSERT_TRUE(backend->Enumerate(paths));
  EXPECT_EQ(paths, (std::vector<std::string>{"sim#vid_0c45&pid_6758#sim1.0", "sim#vid_0c45&pid_6758#sim1.1"}));
  EXPECT_FALSE(backend->Probe(backend->VendorPath(m)));
  EXPECT_TRUE(backend->Probe(backend->ConsumerPath(p)));

  CHidDevice hid(backend);
  hid.want_read = true;
  hid.device_path = backend->VendorPath(p);
  ASSERT_EQ(hid.Open(), 1);
  EXPECT_EQ(hid.attributes.product_id, 0x6758);
  EXPECT_EQ(hid.capabilities.usage_page, 0xFF1C);
  EXPECT_EQ(hid.capabilities.usage, 0x92);
  EXPECT_EQ(hid.capabilities.input_report_byte_length, 64);
  EXPECT_EQ(hid.capabilities.output_report_byte_length, 64);
}

TEST_F(SimBackendTest, UnplugMakesOpenHandlesGoneAndReplugNeedsNewHandles) {
  const int m = backend->AddDevice(mouse);
  auto handle = backend->Open(backend->VendorPath(m), true, true, false);
  ASSERT_NE(handle, nullptr);
  CEvent stop;
  uint8_t buf[64] = {};
  size_t n = 0;
  backend->Unplug(m);
  EXPECT_EQ(handle->Write(buf, 64, 1000, stop, n), HidIo::Gone);
  EXPECT_EQ(handle->Read(buf, 64, 60000, stop, n), HidIo::Gone);  // at once, not after the timeout
  backend->Plug(m);
  EXPECT_EQ(handle->Read(buf, 64, 0, stop, n), HidIo::Gone);
  auto fresh = backend->Open(backend->VendorPath(m), true, true, false);
  ASSERT_NE(fresh, nullptr);
  const Frame begin = BuildFrame(kCmdBeginTransfer, 0, 0);
  EXPECT_EQ(fresh->Write(begin.data(), 64, 1000, stop, n), HidIo::Ok);
  EXPECT_EQ(fresh->Read(buf, 64, 1000, stop, n), HidIo::Ok);
  EXPECT_EQ(n, 64u);
}

TEST_F(SimBackendTest, StopEventEndsAWaitingRead) {
  const int m = backend->AddDevice(mouse);
  auto handle = backend->Open(backend->VendorPath(m), true, true, false);
  CEvent stop;
  stop.Set();
  uint8_t buf[64];
  size_t n = 0;
  EXPECT_EQ(handle->Read(buf, 64, 60000, stop, n), HidIo::Stopped);
  EXPECT_EQ(handle->Read(buf, 64, 0, stop, n), HidIo::Timeout);  // the auto-reset stop was consumed
}

TEST_F(SimBackendTest, RepliesReachEveryReaderAndExclusiveOpensAreKeptApart) {
  const int m = backend->AddDevice(mouse);
  auto writer = backend->Open(backend->VendorPath(m), true, true, false);
  auto listener = backend->Open(backend->VendorPath(m), true, false, false);
  ASSERT_NE(listener, nullptr);
  EXPECT_EQ(backend->Open(backend->VendorPath(m), true, true, true), nullptr);
  CEvent stop;
  uint8_t buf[64];
  size_t n = 0;
  EXPECT_EQ(listener->Write(buf, 64, 1000, stop, n), HidIo::Error);  // opened without write access
  const Frame begin = BuildFrame(kCmdBeginTransfer, 0, 0);
  ASSERT_EQ(writer->Write(begin.data(), 64, 1000, stop, n), HidIo::Ok);
  EXPECT_EQ(listener->Read(buf, 64, 1000, stop, n), HidIo::Ok);
  EXPECT_EQ(writer->DrainInput(), 1u);
}

TEST_F(SimBackendTest, DeviceButtonsSendConsumerNotificationsOnTheSecondInterface) {
  const int m = backend->AddDevice(mouse);
  CHidDevice hid(backend);
  hid.want_read = true;
  hid.device_path = backend->ConsumerPath(m);
  ASSERT_EQ(hid.Open(), 1);
  EXPECT_EQ(hid.capabilities.usage_page, 0x0C);
  EXPECT_EQ(hid.capabilities.usage, 1);
  mouse->PressProfileButton();
  EXPECT_EQ(ReadNotification(hid), 0x401);
  mouse->PressDpiButton();
  EXPECT_EQ(ReadNotification(hid), 0x402);
  mouse->Notify(0x403);
  EXPECT_EQ(ReadNotification(hid), 0x403);
}

}  // namespace
}  // namespace trx

// CHidDevice over the hidraw backend on a fake hidraw tree (pty nodes); report decoding.
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <thread>
#include <tuple>

#include "device/hid_device.h"
#include "device/hidraw_backend.h"
#include "hid_test_descriptors.h"
#include "sim/hidraw_fake_tree.h"

namespace trx::test {
namespace {

constexpr uint16_t kVid = 0x0C45;
constexpr uint16_t kMousePid = 0x652C;

void DeviceSend(int master_fd, const std::vector<uint8_t>& report) {
  ASSERT_EQ(::write(master_fd, report.data(), report.size()), static_cast<ssize_t>(report.size()));
}

class HidTransport : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(tree_.Valid()); }

  // Opens interface `index` read+write, shared.
  int OpenInterface(CHidDevice& dev, int index, bool exclusive = false) {
    dev.device_path = tree_.PathOf(index);
    dev.want_read = dev.want_write = true;
    dev.overlapped = true;
    dev.exclusive = exclusive;
    return dev.Open();
  }

  FakeHidrawTree tree_;
  std::shared_ptr<HidrawBackend> backend_ = tree_.MakeBackend();
};

TEST_F(HidTransport, EnumerationKeepsEveryInterfaceInNodeOrder) {
  for (int i = 0; i < 11; ++i) ASSERT_GE(tree_.AddInterface(kVid, static_cast<uint16_t>(0x6500 + i), kVendorDescriptor).index, 0);
  CHidDevice dev(backend_);
  ASSERT_EQ(dev.EnumerateHidPaths(), 1);
  ASSERT_EQ(dev.path_list.size(), 11u);
  EXPECT_EQ(dev.path_list[0], "hid#vid_0c45&pid_6500#hidraw0");
  EXPECT_EQ(dev.path_list[2], "hid#vid_0c45&pid_6502#hidraw2");
  EXPECT_EQ(dev.path_list[10], "hid#vid_0c45&pid_650a#hidraw10");  // numeric, not text, order
  EXPECT_EQ(ParsePathProductId(dev.path_list[9]), 0x6509);

  tree_.Unplug(3);
  ASSERT_EQ(dev.EnumerateHidPaths(), 1);
  EXPECT_EQ(dev.path_list.size(), 10u);
}

TEST_F(HidTransport, NodeWithSeveralCollectionsIsListedOncePerCollection) {
  tree_.AddInterface(kVid, 0x6556, kVendorDescriptor);
  const auto composite = tree_.AddInterface(kVid, kMousePid, CompositeDescriptor());
  CHidDevice dev(backend_);
  ASSERT_EQ(dev.EnumerateHidPaths(), 1);
  EXPECT_EQ(dev.path_list, (std::vector<std::string>{"hid#vid_0c45&pid_6556#hidraw0",
                                                      "hid#vid_0c45&pid_652c&col01#hidraw1",
                                                      "hid#vid_0c45&pid_652c&col02#hidraw1"}));
  EXPECT_EQ(tree_.PathOf(composite.index, 1), dev.path_list[2]);
  EXPECT_EQ(ParsePathProductId(dev.path_list[2]), kMousePid);
  EXPECT_TRUE(dev.Probe(dev.path_list[2]));

  dev.device_path = dev.path_list[1];
  dev.want_read = true;
  ASSERT_EQ(dev.Open(), 1);
  EXPECT_EQ(dev.capabilities.usage_page, 0x0C);
  EXPECT_EQ(dev.capabilities.input_report_byte_length, 3);
  dev.device_path = dev.path_list[2];
  ASSERT_EQ(dev.Open(), 1);  // Open closes the previous collection first
  EXPECT_EQ(dev.attributes.vendor_id, kVid);
  EXPECT_EQ(dev.attributes.product_id, kMousePid);
  EXPECT_EQ(dev.capabilities.usage_page, 0xFF1C);
  EXPECT_EQ(dev.capabilities.usage, 0x92);
  EXPECT_EQ(dev.capabilities.output_report_byte_length, 64);
  EXPECT_EQ(dev.input_report_buffer, std::vector<uint8_t>(64, 0));

  // The vendor collection's handle skips the reports of the node's other collection.
  std::vector<uint8_t> buf(64, 0);
  size_t got = 0;
  DeviceSend(composite.master_fd, {0x03, 0x01, 0x04});  // a consumer notification
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(dev.ReadReport(buf.data(), buf.size(), 100, &got), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(dev.LastIo(), HidIo::Timeout);

  std::vector<uint8_t> frame(64, 0x44);
  frame[0] = 0x04;
  DeviceSend(composite.master_fd, frame);
  ASSERT_EQ(dev.ReadReport(buf.data(), buf.size(), 2000, &got), 1);
  EXPECT_EQ(buf, frame);
  dev.device_path = "hid#vid_0c45&pid_652c&col03#hidraw1";
  EXPECT_EQ(dev.Open(), 0);
}

TEST(HidPath, CollectionSuffix) {
  EXPECT_EQ(PathCollection("hid#vid_0c45&pid_652c&col02#hidraw3"), 1);
  EXPECT_EQ(PathCollection("HID#VID_0C45&PID_652C&COL01#hidraw3"), 0);
  EXPECT_EQ(PathCollection("hid#vid_0c45&pid_652c#hidraw3"), -1);
  EXPECT_EQ(PathCollection("hid#vid_0c45&pid_652c&col00#hidraw3"), -1);
  EXPECT_EQ(PathNode("hid#vid_0c45&pid_652c&col02#hidraw3"), "hidraw3");
}

TEST_F(HidTransport, OpenFailsCleanly) {
  const std::vector<uint8_t> broken = {0x05, 0x01, 0xA1, 0x01};  // collection never closed
  const int bad = tree_.AddInterface(kVid, kMousePid, broken).index;
  CHidDevice dev(backend_);
  EXPECT_EQ(OpenInterface(dev, bad), 0);
  EXPECT_FALSE(dev.IsOpen());
  EXPECT_TRUE(dev.input_elements.empty());

  for (const char* path : {"hid#vid_0c45&pid_652c#hidraw77", "hid#vid_0c45&pid_9999#hidraw0"}) {  // none; another device
    dev.device_path = path;
    EXPECT_EQ(dev.Open(), 0) << path;
    EXPECT_FALSE(dev.IsOpen());
  }
}

TEST_F(HidTransport, SharedOpensCoexistExclusiveOpenKeepsOthersOut) {
  const int n = tree_.AddInterface(kVid, kMousePid, kVendorDescriptor).index;
  CHidDevice a(backend_), b(backend_), c(backend_);
  ASSERT_EQ(OpenInterface(a, n), 1);
  EXPECT_EQ(OpenInterface(b, n), 1);
  EXPECT_EQ(OpenInterface(c, n, /*exclusive=*/true), 0);
  a.Close();
  b.Close();
  EXPECT_EQ(OpenInterface(c, n, /*exclusive=*/true), 1);
  EXPECT_EQ(OpenInterface(a, n), 0);
}

TEST_F(HidTransport, DeviceWithoutReportIdsGetsAZeroIdByteInFront) {
  const auto itf = tree_.AddInterface(0x046D, 0xC077, kBootMouseDescriptor);
  CHidDevice dev(backend_);
  ASSERT_EQ(OpenInterface(dev, itf.index), 1);
  DeviceSend(itf.master_fd, {0x05, 0xFF, 0x02});
  uint8_t got[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  size_t n = 0;
  ASSERT_EQ(dev.ReadReport(got, sizeof got, 2000, &n), 1);
  ASSERT_EQ(n, 4u);
  EXPECT_EQ(std::vector<uint8_t>(got, got + 4), (std::vector<uint8_t>{0x00, 0x05, 0xFF, 0x02}));
  // A queued report is drained away once readable; the next read finds nothing.
  DeviceSend(itf.master_fd, {0x01, 0x00, 0x00});
  for (int i = 0; i < 200 && dev.DrainInput() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(dev.ReadReport(got, sizeof got, 20, &n), 0);
  EXPECT_EQ(dev.LastIo(), HidIo::Timeout);
}

// The stop event, or reopening from another thread, ends a waiting read at
// once and is spent on it: the next read gets a report sent afterwards.
TEST_F(HidTransport, StopOrReopenEndsAWaitingReadAndTheNextReadGetsTheLaterReport) {
  const std::pair<const char*, std::function<void(CHidDevice&)>> interrupts[] = {
      {"stop event", [](CHidDevice& dev) { dev.StopEvent().Set(); }},
      {"reopen", [](CHidDevice& dev) { EXPECT_EQ(dev.Open(), 1); }},
  };
  for (const auto& [how, interrupt] : interrupts) {
    SCOPED_TRACE(how);
    const auto itf = tree_.AddInterface(kVid, kMousePid, kVendorDescriptor);
    CHidDevice dev(backend_);
    ASSERT_EQ(OpenInterface(dev, itf.index), 1);
    std::vector<uint8_t> buf(64, 0);
    size_t got = 99;
    int result = -1;
    // Without the interruption this read would sit out its whole minute.
    std::thread reader([&] { result = dev.ReadReport(buf.data(), buf.size(), 60000, &got); });
    while (!dev.ReadPending()) std::this_thread::yield();
    interrupt(dev);
    reader.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(dev.LastIo(), HidIo::Stopped);
    EXPECT_FALSE(dev.ReadPending());

    std::vector<uint8_t> report(64, 0x11);
    report[0] = 0x04;
    DeviceSend(itf.master_fd, report);
    EXPECT_EQ(buf, std::vector<uint8_t>(64, 0));
    ASSERT_EQ(dev.ReadReport(buf.data(), buf.size(), 2000, &got), 1);
    EXPECT_EQ(buf, report);
  }
}

TEST_F(HidTransport, UnplugIsReportedAsGoneAtOnceAndProbeFollowsPresence) {
  const auto itf = tree_.AddInterface(kVid, kMousePid, kVendorDescriptor);
  const std::string path = tree_.PathOf(itf.index);
  CHidDevice dev(backend_);
  ASSERT_EQ(OpenInterface(dev, itf.index), 1);
  EXPECT_TRUE(dev.Probe(path));
  EXPECT_FALSE(dev.Probe("hid#vid_0c45&pid_6556#hidraw0"));  // another device's path

  std::vector<uint8_t> buf(64, 0);
  size_t got = 0;
  int result = -1;
  std::thread reader([&] { result = dev.ReadReport(buf.data(), buf.size(), 30000, &got); });
  while (!dev.ReadPending()) std::this_thread::yield();
  ASSERT_TRUE(tree_.Unplug(itf.index));
  reader.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(dev.LastIo(), HidIo::Gone);

  EXPECT_EQ(dev.WriteReport(buf.data(), buf.size(), &got), 0);
  EXPECT_EQ(dev.LastIo(), HidIo::Gone);
  EXPECT_FALSE(dev.Probe(path));
  std::vector<std::string> paths;
  ASSERT_TRUE(backend_->Enumerate(paths));
  EXPECT_TRUE(paths.empty());
}

// A probe reads sysfs again once the node is another file (as after a
// replug; here renamed away and back after its ids became a keyboard's).
TEST_F(HidTransport, ProbeReadsTheIdsAgainForAChangedNode) {
  const auto mouse = tree_.AddInterface(kVid, kMousePid, kVendorDescriptor);
  const std::string path = tree_.PathOf(mouse.index);
  const std::string node = path.substr(path.rfind('#') + 1);
  EXPECT_TRUE(backend_->Probe(path));
  {
    std::ofstream uevent(tree_.Root() + "/sys/class/hidraw/" + node + "/device/uevent", std::ios::trunc);
    uevent << "HID_ID=0003:00000C45:00006556\n";
  }
  const std::string dev = tree_.Root() + "/dev/" + node;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a change time the rename can differ from
  ASSERT_EQ(std::rename(dev.c_str(), (dev + ".away").c_str()), 0);
  ASSERT_EQ(std::rename((dev + ".away").c_str(), dev.c_str()), 0);
  EXPECT_FALSE(backend_->Probe(path));
  EXPECT_TRUE(backend_->Probe("hid#vid_0c45&pid_6556#" + node));
}

TEST_F(HidTransport, EnvironmentRootSelectsTheDefaultBackendTree) {
  ASSERT_EQ(::setenv(kHidRootEnv, tree_.Root().c_str(), 1), 0);
  auto from_env = HidrawBackend::FromEnvironment();
  ::unsetenv(kHidRootEnv);
  EXPECT_EQ(from_env->SysRoot(), tree_.Root() + "/sys");
  EXPECT_EQ(from_env->DevRoot(), tree_.Root() + "/dev");
  EXPECT_EQ(HidrawBackend::FromEnvironment()->SysRoot(), "/sys");
  // No hidraw class folder: no devices, not a failure.
  std::vector<std::string> paths = {"stale"};
  EXPECT_TRUE(HidrawBackend(tree_.Root() + "/nowhere", tree_.DevRoot()).Enumerate(paths));
  EXPECT_TRUE(paths.empty());
}

TEST(HidUevent, ParsesBusVendorProduct) {
  uint16_t vid = 0, pid = 0;
  EXPECT_TRUE(ParseHidUevent("DRIVER=hid-generic\nHID_ID=0003:00000C45:0000652C\nHID_NAME=x\n", vid, pid));
  EXPECT_EQ(vid, 0x0C45);
  EXPECT_EQ(pid, 0x652C);
  EXPECT_FALSE(ParseHidUevent("HID_NAME=x\n", vid, pid));
  EXPECT_FALSE(ParseHidUevent("HID_ID=0003:00010C45:0000652C\n", vid, pid));  // vendor over 16 bits
  EXPECT_FALSE(ParseHidUevent("HID_ID=0003:zz:0000652C\n", vid, pid));
}

// DecodeInputUsages on element tables built by CHidDevice::Open.
class HidUsageDecode : public HidTransport {
 protected:
  // Opens an interface with this descriptor; the element table is ready.
  void OpenWith(const std::vector<uint8_t>& descriptor) {
    const int n = tree_.AddInterface(kVid, kMousePid, descriptor).index;
    ASSERT_GE(n, 0);
    ASSERT_EQ(OpenInterface(dev_, n), 1);
  }
  bool Decode(const std::vector<uint8_t>& report) {
    return DecodeInputUsages(dev_.input_elements, report.data(), report.size(), dev_.descriptor);
  }

  CHidDevice dev_{backend_};
};

TEST_F(HidUsageDecode, ConsumerNotificationsDecodeToTheirUsage) {
  OpenWith(kConsumerDescriptor);
  ASSERT_EQ(dev_.input_elements.size(), 1u);
  HidReportElement& e = dev_.input_elements[0];
  EXPECT_EQ(e.is_button, 1);
  EXPECT_EQ(e.report_id, 3);
  EXPECT_EQ(e.usage_minimum, 0);
  EXPECT_EQ(e.usage_maximum, 0x4FF);
  ASSERT_EQ(e.capacity, 1u);

  const std::pair<std::vector<uint8_t>, uint16_t> cases[] = {
      {{0x03, 0x01, 0x04}, 0x401},  // profile changed on the device
      {{0x03, 0x02, 0x04}, 0x402},  // settings changed on the device
      {{0x03, 0x03, 0x04}, 0x403},  // lighting changed on the device
      {{0x03, 0xE9, 0x00}, 0x0E9},  // volume up
      {{0x03, 0x00, 0x00}, 0},      // key released: nothing
  };
  for (const auto& [report, usage] : cases) {
    ASSERT_TRUE(Decode(report));
    EXPECT_EQ(e.status, kHidpStatusSuccess);
    EXPECT_EQ(e.updated, 1);
    EXPECT_EQ(e.usage_list[0], usage) << std::hex << usage;
  }
  // The 16-bit field cut off: a failure in the element's status only.
  ASSERT_TRUE(Decode({0x03, 0x01}));
  EXPECT_EQ(e.status, kHidpStatusInvalidReportLength);
  EXPECT_EQ(e.usage_list[0], 0);
}

TEST_F(HidUsageDecode, ReportOfAnotherIdLeavesElementsNotUpdated) {
  OpenWith(CompositeDescriptor());
  // Consumer button element first, then the vendor value element.
  ASSERT_EQ(dev_.input_elements.size(), 2u);
  HidReportElement& consumer = dev_.input_elements[0];
  HidReportElement& vendor = dev_.input_elements[1];
  ASSERT_TRUE(Decode({0x03, 0x02, 0x04}));
  EXPECT_EQ(consumer.updated, 1);
  EXPECT_EQ(vendor.updated, 0);

  std::vector<uint8_t> frame(64, 0);
  frame[0] = 0x04;
  frame[1] = 0x7B;
  ASSERT_TRUE(Decode(frame));
  EXPECT_EQ(consumer.updated, 0);
  EXPECT_EQ(consumer.usage_list[0], 0x402);  // left as the last decode of report 3 found it
  EXPECT_EQ(vendor.updated, 1);
  EXPECT_EQ(vendor.usage_maximum, 0x7B);  // raw value of the first field

  ASSERT_TRUE(Decode({0x09, 0x01, 0x04}));  // an id no element has
  EXPECT_EQ(consumer.updated, 0);
  EXPECT_EQ(vendor.updated, 0);
}

TEST_F(HidUsageDecode, ButtonsArePackedPerElementRangeAndZeroTerminated) {
  OpenWith(kSplitButtonsDescriptor);
  ASSERT_EQ(dev_.input_elements.size(), 2u);
  HidReportElement& low = dev_.input_elements[0];   // buttons 1..3
  HidReportElement& high = dev_.input_elements[1];  // buttons 4..5
  ASSERT_EQ(low.capacity, 5u);  // every button of the page fits one list
  ASSERT_EQ(high.capacity, 5u);

  // Buttons 2 and 4; all five; then only button 3: no leftovers from the previous decode.
  using U = std::vector<uint16_t>;
  for (const auto& [bits, lows, highs] : {std::tuple{0x0A, U{2, 0, 0, 0, 0}, U{4, 0, 0, 0, 0}},
                                          {0x1F, U{1, 2, 3, 0, 0}, U{4, 5, 0, 0, 0}}, {0x04, U{3, 0, 0, 0, 0}, U(5, 0)}}) {
    ASSERT_TRUE(Decode({0x01, static_cast<uint8_t>(bits)}));
    EXPECT_EQ(low.usage_list, lows) << bits;
    EXPECT_EQ(high.usage_list, highs) << bits;
  }
}

TEST_F(HidUsageDecode, ValuesGetRawAndSignedScaledValues) {
  OpenWith(kBootMouseDescriptor);
  EXPECT_FALSE(dev_.descriptor.uses_report_ids);
  EXPECT_EQ(dev_.descriptor.input_report_byte_length, 4);  // the id byte counts though there is none
  EXPECT_EQ(dev_.descriptor.input_button_caps.size(), 1u);  // padding makes no cap
  EXPECT_EQ(MaxInputUsageListLength(dev_.descriptor, 0x09), 3u);
  ASSERT_EQ(dev_.input_elements.size(), 3u);  // buttons, X, Y
  const HidReportElement& buttons = dev_.input_elements[0];
  const HidReportElement& x = dev_.input_elements[1];
  const HidReportElement& y = dev_.input_elements[2];
  EXPECT_EQ(x.usage_minimum, 0x30);
  EXPECT_EQ(y.usage_minimum, 0x31);

  // Buttons 1 and 3, X = -1, Y = +2; the id byte is 0 for this device.
  ASSERT_TRUE(Decode({0x00, 0x05, 0xFF, 0x02}));
  EXPECT_EQ(buttons.usage_list, (std::vector<uint16_t>{1, 3, 0}));
  EXPECT_EQ(x.usage_maximum, 0xFF);
  EXPECT_EQ(static_cast<int32_t>(x.capacity), -1);
  EXPECT_EQ(x.status, kHidpStatusSuccess);
  EXPECT_EQ(y.usage_maximum, 0x02);
  EXPECT_EQ(static_cast<int32_t>(y.capacity), 2);

  // -128 lies outside the logical range -127..127.
  ASSERT_TRUE(Decode({0x00, 0x00, 0x80, 0x00}));
  EXPECT_EQ(x.status, kHidpStatusValueOutOfRange);

  // Too short for a value: the decode fails.
  EXPECT_FALSE(Decode({0x00, 0x01}));
  EXPECT_EQ(x.status, kHidpStatusInvalidReportLength);
  EXPECT_FALSE(DecodeInputUsages(dev_.input_elements, nullptr, 0, dev_.descriptor));
}

}  // namespace
}  // namespace trx::test

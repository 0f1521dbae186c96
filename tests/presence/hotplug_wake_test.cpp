// The hotplug wake-up: which uevent messages end the wait, and the wait's
// outcome for a stop, an arrival and nothing, over a socketpair standing in
// for the netlink socket.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "presence/hotplug_wake.h"

namespace trx {
namespace {

// A udev netlink message with the given properties.
std::vector<uint8_t> UdevMessage(const std::vector<std::string>& properties) {
  std::vector<uint8_t> m(40, 0);
  std::memcpy(m.data(), "libudev", 8);
  const uint32_t magic = htonl(0xFEEDCAFE), header = 40, offset = 40;
  std::string body;
  for (const auto& p : properties) body += p + '\0';
  const uint32_t length = static_cast<uint32_t>(body.size());
  std::memcpy(m.data() + 8, &magic, 4);
  std::memcpy(m.data() + 12, &header, 4);
  std::memcpy(m.data() + 16, &offset, 4);
  std::memcpy(m.data() + 20, &length, 4);
  m.insert(m.end(), body.begin(), body.end());
  return m;
}

std::vector<uint8_t> KernelMessage(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

bool Arrival(const std::vector<uint8_t>& m) { return IsHidrawArrival(m.data(), m.size()); }

TEST(PresenceHotplugMessages, HidrawAddAnnouncesAnArrivalInEitherFormat) {
  EXPECT_TRUE(Arrival(UdevMessage({"ACTION=add", "DEVPATH=/devices/x/hidraw/hidraw3", "SUBSYSTEM=hidraw"})));
  EXPECT_TRUE(Arrival(KernelMessage(std::string("add@/devices/x/hidraw/hidraw3\0ACTION=add\0SUBSYSTEM=hidraw\0", 58))));
}

TEST(PresenceHotplugMessages, OtherEventsAndMalformedMessagesDoNot) {
  EXPECT_FALSE(Arrival(UdevMessage({"ACTION=remove", "SUBSYSTEM=hidraw"})));
  EXPECT_FALSE(Arrival(UdevMessage({"ACTION=add", "SUBSYSTEM=usb"})));
  EXPECT_FALSE(Arrival(UdevMessage({"ACTION=add", "SUBSYSTEM=hidrawx"})));
  // Properties reaching past the end of the message.
  std::vector<uint8_t> cut = UdevMessage({"ACTION=add", "SUBSYSTEM=hidraw"});
  cut.resize(cut.size() - 5);
  EXPECT_FALSE(Arrival(cut));
  // Wrong magic.
  std::vector<uint8_t> magic = UdevMessage({"ACTION=add", "SUBSYSTEM=hidraw"});
  magic[8] = 0;
  EXPECT_FALSE(Arrival(magic));
  // A header shorter than the fixed part, and a property offset inside it.
  EXPECT_FALSE(Arrival(std::vector<uint8_t>{'l', 'i', 'b', 'u', 'd', 'e', 'v', 0}));
  std::vector<uint8_t> inside = UdevMessage({"ACTION=add", "SUBSYSTEM=hidraw"});
  const uint32_t offset = 8;
  std::memcpy(inside.data() + 16, &offset, 4);
  EXPECT_FALSE(Arrival(inside));
  // Kernel format without the "action@" line.
  EXPECT_FALSE(Arrival(KernelMessage(std::string("ACTION=add\0SUBSYSTEM=hidraw\0", 28))));
  EXPECT_FALSE(IsHidrawArrival(nullptr, 0));
}

class PresenceHotplugWait : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0, fds_), 0); }
  void TearDown() override {
    ::close(fds_[0]);
    ::close(fds_[1]);
  }
  void Send(const std::vector<uint8_t>& m) { ASSERT_EQ(::send(fds_[1], m.data(), m.size(), 0), static_cast<ssize_t>(m.size())); }
  int fds_[2] = {-1, -1};
  CEvent stop_{CEvent::Reset::Manual};
};

TEST_F(PresenceHotplugWait, ArrivalEndsTheWaitAndOtherMessagesAreConsumed) {
  HotplugWake wake(fds_[0]);
  Send(UdevMessage({"ACTION=add", "SUBSYSTEM=input"}));
  Send(UdevMessage({"ACTION=add", "SUBSYSTEM=hidraw"}));
  EXPECT_EQ(wake.Wait(stop_, 60000), WakeReason::kHidArrived);
  // Everything queued was read: nothing wakes the next wait.
  Send(UdevMessage({"ACTION=change", "SUBSYSTEM=hidraw"}));
  EXPECT_EQ(wake.Wait(stop_, 20), WakeReason::kTimedOut);
}

TEST_F(PresenceHotplugWait, StopCountsBeforeAnArrival) {
  HotplugWake wake(fds_[0]);
  Send(UdevMessage({"ACTION=add", "SUBSYSTEM=hidraw"}));
  stop_.Set();
  EXPECT_EQ(wake.Wait(stop_, 60000), WakeReason::kStopped);
}

TEST_F(PresenceHotplugWait, WithoutASocketItIsAPlainStopWait) {
  HotplugWake wake(-1);
  EXPECT_FALSE(wake.Active());
  EXPECT_EQ(wake.Wait(stop_, 10), WakeReason::kTimedOut);
  stop_.Set();
  EXPECT_EQ(wake.Wait(stop_, 60000), WakeReason::kStopped);
}

}  // namespace
}  // namespace trx

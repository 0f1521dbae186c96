#include "sim/hidraw_attach.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "device/precise_sleep.h"
#include "platform/debug_log.h"
#include "sim/report_descriptors.h"

namespace trx::sim {
namespace {

using Clock = std::chrono::steady_clock;

// How long the pump keeps looking for the next request without sleeping
// after it sends a reply. A host in the middle of a transfer writes its next
// request within tens of microseconds; one that arrives while the pump is
// awake is read at once, so its report time starts at its arrival rather
// than at the end of a wake-up. Bounded, so an idle device costs nothing.
constexpr std::chrono::microseconds kAwakeAfterReply{300};

struct PendingReply {
  Clock::time_point at;
  SimFrame frame;
};

// Writes all of buf to fd (a pty master; short writes are unlikely but legal).
bool WriteAll(int fd, const uint8_t* buf, size_t len) {
  while (len > 0) {
    const ssize_t n = ::write(fd, buf, len);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return false;
    }
    buf += n;
    len -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

HidrawSimAttachment::HidrawSimAttachment(FakeHidrawTree& tree, std::shared_ptr<SimFirmware> firmware)
    : tree_(tree), firmware_(std::move(firmware)) {
  vendor_ = tree_.AddInterface(firmware_->VendorId(), firmware_->ProductId(), VendorReportDescriptor());
  consumer_ = tree_.AddInterface(firmware_->VendorId(), firmware_->ProductId(), ConsumerReportDescriptor());
  if (vendor_.index < 0 || consumer_.index < 0 || !stop_.Valid()) {
    if (vendor_.index >= 0) tree_.Unplug(vendor_.index);
    if (consumer_.index >= 0) tree_.Unplug(consumer_.index);
    return;
  }
  link_->plugged = true;
  firmware_->SetNotifier([link = link_, fd = consumer_.master_fd](uint16_t usage) {
    const uint8_t report[3] = {kConsumerReportId, static_cast<uint8_t>(usage & 0xFF), static_cast<uint8_t>(usage >> 8)};
    std::lock_guard<std::mutex> guard(link->mutex);
    if (link->plugged && !WriteAll(fd, report, sizeof report)) DebugLine("sim: notification write failed");
  });
  pump_ = std::thread([this] { Pump(); });
  valid_ = true;
}

HidrawSimAttachment::~HidrawSimAttachment() {
  firmware_->SetNotifier(nullptr);
  stop_.Set();
  if (pump_.joinable()) pump_.join();
  std::lock_guard<std::mutex> guard(link_->mutex);
  RemoveLocked();
}

void HidrawSimAttachment::Unplug() {
  stop_.Set();
  if (pump_.joinable()) pump_.join();
  std::lock_guard<std::mutex> guard(link_->mutex);
  RemoveLocked();
}

bool HidrawSimAttachment::Plugged() const {
  std::lock_guard<std::mutex> guard(link_->mutex);
  return link_->plugged;
}

void HidrawSimAttachment::RemoveLocked() {
  if (!link_->plugged) return;
  link_->plugged = false;
  tree_.Unplug(vendor_.index);
  tree_.Unplug(consumer_.index);
}

void HidrawSimAttachment::Pump() {
  std::vector<uint8_t> gathered;
  std::vector<PendingReply> pending;  // sorted by arrival time
  const int master = vendor_.master_fd;
  Clock::time_point awake_until{};  // see kAwakeAfterReply
  for (;;) {
    // Send what is due; find how long to sleep until the next one.
    const Clock::time_point now = Clock::now();
    while (!pending.empty() && pending.front().at <= now) {
      std::lock_guard<std::mutex> guard(link_->mutex);
      if (!link_->plugged || !WriteAll(master, pending.front().frame.data(), pending.front().frame.size())) return;
      pending.erase(pending.begin());
      awake_until = Clock::now() + kAwakeAfterReply;
    }
    timespec timeout{};
    const timespec* limit = nullptr;  // none: wait for a request or the stop
    const bool awake = pending.empty() && Clock::now() < awake_until;
    if (awake) {
      limit = &timeout;  // zero: look and return at once
    } else if (!pending.empty()) {
      const auto wait = pending.front().at - now;
      if (wait <= kSpinMargin) {
        SleepUntilPrecise(pending.front().at);
        continue;
      }
      const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait - kSpinMargin).count();
      timeout.tv_sec = static_cast<time_t>(ns / 1000000000);
      timeout.tv_nsec = static_cast<long>(ns % 1000000000);
      limit = &timeout;
    }
    pollfd fds[2] = {{stop_.Fd(), POLLIN, 0}, {master, POLLIN, 0}};
    const int n = ::ppoll(fds, 2, limit, nullptr);
    if (n < 0 && errno != EINTR) return;
    if ((fds[0].revents & POLLIN) != 0) return;
    if ((fds[1].revents & (POLLERR | POLLNVAL)) != 0) return;
    if ((fds[1].revents & POLLIN) == 0) {
      if (awake) std::this_thread::yield();
      continue;
    }
    uint8_t buf[256];
    const ssize_t got = ::read(master, buf, sizeof buf);
    if (got <= 0) {
      if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      return;
    }
    gathered.insert(gathered.end(), buf, buf + got);
    while (gathered.size() >= kSimFrameSize) {
      const Clock::time_point begin = Clock::now();
      const std::chrono::microseconds report_time = firmware_->ReportTime();
      // Latency model: the request took one report time on the wire, the
      // reply takes another, both counted from the request's arrival.
      if (report_time.count() > 0) SleepUntilPrecise(begin + report_time);
      const SimResponse response = firmware_->HandleRequest(gathered.data(), kSimFrameSize);
      gathered.erase(gathered.begin(), gathered.begin() + kSimFrameSize);
      if (response.remove) {
        std::lock_guard<std::mutex> guard(link_->mutex);
        RemoveLocked();
        return;
      }
      if (!response.reply) continue;
      PendingReply reply{std::max(Clock::now(), begin + 2 * report_time + response.delay), response.frame};
      auto pos = pending.begin();
      while (pos != pending.end() && pos->at <= reply.at) ++pos;
      pending.insert(pos, reply);
    }
  }
}

}  // namespace trx::sim

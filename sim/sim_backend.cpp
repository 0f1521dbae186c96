#include "sim/sim_backend.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "device/precise_sleep.h"
#include "platform/event.h"
#include "sim/report_descriptors.h"

namespace trx::sim {
namespace {

using Clock = std::chrono::steady_clock;

enum class Which { Vendor = 0, Consumer = 1 };

struct Pending {
  Clock::time_point at;
  std::vector<uint8_t> bytes;
};

// The state of one open handle, shared between the handle and the hub.
struct HandleState {
  HandleState() : wake_fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
  ~HandleState() {
    if (wake_fd >= 0) close(wake_fd);
  }
  void Wake() {
    if (wake_fd < 0) return;
    const uint64_t one = 1;
    ssize_t r = write(wake_fd, &one, sizeof one);
    (void)r;  // a full counter still leaves the descriptor readable
  }
  void ClearWake() {
    uint64_t value = 0;
    ssize_t r = read(wake_fd, &value, sizeof value);
    (void)r;  // EAGAIN when already clear
  }
  // Queues a report and wakes a waiting reader.
  void Deliver(Clock::time_point at, const uint8_t* data, size_t len) {
    std::lock_guard<std::mutex> guard(mutex);
    if (gone) return;
    // Reports arrive in the order of their arrival times (a delayed reply
    // lets later ones overtake it).
    auto pos = std::upper_bound(queue.begin(), queue.end(), at, [](Clock::time_point t, const Pending& p) { return t < p.at; });
    queue.insert(pos, Pending{at, std::vector<uint8_t>(data, data + len)});
    if (waiting) Wake();
  }
  void MarkGone() {
    std::lock_guard<std::mutex> guard(mutex);
    gone = true;
    queue.clear();
    Wake();
  }

  const int wake_fd;
  bool want_read = false;
  bool want_write = false;
  bool exclusive = false;
  // Guards the fields below.
  std::mutex mutex;
  std::deque<Pending> queue;
  bool gone = false;
  bool waiting = false;  // a reader sleeps in ppoll: writers must Wake()
};

}  // namespace

struct SimBackend::Hub : std::enable_shared_from_this<SimBackend::Hub> {
  struct Device {
    int id = 0;
    std::shared_ptr<SimFirmware> firmware;
    bool plugged = false;
    std::vector<std::weak_ptr<HandleState>> handles[2];  // by Which
  };

  // Guards devices and their handle lists. Lock order: hub mutex, then a
  // handle's mutex. The firmware's own mutex is never held with either.
  mutable std::mutex mutex;
  std::vector<Device> devices;

  Device* Find(int id) {
    for (auto& d : devices)
      if (d.id == id) return &d;
    return nullptr;
  }
  const Device* Find(int id) const {
    for (auto& d : devices)
      if (d.id == id) return &d;
    return nullptr;
  }
  static std::string PathOf(const Device& d, Which which) {
    return MakeInterfacePath("sim", d.firmware->VendorId(), d.firmware->ProductId(),
                             "sim" + std::to_string(d.id) + "." + std::to_string(static_cast<int>(which)));
  }
  // Finds a plugged device's interface by path. Caller holds the mutex.
  Device* Resolve(const std::string& path, Which& which) {
    for (auto& d : devices) {
      if (!d.plugged) continue;
      for (Which w : {Which::Vendor, Which::Consumer}) {
        if (PathOf(d, w) == path) {
          which = w;
          return &d;
        }
      }
    }
    return nullptr;
  }
  // Queues a report on every readable open handle of one interface.
  void Broadcast(int id, Which which, Clock::time_point at, const uint8_t* data, size_t len) {
    std::lock_guard<std::mutex> guard(mutex);
    Device* d = Find(id);
    if (d == nullptr || !d->plugged) return;
    auto& list = d->handles[static_cast<int>(which)];
    for (auto it = list.begin(); it != list.end();) {
      if (auto h = it->lock()) {
        if (h->want_read) h->Deliver(at, data, len);
        ++it;
      } else {
        it = list.erase(it);
      }
    }
  }
  void Unplug(int id) {
    std::lock_guard<std::mutex> guard(mutex);
    Device* d = Find(id);
    if (d == nullptr || !d->plugged) return;
    d->plugged = false;
    for (auto& list : d->handles) {
      for (auto& weak : list)
        if (auto h = weak.lock()) h->MarkGone();
      list.clear();
    }
  }
};

namespace {

class SimConnection : public IHidConnection {
 public:
  SimConnection(std::shared_ptr<SimBackend::Hub> hub, int id, Which which, std::shared_ptr<SimFirmware> firmware,
                std::shared_ptr<HandleState> state)
      : hub_(std::move(hub)), id_(id), which_(which), firmware_(std::move(firmware)), state_(std::move(state)) {
    attributes_.vendor_id = firmware_->VendorId();
    attributes_.product_id = firmware_->ProductId();
    attributes_.version = 0x0100;
  }

  HidAttributes Attributes() const override { return attributes_; }
  const std::vector<uint8_t>& ReportDescriptor() const override {
    return which_ == Which::Vendor ? VendorReportDescriptor() : ConsumerReportDescriptor();
  }

  HidIo Read(uint8_t* buf, size_t len, int timeout_ms, CEvent& stop, size_t& got) override {
    got = 0;
    if (!state_->want_read) return HidIo::Error;
    const Clock::time_point deadline =
        timeout_ms < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
      Clock::time_point now = Clock::now();
      Clock::time_point target = deadline;
      bool precise = false;
      {
        std::lock_guard<std::mutex> guard(state_->mutex);
        state_->waiting = false;
        if (state_->gone) return HidIo::Gone;
        if (!state_->queue.empty() && state_->queue.front().at <= now) {
          const std::vector<uint8_t>& bytes = state_->queue.front().bytes;
          got = std::min(len, bytes.size());
          std::memcpy(buf, bytes.data(), got);
          state_->queue.pop_front();
          return HidIo::Ok;
        }
        if (now >= deadline) return HidIo::Timeout;
        if (!state_->queue.empty() && state_->queue.front().at < deadline) {
          target = state_->queue.front().at;
          precise = true;
        }
        state_->waiting = true;
      }
      if (stop.TryConsume()) return Stopped();
      const auto remaining = target - now;
      if (precise && remaining <= kSpinMargin) {
        std::this_thread::yield();
        continue;
      }
      const auto wait = precise ? remaining - kSpinMargin : remaining;
      const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
      timespec ts{};
      const bool forever = target == Clock::time_point::max();
      ts.tv_sec = static_cast<time_t>(ns / 1000000000);
      ts.tv_nsec = static_cast<long>(ns % 1000000000);
      pollfd fds[2] = {{stop.Fd(), POLLIN, 0}, {state_->wake_fd, POLLIN, 0}};
      const int n = ppoll(fds, 2, forever ? nullptr : &ts, nullptr);
      if (n > 0 && (fds[1].revents & POLLIN) != 0) state_->ClearWake();
      if (n > 0 && (fds[0].revents & POLLIN) != 0 && stop.TryConsume()) return Stopped();
    }
  }

  HidIo Write(const uint8_t* buf, size_t len, int /*timeout_ms*/, CEvent& stop, size_t& put) override {
    put = 0;
    if (!state_->want_write || which_ != Which::Vendor) return HidIo::Error;
    {
      std::lock_guard<std::mutex> guard(state_->mutex);
      if (state_->gone) return HidIo::Gone;
    }
    if (stop.TryConsume()) return HidIo::Stopped;
    // Latency model: the request takes one report time on the wire, and
    // the reply one more.
    // Both times count from the start of the write, so that an overshoot
    // of the first sleep does not add to the reply's arrival.
    const Clock::time_point begin = Clock::now();
    const std::chrono::microseconds report_time = firmware_->ReportTime();
    if (report_time.count() > 0) SleepUntilPrecise(begin + report_time);
    const SimResponse response = firmware_->HandleRequest(buf, len);
    put = len;
    if (response.remove) {
      hub_->Unplug(id_);
      return HidIo::Ok;
    }
    if (response.reply) {
      const Clock::time_point at = std::max(Clock::now(), begin + 2 * report_time + response.delay);
      hub_->Broadcast(id_, Which::Vendor, at, response.frame.data(), response.frame.size());
    }
    return HidIo::Ok;
  }

  size_t DrainInput() override {
    std::lock_guard<std::mutex> guard(state_->mutex);
    const Clock::time_point now = Clock::now();
    size_t dropped = 0;
    while (!state_->queue.empty() && state_->queue.front().at <= now) {
      state_->queue.pop_front();
      ++dropped;
    }
    return dropped;
  }

 private:
  HidIo Stopped() {
    std::lock_guard<std::mutex> guard(state_->mutex);
    state_->waiting = false;
    return HidIo::Stopped;
  }

  std::shared_ptr<SimBackend::Hub> hub_;
  const int id_;
  const Which which_;
  std::shared_ptr<SimFirmware> firmware_;
  std::shared_ptr<HandleState> state_;
  HidAttributes attributes_;
};

}  // namespace

SimBackend::SimBackend() : hub_(std::make_shared<Hub>()) {}

SimBackend::~SimBackend() {
  // Handles may outlive the backend; the firmware's notifier must not.
  std::vector<std::shared_ptr<SimFirmware>> firmwares;
  {
    std::lock_guard<std::mutex> guard(hub_->mutex);
    for (auto& d : hub_->devices) firmwares.push_back(d.firmware);
  }
  for (auto& f : firmwares) f->SetNotifier(nullptr);
}

int SimBackend::AddDevice(std::shared_ptr<SimFirmware> firmware, bool plugged) {
  int id = 0;
  {
    std::lock_guard<std::mutex> guard(hub_->mutex);
    id = static_cast<int>(hub_->devices.size());
    Hub::Device d;
    d.id = id;
    d.firmware = firmware;
    d.plugged = plugged;
    hub_->devices.push_back(std::move(d));
  }
  std::weak_ptr<Hub> weak = hub_;
  firmware->SetNotifier([weak, id](uint16_t usage) {
    if (auto hub = weak.lock()) {
      const uint8_t report[3] = {kConsumerReportId, static_cast<uint8_t>(usage & 0xFF), static_cast<uint8_t>(usage >> 8)};
      hub->Broadcast(id, Which::Consumer, Clock::now(), report, sizeof report);
    }
  });
  return id;
}

void SimBackend::Plug(int id) {
  std::lock_guard<std::mutex> guard(hub_->mutex);
  if (Hub::Device* d = hub_->Find(id)) d->plugged = true;
}

void SimBackend::Unplug(int id) { hub_->Unplug(id); }

bool SimBackend::IsPlugged(int id) const {
  std::lock_guard<std::mutex> guard(hub_->mutex);
  const Hub::Device* d = hub_->Find(id);
  return d != nullptr && d->plugged;
}

std::shared_ptr<SimFirmware> SimBackend::Firmware(int id) const {
  std::lock_guard<std::mutex> guard(hub_->mutex);
  const Hub::Device* d = hub_->Find(id);
  return d != nullptr ? d->firmware : nullptr;
}

std::string SimBackend::VendorPath(int id) const {
  std::lock_guard<std::mutex> guard(hub_->mutex);
  const Hub::Device* d = hub_->Find(id);
  return d != nullptr ? Hub::PathOf(*d, Which::Vendor) : std::string();
}

std::string SimBackend::ConsumerPath(int id) const {
  std::lock_guard<std::mutex> guard(hub_->mutex);
  const Hub::Device* d = hub_->Find(id);
  return d != nullptr ? Hub::PathOf(*d, Which::Consumer) : std::string();
}

size_t SimBackend::QueuedReports(int id) const {
  std::lock_guard<std::mutex> guard(hub_->mutex);
  const Hub::Device* d = hub_->Find(id);
  if (d == nullptr) return 0;
  size_t total = 0;
  const Clock::time_point now = Clock::now();
  for (auto& weak : d->handles[static_cast<int>(Which::Vendor)]) {
    if (auto h = weak.lock()) {
      std::lock_guard<std::mutex> hg(h->mutex);
      for (auto& p : h->queue)
        if (p.at <= now) ++total;
    }
  }
  return total;
}

std::shared_ptr<SimBackend> SimBackend::WithStandardDevices() {
  auto backend = std::make_shared<SimBackend>();
  backend->AddDevice(std::make_shared<SimFirmware>(SimKind::Mouse));
  backend->AddDevice(std::make_shared<SimFirmware>(SimKind::Keyboard));
  backend->AddDevice(std::make_shared<SimFirmware>(SimKind::MousePad));
  return backend;
}

bool SimBackend::Enumerate(std::vector<std::string>& paths) {
  std::lock_guard<std::mutex> guard(hub_->mutex);
  paths.clear();
  for (auto& d : hub_->devices) {
    if (!d.plugged) continue;
    paths.push_back(Hub::PathOf(d, Which::Vendor));
    paths.push_back(Hub::PathOf(d, Which::Consumer));
  }
  return true;
}

std::unique_ptr<IHidConnection> SimBackend::Open(const std::string& path, bool want_read, bool want_write,
                                                 bool exclusive) {
  std::lock_guard<std::mutex> guard(hub_->mutex);
  Which which = Which::Vendor;
  Hub::Device* d = hub_->Resolve(path, which);
  if (d == nullptr) return nullptr;
  auto& list = d->handles[static_cast<int>(which)];
  list.erase(std::remove_if(list.begin(), list.end(), [](auto& w) { return w.expired(); }), list.end());
  // Sharing rules: an exclusive handle allows no other, and is refused
  // while another is open.
  for (auto& weak : list) {
    auto h = weak.lock();
    if (h && (h->exclusive || exclusive)) return nullptr;
  }
  auto state = std::make_shared<HandleState>();
  if (state->wake_fd < 0) return nullptr;
  state->want_read = want_read;
  state->want_write = want_write;
  state->exclusive = exclusive;
  list.push_back(state);
  return std::make_unique<SimConnection>(hub_, d->id, which, d->firmware, state);
}

bool SimBackend::Probe(const std::string& path) {
  std::lock_guard<std::mutex> guard(hub_->mutex);
  Which which = Which::Vendor;
  return hub_->Resolve(path, which) != nullptr;
}

}  // namespace trx::sim

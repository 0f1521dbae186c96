#include "device/hid_device.h"

#include <poll.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "device/hidraw_backend.h"
#include "platform/debug_log.h"

namespace trx {
namespace {

std::mutex g_default_backend_mutex;  // guards g_default_backend
std::shared_ptr<IHidBackend> g_default_backend;

// How long Open/Destroy wait for a transfer in another thread to notice the
// stop event before releasing the connection anyway (the connection itself
// stays alive until that transfer returns; see connection_mutex_).
constexpr int kPendingDrainMs = 2000;

// Waits until `done` or `stop` is set, at most timeout_ms. The stop event
// wins when both are set (and is consumed, as an auto-reset event).
enum class WaitEnd { Done, Stopped, TimedOut };
WaitEnd WaitDoneOrStop(CEvent& done, CEvent& stop, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    pollfd fds[2] = {{stop.Fd(), POLLIN, 0}, {done.Fd(), POLLIN, 0}};
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    const int r = ::poll(fds, 2, left < 0 ? 0 : static_cast<int>(left));
    if (r > 0 && (fds[0].revents & POLLIN) && stop.TryConsume()) return WaitEnd::Stopped;
    if (r > 0 && (fds[1].revents & POLLIN) && done.TryConsume()) return WaitEnd::Done;
    if (r == 0 || std::chrono::steady_clock::now() >= deadline) return WaitEnd::TimedOut;
  }
}

// Spin limits of the write hand-off (see CHidDevice::Writer).
constexpr int64_t kWriterSpinNs = 50'000;
constexpr int64_t kCallerSpinNs = 50'000;

int64_t SteadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#elif defined(__aarch64__)
  asm volatile("yield");
#endif
}

// Spins until `ready` or limit_ns have passed; true when ready.
template <typename Ready>
bool SpinUntil(Ready ready, int64_t limit_ns) {
  const int64_t end = SteadyNs() + limit_ns;
  for (int i = 0;; ++i) {
    if (ready()) return true;
    CpuRelax();
    if ((i & 15) == 15 && SteadyNs() >= end) return ready();
  }
}

}  // namespace

// The writer thread's state. One write in flight at a time: the caller
// posts write number `posted` once `finished` has caught up with it, and the
// write is done when `finished` reaches its number.
//
// The hand-off does not sleep while frames follow each other closely: the
// writer spins for the next job for up to kWriterSpinNs after a write while
// the last gap between jobs was that short, and the caller spins for the
// result for up to kCallerSpinNs while the writer is spinning (it takes the
// job at once) and the last write returned within that time. Otherwise the
// writer sleeps on `wake` (a futex) and the caller at once on the `done`
// event with the stop event and its time limit, which leaves its processor
// to the writer. A device that answers in milliseconds therefore costs a
// wake-up per frame and no spinning; a fast one (the simulator, a frame
// train through the protocol) costs neither.
struct CHidDevice::Writer {
  // The job slot: filled by the caller while no write is in flight, taken
  // by the writer after it sees `posted` change (release / acquire).
  std::shared_ptr<IHidConnection> conn;
  std::vector<uint8_t> data;
  // The outcome of write number `finished`, stored before it is published.
  HidIo result = HidIo::Ok;
  size_t put = 0;

  std::atomic<uint64_t> posted{0};
  std::atomic<uint64_t> finished{0};
  std::atomic<uint32_t> wake{0};           // bumped with every post and at quit; the idle writer sleeps on it
  std::atomic<bool> quit{false};
  std::atomic<bool> caller_asleep{false};  // the caller waits on `done` instead of spinning
  std::atomic<bool> spinning{false};       // the writer spins for the next job (takes it at once)
  CEvent done{CEvent::Reset::Auto};        // set for a sleeping caller when its write returned
  CEvent cancel{CEvent::Reset::Manual};    // ends a write waiting in the connection (destruction)

  // Caller side only (callers are serialised): how long the last write took.
  int64_t last_write_ns = 0;

  bool InFlight() const { return finished.load(std::memory_order_acquire) != posted.load(std::memory_order_acquire); }

  static void Run(const std::shared_ptr<Writer>& self) {
    Writer& w = *self;
    uint64_t done_number = 0;
    bool spin = true;  // the last job came within the spin window
    for (;;) {
      uint32_t woken = w.wake.load(std::memory_order_acquire);
      const auto idle_since = SteadyNs();
      const auto job_posted = [&] {
        return w.posted.load(std::memory_order_acquire) != done_number || w.quit.load(std::memory_order_acquire);
      };
      bool taken = false;
      if (spin) {
        w.spinning.store(true, std::memory_order_release);
        taken = SpinUntil(job_posted, kWriterSpinNs);
        w.spinning.store(false, std::memory_order_release);
      }
      if (!taken) {
        while (!job_posted()) {
          w.wake.wait(woken, std::memory_order_acquire);
          woken = w.wake.load(std::memory_order_acquire);
        }
      }
      if (w.quit.load(std::memory_order_acquire) && w.posted.load(std::memory_order_acquire) == done_number) return;
      spin = SteadyNs() - idle_since <= kWriterSpinNs;
      const uint64_t number = w.posted.load(std::memory_order_acquire);
      std::shared_ptr<IHidConnection> conn = std::move(w.conn);
      size_t put = 0;
      const HidIo io = conn->Write(w.data.data(), w.data.size(), kWriteTimeoutMs, w.cancel, put);
      conn.reset();
      w.result = io;
      w.put = put;
      done_number = number;
      w.finished.store(number, std::memory_order_seq_cst);
      if (w.caller_asleep.exchange(false, std::memory_order_seq_cst)) w.done.Set();
      if (w.quit.load(std::memory_order_acquire)) return;
    }
  }
};

std::shared_ptr<IHidBackend> DefaultHidBackend() {
  std::lock_guard<std::mutex> lock(g_default_backend_mutex);
  if (!g_default_backend) g_default_backend = HidrawBackend::FromEnvironment();
  return g_default_backend;
}

void SetDefaultHidBackend(std::shared_ptr<IHidBackend> backend) {
  std::lock_guard<std::mutex> lock(g_default_backend_mutex);
  g_default_backend = std::move(backend);
}

CHidDevice::CHidDevice(std::shared_ptr<IHidBackend> backend)
    : backend_(backend ? std::move(backend) : DefaultHidBackend()) {}

CHidDevice::~CHidDevice() {
  Destroy();
  StopWriter();
}

void CHidDevice::StopWriter() {
  if (!writer_) return;
  const bool blocked = writer_->InFlight();
  writer_->quit.store(true, std::memory_order_release);
  writer_->wake.fetch_add(1, std::memory_order_release);
  writer_->wake.notify_all();
  writer_->cancel.Set();
  if (!writer_thread_.joinable()) return;
  // A write stuck in the driver keeps the thread for up to its 5 s; it
  // holds its own references, so it is let go rather than waited for.
  if (blocked) writer_thread_.detach();
  else writer_thread_.join();
}

bool CHidDevice::WriteBlocked() const { return writer_ && writer_->InFlight(); }

bool CHidDevice::EnumerateHidPaths() {
  std::vector<std::string> paths;
  if (!backend_->Enumerate(paths)) {
    path_list.clear();
    return false;
  }
  path_list = std::move(paths);
  return true;
}

void CHidDevice::StopPendingTransfer() {
  if (!read_pending_.load() && !write_pending_.load()) return;
  stop_event_.Set();
  // A transfer polls the stop event and returns at once; give it that moment
  // so that the stop signal is consumed by it and not by the next transfer.
  for (int waited = 0; waited < kPendingDrainMs && (read_pending_.load() || write_pending_.load()); ++waited) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

bool CHidDevice::Open() {
  StopPendingTransfer();
  Close();
  std::unique_ptr<IHidConnection> conn = backend_->Open(device_path, want_read, want_write, exclusive);
  if (!conn) return false;
  {
    std::lock_guard<std::mutex> lock(connection_mutex_);
    connection_ = std::move(conn);
  }
  if (!ReadCapabilities()) {
    Close();
    return false;
  }
  ++open_serial_;
  return true;
}

bool CHidDevice::ReadCapabilities() {
  std::shared_ptr<IHidConnection> conn = Connection();
  if (!conn) return false;
  std::string reason;
  if (!ParseHidDescriptor(conn->ReportDescriptor(), descriptor, &reason, conn->TopLevelCollection())) {
    DebugLineF("HID: report descriptor of %s rejected: %s", device_path.c_str(), reason.c_str());
    return false;
  }
  attributes = conn->Attributes();
  capabilities.usage = descriptor.usage;
  capabilities.usage_page = descriptor.usage_page;
  capabilities.input_report_byte_length = descriptor.input_report_byte_length;
  capabilities.output_report_byte_length = descriptor.output_report_byte_length;
  capabilities.feature_report_byte_length = descriptor.feature_report_byte_length;

  input_report_buffer.assign(capabilities.input_report_byte_length, 0);

  size_t value_count = descriptor.input_value_caps.size();  // already one per usage
  input_elements.clear();
  input_elements.reserve(descriptor.input_button_caps.size() + value_count);
  for (const HidButtonCap& cap : descriptor.input_button_caps) {
    HidReportElement e;
    e.is_button = 1;
    e.usage_page = cap.usage_page;
    e.status = kHidpStatusSuccess;
    e.report_id = cap.report_id;
    e.usage_minimum = cap.usage_min;
    e.usage_maximum = cap.usage_max;
    e.capacity = MaxInputUsageListLength(descriptor, cap.usage_page);
    e.usage_list.assign(e.capacity, 0);
    input_elements.push_back(std::move(e));
  }
  for (const HidValueCap& cap : descriptor.input_value_caps) {
    HidReportElement e;
    e.is_button = 0;
    e.usage_page = cap.usage_page;
    e.status = kHidpStatusSuccess;
    e.report_id = cap.report_id;
    e.usage_minimum = cap.usage;
    input_elements.push_back(std::move(e));
  }
  return true;
}

void CHidDevice::Close() {
  std::shared_ptr<IHidConnection> old;
  {
    std::lock_guard<std::mutex> lock(connection_mutex_);
    old = std::move(connection_);
  }
  // `old` closes the node here unless a transfer in another thread still
  // holds it; then it closes when that transfer returns.
  old.reset();
  input_elements.clear();
  input_report_buffer.clear();
  descriptor = HidDescriptorInfo{};
  capabilities = HidCaps{};
  attributes = HidAttributes{};
}

void CHidDevice::Destroy() {
  StopPendingTransfer();
  Close();
  path_list.clear();
  scan_position = 0;
}

bool CHidDevice::IsOpen() const {
  std::lock_guard<std::mutex> lock(connection_mutex_);
  return connection_ != nullptr;
}

std::shared_ptr<IHidConnection> CHidDevice::Connection() const {
  std::lock_guard<std::mutex> lock(connection_mutex_);
  return connection_;
}

bool CHidDevice::ReadReport(uint8_t* buffer, size_t length, int timeout_ms, size_t* bytes_read) {
  read_pending_.store(true);
  if (bytes_read) *bytes_read = 0;
  size_t got = 0;
  std::shared_ptr<IHidConnection> conn = Connection();
  HidIo io = conn ? conn->Read(buffer, length, timeout_ms, stop_event_, got) : HidIo::Error;
  last_io_ = io;
  if (io == HidIo::Ok && bytes_read) *bytes_read = got;
  read_pending_.store(false);
  return io == HidIo::Ok;
}

bool CHidDevice::WriteReport(const uint8_t* buffer, size_t length, size_t* bytes_written) {
  write_pending_.store(true);
  if (bytes_written) *bytes_written = 0;
  size_t put = 0;
  HidIo io = HidIo::Error;
  std::shared_ptr<IHidConnection> conn = Connection();
  if (conn && buffer != nullptr && length > 0) {
    if (!writer_) writer_ = std::make_shared<Writer>();
    Writer& w = *writer_;
    if (w.InFlight() || w.quit.load(std::memory_order_acquire)) {
      io = HidIo::Timeout;  // the last write has not come back: not responding
    } else {
      if (!writer_thread_.joinable()) writer_thread_ = std::thread(&Writer::Run, writer_);
      const int64_t start = SteadyNs();
      // A spinning writer takes the job at once and a fast device returns
      // it within microseconds: then spin for the result too. Otherwise
      // sleep at once, which lets the writer run on this processor.
      const bool spin = w.spinning.load(std::memory_order_acquire) && w.last_write_ns <= kCallerSpinNs;
      const uint64_t number = w.posted.load(std::memory_order_relaxed) + 1;
      w.conn = std::move(conn);
      w.data.assign(buffer, buffer + length);
      w.posted.store(number, std::memory_order_release);
      w.wake.fetch_add(1, std::memory_order_release);
      w.wake.notify_one();
      const auto returned = [&] { return w.finished.load(std::memory_order_acquire) == number; };
      bool done = spin && SpinUntil(returned, kCallerSpinNs);
      // The time limit counts from the post (read only when the result did
      // not come back while spinning).
      const auto deadline = done ? std::chrono::steady_clock::time_point{}
                                 : std::chrono::steady_clock::time_point(std::chrono::nanoseconds(start)) +
                                       std::chrono::milliseconds(kWriteTimeoutMs);
      io = HidIo::Timeout;
      while (!done) {
        w.caller_asleep.store(true, std::memory_order_seq_cst);
        if (w.finished.load(std::memory_order_seq_cst) == number) {
          w.caller_asleep.store(false, std::memory_order_relaxed);
          done = true;
          break;
        }
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        const WaitEnd end = WaitDoneOrStop(w.done, stop_event_, left < 0 ? 0 : static_cast<int>(left));
        if (end == WaitEnd::Stopped) {
          io = HidIo::Stopped;
          break;
        }
        if (end == WaitEnd::TimedOut) {
          done = returned();
          if (!done) {
            DebugLineF("hid: write to %s not done within %d ms; device not responding", device_path.c_str(),
                       kWriteTimeoutMs);
          }
          break;
        }
        // Done: possibly a wake-up meant for an earlier, abandoned write.
        done = returned();
      }
      w.caller_asleep.store(false, std::memory_order_relaxed);
      if (done) {
        io = w.result;
        put = w.put;
        w.last_write_ns = SteadyNs() - start;
      } else {
        w.last_write_ns = int64_t{kWriteTimeoutMs} * 1'000'000;
      }
    }
  }
  last_io_ = io;
  if (io == HidIo::Ok && bytes_written) *bytes_written = put;
  write_pending_.store(false);
  return io == HidIo::Ok;
}

size_t CHidDevice::DrainInput() {
  std::shared_ptr<IHidConnection> conn = Connection();
  return conn ? conn->DrainInput() : 0;
}

bool CHidDevice::Probe(const std::string& path) { return backend_->Probe(path); }

}  // namespace trx

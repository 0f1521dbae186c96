#include "device/hid_device.h"

#include <poll.h>

#include <chrono>
#include <condition_variable>
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

}  // namespace

// The writer thread's state. One write at a time: `busy` from the moment a
// write is handed over until the connection's Write returns.
struct CHidDevice::Writer {
  std::mutex mutex;  // guards everything below except the events
  std::condition_variable wake;
  std::shared_ptr<IHidConnection> conn;
  std::vector<uint8_t> data;
  bool has_job = false;
  bool busy = false;
  bool quit = false;
  HidIo result = HidIo::Ok;
  size_t put = 0;
  CEvent done{CEvent::Reset::Auto};    // the last write handed over returned
  CEvent cancel{CEvent::Reset::Manual};  // ends a write waiting in the connection (destruction)

  static void Run(const std::shared_ptr<Writer>& self) {
    std::unique_lock<std::mutex> lock(self->mutex);
    for (;;) {
      self->wake.wait(lock, [&] { return self->has_job || self->quit; });
      if (!self->has_job) return;
      self->has_job = false;
      std::shared_ptr<IHidConnection> conn = std::move(self->conn);
      std::vector<uint8_t> data = std::move(self->data);
      lock.unlock();
      size_t put = 0;
      const HidIo io = conn->Write(data.data(), data.size(), kWriteTimeoutMs, self->cancel, put);
      conn.reset();
      lock.lock();
      self->result = io;
      self->put = put;
      self->busy = false;
      self->done.Set();
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
  bool blocked;
  {
    std::lock_guard<std::mutex> lock(writer_->mutex);
    writer_->quit = true;
    blocked = writer_->busy;
    writer_->wake.notify_all();
  }
  writer_->cancel.Set();
  if (!writer_thread_.joinable()) return;
  // A write stuck in the driver keeps the thread for up to its 5 s; it
  // holds its own references, so it is let go rather than waited for.
  if (blocked) writer_thread_.detach();
  else writer_thread_.join();
}

bool CHidDevice::WriteBlocked() const {
  if (!writer_) return false;
  std::lock_guard<std::mutex> lock(writer_->mutex);
  return writer_->busy;
}

int CHidDevice::EnumerateHidPaths() {
  std::vector<std::string> paths;
  if (!backend_->Enumerate(paths)) {
    path_list.clear();
    return 0;
  }
  path_list = std::move(paths);
  return 1;
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

int CHidDevice::Open() {
  StopPendingTransfer();
  Close();
  std::unique_ptr<IHidConnection> conn = backend_->Open(device_path, want_read, want_write, exclusive);
  if (!conn) return 0;
  {
    std::lock_guard<std::mutex> lock(connection_mutex_);
    connection_ = std::move(conn);
  }
  if (ReadCapabilities() != 1) {
    Close();
    return 0;
  }
  ++open_serial_;
  return 1;
}

int CHidDevice::ReadCapabilities() {
  std::shared_ptr<IHidConnection> conn = Connection();
  if (!conn) return 0;
  std::string reason;
  if (ParseHidDescriptor(conn->ReportDescriptor(), descriptor, &reason, conn->TopLevelCollection()) != 1) {
    DebugLineF("HID: report descriptor of %s rejected: %s", device_path.c_str(), reason.c_str());
    return 0;
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
  return 1;
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

int CHidDevice::ReadReport(uint8_t* buffer, size_t length, int timeout_ms, size_t* bytes_read) {
  read_pending_.store(true);
  if (bytes_read) *bytes_read = 0;
  size_t got = 0;
  std::shared_ptr<IHidConnection> conn = Connection();
  HidIo io = conn ? conn->Read(buffer, length, timeout_ms, stop_event_, got) : HidIo::Error;
  last_io_ = io;
  if (io == HidIo::Ok && bytes_read) *bytes_read = got;
  read_pending_.store(false);
  return io == HidIo::Ok ? 1 : 0;
}

int CHidDevice::WriteReport(const uint8_t* buffer, size_t length, size_t* bytes_written) {
  write_pending_.store(true);
  if (bytes_written) *bytes_written = 0;
  size_t put = 0;
  HidIo io = HidIo::Error;
  std::shared_ptr<IHidConnection> conn = Connection();
  if (conn && buffer != nullptr && length > 0) {
    if (!writer_) writer_ = std::make_shared<Writer>();
    bool handed_over = false;
    {
      std::lock_guard<std::mutex> lock(writer_->mutex);
      if (!writer_->busy && !writer_->quit) {
        if (!writer_thread_.joinable()) writer_thread_ = std::thread(&Writer::Run, writer_);
        writer_->conn = std::move(conn);
        writer_->data.assign(buffer, buffer + length);
        writer_->has_job = true;
        writer_->busy = true;
        writer_->done.ResetEvent();
        writer_->wake.notify_one();
        handed_over = true;
      }
    }
    if (!handed_over) {
      io = HidIo::Timeout;  // the last write has not come back: not responding
    } else {
      switch (WaitDoneOrStop(writer_->done, stop_event_, kWriteTimeoutMs)) {
        case WaitEnd::Done: {
          std::lock_guard<std::mutex> lock(writer_->mutex);
          io = writer_->result;
          put = writer_->put;
          break;
        }
        case WaitEnd::Stopped:
          io = HidIo::Stopped;
          break;
        case WaitEnd::TimedOut:
          DebugLineF("hid: write to %s not done within %d ms; device not responding", device_path.c_str(),
                     kWriteTimeoutMs);
          io = HidIo::Timeout;
          break;
      }
    }
  }
  last_io_ = io;
  if (io == HidIo::Ok && bytes_written) *bytes_written = put;
  write_pending_.store(false);
  return io == HidIo::Ok ? 1 : 0;
}

size_t CHidDevice::DrainInput() {
  std::shared_ptr<IHidConnection> conn = Connection();
  return conn ? conn->DrainInput() : 0;
}

bool CHidDevice::Probe(const std::string& path) { return backend_->Probe(path); }

}  // namespace trx

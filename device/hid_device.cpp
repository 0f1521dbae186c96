#include "device/hid_device.h"

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

}  // namespace

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

CHidDevice::~CHidDevice() { Destroy(); }

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
  std::shared_ptr<IHidConnection> conn = Connection();
  HidIo io = conn ? conn->Write(buffer, length, kWriteTimeoutMs, stop_event_, put) : HidIo::Error;
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

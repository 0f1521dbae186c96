#pragma once
// CHidDevice: one HID interface handle with everything learned about it:
// attributes, top-level collection, input report length, the input element
// tables used to decode consumer-control reports, and the read / write /
// stop events.
//
// Results follow the HID layer's convention: 1 on success, 0 on failure.
//
// Thread safety: the record takes no lock around its fields and tables. Its
// users serialise transfers (the device channel's lock, or a
// synchronisation thread owning the record alone). StopEvent().Set() may be called from any thread to make a waiting
// ReadReport/WriteReport return 0 at once; Open and Destroy do this
// themselves when a transfer is pending, and give it up to 2 s to return.
// Reads are synchronous (poll, then one read()), so no read outlives the
// call that started it. Writes run on the record's writer thread (started
// with the first write): a hidraw write() is synchronous in the driver,
// which allows 5000 ms for an output report, and hidraw always polls
// writable, so only a second thread can bound the caller's wait. WriteReport
// copies the report, hands it to the writer and waits at most 1000 ms (or
// until the stop event is set). While frames follow each other within
// 0.1 ms the hand-off spins instead of sleeping (a few microseconds per
// frame, no wake-up); slower devices cost one wake-up per frame and no
// spinning. A write not done by then reports 0 with
// LastIo() Timeout, and the device counts as not responding
// (WriteBlocked()) until that write returns in the writer: every write
// asked for meanwhile fails at once. A buffer handed to ReadReport or
// WriteReport is never touched after the call returns. A transfer keeps its
// connection alive until it returns even if another thread closes the
// record meanwhile, and a writer still blocked when the record is destroyed
// is let go with its own references.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/hid_backend.h"
#include "device/hid_descriptor.h"
#include "platform/event.h"

namespace trx {

// One entry of the element tables used to decode input reports.
struct HidReportElement {
  uint8_t is_button = 0;      // 1 button element, 0 value element
  uint16_t usage_page = 0;
  int32_t status = 0;         // HIDP_STATUS_* of the last decode
  uint8_t report_id = 0;
  uint8_t updated = 0;        // set when the last decode looked at this element
  uint16_t usage_minimum = 0; // value element: its usage
  uint16_t usage_maximum = 0; // value element: the raw value of the last decode
  uint32_t capacity = 0;      // button: max usage list length; value: scaled value
  std::vector<uint16_t> usage_list;  // button elements: usages found, 0-terminated when short
};

// HIDP_STATUS_* values kept in HidReportElement::status.
inline constexpr int32_t kHidpStatusSuccess = 0x00110000;
inline constexpr int32_t kHidpStatusNull = static_cast<int32_t>(0x80110001);
inline constexpr int32_t kHidpStatusInvalidReportLength = static_cast<int32_t>(0xC0110003);
inline constexpr int32_t kHidpStatusUsageNotFound = static_cast<int32_t>(0xC0110004);
inline constexpr int32_t kHidpStatusValueOutOfRange = static_cast<int32_t>(0xC0110005);
inline constexpr int32_t kHidpStatusBadLogPhyValues = static_cast<int32_t>(0xC0110006);
inline constexpr int32_t kHidpStatusBufferTooSmall = static_cast<int32_t>(0xC0110007);
inline constexpr int32_t kHidpStatusIncompatibleReportId = static_cast<int32_t>(0xC011000A);

struct HidCaps {
  uint16_t usage = 0;
  uint16_t usage_page = 0;
  uint16_t input_report_byte_length = 0;   // includes the report id byte
  uint16_t output_report_byte_length = 0;
  uint16_t feature_report_byte_length = 0;
};

class CHidDevice {
 public:
  // A null backend means the process-wide default (HidrawBackend with the
  // roots from the environment; see hidraw_backend.h).
  explicit CHidDevice(std::shared_ptr<IHidBackend> backend = nullptr);
  ~CHidDevice();  // Destroy()
  CHidDevice(const CHidDevice&) = delete;
  CHidDevice& operator=(const CHidDevice&) = delete;

  // --- fields the callers fill or read (the scan state of the presence threads)
  std::vector<std::string> path_list;  // result of the last enumeration
  int32_t scan_position = 0;
  bool want_read = false;
  bool want_write = false;
  bool overlapped = false;   // kept for the callers' bookkeeping; every transfer waits with a limit
  // Set: no other handle may be open on the node at the same time (a flock
  // held for the connection's life). Clear: other shared handles may be.
  bool exclusive = false;
  std::string device_path;   // the interface path to open

  // --- learned on Open
  HidAttributes attributes;
  HidCaps capabilities;
  std::vector<uint8_t> input_report_buffer;  // InputReportByteLength bytes, zeroed on open
  std::vector<HidReportElement> input_elements;
  HidDescriptorInfo descriptor;             // parsed report descriptor

  // Lists every present HID interface into path_list; false when listing failed.
  bool EnumerateHidPaths();
  // Opens device_path with the flags above and reads the capabilities; true when open.
  bool Open();
  // Releases the tables, buffers and handle; the record stays usable.
  void Close();
  // Close, then free the path list.
  void Destroy();
  bool IsOpen() const;
  // Counts the successful opens (0 before the first): a new value means a
  // new connection, possibly of another device. Any thread.
  uint32_t OpenSerial() const { return open_serial_.load(); }

  // Reads one report, waiting at most timeout_ms or until the stop event is
  // set. True when a report arrived (LastIo() says why not). *bytes_read
  // gets the count.
  bool ReadReport(uint8_t* buffer, size_t length, int timeout_ms, size_t* bytes_read);
  // Writes one report through the writer thread; the caller waits at most
  // kWriteTimeoutMs (or until the stop event is set). True when written;
  // false at once while an earlier write is still blocked (WriteBlocked()).
  bool WriteReport(const uint8_t* buffer, size_t length, size_t* bytes_written);
  static constexpr int kWriteTimeoutMs = 1000;
  // True while a write is under way in the writer thread, in particular one
  // whose caller gave up after kWriteTimeoutMs (the device is not
  // responding). Any thread.
  bool WriteBlocked() const;

  // The outcome of the last ReadReport/WriteReport (Gone when the device
  // vanished, so callers need not wait out further timeouts).
  HidIo LastIo() const { return last_io_; }
  // Drops input reports already queued for this handle (stale replies).
  size_t DrainInput();
  // True while the interface at path still exists (the presence probe).
  bool Probe(const std::string& path);
  // The open connection, for waiting on its hang-up (IHidConnection::
  // HangUpFd) without the users' lock. Holding it keeps the node open even
  // after Close, so hold it for a wait only. Null when closed. Any thread.
  std::shared_ptr<IHidConnection> SharedConnection() const { return Connection(); }

  CEvent& StopEvent() { return stop_event_; }
  CEvent& ReadEvent() { return read_event_; }
  CEvent& WriteEvent() { return write_event_; }
  bool ReadPending() const { return read_pending_.load(); }
  bool WritePending() const { return write_pending_.load(); }

  IHidBackend& Backend() { return *backend_; }

 private:
  bool ReadCapabilities();
  // Sets the stop event when a transfer is pending and waits for it to end.
  void StopPendingTransfer();
  std::shared_ptr<IHidConnection> Connection() const;
  // Ends the writer thread (joined when idle, let go while blocked).
  void StopWriter();

  struct Writer;  // shared with the writer thread
  std::shared_ptr<Writer> writer_;
  std::thread writer_thread_;  // started by the first write, under Writer::mutex

  std::shared_ptr<IHidBackend> backend_;
  // Guards the connection_ pointer only (not the tables), so that Close in
  // one thread and a transfer in another never race on it. Innermost lock.
  mutable std::mutex connection_mutex_;
  std::shared_ptr<IHidConnection> connection_;
  CEvent read_event_{CEvent::Reset::Auto};
  CEvent write_event_{CEvent::Reset::Auto};
  CEvent stop_event_{CEvent::Reset::Auto};
  std::atomic<bool> read_pending_{false};
  std::atomic<bool> write_pending_{false};
  std::atomic<uint32_t> open_serial_{0};
  HidIo last_io_ = HidIo::Ok;
};

// Decodes one input report into the element table (see HidReportElement).
// The report id is report[0]; only elements of that report id are looked at
// (and marked updated). Button elements get the usages set in the report
// that lie in their usage range, packed to the front, 0 after the last when
// fewer than the capacity; value elements get the raw value (usage_maximum)
// and the scaled value (capacity). Returns false when a value element can't
// be read (report too short). Call from the thread that owns the table.
bool DecodeInputUsages(std::vector<HidReportElement>& elements, const uint8_t* report, size_t report_length,
                       const HidDescriptorInfo& descriptor);

// The process-wide default backend used when a CHidDevice gets none.
std::shared_ptr<IHidBackend> DefaultHidBackend();
// Replaces it (the simulator's --simulate mode and tests). Not thread-safe
// against concurrent CHidDevice construction: call at start-up.
void SetDefaultHidBackend(std::shared_ptr<IHidBackend> backend);

}  // namespace trx

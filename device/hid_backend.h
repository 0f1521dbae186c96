#pragma once
// The seam between CHidDevice and the operating system's HID access.
//
// The real backend (HidrawBackend) lists /sys/class/hidraw and opens
// /dev/hidrawN; the device simulator supplies an in-process backend. Both
// speak in interface paths of the form
//
//     "<scheme>#vid_VVVV&pid_PPPP#<node>"
//
// e.g. "hid#vid_0c45&pid_652c#hidraw3". The "vid_"/"pid_" fields are
// lower-case hexadecimal, so the detection can parse them out of the path
// exactly as it parses Windows interface paths; <node> names the interface
// within its backend. A node whose descriptor holds several top-level
// collections is listed once per collection, as Windows lists them, with
// "&colNN" (1-based) after the product id: "hid#vid_0c45&pid_652c&col02#hidraw3".
//
// Thread safety: a backend's Enumerate/Open/Probe may be called from any
// thread. One connection is used by one thread at a time, except
// Interrupt-style wake-ups, which go through the stop event passed in.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace trx {

class CEvent;

struct HidAttributes {
  uint16_t vendor_id = 0;
  uint16_t product_id = 0;
  uint16_t version = 0;
};

// Outcome of one transfer on a connection.
enum class HidIo {
  Ok,        // the report moved; the byte count is valid
  Timeout,   // nothing within the time limit
  Stopped,   // the stop event was set while waiting
  Gone,      // the device vanished (POLLHUP, ENODEV, EIO); fail at once
  Error,     // any other failure
};

class IHidConnection {
 public:
  virtual ~IHidConnection() = default;

  virtual HidAttributes Attributes() const = 0;
  // The raw HID report descriptor of this interface.
  virtual const std::vector<uint8_t>& ReportDescriptor() const = 0;
  // The top-level collection of the descriptor this connection stands for
  // (0 for the first), or -1 when it stands for the whole descriptor.
  virtual int TopLevelCollection() const { return -1; }

  // Reads one input report (report id first) into buf. Waits at most
  // timeout_ms, or until stop is set. The transfer is complete or abandoned
  // when this returns: nothing refers to buf afterwards.
  virtual HidIo Read(uint8_t* buf, size_t len, int timeout_ms, CEvent& stop, size_t& got) = 0;
  // Writes one output report (report id first), same waiting rules.
  virtual HidIo Write(const uint8_t* buf, size_t len, int timeout_ms, CEvent& stop, size_t& put) = 0;
  // Discards every input report already queued for this handle. Returns the
  // number of reports dropped.
  virtual size_t DrainInput() = 0;
  // A descriptor that polls POLLHUP or POLLERR once the device behind this
  // connection is gone (poll it asking for no events, so reports are left
  // to the reader); -1 when the connection can't tell. Valid while the
  // connection lives; any thread may poll it.
  virtual int HangUpFd() const { return -1; }
};

// Interfaces appearing, going or changing, for waiting on instead of
// listing them on a timer. One object per waiting thread.
class IHidChangeWatch {
 public:
  virtual ~IHidChangeWatch() = default;
  // Polls readable (POLLIN) when something may have changed.
  virtual int Fd() const = 0;
  // Reads what is queued; true when it concerns HID interfaces. Messages are
  // hints: list the interfaces again to learn what changed.
  virtual bool Drain() = 0;
  // True once the watch can report nothing more (its folder went away);
  // callers then list on a timer.
  virtual bool Broken() const { return false; }
};

class IHidBackend {
 public:
  virtual ~IHidBackend() = default;

  // Lists the paths of every present HID interface. False on failure.
  virtual bool Enumerate(std::vector<std::string>& paths) = 0;
  // Opens an interface. Null on failure (no such path, no access, ...).
  virtual std::unique_ptr<IHidConnection> Open(const std::string& path, bool want_read, bool want_write,
                                               bool exclusive) = 0;
  // The presence probe: true while the interface at path still exists
  // (the equivalent of opening it with no access rights).
  virtual bool Probe(const std::string& path) = 0;
  // A new watch on this backend's interfaces; null when the backend can't
  // report changes (its users then list and probe on a timer).
  virtual std::unique_ptr<IHidChangeWatch> WatchChanges() { return nullptr; }
};

// Why the calling thread's last failed Open failed, as an errno value
// (EACCES/EPERM: no access to the node; EWOULDBLOCK: another program holds
// it open exclusively or holds a lock that excludes ours; ENOENT: gone);
// 0 when the last Open succeeded or failed for another reason (an
// identity or descriptor mismatch). Backends set it; any thread.
int LastHidOpenError();
void SetLastHidOpenError(int error);

// Builds "<scheme>#vid_VVVV&pid_PPPP#<node>".
std::string MakeInterfacePath(const std::string& scheme, uint16_t vid, uint16_t pid, const std::string& node);
// Parses the hexadecimal number after "vid_" / "pid_" (found ignoring
// case); 0 when absent.
uint16_t ParsePathVendorId(const std::string& path);
uint16_t ParsePathProductId(const std::string& path);
// The <node> part (after the last '#'); the whole path when there is none.
std::string PathNode(const std::string& path);
// The collection index of a "&colNN" path (0 for "&col01"); -1 when the
// path has none or a malformed one.
int PathCollection(const std::string& path);

}  // namespace trx

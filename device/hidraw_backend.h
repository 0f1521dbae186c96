#pragma once
// HidrawBackend: IHidBackend on Linux hidraw.
//
// Layout it reads (the roots are constructor arguments so that tests and the
// simulator can point it at a fake tree; see sim/hidraw_fake_tree.h):
//
//   <sys_root>/class/hidraw/hidrawN/device/uevent             "HID_ID=0003:00000C45:0000652C"
//   <sys_root>/class/hidraw/hidrawN/device/report_descriptor  raw descriptor bytes
//   <dev_root>/hidrawN                                        the character device
//
// Paths are "hid#vid_0c45&pid_652c#hidrawN", sorted by N. A node whose
// descriptor holds several top-level collections (a keyboard, consumer and
// vendor collection on one USB interface, say) is one node on Linux but
// several interfaces on Windows; it is listed once per collection as
// "hid#vid_0c45&pid_652c&col02#hidrawN", and a connection opened on such a
// path describes that collection alone and drops input reports whose id
// belongs to the node's other collections.
//
// Exclusive opens keep every other handle out, readers included, which is
// stricter than a read-sharing Windows handle; the presence probe (Probe)
// opens nothing, so it is unaffected.
//
// Connections open the node O_NONBLOCK|O_CLOEXEC and take a flock on it:
// LOCK_EX for exclusive opens, LOCK_SH otherwise, never waiting, so an
// exclusive holder keeps shared openers out and the other way round.
// Read/Write poll the node together with the stop event; POLLHUP, POLLERR,
// ENODEV and EIO report HidIo::Gone at once; the node's descriptor is the
// connection's HangUpFd (hidraw reports POLLHUP|POLLERR once the device is
// disconnected). Each read() takes one whole
// report (hidraw never splits or joins reports). For devices without report
// ids hidraw omits the id byte, so the connection puts a 0 in front, giving
// callers the same "report id first" layout for every device.
//
// Thread safety: Enumerate/Open/Probe may be called from any thread. One
// connection is used by one thread at a time; the stop event may be set from
// any thread.

#include <sys/types.h>

#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/hid_backend.h"

namespace trx {

// The environment variable naming a folder that holds "sys/" and "dev/".
inline constexpr const char* kHidRootEnv = "TRX770_HID_ROOT";

class HidrawBackend : public IHidBackend {
 public:
  HidrawBackend(std::string sys_root, std::string dev_root);
  // Roots from TRX770_HID_ROOT (<root>/sys, <root>/dev), else /sys and /dev.
  static std::shared_ptr<HidrawBackend> FromEnvironment();

  bool Enumerate(std::vector<std::string>& paths) override;
  std::unique_ptr<IHidConnection> Open(const std::string& path, bool want_read, bool want_write,
                                       bool exclusive) override;
  bool Probe(const std::string& path) override;
  // inotify on the device folder (hidraw_watch.h).
  std::unique_ptr<IHidChangeWatch> WatchChanges() override;

  const std::string& SysRoot() const { return sys_root_; }
  const std::string& DevRoot() const { return dev_root_; }

 private:
  std::string ClassDir() const { return sys_root_ + "/class/hidraw"; }

  // The device node a probe last confirmed for a path: while the node is
  // the same file (inode, device number and change time), the ids in sysfs
  // are not read again. A replugged device gets a new node.
  struct NodeStamp {
    ino_t inode = 0;
    dev_t device = 0;
    timespec changed{};
  };

  std::string sys_root_;
  std::string dev_root_;
  std::mutex probe_mutex_;  // guards probed_; a leaf lock, held for a map lookup or store only
  std::map<std::string, NodeStamp> probed_;
};

// Parses the HID_ID line of a hidraw uevent file ("HID_ID=bus:vendor:product",
// each hexadecimal). False when absent or malformed.
bool ParseHidUevent(const std::string& text, uint16_t& vendor_id, uint16_t& product_id);

}  // namespace trx

#pragma once
// FakeHidrawTree: a throw-away hidraw tree on the real file system, so that
// device models (the simulator) and tests drive the real HidrawBackend code
// path. Under a fresh temporary root it creates
//
//   sys/class/hidraw/hidrawN/device/uevent             "HID_ID=0003:00000C45:0000652C" ...
//   sys/class/hidraw/hidrawN/device/report_descriptor  the descriptor bytes
//   dev/hidrawN -> /dev/pts/K                          a pseudo-terminal slave in raw mode
//
// The device side holds the pty master: what the host writes to dev/hidrawN
// (report id first, even a 0 id) is read from the master, and what the
// device writes to the master is what the host reads. For a descriptor
// without report ids the device writes reports without the id byte, as the
// kernel delivers them. A pty is a byte stream: write one report per write()
// and let the host read it before sending the next, or the host's read may
// take two at once (real hidraw keeps reports apart).
//
// Unplug(N) removes both entries and closes the master; the host's open node
// then reports POLLHUP/EIO, which the backend turns into HidIo::Gone.
//
// Thread safety: AddInterface/Unplug/the destructor from one thread (the
// test or the simulator's control thread); master fds may be used from any
// thread until Unplug.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace trx {

class HidrawBackend;

class FakeHidrawTree {
 public:
  struct Interface {
    int index = -1;      // N of hidrawN; -1 on failure
    int master_fd = -1;  // the device side; owned by the tree
  };

  // Creates the root (mkdtemp under $TMPDIR or /tmp). Valid() is false when
  // that failed.
  FakeHidrawTree();
  // Unplugs everything and removes the whole tree.
  ~FakeHidrawTree();
  FakeHidrawTree(const FakeHidrawTree&) = delete;
  FakeHidrawTree& operator=(const FakeHidrawTree&) = delete;

  bool Valid() const { return !root_.empty(); }
  // The folder to give to TRX770_HID_ROOT; holds sys/ and dev/.
  const std::string& Root() const { return root_; }
  std::string SysRoot() const { return root_ + "/sys"; }
  std::string DevRoot() const { return root_ + "/dev"; }
  // A backend reading this tree.
  std::shared_ptr<HidrawBackend> MakeBackend() const;

  // Adds hidrawN (N counts up from 0, never reused). On failure the result
  // has index -1 and nothing is left behind.
  Interface AddInterface(uint16_t vendor_id, uint16_t product_id, const std::vector<uint8_t>& descriptor);
  // The path HidrawBackend lists for interface N; collection >= 0 gives the
  // "&colNN" path of that top-level collection (listed for descriptors with
  // several collections).
  std::string PathOf(int index, int collection = -1) const;
  // Removes hidrawN and closes its master. False when N is not plugged in.
  bool Unplug(int index);
  // Master fd of a plugged-in interface, else -1.
  int MasterFd(int index) const;

 private:
  struct Entry {
    int master_fd = -1;
    int slave_fd = -1;  // kept open so the line settings live with the pty
    uint16_t vendor_id = 0;
    uint16_t product_id = 0;
  };
  void RemoveEntries(int index);

  std::string root_;
  int next_index_ = 0;
  std::map<int, Entry> plugged_;
};

}  // namespace trx

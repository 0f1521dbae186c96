#pragma once
// HidrawWatch: the IHidChangeWatch of HidrawBackend. Watches the device
// folder (/dev, or a fake tree's dev/) with inotify for hidraw nodes being
// created, removed, renamed or changing their attributes. The last matters
// on a desktop: the kernel creates /dev/hidrawN owned by root, and udev then
// grants the seat user access (mode, owner or ACL), which inotify reports as
// an attribute change, so a node that could not be opened when it appeared
// is tried again once it can be.
//
// Messages are hints: callers list the interfaces again to learn what
// changed. A lost event queue (IN_Q_OVERFLOW) or a watched folder that went
// away counts as a change.
//
// Thread safety: one object per waiting thread.

#include <memory>
#include <string>

#include "device/hid_backend.h"

namespace trx {

class HidrawWatch : public IHidChangeWatch {
 public:
  // Null when inotify is not available or the folder can't be watched.
  static std::unique_ptr<HidrawWatch> Create(const std::string& dev_root);
  ~HidrawWatch() override;
  HidrawWatch(const HidrawWatch&) = delete;
  HidrawWatch& operator=(const HidrawWatch&) = delete;

  int Fd() const override { return fd_; }
  bool Drain() override;
  bool Broken() const override { return broken_; }

 private:
  explicit HidrawWatch(int fd) : fd_(fd) {}
  int fd_;
  bool broken_ = false;  // the watched folder went away
};

// True when an inotify event on the device folder concerns HID interfaces:
// a name starting "hidraw", a lost queue, or the folder itself going.
bool IsHidrawFolderEvent(uint32_t mask, const char* name);

}  // namespace trx

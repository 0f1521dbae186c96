#pragma once
// Attaches a firmware model to a FakeHidrawTree, so that the host talks to
// it through the real hidraw backend: the device gets a vendor interface
// (frames) and a consumer interface (notifications), and a pump thread
// answers the frames the host writes.
//
// The pump polls the vendor interface's pty master together with a stop
// event, reads 64-byte requests (the pty is a byte stream, so partial reads
// are gathered), hands each to the firmware and writes the reply back after
// the latency and delay the firmware asks for, counted from the request's
// arrival. For a short, bounded while after each reply it looks for the next
// request without sleeping, as firmware that is always running would, so a
// request that follows at once starts its report time when it arrives, not
// after a wake-up; otherwise it sleeps until a request or the stop event.
// Consumer notifications are written to the consumer interface's master as
// [03, lo, hi].
//
// Thread safety: construct, Unplug and destroy from one control thread
// (they change the tree); the firmware's device actions may run on any
// thread. Destroy the attachment before the tree.

#include <memory>
#include <mutex>
#include <thread>

#include "platform/event.h"
#include "sim/firmware_model.h"
#include "sim/hidraw_fake_tree.h"

namespace trx::sim {

class HidrawSimAttachment {
 public:
  HidrawSimAttachment(FakeHidrawTree& tree, std::shared_ptr<SimFirmware> firmware);
  ~HidrawSimAttachment();
  HidrawSimAttachment(const HidrawSimAttachment&) = delete;
  HidrawSimAttachment& operator=(const HidrawSimAttachment&) = delete;

  // False when the tree could not create the interfaces or the pump.
  bool Valid() const { return valid_; }
  int VendorIndex() const { return vendor_.index; }
  int ConsumerIndex() const { return consumer_.index; }
  // Removes both interfaces (the host sees the device vanish).
  void Unplug();
  bool Plugged() const;

 private:
  void Pump();
  // Removes the interfaces from the tree. Caller holds link_->mutex.
  void RemoveLocked();

  FakeHidrawTree& tree_;
  std::shared_ptr<SimFirmware> firmware_;
  FakeHidrawTree::Interface vendor_;
  FakeHidrawTree::Interface consumer_;
  bool valid_ = false;
  CEvent stop_{CEvent::Reset::Manual};
  // Whether the interfaces exist; shared with the firmware's notifier so
  // that a notification racing with destruction finds it unplugged.
  struct Link {
    // Guards `plugged` and the master fds' validity (the tree closes them
    // on unplug). Taken by the pump around every write and by notifications.
    std::mutex mutex;
    bool plugged = false;
  };
  std::shared_ptr<Link> link_ = std::make_shared<Link>();
  std::thread pump_;
};

}  // namespace trx::sim

#pragma once
// CDeviceChannel: one per device kind (keyboard, mouse, mouse pad). Owns the
// device's transport and the lock that serialises transfers on it, and
// carries the identities the presence threads match against.
//
// Thread safety: `connected`, `ready` and `follows_synchronised_lighting` are atomics
// read without the lock. Every exchange takes `lock` for the whole
// request-and-reply, so replies are never paired with another thread's
// request. The lock is recursive: the presence threads hold it for a whole
// detection cycle while the exchanges inside take it again.
// Lock order: a channel lock may be taken before any other lock of the
// program; never take two channels' locks at once.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "device/hid_device.h"

namespace trx {

enum class DeviceKind : uint8_t { Keyboard = 1, Mouse = 2, MousePad = 3 };
const char* DeviceKindName(DeviceKind kind);  // "keyboard", "mouse", "pad"

class CDeviceChannel {
 public:
  explicit CDeviceChannel(DeviceKind kind, std::shared_ptr<IHidBackend> backend = nullptr);
  ~CDeviceChannel();
  CDeviceChannel(const CDeviceChannel&) = delete;
  CDeviceChannel& operator=(const CDeviceChannel&) = delete;

  DeviceKind kind;
  // Bytes moved by commands 7, 8 and 9. Written by the keyboard's connect
  // read (under the lock), read by commands on any thread: atomic, and each
  // transfer reads it once.
  std::atomic<uint16_t> block_size{512};
  uint16_t vendor_id = 0;
  uint16_t product_id = 0;
  uint16_t usage = 0;
  uint16_t usage_page = 0;
  std::atomic<int> connected{0};
  // Connected and its connect read has finished, the values it read stored
  // in the image. Set by the presence thread with `lock` held, cleared when
  // the device goes. Nothing selects, sends or saves for the device before.
  std::atomic<bool> ready{false};
  std::atomic<int> follows_synchronised_lighting{0};
  CHidDevice transport;
  // Guards every transfer on `transport` (one whole exchange at a time).
  std::recursive_mutex lock;

  // Sets the identities (vendor, product, usage page, usage).
  void SetIdentity(uint16_t vid, uint16_t pid, uint16_t page, uint16_t use);
  // Clears identities and flags (window destruction).
  void Reset();

  // How long one exchange waits for its reply; 300 ms. Tests may shorten it.
  int reply_timeout_ms = 300;
};

}  // namespace trx

#pragma once
// SimBackend: an in-process IHidBackend hosting simulated devices.
//
// Each device shows two interfaces, as the real ones do:
//   "sim#vid_0c45&pid_PPPP#simN.0"  vendor collection 0xFF1C/0x92 (frames)
//   "sim#vid_0c45&pid_PPPP#simN.1"  consumer collection 0x0C/1 (notifications)
// A frame written to the vendor interface is handed to the device's
// firmware model; its reply is queued on every open, readable handle of that
// interface (as hidraw does), after the latency the model asks for.
// Devices can be plugged and unplugged at run time; an unplug makes every
// open handle of the device fail with HidIo::Gone at once, and a re-plug
// needs new handles.
//
// Waiting uses an eventfd per handle together with the caller's stop event
// in one ppoll(); nothing busy-waits except the last ~200 us before a
// reply's modelled arrival time, which is yield-spun for accuracy.
//
// Thread safety: every member may be called from any thread. Handles follow
// IHidConnection's rule (one thread at a time per handle). Handles may
// outlive the backend object.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/hid_backend.h"
#include "sim/firmware_model.h"

namespace trx::sim {

class SimBackend : public IHidBackend {
 public:
  SimBackend();
  ~SimBackend() override;
  SimBackend(const SimBackend&) = delete;
  SimBackend& operator=(const SimBackend&) = delete;

  // Adds a device; returns its id. Plugged in unless `plugged` is false.
  int AddDevice(std::shared_ptr<SimFirmware> firmware, bool plugged = true);
  void Plug(int id);
  void Unplug(int id);
  bool IsPlugged(int id) const;
  std::shared_ptr<SimFirmware> Firmware(int id) const;
  std::string VendorPath(int id) const;
  std::string ConsumerPath(int id) const;
  // Input reports queued (arrived, not yet read) on the device's open vendor
  // handles, in all.
  size_t QueuedReports(int id) const;

  // IHidBackend
  bool Enumerate(std::vector<std::string>& paths) override;
  std::unique_ptr<IHidConnection> Open(const std::string& path, bool want_read, bool want_write,
                                       bool exclusive) override;
  bool Probe(const std::string& path) override;

  // A backend hosting the whole family, plugged in: mouse (id 0), keyboard
  // 0x6556 (id 1) and mouse pad (id 2). For the program's simulated mode
  // (install it with SetDefaultHidBackend) and for tests.
  static std::shared_ptr<SimBackend> WithStandardDevices();

  struct Hub;  // shared with the handles

 private:
  std::shared_ptr<Hub> hub_;
};

}  // namespace trx::sim

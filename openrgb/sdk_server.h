#pragma once
// The OpenRGB SDK server: other lighting programs (OpenRGB's client tab,
// effect engines, screen-colour sync) list our devices as controllers and
// set their modes and colours. Protocol: openrgb/sdk_codec.h; what each
// device shows and what a request does: openrgb/sdk_devices.h.
//
// One thread with poll(): it listens on 127.0.0.1 only, serves any number
// of clients (up to kMaxClients) with non-blocking sockets, answers
// requests from the devices' state (IDeviceSource, read on this thread)
// and puts every change a client asks for into the ChangeMailbox, which
// the UI thread applies at most 10 times a second per device. The thread
// never waits for the UI thread or a device.
//
// A client is disconnected, and nothing else is affected, when it sends a
// header that is not "ORGB", a payload over kMaxPayload, a packet id the
// protocol does not have, a payload that does not hold what its id says,
// when a packet it started stays incomplete for stall_timeout_ms, or when
// it reads nothing while more than kMaxQueuedOutput bytes of answers wait.
//
// Every change of the list of connected devices (looked at every
// device_poll_ms) sends DEVICE_LIST_UPDATED to the clients that agreed on
// protocol version 1 or above.
//
// Start/Stop/Port: the owner's thread (the UI thread).

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "openrgb/change_mailbox.h"
#include "openrgb/sdk_devices.h"

namespace trx::openrgb {

// OpenRGB itself listens on 6742; one more, so both can run.
inline constexpr uint16_t kDefaultPort = 6743;
inline constexpr size_t kMaxClients = 32;
inline constexpr size_t kMaxQueuedOutput = 1 << 20;

// What the server reads of the devices. Called on the server thread.
class IDeviceSource {
 public:
  virtual ~IDeviceSource() = default;
  // The connected devices, in controller order (keyboard, mouse, pad).
  virtual std::vector<DeviceState> Devices() = 0;
};

struct ServerOptions {
  uint16_t port = kDefaultPort;  // 0: any free port
  int stall_timeout_ms = 5000;
  int device_poll_ms = 250;
};

enum class StartResult { Ok, PortInUse, Failed };
const char* StartResultName(StartResult r);

class COpenRgbServer {
 public:
  COpenRgbServer(IDeviceSource& devices, ChangeMailbox& mailbox);
  ~COpenRgbServer();
  COpenRgbServer(const COpenRgbServer&) = delete;
  COpenRgbServer& operator=(const COpenRgbServer&) = delete;

  // Binds 127.0.0.1:port and starts the thread. PortInUse when another
  // program holds the port; Failed (with `error`) for anything else.
  StartResult Start(const ServerOptions& options, std::string* error = nullptr);
  // Closes every client and the listening socket; waits for the thread.
  void Stop();
  bool Running() const { return thread_.joinable(); }
  // The port listened on (the one chosen when 0 was asked for).
  uint16_t Port() const { return port_; }
  // Clients connected now; clients disconnected for a fault so far.
  size_t ClientCount() const { return clients_now_.load(); }
  size_t FaultCount() const { return faults_.load(); }

 private:
  void Run();

  IDeviceSource& devices_;
  ChangeMailbox& mailbox_;
  ServerOptions options_;
  int listen_fd_ = -1;
  int wake_fd_ = -1;  // eventfd: Stop
  uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<size_t> clients_now_{0};
  std::atomic<size_t> faults_{0};
};

}  // namespace trx::openrgb

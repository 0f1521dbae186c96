#pragma once
// The OpenRGB SDK server inside the program (openrgb/sdk_server.h): the
// devices it shows are the connected ones with the lighting bytes and
// per-key colours of the configuration image; the changes clients ask for
// wait in the mailbox and reach the devices here, through the lighting
// pages, on the UI thread's 100 ms settings timer:
//
//   client ─► server thread ─► ChangeMailbox (newest wins, ≤ 1 per 100 ms
//   per device) ─► ApplyDue (UI thread) ─► CLightingPage::ApplyLighting
//   (image bytes, page shown, preview, settings-pending flag, light profile
//   saved) ─► the timed send writes the device
//
// A change put in the mailbox calls `on_change` (server thread), which arms
// the settings timer; the timer runs on while ChangesWaiting().
//
// ApplyDue is the one place a client's change turns into a device write;
// when devices get an operation queue of their own, this is what moves.
//
// The choice persists in "main.ini", section "OpenRGB": "server" (1 on,
// 0 off) and "port" (default 6743). Off by default.
//
// Threads: Devices() on the server thread (reads the channels' connected
// flags and the image under its lock, WithImage); everything else on the UI thread.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device/device_channel.h"
#include "openrgb/change_mailbox.h"
#include "openrgb/sdk_server.h"

namespace trx::pages {
class CPageSet;
}

namespace trx::app {

inline constexpr const char* kOpenRgbSection = "OpenRGB";
inline constexpr const char* kOpenRgbServerKey = "server";
inline constexpr const char* kOpenRgbPortKey = "port";

struct OpenRgbChoice {
  bool on = false;
  uint16_t port = openrgb::kDefaultPort;
};
// A missing or malformed port reads as the default.
OpenRgbChoice ReadOpenRgbChoice(const std::string& ini_path);
bool StoreOpenRgbChoice(const OpenRgbChoice& choice, const std::string& ini_path);

class COpenRgbBridge : public openrgb::IDeviceSource {
 public:
  // `connected`: whether a device is connected now; any thread.
  // `on_change`: a client's change waits in the mailbox; server thread.
  explicit COpenRgbBridge(std::function<bool(DeviceKind)> connected, std::function<void()> on_change = {});
  ~COpenRgbBridge() override;

  openrgb::StartResult Start(const openrgb::ServerOptions& options, std::string* error = nullptr);
  void Stop() { server_.Stop(); }
  bool Running() const { return server_.Running(); }
  openrgb::COpenRgbServer& Server() { return server_; }

  // UI thread: applies the changes that are due (`now_ms`: the message
  // queue's clock) through the lighting pages. A change for a device no
  // longer connected is dropped. Returns the number of devices changed.
  int ApplyDue(pages::CPageSet& pages, int64_t now_ms);
  // A change waits in the mailbox (due or not). Any thread.
  bool ChangesWaiting() const;

  std::vector<openrgb::DeviceState> Devices() override;

 private:
  std::function<bool(DeviceKind)> connected_;
  openrgb::ChangeMailbox mailbox_;
  openrgb::COpenRgbServer server_;
};

}  // namespace trx::app

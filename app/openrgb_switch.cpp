#include "app/openrgb_switch.h"

#include <cstdio>
#include <string>

#include "app/app_messages.h"
#include "app/openrgb_bridge.h"
#include "app/window_messages.h"
#include "platform/debug_log.h"
#include "platform/user_folders.h"

namespace trx::app {

bool OpenRgbStoredOn() { return ReadOpenRgbChoice(MainIniPath()).on; }

bool StartOpenRgbServer(COpenRgbBridge& bridge, const CWindowMessages& messages) {
  const OpenRgbChoice choice = ReadOpenRgbChoice(MainIniPath());
  openrgb::ServerOptions options;
  options.port = choice.port;
  std::string error;
  const openrgb::StartResult r = bridge.Start(options, &error);
  if (r == openrgb::StartResult::Ok) return true;
  std::fprintf(stderr, "trx770: the OpenRGB SDK server could not listen on 127.0.0.1:%u: %s\n",
               static_cast<unsigned>(choice.port), r == openrgb::StartResult::PortInUse ? "the port is in use" : error.c_str());
  if (r == openrgb::StartResult::PortInUse) messages.ShowCount(kTextOpenRgbPortInUse, choice.port);
  return false;
}

bool SetOpenRgbServer(COpenRgbBridge& bridge, bool on, const CWindowMessages& messages) {
  OpenRgbChoice choice = ReadOpenRgbChoice(MainIniPath());
  choice.on = on;
  if (!StoreOpenRgbChoice(choice, MainIniPath())) DebugLine("OpenRGB server choice not stored");
  if (!on) {
    bridge.Stop();
    return true;
  }
  return bridge.Running() || StartOpenRgbServer(bridge, messages);
}

}  // namespace trx::app

#include "app/openrgb_bridge.h"


#include "pages/keyboard_lighting_page.h"
#include "pages/page_set.h"
#include "platform/ini_file.h"
#include "settings/config_images.h"
#include "settings/key_colour_sets.h"
#include "settings/lighting_bytes.h"

namespace trx::app {

namespace {
constexpr DeviceKind kOrder[] = {DeviceKind::Keyboard, DeviceKind::Mouse, DeviceKind::MousePad};
}

OpenRgbChoice ReadOpenRgbChoice(const std::string& ini_path) {
  OpenRgbChoice choice;
  choice.on = GetPrivateProfileLong(kOpenRgbSection, kOpenRgbServerKey, ini_path) == 1;
  const long port = GetPrivateProfileLong(kOpenRgbSection, kOpenRgbPortKey, ini_path);
  if (port > 0 && port <= 65535) choice.port = static_cast<uint16_t>(port);
  return choice;
}

bool StoreOpenRgbChoice(const OpenRgbChoice& choice, const std::string& ini_path) {
  return WritePrivateProfileStrings({{kOpenRgbSection, kOpenRgbServerKey, choice.on ? "1" : "0"},
                                     {kOpenRgbSection, kOpenRgbPortKey, std::to_string(choice.port)}},
                                    ini_path);
}

COpenRgbBridge::COpenRgbBridge(std::function<bool(DeviceKind)> connected, std::function<void()> on_change)
    : connected_(std::move(connected)), mailbox_(openrgb::kMinApplyIntervalMs, std::move(on_change)), server_(*this, mailbox_) {}

bool COpenRgbBridge::ChangesWaiting() const {
  for (DeviceKind kind : kOrder)
    if (mailbox_.Peek(kind)) return true;
  return false;
}

COpenRgbBridge::~COpenRgbBridge() { server_.Stop(); }

openrgb::StartResult COpenRgbBridge::Start(const openrgb::ServerOptions& options, std::string* error) {
  return server_.Start(options, error);
}

std::vector<openrgb::DeviceState> COpenRgbBridge::Devices() {
  std::vector<openrgb::DeviceState> out;
  for (DeviceKind kind : kOrder) {
    if (!connected_(kind)) continue;
    openrgb::DeviceState s;
    s.kind = kind;
    s.location = std::string("trx770:") + DeviceKindName(kind);
    // One consistent view: the lighting bytes and the key colours together.
    WithImage([&s, kind](ConfigImages& images) {
      s.lighting = ReadLighting(kind);
      if (kind != DeviceKind::Keyboard) return;
      const KeyboardImage& kb = images.keyboard;
      const int set = ActiveKeyColourSet(kb);
      for (int i = 0; i < openrgb::kKeyLights; ++i) s.key_colours[static_cast<size_t>(i)] = KeyColour(kb, set, i);
      s.variant = kb.variant;
    });
    out.push_back(s);
  }
  return out;
}

int COpenRgbBridge::ApplyDue(pages::CPageSet& pages, int64_t now_ms) {
  int changed = 0;
  for (DeviceKind kind : kOrder) {
    std::optional<openrgb::LightingChange> change = mailbox_.TakeDue(kind, now_ms);
    if (!change) continue;
    pages::CLightingPage* page = pages.LightingPage(kind);
    if (page == nullptr || !connected_(kind)) continue;
    if (change->key_colours)
      if (auto* keyboard = dynamic_cast<pages::CKeyboardLightingPage*>(page)) keyboard->SetKeyColours(*change->key_colours);
    page->ApplyLighting(change->bytes);
    ++changed;
  }
  return changed;
}

}  // namespace trx::app

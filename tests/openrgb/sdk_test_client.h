#pragma once
// A minimal OpenRGB SDK client written from OpenRGB's documentation, sharing no code with the
// server's codec so that both cannot be wrong the same way. Blocking socket with a receive timeout.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace trx::openrgb::testing {

enum : uint32_t {
  kCount = 0, kData = 1, kVersion = 40, kName = 50, kListUpdated = 100,
  kUpdateLeds = 1050, kUpdateZoneLeds = 1051, kUpdateSingleLed = 1052, kCustom = 1100, kUpdateMode = 1101,
};

struct SdkMode {
  std::string name;
  uint32_t value = 0, flags = 0, speed_min = 0, speed_max = 0, brightness_min = 0, brightness_max = 0;
  uint32_t colours_min = 0, colours_max = 0, speed = 0, brightness = 0, direction = 0, colour_mode = 0;
  std::vector<uint32_t> colours;
};

// The mode block's numbers in their order for version v (brightness from 3).
template <typename Mode, typename F>
void ModeNumbers(Mode& m, uint32_t v, F&& f) {
  for (auto* n : {&m.value, &m.flags, &m.speed_min, &m.speed_max}) f(*n);
  if (v >= 3) f(m.brightness_min), f(m.brightness_max);
  for (auto* n : {&m.colours_min, &m.colours_max, &m.speed}) f(*n);
  if (v >= 3) f(m.brightness);
  f(m.direction), f(m.colour_mode);
}
struct SdkZone {
  std::string name;
  int32_t type = 0;
  uint32_t leds = 0, height = 0, width = 0;
  std::vector<uint32_t> matrix;
};
struct SdkController {
  int32_t type = -1;
  std::string name, vendor;
  int32_t active_mode = -1;
  std::vector<SdkMode> modes;
  std::vector<SdkZone> zones;
  std::vector<std::string> leds;
  std::vector<uint32_t> colours;
  int ModeIndex(const std::string& n) const {
    for (size_t i = 0; i < modes.size(); ++i)
      if (modes[i].name == n) return static_cast<int>(i);
    return -1;
  }
};

struct Bytes {
  std::vector<uint8_t> b;
  Bytes& u16(uint32_t v) { b.push_back(v & 0xFF); b.push_back((v >> 8) & 0xFF); return *this; }
  Bytes& u32(uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xFF); return *this; }
  Bytes& str(const std::string& s) { u16(static_cast<uint32_t>(s.size() + 1)); b.insert(b.end(), s.begin(), s.end()); b.push_back(0); return *this; }
};

// Reads the documented layout; ok() turns false on any overrun.
class Parse {
 public:
  explicit Parse(const std::vector<uint8_t>& b) : b_(b) {}
  uint32_t u16() { return Take(2); }
  uint32_t u32() { return Take(4); }
  std::string str() {
    const uint32_t n = u16();
    if (at_ + n > b_.size() || n == 0) { ok_ = false; return {}; }
    std::string s(reinterpret_cast<const char*>(&b_[at_]), n - 1);
    at_ += n;
    return s;
  }
  bool ok() const { return ok_; }
  size_t at() const { return at_; }

 private:
  uint32_t Take(size_t n) {
    if (at_ + n > b_.size()) { ok_ = false; return 0; }
    uint32_t v = 0;
    for (size_t i = 0; i < n; ++i) v |= uint32_t{b_[at_ + i]} << (8 * i);
    at_ += n;
    return v;
  }
  const std::vector<uint8_t>& b_;
  size_t at_ = 0;
  bool ok_ = true;
};

inline std::optional<SdkController> ParseController(const std::vector<uint8_t>& data, uint32_t v) {
  Parse p(data);
  SdkController c;
  const uint32_t size = p.u32();
  c.type = static_cast<int32_t>(p.u32());
  c.name = p.str();
  if (v >= 1) c.vendor = p.str();
  for (int i = 0; i < 4; ++i) p.str();  // description, version, serial, location
  const uint32_t modes = p.u16();
  c.active_mode = static_cast<int32_t>(p.u32());
  for (uint32_t i = 0; i < modes && p.ok(); ++i) {
    SdkMode m;
    m.name = p.str();
    ModeNumbers(m, v, [&](uint32_t& n) { n = p.u32(); });
    const uint32_t n = p.u16();
    for (uint32_t k = 0; k < n && p.ok(); ++k) m.colours.push_back(p.u32());
    c.modes.push_back(m);
  }
  const uint32_t zones = p.u16();
  for (uint32_t i = 0; i < zones && p.ok(); ++i) {
    SdkZone z;
    z.name = p.str();
    z.type = static_cast<int32_t>(p.u32());
    p.u32();  // LEDs min
    p.u32();  // LEDs max
    z.leds = p.u32();
    const uint32_t matrix_len = p.u16();
    if (matrix_len > 0) {
      z.height = p.u32();
      z.width = p.u32();
      for (uint32_t k = 0; k < (matrix_len - 8) / 4 && p.ok(); ++k) z.matrix.push_back(p.u32());
    }
    if (v >= 4) {
      const uint32_t segments = p.u16();
      for (uint32_t s = 0; s < segments && p.ok(); ++s) { p.str(); p.u32(); p.u32(); p.u32(); }
    }
    c.zones.push_back(z);
  }
  const uint32_t leds = p.u16();
  for (uint32_t i = 0; i < leds && p.ok(); ++i) {
    c.leds.push_back(p.str());
    p.u32();  // value
  }
  const uint32_t colours = p.u16();
  for (uint32_t i = 0; i < colours && p.ok(); ++i) c.colours.push_back(p.u32());
  if (!p.ok() || p.at() != size || size != data.size()) return std::nullopt;
  return c;
}

// UPDATEMODE's payload: data size, mode index, the mode block of version v.
inline std::vector<uint8_t> ModePayload(int index, const SdkMode& m, uint32_t v) {
  Bytes body;
  body.u32(static_cast<uint32_t>(index)).str(m.name);
  ModeNumbers(m, v, [&](const uint32_t& n) { body.u32(n); });
  body.u16(static_cast<uint32_t>(m.colours.size()));
  for (uint32_t c : m.colours) body.u32(c);
  Bytes out;
  out.u32(static_cast<uint32_t>(body.b.size() + 4));
  out.b.insert(out.b.end(), body.b.begin(), body.b.end());
  return out.b;
}

inline std::vector<uint8_t> Packet(uint32_t device, uint32_t id, const std::vector<uint8_t>& payload) {
  Bytes h;
  h.b = {'O', 'R', 'G', 'B'};
  h.u32(device).u32(id).u32(static_cast<uint32_t>(payload.size()));
  h.b.insert(h.b.end(), payload.begin(), payload.end());
  return h.b;
}

class SdkClient {
 public:
  ~SdkClient() { if (fd_ >= 0) ::close(fd_); }
  bool Connect(uint16_t port, int timeout_ms = 3000) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval tv{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  bool SendRaw(const std::vector<uint8_t>& bytes) {
    return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
  }
  bool Send(uint32_t device, uint32_t id, const std::vector<uint8_t>& payload = {}) {
    return SendRaw(Packet(device, id, payload));
  }
  // One packet; false on timeout or a closed connection.
  bool Receive(uint32_t* device, uint32_t* id, std::vector<uint8_t>* payload) {
    std::vector<uint8_t> h(16);
    if (!ReadAll(h.data(), 16) || std::memcmp(h.data(), "ORGB", 4) != 0) return false;
    Parse p(h);
    p.u32();
    *device = p.u32();
    *id = p.u32();
    payload->resize(p.u32());
    return ReadAll(payload->data(), payload->size());
  }
  // The answer to `id`, skipping DEVICE_LIST_UPDATED notices.
  std::optional<std::vector<uint8_t>> Ask(uint32_t device, uint32_t id, const std::vector<uint8_t>& payload = {}) {
    if (!Send(device, id, payload)) return std::nullopt;
    uint32_t d = 0, got = 0;
    std::vector<uint8_t> answer;
    while (Receive(&d, &got, &answer))
      if (got == id) return answer;
    return std::nullopt;
  }
  std::optional<uint32_t> AskU32(uint32_t device, uint32_t id, const std::vector<uint8_t>& payload = {}) {
    auto a = Ask(device, id, payload);
    if (!a || a->size() != 4) return std::nullopt;
    return Parse(*a).u32();
  }
  std::optional<uint32_t> Negotiate(uint32_t version) {
    version_ = version;
    auto v = AskU32(0, kVersion, Bytes().u32(version).b);
    if (v) version_ = std::min(version, *v);
    return v;
  }
  std::optional<SdkController> Controller(uint32_t index) {
    auto a = Ask(index, kData, version_ == 0 ? std::vector<uint8_t>{} : Bytes().u32(version_).b);
    if (!a) return std::nullopt;
    return ParseController(*a, version_);
  }
  // True when the server closed the connection (EOF) within the timeout.
  bool ClosedByServer() {
    uint8_t b = 0;
    for (;;) {
      const ssize_t n = ::recv(fd_, &b, 1, 0);
      if (n == 0) return true;
      if (n < 0) return errno == ECONNRESET;
    }
  }

 private:
  bool ReadAll(uint8_t* p, size_t n) {
    while (n > 0) {
      const ssize_t r = ::recv(fd_, p, n, 0);
      if (r <= 0) return false;
      p += r;
      n -= static_cast<size_t>(r);
    }
    return true;
  }
  int fd_ = -1;
  uint32_t version_ = 0;
};

}  // namespace trx::openrgb::testing

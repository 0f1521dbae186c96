#include "openrgb/sdk_codec.h"

#include <algorithm>
#include <cstring>

namespace trx::openrgb {

namespace {

constexpr uint8_t kMagic[4] = {'O', 'R', 'G', 'B'};

class Writer {
 public:
  void U16(uint16_t v) {
    bytes_.push_back(static_cast<uint8_t>(v));
    bytes_.push_back(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  // Length with the NUL, the characters, the NUL; cut to what a u16 holds.
  void Str(const std::string& s) {
    const size_t n = std::min<size_t>(s.size(), 0xFFFE);
    U16(static_cast<uint16_t>(n + 1));
    bytes_.insert(bytes_.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
    bytes_.push_back(0);
  }
  void PatchU32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
  }
  size_t Size() const { return bytes_.size(); }
  std::vector<uint8_t>& Bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool U16(uint16_t* v) {
    if (Left() < 2) return false;
    *v = static_cast<uint16_t>(bytes_[at_] | bytes_[at_ + 1] << 8);
    at_ += 2;
    return true;
  }
  bool U32(uint32_t* v) {
    if (Left() < 4) return false;
    *v = 0;
    for (size_t i = 0; i < 4; ++i) *v |= uint32_t{bytes_[at_ + i]} << (8 * i);
    at_ += 4;
    return true;
  }
  bool I32(int32_t* v) {
    uint32_t u = 0;
    if (!U32(&u)) return false;
    *v = static_cast<int32_t>(u);
    return true;
  }
  // u16 length, that many bytes; the text ends at the first NUL.
  bool Str(std::string* s) {
    uint16_t n = 0;
    if (!U16(&n) || Left() < n) return false;
    if (n == 0) {
      s->clear();
      return true;
    }
    const auto* p = reinterpret_cast<const char*>(bytes_.data() + at_);
    s->assign(p, strnlen(p, n));
    at_ += n;
    return true;
  }
  bool Colours(uint16_t n, std::vector<uint32_t>* out) {
    if (Left() / 4 < n) return false;
    out->resize(n);
    for (uint16_t i = 0; i < n; ++i) U32(&(*out)[i]);
    return true;
  }
  size_t Left() const { return bytes_.size() - at_; }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

void WriteMode(Writer& w, const ModeDescription& m, uint32_t v) {
  w.Str(m.name);
  w.I32(m.value);
  w.U32(m.flags);
  w.U32(m.speed_min);
  w.U32(m.speed_max);
  if (v >= 3) {
    w.U32(m.brightness_min);
    w.U32(m.brightness_max);
  }
  w.U32(m.colours_min);
  w.U32(m.colours_max);
  w.U32(m.speed);
  if (v >= 3) w.U32(m.brightness);
  w.U32(m.direction);
  w.U32(m.colour_mode);
  w.U16(static_cast<uint16_t>(m.colours.size()));
  for (uint32_t c : m.colours) w.U32(c);
}

bool ReadMode(Reader& r, ModeDescription* m, uint32_t v) {
  uint16_t n = 0;
  if (!r.Str(&m->name) || !r.I32(&m->value) || !r.U32(&m->flags) || !r.U32(&m->speed_min) || !r.U32(&m->speed_max))
    return false;
  if (v >= 3 && (!r.U32(&m->brightness_min) || !r.U32(&m->brightness_max))) return false;
  if (!r.U32(&m->colours_min) || !r.U32(&m->colours_max) || !r.U32(&m->speed)) return false;
  if (v >= 3 && !r.U32(&m->brightness)) return false;
  return r.U32(&m->direction) && r.U32(&m->colour_mode) && r.U16(&n) && r.Colours(n, &m->colours);
}

void WriteZone(Writer& w, const ZoneDescription& z, uint32_t v) {
  w.Str(z.name);
  w.I32(static_cast<int32_t>(z.type));
  w.U32(z.led_count);
  w.U32(z.led_count);
  w.U32(z.led_count);
  if (z.matrix.empty()) {
    w.U16(0);
  } else {
    w.U16(static_cast<uint16_t>(8 + 4 * z.matrix.size()));
    w.U32(z.matrix_height);
    w.U32(z.matrix_width);
    for (uint32_t led : z.matrix) w.U32(led);
  }
  if (v >= 4) w.U16(0);  // no segments
}

}  // namespace

HeaderResult ParseHeader(std::span<const uint8_t> bytes, PacketHeader* out) {
  // A wrong magic is told as soon as its bytes are in, not after 16.
  const size_t have = std::min(bytes.size(), sizeof kMagic);
  if (have > 0 && std::memcmp(bytes.data(), kMagic, have) != 0) return HeaderResult::BadMagic;
  if (bytes.size() < kHeaderSize) return HeaderResult::NeedMore;
  Reader r(bytes.subspan(4, 12));
  r.U32(&out->device);
  r.U32(&out->id);
  r.U32(&out->size);
  return out->size > kMaxPayload ? HeaderResult::TooLarge : HeaderResult::Ok;
}

HeaderResult NextPacket(std::span<const uint8_t> bytes, PacketHeader* header, std::span<const uint8_t>* payload) {
  const HeaderResult r = ParseHeader(bytes, header);
  if (r != HeaderResult::Ok) return r;
  if (bytes.size() - kHeaderSize < header->size) return HeaderResult::NeedMore;
  *payload = bytes.subspan(kHeaderSize, header->size);
  return HeaderResult::Ok;
}

const char* HeaderResultName(HeaderResult r) {
  switch (r) {
    case HeaderResult::Ok: return "ok";
    case HeaderResult::NeedMore: return "incomplete header";
    case HeaderResult::BadMagic: return "not an OpenRGB packet";
    case HeaderResult::TooLarge: return "payload over the limit";
  }
  return "?";
}

std::vector<uint8_t> EncodePacket(uint32_t device, PacketId id, std::span<const uint8_t> payload) {
  Writer w;
  for (uint8_t b : kMagic) w.Bytes().push_back(b);
  w.U32(device);
  w.U32(static_cast<uint32_t>(id));
  w.U32(static_cast<uint32_t>(payload.size()));
  w.Bytes().insert(w.Bytes().end(), payload.begin(), payload.end());
  return std::move(w.Bytes());
}

std::vector<uint8_t> EncodeU32(uint32_t value) {
  Writer w;
  w.U32(value);
  return std::move(w.Bytes());
}

std::vector<uint8_t> EncodeControllerData(const ControllerDescription& c, uint32_t version) {
  const uint32_t v = std::min(version, kMaxProtocolVersion);
  Writer w;
  w.U32(0);  // total size, patched below
  w.I32(static_cast<int32_t>(c.type));
  w.Str(c.name);
  if (v >= 1) w.Str(c.vendor);
  w.Str(c.description);
  w.Str(c.version);
  w.Str(c.serial);
  w.Str(c.location);
  w.U16(static_cast<uint16_t>(c.modes.size()));
  w.I32(c.active_mode);
  for (const ModeDescription& m : c.modes) WriteMode(w, m, v);
  w.U16(static_cast<uint16_t>(c.zones.size()));
  for (const ZoneDescription& z : c.zones) WriteZone(w, z, v);
  w.U16(static_cast<uint16_t>(c.leds.size()));
  for (size_t i = 0; i < c.leds.size(); ++i) {
    w.Str(c.leds[i]);
    w.U32(static_cast<uint32_t>(i));
  }
  w.U16(static_cast<uint16_t>(c.colours.size()));
  for (uint32_t colour : c.colours) w.U32(colour);
  w.PatchU32(0, static_cast<uint32_t>(w.Size()));
  return std::move(w.Bytes());
}

DecodeResult DecodeRequest(const PacketHeader& header, std::span<const uint8_t> payload, uint32_t version,
                           Request* out) {
  *out = {};
  out->id = static_cast<PacketId>(header.id);
  out->device = header.device;
  Reader r(payload);
  uint32_t data_size = 0;
  uint16_t n = 0;
  switch (out->id) {
    case PacketId::RequestControllerCount:
    case PacketId::SetCustomMode:
    case PacketId::RequestProfileList:
    case PacketId::RequestPluginList:
      return DecodeResult::Ok;
    case PacketId::RequestControllerData:
      // Version 0 clients send nothing.
      if (payload.empty()) return DecodeResult::Ok;
      return r.U32(&out->number) ? DecodeResult::Ok : DecodeResult::Malformed;
    case PacketId::RequestProtocolVersion:
      return r.U32(&out->number) ? DecodeResult::Ok : DecodeResult::Malformed;
    case PacketId::SetClientName:
    case PacketId::RequestSaveProfile:
    case PacketId::RequestLoadProfile:
    case PacketId::RequestDeleteProfile: {
      if (!payload.empty()) {
        const auto* p = reinterpret_cast<const char*>(payload.data());
        out->text.assign(p, strnlen(p, payload.size()));
      }
      return out->id == PacketId::SetClientName ? DecodeResult::Ok : DecodeResult::Ignored;
    }
    case PacketId::ResizeZone:
      return payload.size() == 8 ? DecodeResult::Ignored : DecodeResult::Malformed;
    case PacketId::UpdateLeds:
      if (!r.U32(&data_size) || !r.U16(&n) || !r.Colours(n, &out->colours)) return DecodeResult::Malformed;
      return DecodeResult::Ok;
    case PacketId::UpdateZoneLeds:
      if (!r.U32(&data_size) || !r.U32(&out->number) || !r.U16(&n) || !r.Colours(n, &out->colours))
        return DecodeResult::Malformed;
      return DecodeResult::Ok;
    case PacketId::UpdateSingleLed:
      out->colours.resize(1);
      return r.U32(&out->number) && r.U32(&out->colours[0]) ? DecodeResult::Ok : DecodeResult::Malformed;
    case PacketId::UpdateMode:
    case PacketId::SaveMode: {
      int32_t index = 0;
      if (!r.U32(&data_size) || !r.I32(&index) || index < 0) return DecodeResult::Malformed;
      out->number = static_cast<uint32_t>(index);
      return ReadMode(r, &out->mode, std::min(version, kMaxProtocolVersion)) ? DecodeResult::Ok
                                                                              : DecodeResult::Malformed;
    }
    case PacketId::DeviceListUpdated:
      break;  // the server's own packet: no client sends it
  }
  return DecodeResult::Unknown;
}

const char* DecodeResultName(DecodeResult r) {
  switch (r) {
    case DecodeResult::Ok: return "ok";
    case DecodeResult::Malformed: return "malformed payload";
    case DecodeResult::Unknown: return "unknown packet id";
    case DecodeResult::Ignored: return "ignored";
  }
  return "?";
}

}  // namespace trx::openrgb

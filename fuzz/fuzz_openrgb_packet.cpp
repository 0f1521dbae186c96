// Fuzzes the OpenRGB SDK packet parser the server runs on every byte a
// client sends: the stream is split into packets as the server splits it,
// and each packet is decoded at every protocol version.
//
// Checked on every input:
// - an accepted header's payload lies within the input and the limit;
// - a decoded LED update holds no more colours than its payload has room
//   for, a decoded single-LED update exactly one;
// - a decoded mode update's colours fit its payload;
// - the splitting always moves forward.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "openrgb/sdk_codec.h"

namespace {
void Check(bool ok) {
  if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trx::openrgb;
  std::span<const uint8_t> rest(data, size);
  while (!rest.empty()) {
    PacketHeader header;
    std::span<const uint8_t> payload;
    if (NextPacket(rest, &header, &payload) != HeaderResult::Ok) break;
    Check(header.size <= kMaxPayload && payload.size() == header.size);
    Check(payload.data() >= data && payload.data() + payload.size() <= data + size);
    for (uint32_t version = 0; version <= kMaxProtocolVersion + 1; ++version) {
      Request r;
      if (DecodeRequest(header, payload, version, &r) != DecodeResult::Ok) continue;
      if (r.id == PacketId::UpdateLeds || r.id == PacketId::UpdateZoneLeds) Check(r.colours.size() * 4 <= payload.size());
      if (r.id == PacketId::UpdateSingleLed) Check(r.colours.size() == 1);
      if (r.id == PacketId::UpdateMode || r.id == PacketId::SaveMode) Check(r.mode.colours.size() * 4 <= payload.size());
    }
    rest = rest.subspan(kHeaderSize + header.size);
  }
  return 0;
}
